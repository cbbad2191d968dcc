#include "engine/download_manager.h"

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QUrl>

#include "app/settings_values.h"
#include "app/system.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

// Where the Windows manager leaves the path of its executable.
constexpr auto kManagerKey = "Software\\DownloadManager";
constexpr auto kManagerValue = "ExePath";

// Managers that show what they fetch come first: aria2c is often only there because another
// program needs it, and it works unseen.
struct LinuxManager {
    DownloadManagerKind kind;
    const char* program;
};
constexpr LinuxManager kLinuxManagers[] = {
    {DownloadManagerKind::UGet, "uget-gtk"},
    {DownloadManagerKind::KGet, "kget"},
    {DownloadManagerKind::Aria2, "aria2c"},
};

bool isExecutableFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// The user's command line split as a shell would, without running one; nothing when its program
// cannot be found.
ProgramStart commandStart(const QString& command, const std::function<QString(const QString&)>& findProgram) {
    QStringList words = QProcess::splitCommand(command);
    if (words.isEmpty())
        return {};
    QString program = words.takeFirst();
    if (program.contains(u'/')) {
        if (!isExecutableFile(program))
            return {};
    } else {
        program = findProgram ? findProgram(program) : QString();
        if (program.isEmpty())
            return {};
    }
    return ProgramStart{program, words, {}};
}

// The prefix's manager, started as the platform starts programs of Total Commander's world.
ProgramStart prefixManagerStart(const System& system) {
    const QString value =
        system
            .readRegistryString(platform::RegistryRoot::CurrentUser, QString::fromLatin1(kManagerKey),
                                QString::fromLatin1(kManagerValue))
            .trimmed();
    if (value.isEmpty())
        return {};
    const QString exe = system.toHostPath(value);
    if (exe.isEmpty() || !QFileInfo(exe).isFile())
        return {};
    const QString prefix = QString::fromStdString(system.platform().winePrefix());
    if (prefix.isEmpty())
        return ProgramStart{exe, {}, {}};
    const QString wine = QString::fromStdString(system.platform().wineProgram());
    if (wine.isEmpty())
        return {};
    return ProgramStart{wine, {exe}, {u"WINEPREFIX="_s + prefix}};
}

} // namespace

bool DetachedLauncher::startDetached(const ProgramStart& start) {
    QProcess process;
    process.setProgram(start.program);
    process.setArguments(start.arguments);
    if (!start.environment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& entry : start.environment) {
            const qsizetype equals = entry.indexOf(u'=');
            if (equals > 0)
                environment.insert(entry.left(equals), entry.mid(equals + 1));
        }
        process.setProcessEnvironment(environment);
    }
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

DownloadManagerSources DownloadManagerSourcesFor(const System& system, const SettingValues& values,
                                                 const QString& downloadDir) {
    DownloadManagerSources sources;
    sources.command = values.downloadManagerCommand.trimmed();
    sources.prefixManager = prefixManagerStart(system);
    sources.findProgram = [](const QString& name) { return QStandardPaths::findExecutable(name); };
    sources.downloadDir = downloadDir;
    return sources;
}

DownloadManager FindDownloadManager(const DownloadManagerSources& sources) {
    // A command the user wrote decides, as the Wine program setting does.
    if (!sources.command.isEmpty()) {
        ProgramStart start = commandStart(sources.command, sources.findProgram);
        if (!start.program.isEmpty())
            return DownloadManager{DownloadManagerKind::Command, std::move(start), sources.downloadDir};
    }
    if (!sources.prefixManager.program.isEmpty())
        return DownloadManager{DownloadManagerKind::InPrefix, sources.prefixManager, sources.downloadDir};
    for (const LinuxManager& manager : kLinuxManagers) {
        const QString program =
            sources.findProgram ? sources.findProgram(QString::fromLatin1(manager.program)) : QString();
        if (!program.isEmpty())
            return DownloadManager{manager.kind, ProgramStart{program, {}, {}}, sources.downloadDir};
    }
    return {};
}

bool IsInstalled_IDM(const System& system, const SettingValues& values) {
    return bool(FindDownloadManager(DownloadManagerSourcesFor(system, values, QString())));
}

ProgramStart DownloadManagerStart(const DownloadManager& manager, const QString& link) {
    ProgramStart start = manager.base;
    QStringList& args = start.arguments;
    switch (manager.kind) {
    case DownloadManagerKind::None:
        return {};
    case DownloadManagerKind::Command:
    case DownloadManagerKind::KGet:
        args << link;
        break;
    case DownloadManagerKind::InPrefix:
        // Added to the queue without a question.
        args << u"/d"_s << link << u"/n"_s;
        break;
    case DownloadManagerKind::UGet:
        args << u"--quiet"_s;
        if (!manager.downloadDir.isEmpty())
            args << u"--folder="_s + manager.downloadDir;
        args << link;
        break;
    case DownloadManagerKind::Aria2:
        if (!manager.downloadDir.isEmpty())
            args << u"--dir="_s + manager.downloadDir;
        args << link;
        break;
    }
    return start;
}

bool SendURLToIDM(const DownloadManager& manager, const QString& link, ProgramLauncher& launcher) {
    if (!manager)
        return false;
    // The link comes from a database or a page: one that starts like an option ("--output=...")
    // or names a local file is no download, whatever the manager would make of it.
    const QString scheme = QUrl(link.trimmed()).scheme().toLower();
    if (link.trimmed().startsWith(u'-') ||
        (scheme != "http"_L1 && scheme != "https"_L1 && scheme != "ftp"_L1))
        return false;
    return launcher.startDetached(DownloadManagerStart(manager, link));
}

} // namespace quillon
