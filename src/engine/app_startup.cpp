// Start-up: what the main window's creation did, in the same order, minus the widgets.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/common/files.h"
#include "app/language.h"
#include "app/locales.h"
#include "app/settings.h"
#include "app/settings_location.h"
#include "app/system.h"
#include "engine/app_core.h"
#include "engine/check_run.h"
#include "inventory/update_list.h"
#include "platform/folders.h"
#include "tcdetect/tc_locator.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QString withoutTrailingSlash(QString path) {
    while (path.size() > 1 && (path.endsWith('/'_L1) || path.endsWith('\\'_L1)))
        path.chop(1);
    return path;
}

} // namespace

SettingsContext AppCore::settingsContext() const {
    const TcLocator* locator = m_tcLocator.get();
    return SettingsContext{*m_system,
                           m_programBaseName,
                           m_programDir,
                           m_tc.iniFile,
                           m_downloadsFolder,
                           m_useIniInTcDirAsLocated,
                           kDesignedUpdateListWidth,
                           [locator](const QString& path) { return locator->ConvertTCPathToEnvPath(path); }};
}

void AppCore::startUp(const CommandLine& commandLine, const StartOptions& options) {
    m_commandLine = commandLine;
    // The GUI and the CLI share one settings file, one user database and one upluginfo.ini.
    m_programBaseName = u"Quillon"_s;
    m_programPath =
        options.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : options.programPath;
    m_programDir =
        withoutTrailingSlash(options.programDir.isEmpty() ? QFileInfo(m_programPath).absolutePath()
                                                          : QDir::fromNativeSeparators(options.programDir));
    InventoryDone = false;
    // A new start reads the settings and the language again: nothing of an earlier one is kept.
    m_pageFetcher.reset();
    m_checkState.reset();

    // Step 5: the stores that are filled later start empty.
    m_stores.pluginDb.clear();
    m_stores.checksumDb.clear();

    // Step 6.
    m_downloadsFolder = m_system->knownFolderPath(-1, QLatin1String(platform::FOLDERID_Downloads)).trimmed();

    // Steps 7-12: where Total Commander is. Its window, when it runs, knows its executable best.
    m_tc.dir = m_tcLocator->GetTCMainDir();
    m_tc.iniFile = commandLineIniFile();
    if (m_tc.iniFile.isEmpty())
        m_tc.iniFile = m_tcLocator->GetTCIniPath();
    m_tc.windowTitle.clear();
    m_tc.exeFile.clear();
    if (const platform::TcWindowState tcWindow = m_system->tcWindow().state(); tcWindow.running) {
        m_tc.windowTitle = QString::fromStdString(tcWindow.title).trimmed();
        m_tc.exeFile = QString::fromStdString(tcWindow.processPath);
    }
    if (m_tc.exeFile.isEmpty() || !QFileInfo(m_tc.exeFile).isFile())
        m_tc.exeFile = m_tcLocator->GetTCExePath();

    // Step 14: so that "%COMMANDER_PATH%" in stored paths expands for us too.
    if (m_system->expandEnvVariable(u"%COMMANDER_PATH%"_s).isEmpty() && !m_tc.dir.isEmpty())
        m_system->setEnvVariable(u"COMMANDER_PATH"_s, withoutTrailingSlash(m_tc.dir));

    // Steps 15-17.
    openSettingsStores(options);
    m_settings = std::make_unique<Settings>();
    m_settings->read(m_stores.settings, settingsContext());

    // Step 20 without the check boxes: "notc" forces Total Commander's own row on, and that
    // is what the unchecked box writes back.
    if (m_commandLine.notc())
        m_settings->values.tcDisabled = false;

    // Step 21.
    chooseLanguage(options);
    m_updateList->setStatusTexts(
        StatusTexts{m_language->statusOk(), m_language->statusUpdate(), m_language->statusUnknown()});
    // Step 22.
    LoadPluginDatabases();
    // Step 25.
    removeOldExecutable();
    m_started = true;
}

quint32 AppCore::lcidFromLanguageOption(const QString& option) {
    const QString code = option.trimmed();
    bool numeric = false;
    const quint32 lcid = code.toUInt(&numeric);
    if (numeric)
        return lcid;
    return LcidFromShortName(code.toUpper());
}

void AppCore::openSettingsStores(const StartOptions& options) {
    QString settingsFile;
    if (!options.settingsDir.isEmpty()) {
        const QString dir =
            QDir::cleanPath(QDir(QDir::fromNativeSeparators(options.settingsDir)).absolutePath());
        QDir().mkpath(dir);
        settingsFile = SettingsFileInDirectory(dir, m_programBaseName);
    } else {
        const SettingsLocation location = LocateSettingsFile(
            *m_system, SettingsLocationInput{m_programBaseName, m_programDir, m_tc.iniFile});
        settingsFile = location.filePath;
        m_useIniInTcDirAsLocated = location.useIniInTcDir;
    }

    // A file that exists but cannot be read leaves an empty store: the defaults apply, as for
    // a missing file, and writing at exit says what went wrong.
    m_stores.settings = IniDocument(settingsFile, IniDocument::Encoding::Utf8);
    m_stores.settings.load();
    if (!options.settingsDir.isEmpty())
        m_useIniInTcDirAsLocated =
            m_stores.settings.value(u"Configuration"_s, u"UseIniInTCDir"_s, u"False"_s).trimmed();

    const QString dir = QFileInfo(settingsFile).absolutePath();
    m_stores.userDb = IniDocument(dir + "/userdb.ini"_L1, IniDocument::Encoding::Utf8);
    m_stores.userDb.load();
    m_stores.userPluginInfo = IniDocument(dir + "/upluginfo.ini"_L1, IniDocument::Encoding::Utf8);
    m_stores.userPluginInfo.load();
}

void AppCore::chooseLanguage(const StartOptions& options) {
    m_language = std::make_unique<Language>(m_programDir, m_programBaseName);
    const QString chosen = options.language.trimmed();
    if (!chosen.isEmpty()) {
        // A one-run choice: loaded, but the saved choice stays as it was. "0" would mean the
        // external file, so an unknown code gets English instead.
        const quint32 lcid = lcidFromLanguageOption(chosen);
        m_language->LoadLanguage(QString::number(lcid != 0 ? lcid : 1033));
        return;
    }
    m_language->loadStartLanguage(m_settings->values.currentLng);
    if (!m_language->ExternalLanguage())
        m_settings->values.currentLng = m_language->currentShortName();
}

void AppCore::removeOldExecutable() {
    // Left behind by a self-update; it may still be running for a moment, so failures are ignored.
    const QString old = m_programDir + '/'_L1 + oldExecutableName(m_programPath);
    if (QFileInfo::exists(old) || QFileInfo(old).isSymLink())
        ForceDeleteFile(old);
}

} // namespace quillon
