// Shutdown: the settings, the user database and the per-file memory written back, each on its
// own, and an empty temporary directory removed.
#include <QDir>
#include <QFileInfo>

#include "app/common/files.h"
#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/settings_messages.h"
#include "app/system.h"
#include "engine/app_core.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

bool hasAnyEntry(const IniDocument& document) {
    const QStringList sections = document.sections();
    for (const QString& section : sections) {
        if (!document.keys(section).isEmpty())
            return true;
    }
    return false;
}

QString comparablePath(const QString& path) {
    return QDir::cleanPath(QDir::fromNativeSeparators(path.trimmed()));
}

} // namespace

bool AppCore::shutDown(bool ctrlHeld) {
    if (!m_started)
        return true;
    m_started = false;
    // Every file gets its chance; one failure does not keep the others from being written.
    const bool settingsSaved = writeSettings(ctrlHeld);
    const bool userDbSaved = writeUserDb();
    const bool pluginInfoSaved = writeUserPluginInfo();
    removeEmptyTempDirectory();
    return settingsSaved && userDbSaved && pluginInfoSaved;
}

bool AppCore::writeSettings(bool ctrlHeld) {
    SettingsWriteOptions options;
    options.externalLanguage = ExternalLanguage();
    options.ctrlHeld = ctrlHeld;
    m_settings->write(m_stores.settings, settingsContext(), options);
    QString reason;
    if (m_stores.settings.saveIfChanged(&reason))
        return true;
    reportSaveFailure(m_programBaseName + ".ini"_L1, reason);
    return false;
}

bool AppCore::writeUserDb() {
    QString reason;
    if (hasAnyEntry(m_stores.userDb)) {
        if (m_stores.userDb.saveIfChanged(&reason))
            return true;
    } else if (ForceDeleteFile(m_stores.userDb.filePath(), &reason)) {
        return true;
    }
    reportSaveFailure(u"userdb.ini"_s, reason);
    return false;
}

bool AppCore::writeUserPluginInfo() {
    QString reason;
    if (m_stores.userPluginInfo.sectionCount() == 0 || m_stores.userPluginInfo.saveIfChanged(&reason))
        return true;
    reportSaveFailure(u"upluginfo.ini"_s, reason);
    return false;
}

void AppCore::removeEmptyTempDirectory() {
    const QString tempDir = m_settings->expandedTempDirectory(*m_system);
    if (tempDir.trimmed().isEmpty() || !IsDirectoryEmpty(tempDir))
        return;
    const QString downloadDir = m_settings->expandedDownloadDir(*m_system);
    const bool isDownloadDir =
        comparablePath(tempDir).compare(comparablePath(downloadDir), Qt::CaseInsensitive) == 0;
    if (!isDownloadDir || m_settings->downloadDirCreated())
        DeleteDirectoryTree(tempDir); // a failure here is of no consequence
}

void AppCore::reportSaveFailure(const QString& fileName, const QString& reason) {
    const Language& lng = *m_language;
    const MessageText message = SaveFailureMessage(
        [&lng](const QString& section, const QString& key, const QString& englishDefault) {
            return lng.text(section, key, englishDefault);
        },
        m_programBaseName, fileName, reason);
    m_prompter.tell(PromptIcon::Error, message.caption, message.text);
}

} // namespace quillon
