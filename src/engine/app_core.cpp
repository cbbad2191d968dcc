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
    InventoryOutcome outcome = inventory(false, cancel);
    InventoryPassResult result = outcome.result;
    applyInventory(std::move(outcome));
    return result;
}

InventoryOutcome AppCore::inventory(bool reload, const CancelToken& cancel,
                                    const std::function<void(int, bool)>& step) const {
    InventoryOutcome outcome{{}, *m_updateList, m_settings->values, m_stores, m_tc, std::nullopt};
    if (reload) {
        DatabaseLoadOptions options;
        options.settingsDir = settingsDir();
        options.forceUseExtDb = outcome.values.forceUseExtDb;
        outcome.databaseState =
            quillon::LoadPluginDatabases(outcome.stores.pluginDb, outcome.stores.checksumDb, options);
        outcome.values.forceUseExtDb = outcome.databaseState->forceUseExtDb;
        outcome.list.clearRows();
    }
    InventoryPass pass(InventoryContext{
        *m_system,
        *m_tcLocator,
        m_prompter,
        *m_language,
        outcome.values,
        m_settings->exceptionList(),
        m_commandLine,
        outcome.list,
        outcome.stores.identification(),
        m_programPath,
        m_programDir,
        outcome.tc.dir,
        commandLineIniFile(),
        outcome.tc.iniFile,
        outcome.tc.exeFile,
        outcome.tc.windowTitle,
    });
    if (step)
        pass.setStepCallback(step);
    pass.setCancelToken(cancel);
    outcome.result = pass.run();
    return outcome;
}

void AppCore::applyInventory(InventoryOutcome outcome) {
    if (outcome.result.cancelled)
        return;
    *m_updateList = std::move(outcome.list);
    // Only what the pass writes: the user database may have been edited meanwhile.
    m_settings->values.plugDetectionMode = outcome.values.plugDetectionMode;
    m_settings->values.plugManualFilePath = outcome.values.plugManualFilePath;
    m_settings->values.forceUseExtDb = outcome.values.forceUseExtDb;
    m_stores.settings = std::move(outcome.stores.settings);
    m_stores.userPluginInfo = std::move(outcome.stores.userPluginInfo);
    if (outcome.databaseState) {
        m_stores.pluginDb = std::move(outcome.stores.pluginDb);
        m_stores.checksumDb = std::move(outcome.stores.checksumDb);
        m_databaseState = *outcome.databaseState;
    }
    m_tc = std::move(outcome.tc);
    InventoryDone = true;
    updateCheckState().listLoaded(!m_settings->values.tcDisabled && !outcome.result.tcRow);
    if (m_pageFetcher)
        m_pageFetcher->resetConnectionErrorKind();
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
    InventoryOutcome outcome = inventory(true, cancel);
    InventoryPassResult result = outcome.result;
    applyInventory(std::move(outcome));
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
