#include "inventory/installed_version.h"

#include "app/settings_overrides.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "app/common/checksums.h"
#include "app/common/dates.h"
#include "app/common/own_version.h"
#include "app/common/pe_info.h"
#include "app/common/strings.h"
#include "app/ini_document.h"
#include "app/settings_keys.h"
#include "inventory/name_cleaning.h"
#include "inventory/text_version_scan.h"
#include "inventory/update_item.h"
#include "inventory/version_release_date.h"
#include "inventory/version_text.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

QString fileNameOf(const QString& path) {
    return QFileInfo(path).fileName();
}

// An existing entry of directory whose name equals name without regard to case: plugin folders
// come from Windows, where "mediainfo.dll" and "MediaInfo.dll" are one file.
QString findIgnoringCase(const QString& directory, const QString& name) {
    const QString exact = directory + u'/' + name;
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList entries = QDir(directory).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return directory + u'/' + entry;
    }
    return {};
}

// Normalised file version strings worth preferring start like a version: digit "." digit.
const QRegularExpression& versionLike() {
    static const QRegularExpression re(u"^[0-9]\\.[0-9]"_s);
    return re;
}

// Step of the clean-up every found version goes through.
QString cleanFoundVersion(QString version) {
    version = version.trimmed();
    version.remove(u'(').remove(u')');
    version.replace(u", "_s, u"."_s).replace(u',', u'.');
    if (version.endsWith(u'.'))
        version.chop(1);
    return version;
}

bool samePathIgnoringCase(const QString& a, const QString& b) {
    return !a.isEmpty() && QDir::cleanPath(a).compare(QDir::cleanPath(b), Qt::CaseInsensitive) == 0;
}

} // namespace

QString versionPathFor(const QString& path) {
    const QString name = fileNameOf(path).toLower();
    if (name != u"mediainfo.wdx"_s && name != u"mediainfo.wdx64"_s)
        return path;
    const QString directory = QFileInfo(path).absolutePath();
    for (const QString& library : {u"MediaInfo.dll"_s, u"MediaInfo64.dll"_s}) {
        const QString found = findIgnoringCase(directory, library);
        if (!found.isEmpty())
            return found;
    }
    return path;
}

std::optional<QString> ScriptVersion(const QString& path) {
    const std::optional<QString> script = ReadAhkScriptResource(path);
    if (!script)
        return std::nullopt;
    static const QRegularExpression lineBreak(u"\\r\\n|\\n|\\r"_s);
    QString version;
    for (const QString& line : script->split(lineBreak)) {
        if (line.contains(u"version="_s, Qt::CaseInsensitive))
            version = line.mid(line.indexOf(u'=') + 1).trimmed().toLower();
    }
    return version;
}

namespace {

// DateVersion with the link time stamp already read (no value: not a readable PE image).
QString dateVersionWith(const QString& path, const std::optional<QDateTime>& timeStamp) {
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QDateTime modified = info.lastModified();
    const QDateTime stamp = timeStamp.value_or(modified);
    QDate date = modified.date();
    if (IsPlausibleReleaseDate(stamp)) {
        // A file copied or touched on the evening of its build day lands on the next day.
        date = modified.date() == stamp.date().addDays(1) ? modified.date() : stamp.date();
    }
    return FormatDate(date);
}

} // namespace

QString DateVersion(const QString& path) {
    return dateVersionWith(path, PEFileTimeStamp(path));
}

std::optional<QString> InstalledVersionFinder::checksumDbVersion(const QString& versionPath) const {
    const QString section = fileNameOf(versionPath);
    if (section.isEmpty() || !m_stores.checksumDb.hasSection(section))
        return QString();
    const std::optional<quint32> crc = FileCrc32(versionPath);
    if (!crc)
        return std::nullopt;
    QString version = m_stores.checksumDb.value(section, crcDecimal(*crc)).trimmed();
    if (version.isEmpty())
        version = m_stores.checksumDb.value(section, crcHex(*crc)).trimmed();
    return version;
}

bool InstalledVersionFinder::overrideUserVal(const QString& fileName, const QString& crcText) const {
    const IniDocument& db = m_stores.checksumDb;
    if (!db.hasSection(fileName))
        return false;
    if (SettingTextToBool(db.value(fileName, u"OverrideUserVal"_s).trimmed()))
        return true;
    return !crcText.isEmpty() &&
           SettingTextToBool(db.value(fileName, crcText + u"_OverrideUserVal"_s).trimmed());
}

void rememberVersionFile(const IdentificationStores& stores, const InstalledVersion& found) {
    if (!found.versionFileEntry.isEmpty())
        stores.userPluginInfo.setValue(found.versionFileEntry, QString(dbkey::VersionFile),
                                       found.versionFileValue);
}

std::optional<QString> InstalledVersionFinder::confirmedVersion(const QString& path,
                                                                const QString& checksumPath) const {
    const QString section = QString::fromLatin1(section::OverridePlugVer);
    // Without confirmed versions there is nothing to look up, and the path forms are costly.
    if (!m_stores.settings.hasSection(section))
        return std::nullopt;
    if (isDatabasePseudoPath(path) || samePathIgnoringCase(m_ownExecutable, path))
        return std::nullopt;
    QString value = StoredOverride(m_stores.settings, path).trimmed();
    if (value.isEmpty() && m_paths.convertToEnvPath)
        value = StoredOverride(m_stores.settings, m_paths.convertToEnvPath(path)).trimmed();
    if (m_paths.expand)
        value = m_paths.expand(value);
    const qsizetype bar = value.indexOf(u'|');
    if (bar < 0)
        return std::nullopt;
    const QString storedCrc = value.left(bar).trimmed();
    const QString version = value.mid(bar + 1).trimmed();
    if (storedCrc.isEmpty() || overrideUserVal(fileNameOf(checksumPath), storedCrc))
        return std::nullopt;
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    const std::optional<quint32> crc = FileCrc32(path);
    if (!crc || (storedCrc != crcDecimal(*crc) && storedCrc != crcHex(*crc)))
        return std::nullopt;
    return version;
}

QString InstalledVersionFinder::presetVersion(const QString& path, VersionPass pass) const {
    if (path.compare(kPluginDbPath, Qt::CaseInsensitive) == 0)
        return FormatDate(databaseReleaseDate(m_stores.pluginDb));
    if (path.compare(kChecksumDbPath, Qt::CaseInsensitive) == 0)
        return QString::number(m_stores.checksumDb.sectionCount());
    const QString name = fileNameOf(path).toLower();
    // The refresh reads a 64-bit build through its version information.
    if (name == u"tcmatch.exe"_s || (pass == VersionPass::Identification && name == u"tcmatch64.exe"_s))
        return ScriptVersion(path).value_or(QString());
    return {};
}

InstalledVersion InstalledVersionFinder::find(const QString& path, VersionPass pass,
                                              const ExecutableFacts* pathFacts) const {
    InstalledVersion result;
    QString version = presetVersion(path, pass);
    if (isDatabasePseudoPath(path)) {
        result.version = version;
        return result;
    }

    const QString versionPath = versionPathFor(path);
    // One reading of the file serves the version information, the number and the time stamp.
    std::optional<ExecutableFacts> readHere;
    if (!pathFacts || versionPath != path)
        readHere = ReadExecutableFacts(versionPath);
    const ExecutableFacts& facts = readHere ? *readHere : *pathFacts;
    const TCEVersionInfo& info = facts.info;
    result.productName = info.FProductName.trimmed();
    result.internalName = info.FInternalname.trimmed();
    const QString productVersion = info.FProductVersion.trimmed();
    const QString fileVersion = info.FFileVersion.trimmed();
    QString numberVersion;
    if (version.isEmpty()) {
        numberVersion = facts.fileVersionNumber;
        // The program's own file where it is no Windows executable (no time stamp was read) names
        // its version in its marker; a Windows build keeps its version resource.
        if (numberVersion.isEmpty() && fileVersion.isEmpty() && !facts.timeStamp &&
            samePathIgnoringCase(m_ownExecutable, path)) {
            numberVersion = ReadOwnVersionMarker(path);
            if (!numberVersion.isEmpty() && result.productName.isEmpty())
                result.productName = u"Quillon"_s;
        }
        version = numberVersion;
    }

    // A file version string such as "1.5b" says more than the fixed block's 1.5.0.0. The string
    // usually repeats the fixed block word for word, which says nothing more.
    if (fileVersion != version && CollapsedVersion(fileVersion).compare(CollapsedVersion(version)) > 0) {
        const QString normalised = NormalizeVersionText(fileVersion);
        if (normalised.size() >= 3 && versionLike().match(normalised).hasMatch())
            version = normalised;
    }

    if (pass == VersionPass::Refresh) {
        if (const auto confirmed = confirmedVersion(path, versionPath)) {
            version = *confirmed;
            result.confirmed = true;
        }
    }

    if (m_options.checksumDbState == ChecksumDbUse::First) {
        const std::optional<QString> fromDb = checksumDbVersion(versionPath);
        if (!fromDb) {
            result.error = u"The checksum of %1 cannot be computed."_s.arg(versionPath);
            return result;
        }
        if (!fromDb->isEmpty()) {
            version = *fromDb;
            result.confirmed = false;
        }
    }

    const QString versionFile = EntryLookup(m_stores.userDb, m_stores.pluginDb, m_options.databases,
                                            versionPath, QString(dbkey::VersionFile));
    QString textFile;
    if ((version.isEmpty() || !versionFile.isEmpty()) && m_options.intelliDetect && !m_options.safe) {
        const QFileInfo versionInfo(versionPath);
        const TextFileVersion fromText = VersionFromTextFiles(
            versionInfo.absolutePath(), fileStemOf(versionPath), versionFile, m_textFiles);
        if (!fromText.version.isEmpty()) {
            version = fromText.version;
            textFile = fromText.filePath;
            result.confirmed = false;
        }
    }

    if (!version.isEmpty()) {
        version = cleanFoundVersion(version);
        if (!textFile.isEmpty()) {
            const QString stored =
                m_paths.convertTcPathToEnvPath ? m_paths.convertTcPathToEnvPath(textFile) : textFile;
            result.versionFileEntry = fileNameOf(versionPath);
            result.versionFileValue = stored;
        }
    }

    if (version.isEmpty()) {
        if (m_options.checksumDbState == ChecksumDbUse::LastResort && numberVersion.isEmpty() &&
            productVersion.isEmpty() && fileVersion.isEmpty()) {
            const std::optional<QString> fromDb = checksumDbVersion(versionPath);
            if (!fromDb) {
                result.error = u"The checksum of %1 cannot be computed."_s.arg(versionPath);
                return result;
            }
            version = *fromDb;
        }
        if (version.isEmpty() && (m_options.treatDateAsVer || m_options.strictVer))
            version = dateVersionWith(versionPath, facts.timeStamp);
    }

    if (pass == VersionPass::Identification) {
        if (const auto confirmed = confirmedVersion(path, versionPath)) {
            version = *confirmed;
            result.confirmed = true;
        }
    }
    result.version = version;
    return result;
}

} // namespace quillon
