#include "app/app_core.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/language.h"
#include "app/prompter.h"
#include "app/settings.h"
#include "app/system.h"
#include "tcdetect/tc_locator.h"

using namespace Qt::StringLiterals;

namespace quillon {

AppCore::AppCore(Prompter& prompter, const platform::PlatformOptions& platformOptions)
    : AppCore(prompter, platform::Platform::create(platformOptions)) {}

AppCore::AppCore(Prompter& prompter, std::unique_ptr<platform::Platform> platform)
    : m_prompter(prompter), m_system(std::make_unique<System>(std::move(platform))),
      m_tcLocator(std::make_unique<TcLocator>(*m_system)) {}

AppCore::~AppCore() = default;

QString AppCore::oldExecutableName(const QString& executablePath) {
    const QString name = QFileInfo(executablePath).fileName();
    if (name.endsWith(".exe"_L1, Qt::CaseInsensitive))
        return u"QN_old.exe"_s;
    return name + "_old"_L1;
}

QString AppCore::windowCaption() const {
    QString caption = u"Quillon "_s + QStringLiteral(QUILLON_VERSION);
    if (m_commandLine.safe())
        caption += " [SAFE]"_L1;
    return caption;
}

QString AppCore::settingsDir() const {
    return QFileInfo(m_settingsStore.filePath()).absolutePath();
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
    // Intentionally nothing yet: the plugin and checksum databases are read by the inventory,
    // which fills PluginDbStore and ChecksumDbStore here.
}

} // namespace quillon
