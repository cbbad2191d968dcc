#include "tcdetect/tc_locator.h"

#include <QDir>
#include <QFileInfo>

#include "app/common/files.h"
#include "app/ini_document.h"
#include "app/system.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kExe32 = u"TOTALCMD.EXE"_s;
const QString kExe64 = u"TOTALCMD64.EXE"_s;
const QString kIniName = u"wincmd.ini"_s;
const QString kSegoe = u"Segoe UI Semibold"_s;

QString joined(const QString& dir, const QString& name) {
    return WithoutTrailingSlash(dir) + QLatin1Char('/') + name;
}

// The entry `name` of `dir` as it is spelled on disk, matched without regard to case as Windows
// would; "" when there is none of the wanted kind.
QString childNoCase(const QString& dir, const QString& name, bool wantDir) {
    if (dir.isEmpty() || name.isEmpty())
        return {};
    const QString direct = joined(dir, name);
    const QFileInfo directInfo(direct);
    if (directInfo.exists())
        return (wantDir ? directInfo.isDir() : directInfo.isFile()) ? direct : QString();
    const QDir folder(dir);
    if (!folder.exists())
        return {};
    const QDir::Filters filters = (wantDir ? QDir::Dirs : QDir::Files) | QDir::NoDotAndDotDot | QDir::Hidden;
    for (const QString& entry : folder.entryList(filters)) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return joined(dir, entry);
    }
    return {};
}

// The path itself when it is an existing file; else the file whose name differs only in case.
QString existingFile(const QString& path) {
    if (path.isEmpty())
        return {};
    const QFileInfo info(path);
    if (info.isFile())
        return path;
    return childNoCase(info.path(), info.fileName(), false);
}

QString directoryOf(const QString& path) {
    return WithoutTrailingSlash(QDir::cleanPath(QFileInfo(path.trimmed()).absolutePath()));
}

// wincmd.ini stores integers the way Delphi's StrToIntDef reads them: decimal, "$1F" or "0x1F".
qint64 iniInteger(const IniDocument& ini, const QString& section, const QString& key, qint64 fallback) {
    const QString text = ini.value(section, key).trimmed();
    bool ok = false;
    qint64 number = text.toLongLong(&ok, 10);
    if (ok)
        return number;
    if (text.startsWith(QLatin1Char('$')))
        number = text.mid(1).toLongLong(&ok, 16);
    else if (text.startsWith(u"0x"_s, Qt::CaseInsensitive))
        number = text.mid(2).toLongLong(&ok, 16);
    return ok ? number : fallback;
}

IniDocument readTcIni(const QString& path) {
    // 8-bit file in the user's code page; the keys read here are ASCII.
    IniDocument ini(path, IniDocument::Encoding::Latin1);
    if (!path.isEmpty())
        ini.load();
    return ini;
}

// File name without directory and last extension; either separator counts, since the value
// comes from Total Commander's world.
QString fileBaseName(const QString& path) {
    const qsizetype slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    QString name = path.mid(slash + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

// `prefix` written as `reference` when the path begins with it at a directory boundary. Host
// paths have no drive letter that anchors a match to the start, so a match further inside the
// path would corrupt it.
QString replaceLeadingDir(const QString& path, const QString& prefix, const QString& reference) {
    const QString dir = WithoutTrailingSlash(prefix);
    if (dir.isEmpty() || dir == u"/"_s || !path.startsWith(dir, Qt::CaseInsensitive))
        return path;
    if (path.size() > dir.size() && path.at(dir.size()) != QLatin1Char('/'))
        return path;
    return reference + path.mid(dir.size());
}

} // namespace

QString TcLocator::commanderVariable(const QString& name) const {
    const auto value = m_system.platform().tcEnvironment().variable(name.toStdString());
    if (!value)
        return {};
    QString text = QString::fromStdString(*value).trimmed();
    if (text.isEmpty())
        return {};
    // A bare drive ("C:") names the drive's root folder.
    if (text.size() == 2 && text.at(1) == QLatin1Char(':'))
        text += QLatin1Char('\\');
    if (text.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(text.replace(QLatin1Char('\\'), QLatin1Char('/')));
    return m_system.toHostPath(text).trimmed();
}

QString TcLocator::registryInstallDir(bool currentUser) const {
    const auto root =
        currentUser ? platform::RegistryRoot::CurrentUser : platform::RegistryRoot::LocalMachine;
    return m_system.readRegistryString(root, QString::fromLatin1(kRegistryKey), u"InstallDir"_s).trimmed();
}

QString TcLocator::registryIniFileName(bool currentUser) const {
    const auto root =
        currentUser ? platform::RegistryRoot::CurrentUser : platform::RegistryRoot::LocalMachine;
    return m_system.readRegistryString(root, QString::fromLatin1(kRegistryKey), u"IniFileName"_s).trimmed();
}

QString TcLocator::executableIn(const QString& dir) const {
    if (dir.isEmpty())
        return {};
    const QString exe32 = childNoCase(dir, kExe32, false);
    return exe32.isEmpty() ? childNoCase(dir, kExe64, false) : exe32;
}

QString TcLocator::defaultIniFile() const {
    const QString drive = m_system.windowsDrive();
    if (drive.isEmpty())
        return {};
    for (const QString& folder : {u"totalcmd"_s, u"wincmd"_s, u"tc"_s, u"wc"_s}) {
        const QString ini = childNoCase(childNoCase(drive, folder, true), kIniName, false);
        if (!ini.isEmpty())
            return ini;
    }
    return {};
}

QString TcLocator::existingIniFromText(const QString& windowsOrHostPath) const {
    QString text = windowsOrHostPath.trimmed();
    if (text.isEmpty())
        return {};
    if (text.startsWith(QLatin1Char('/')))
        text = QDir::cleanPath(text.replace(QLatin1Char('\\'), QLatin1Char('/')));
    else
        text = m_system.toHostPath(text).trimmed();
    return existingFile(text);
}

QString TcLocator::GetTCMainDir() const {
    const QString fromEnvironment = commanderVariable(u"COMMANDER_PATH"_s);
    if (!fromEnvironment.isEmpty())
        return WithoutTrailingSlash(fromEnvironment);

    for (const bool currentUser : {true, false}) {
        const QString value = registryInstallDir(currentUser);
        if (value.isEmpty())
            continue;
        const QString dir = m_system.toHostPath(value);
        if (!executableIn(dir).isEmpty())
            return WithoutTrailingSlash(dir);
    }

    const QString fallback = childNoCase(m_system.windowsDrive(), u"totalcmd"_s, true);
    if (!executableIn(fallback).isEmpty())
        return WithoutTrailingSlash(fallback);
    return {};
}

QString TcLocator::GetTCExePath() const {
    const QString fromEnvironment = commanderVariable(u"COMMANDER_EXE"_s);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;

    // Unlike GetTCMainDir, a registry directory without the executable ends the search.
    for (const bool currentUser : {true, false}) {
        const QString value = registryInstallDir(currentUser);
        if (!value.isEmpty())
            return executableIn(m_system.toHostPath(value));
    }
    return executableIn(childNoCase(m_system.windowsDrive(), u"totalcmd"_s, true));
}

QString TcLocator::GetTCIniPath_UIIPDPath(const QString& input, int resType) const {
    QString result = resType != 0 ? u"0"_s : input;
    qint64 useIniInProgramDir = 0;
    if (!input.isEmpty() && QFileInfo(input).isFile()) {
        const QString exe = GetTCExePath();
        if (!exe.isEmpty() && directoryOf(input).compare(directoryOf(exe), Qt::CaseInsensitive) == 0) {
            useIniInProgramDir =
                iniInteger(readTcIni(input), u"Configuration"_s, u"UseIniInProgramDir"_s, 0) & 0xFF;
            const bool programDirWins =
                useIniInProgramDir != 0 && useIniInProgramDir != 2 && useIniInProgramDir <= 7;
            const QString mainDir = GetTCMainDir();
            if (resType == 0 && programDirWins && !mainDir.isEmpty()) {
                const QString existing = childNoCase(mainDir, kIniName, false);
                result = existing.isEmpty() ? joined(mainDir, kIniName) : existing;
            }
        }
    }
    return resType != 0 ? QString::number(useIniInProgramDir) : result;
}

QString TcLocator::GetTCIniPath() const {
    const QString fromEnvironment = commanderVariable(u"COMMANDER_INI"_s);
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;

    const QString defaultIni = defaultIniFile();
    const qint64 useIniInProgramDir =
        defaultIni.isEmpty() ? 0 : GetTCIniPath_UIIPDPath(defaultIni, 1).toLongLong();
    if (!defaultIni.isEmpty() && useIniInProgramDir >= 4)
        return defaultIni;

    // IniFileName may hold variables or be a plain path; both name the file Total Commander
    // reads, so both count. Total Commander defines COMMANDER_PATH as its own directory before
    // it reads the value, so an undefined variable stands for that directory here as well.
    const QString tcPathReference = u"%COMMANDER_PATH%"_s;
    for (const bool currentUser : {true, false}) {
        QString value = registryIniFileName(currentUser);
        if (value.isEmpty())
            continue;
        if (value.contains(tcPathReference, Qt::CaseInsensitive) &&
            commanderVariable(u"COMMANDER_PATH"_s).isEmpty()) {
            const QString mainDir = GetTCMainDir();
            if (!mainDir.isEmpty())
                value.replace(tcPathReference, mainDir, Qt::CaseInsensitive);
        }
        const QString ini = existingIniFromText(m_system.expandTcPath(value));
        if (!ini.isEmpty())
            return GetTCIniPath_UIIPDPath(ini, 0);
    }

    if (!defaultIni.isEmpty() && useIniInProgramDir >= 1 && useIniInProgramDir <= 3)
        return defaultIni;

    for (const QString& candidate : {u"%APPDATA%\\Ghisler\\wincmd.ini"_s, u"%WINDIR%\\wincmd.ini"_s}) {
        const QString ini = existingIniFromText(m_system.expandTcVariable(candidate));
        if (!ini.isEmpty())
            return GetTCIniPath_UIIPDPath(ini, 0);
    }
    return defaultIni;
}

QString TcLocator::GetTCLanguage(const QString& iniFile) const {
    const QString languageFile = readTcIni(iniFile).value(u"Configuration"_s, u"LanguageIni"_s).trimmed();
    if (!languageFile.contains(u".lng"_s, Qt::CaseInsensitive))
        return u"ENG"_s;
    // Only an underscore in the file's own name separates a language code; one in a folder
    // name does not.
    const QString baseName = fileBaseName(languageFile);
    const qsizetype underscore = baseName.lastIndexOf(QLatin1Char('_'));
    const QString code = underscore < 0 ? QString() : baseName.mid(underscore + 1).trimmed();
    return code.isEmpty() ? u"ENG"_s : code;
}

QString TcLocator::GetTCFont(const QString& iniFile) const {
    const IniDocument ini = readTcIni(iniFile);
    if (iniInteger(ini, u"Configuration"_s, u"UseNewDefFont"_s, 0) != 1)
        return {};
    const QString fontName = ini.value(u"AllResolutions"_s, u"FontName"_s, kSegoe).trimmed();
    return fontName == kSegoe ? kSegoe : QString();
}

QString TcLocator::ConvertToEnvPath(const QString& input) const {
    const QString tcPath = commanderVariable(u"COMMANDER_PATH"_s);
    if (tcPath.isEmpty())
        return input;
    QString result = replaceLeadingDir(input, tcPath, u"%COMMANDER_PATH%"_s);
    for (const QString& name : {u"COMMANDER_DRIVE"_s, u"COMMANDER_INI"_s, u"COMMANDER_EXE"_s}) {
        const QString value = commanderVariable(name);
        if (!value.isEmpty())
            result = replaceLeadingDir(result, value, QLatin1Char('%') + name + QLatin1Char('%'));
    }
    return result;
}

QString TcLocator::ConvertTCPathToEnvPath(const QString& input) const {
    // After start-up COMMANDER_PATH always equals Total Commander's directory: it is either
    // taken from the variable or the variable is set from it.
    return replaceLeadingDir(input.trimmed(), commanderVariable(u"COMMANDER_PATH"_s), u"%COMMANDER_PATH%"_s);
}

} // namespace quillon
