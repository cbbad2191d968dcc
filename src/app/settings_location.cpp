#include "app/settings_location.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/files.h"
#include "app/ini_document.h"
#include "app/settings_keys.h"
#include "app/system.h"
#include "platform/folders.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QString withoutTrailingSeparators(QString path) {
    while (path.size() > 1 && (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\'))))
        path.chop(1);
    return path;
}

QString fileIn(const QString& directory, const QString& fileName) {
    return withoutTrailingSeparators(directory) + QLatin1Char('/') + fileName;
}

QString readUseIniInTcDir(const QString& file) {
    // An unreadable file reads as an empty one: the table's default applies.
    IniDocument document(file);
    document.load();
    return ReadSettingText(document, key::UseIniInTCDir);
}

bool isUsableDirectory(const QString& directory) {
    return QFileInfo(directory).isDir() && IsDirectoryWritable(directory);
}

} // namespace

bool IsTcDirectoryMode(const QString& useIniInTcDir) {
    return useIniInTcDir.toLower() == "true"_L1 || useIniInTcDir == "1"_L1;
}

SettingsLocation LocateSettingsFile(const System& system, const SettingsLocationInput& input) {
    const QString fileName = input.programBaseName + ".ini"_L1;
    // Without a wincmd.ini there is no directory to put the file next to.
    const QString fileA =
        input.tcIniFile.isEmpty() ? QString() : fileIn(QFileInfo(input.tcIniFile).absolutePath(), fileName);
    const QString fileB = fileIn(input.programDir, fileName);

    SettingsLocation location;
    location.useIniInTcDir = readUseIniInTcDir(!fileA.isEmpty() && QFileInfo::exists(fileA) ? fileA : fileB);

    if (!fileA.isEmpty() && IsTcDirectoryMode(location.useIniInTcDir)) {
        location.tcDirectoryMode = true;
        location.filePath = fileA;
        // Bring a settings file left in the program directory along, but never over a
        // settings file that already lives next to wincmd.ini.
        const QString old = fileIn(input.programDir, u"Quillon.ini"_s);
        if (QFileInfo::exists(old) && !QFileInfo::exists(fileA))
            MoveFileReplacing(old, fileA, false);
        return location;
    }

    if (IsDirectoryWritable(input.programDir)) {
        location.filePath = fileB;
        return location;
    }

    const QString appData = system.specialFolderPath(platform::CSIDL_APPDATA);
    if (!appData.isEmpty()) {
        const QString perUser = fileIn(appData, input.programBaseName);
        if (isUsableDirectory(perUser) || (QDir().mkpath(perUser) && isUsableDirectory(perUser))) {
            location.filePath = fileIn(perUser, fileName);
            return location;
        }
    }

    QString temp = withoutTrailingSeparators(
        system.expandEnvVariable(u"%TEMP%"_s).replace(QLatin1Char('\\'), QLatin1Char('/')));
    if (temp.isEmpty())
        temp = withoutTrailingSeparators(system.tempDirectory());
    location.filePath = fileIn(temp, fileName);
    return location;
}

QString SettingsFileInDirectory(const QString& directory, const QString& programBaseName) {
    return fileIn(directory, programBaseName + ".ini"_L1);
}

} // namespace quillon
