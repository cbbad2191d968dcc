#include "engine/app_core.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/ini_edits.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/system.h"
#include "engine/check_run.h"
#include "install/self_update.h"
#include "inventory/inventory_pass.h"
#include "inventory/item_identification.h"
#include "inventory/rows_refresh.h"
#include "inventory/tc_version_row.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_locator.h"
#include "tcdetect/tc_version.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon {

AppCore::AppCore(Prompter& prompter, const platform::PlatformOptions& platformOptions)
    : AppCore(prompter, platform::Platform::create(platformOptions)) {}

AppCore::AppCore(Prompter& prompter, std::unique_ptr<platform::Platform> platform)
    : m_prompter(prompter), m_system(std::make_unique<System>(std::move(platform))),
      m_tcLocator(std::make_unique<TcLocator>(*m_system)), m_updateList(std::make_unique<UpdateList>()) {}

AppCore::~AppCore() = default;

QString AppCore::oldExecutableName(const QString& executablePath) {
    return OldExecutableName(executablePath);
}

QString AppCore::windowCaption() const {
    QString caption = u"Quillon "_s + QStringLiteral(QUILLON_VERSION);
    if (m_commandLine.safe())
        caption += " [SAFE]"_L1;
    return caption;
}

QString AppCore::settingsDir() const {
    return QFileInfo(m_stores.settings.filePath()).absolutePath();
}

bool AppCore::TCWindowExists() const {
    return m_system->platform().tcWindow().isRunning();
}

bool AppCore::ExternalLanguage() const {
    return m_language && m_language->ExternalLanguage();
}

QString AppCore::commandLineIniFile() const {
    if (m_commandLine.iniPath().isEmpty())
        return {};
    // A Windows path maps into the prefix; a relative one is taken from the working directory.
    QString path = m_system->toHostPath(m_commandLine.iniPath());
    if (path.isEmpty() && QFileInfo(m_commandLine.iniPath()).isRelative())
        path = QFileInfo(m_commandLine.iniPath()).absoluteFilePath();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

void AppCore::LoadPluginDatabases() {
    DatabaseLoadOptions options;
    options.settingsDir = settingsDir();
    options.forceUseExtDb = m_settings->values.forceUseExtDb;
    m_databaseState = quillon::LoadPluginDatabases(m_stores.pluginDb, m_stores.checksumDb, options);
    m_settings->values.forceUseExtDb = m_databaseState.forceUseExtDb;
}

InventoryPassResult AppCore::runInventoryPass(const CancelToken& cancel) {
    // What the pass changes, kept so a cancel leaves the list and the stores as they were.
    struct Before {
        UpdateList list;
        SettingValues values;
        IniDocument settings, userPluginInfo;
        TcLocation tc;
        bool inventoryDone;
    };
    const Before before{*m_updateList, m_settings->values, m_stores.settings, m_stores.userPluginInfo,
                        m_tc,          InventoryDone};
    InventoryPass pass(InventoryContext{
        *m_system,
        *m_tcLocator,
        m_prompter,
        *m_language,
        m_settings->values,
        m_settings->exceptionList(),
        m_commandLine,
        *m_updateList,
        m_stores.identification(),
        m_programPath,
        m_programDir,
        m_tc.dir,
        commandLineIniFile(),
        m_tc.iniFile,
        m_tc.exeFile,
        m_tc.windowTitle,
    });
    if (m_inventoryStep)
        pass.setStepCallback(m_inventoryStep);
    pass.setCancelToken(cancel);
    InventoryPassResult result = pass.run();
    if (result.cancelled) {
        *m_updateList = before.list;
        m_settings->values = before.values;
        m_stores.settings = before.settings;
        m_stores.userPluginInfo = before.userPluginInfo;
        m_tc = before.tc;
        InventoryDone = before.inventoryDone;
        return result;
    }
    InventoryDone = true;
    updateCheckState().listLoaded(!m_settings->values.tcDisabled && !result.tcRow);
    if (m_pageFetcher)
        m_pageFetcher->resetConnectionErrorKind();
    return result;
}

bool AppCore::RefreshPluginInfo(const QString& path, int row, const QString& installedFilePath, bool delay) {
    ItemIdentifier identifier(*m_updateList, m_stores.identification(),
                              IdentificationOptions::from(m_settings->values, m_commandLine),
                              PathForms::fromLocator(*m_tcLocator, *m_system), m_programPath);
    const UpdateCheckState& state = updateCheckState();
    identifier.setPublicationDateLookup(
        [&state](const QString& filePath) { return state.publicationDate(filePath); });
    return identifier.RefreshPluginInfo(path, row, installedFilePath, delay);
}

QList<int> AppCore::applyRowsRefresh(const RowsRefresh& refresh) {
    QList<int> changed;
    for (const UpdateItem& item : refresh.rows) {
        const int row = m_updateList->indexOfPath(item.FilePath);
        if (row < 0)
            continue; // gone from the list meanwhile (a reload)
        m_updateList->setRow(row, item);
        m_updateList->updateSnapshotRow(item.FilePath, row);
        changed.append(row);
    }
    ApplyIniEdits(m_stores.userPluginInfo, refresh.userPluginInfo);
    ApplyIniEdits(m_stores.settings, refresh.settings);
    if (refresh.tcVersion) {
        m_tc.exeFile = refresh.tcVersion->exeFile;
        m_tc.windowTitle = refresh.tcVersion->windowTitle;
        if (ApplyTcVersionRow(*m_updateList, *refresh.tcVersion, false))
            changed.append(0);
    }
    return changed;
}

UpdateCheckState& AppCore::updateCheckState() {
    if (!m_checkState)
        m_checkState = std::make_unique<UpdateCheckState>();
    return *m_checkState;
}

PageFetcher& AppCore::pageFetcher() {
    if (!m_pageFetcher)
        m_pageFetcher =
            std::make_unique<PageFetcher>(FetchSettings::fromSettings(m_settings->values), *m_language);
    return *m_pageFetcher;
}

InventoryPassResult AppCore::ReloadList(const CancelToken& cancel) {
    LoadPluginDatabases();
    // The pass starts from an empty list; a cancelled one puts these rows back.
    const UpdateList before = *m_updateList;
    const bool inventoryDone = InventoryDone;
    InventoryDone = false;
    m_updateList->clearRows();
    InventoryPassResult result = runInventoryPass(cancel);
    if (result.cancelled) {
        *m_updateList = before;
        InventoryDone = inventoryDone;
    }
    return result;
}

void AppCore::DetectTCversion(bool addItem) {
    const TcVersionDetector detector(
        *m_system, *m_tcLocator, m_stores.checksumDb,
        {m_settings->values.tcIntelliDetect, m_settings->values.plugChecksumDbState});
    const TcVersionFacts facts = detector.detect(m_tc.exeFile, m_tc.dir);
    m_tc.exeFile = facts.exeFile;
    m_tc.windowTitle = facts.windowTitle;
    ApplyTcVersionRow(*m_updateList, facts, addItem);
}

} // namespace quillon
