#include "app/settings_directories.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/files.h"
#include "app/settings.h"
#include "app/system.h"
#include "platform/folders.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kIeMainKey = u"Software\\Microsoft\\Internet Explorer\\Main"_s;

bool isSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

QString withoutTrailingSeparators(QString path) {
    while (!path.isEmpty() && isSeparator(path.back()))
        path.chop(1);
    return path;
}

QString asDirectory(const QString& path) {
    return withoutTrailingSeparators(path) + QLatin1Char('/');
}

bool isDir(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// The configured directory is usable when it exists, or when it can be created later because
// its parent is writable. Relative results (an unknown variable, a drive letter on a host
// without drives) never are.
bool isUsableConfiguredDir(const QString& expanded) {
    if (expanded.isEmpty() || expanded == "/"_L1 || !QDir::isAbsolutePath(expanded))
        return false;
    if (isDir(expanded))
        return true;
    return IsValidDirectoryPath(expanded) && IsDirectoryWritable(ParentDirectory(expanded));
}

QString normalisedForComparison(const QString& path) {
    QString text = path.toLower();
    text.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return withoutTrailingSeparators(text);
}

} // namespace

QString ExpandOwnPath(const System& system, const QString& path) {
    QString expanded = system.expandEnvPath(path).trimmed();
    expanded.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // The shell's "~" for the home folder: written in a settings file it reaches no shell.
    if (expanded == u"~"_s || expanded.startsWith(u"~/"_s)) {
        QString home = system.expandEnvVariable(u"%HOME%"_s);
        if (home.isEmpty())
            home = QDir::homePath();
        expanded = WithoutTrailingSlash(QDir::fromNativeSeparators(home)) + expanded.mid(1);
    }
    return expanded;
}

QString DefaultTempDirectory(const QString& programBaseName) {
    return "%APPDATA%"_L1 + QDir::separator() + programBaseName + QDir::separator();
}

DownloadDirChoice ChooseDownloadDirectory(const SettingsContext& context, const QString& configured,
                                          const QString& tempDirectory) {
    const System& system = context.system;
    DownloadDirChoice choice;
    const QString unexpanded = asDirectory(configured.trimmed());
    if (isUsableConfiguredDir(ExpandOwnPath(system, unexpanded))) {
        choice.directory = unexpanded;
        return choice;
    }
    choice.defaulted = true;

    const QString ieDir = system
                              .readRegistryString(platform::RegistryRoot::CurrentUser, kIeMainKey,
                                                  u"Default Download Directory"_s)
                              .trimmed();
    if (!ieDir.isEmpty()) {
        if (const QString host = system.toHostPath(ieDir); isDir(host)) {
            choice.directory = asDirectory(host);
            return choice;
        }
    }
    if (const QString downloads = context.downloadsFolder.trimmed(); isDir(downloads)) {
        choice.directory = asDirectory(downloads);
        return choice;
    }
    if (const QString profile = system.expandEnvVariable(u"%USERPROFILE%"_s); !profile.isEmpty()) {
        if (const QString dir = asDirectory(profile) + "Downloads"_L1; isDir(dir)) {
            choice.directory = asDirectory(dir);
            return choice;
        }
    }
    if (!context.programDir.isEmpty()) {
        if (const QString dir = asDirectory(context.programDir) + "Downloads"_L1; isDir(dir)) {
            choice.directory = asDirectory(dir);
            return choice;
        }
    }

    const QString appData = system.specialFolderPath(platform::CSIDL_APPDATA);
    if (isDir(appData)) {
        const QString dir = asDirectory(appData) + context.programBaseName + "/Downloads"_L1;
        if (isDir(dir)) {
            choice.directory = asDirectory(dir);
        } else if (QDir().mkpath(dir)) {
            choice.directory = asDirectory(dir);
            choice.created = true;
        } else {
            choice.directory = tempDirectory;
        }
        return choice;
    }

    // Without a drive (a host without a Wine prefix) "/Downloads" would be the root's folder.
    if (const QString drive = system.windowsDrive(); !drive.isEmpty()) {
        for (const auto name : {"Downloads"_L1, "Download"_L1}) {
            if (const QString dir = asDirectory(drive) + name; isDir(dir)) {
                choice.directory = asDirectory(dir);
                return choice;
            }
        }
    }
    if (const QString temp = system.expandEnvVariable(u"%TEMP%"_s); isDir(temp)) {
        choice.directory = asDirectory(temp);
        return choice;
    }
    choice.directory = tempDirectory;
    return choice;
}

QString MovedTempDirectory(const SettingsContext& context, const QString& tempDirectory,
                           const QString& downloadDir) {
    const bool untouched = normalisedForComparison(tempDirectory) ==
                           normalisedForComparison(DefaultTempDirectory(context.programBaseName));
    if (untouched && IsDirectoryWritable(ExpandOwnPath(context.system, downloadDir)))
        return downloadDir;
    return tempDirectory;
}

} // namespace quillon
