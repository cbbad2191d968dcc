#include "tcdetect/tc_version.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

#include "app/common/checksums.h"
#include "app/common/files.h"
#include "app/common/pe_info.h"
#include "app/common/strings.h"
#include "app/ini_document.h"
#include "app/system.h"
#include "tcdetect/tc_locator.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

using Replacement = std::pair<QLatin1StringView, QString>;

QString normalize(QString text, std::initializer_list<Replacement> table) {
    for (const auto& [from, to] : table)
        text.replace(from, to, Qt::CaseInsensitive);
    QString compact;
    compact.reserve(text.size());
    for (const QChar c : std::as_const(text)) {
        if (!c.isSpace())
            compact += c;
    }
    return compact;
}

// The four conditions both sources share.
bool acceptable(const QString& candidate) {
    return !candidate.trimmed().isEmpty() && candidate.size() <= 8 && candidate != "-"_L1 &&
           candidate.contains('.'_L1);
}

QString fileInDirNoCase(const QString& dir, const QString& name) {
    if (dir.isEmpty())
        return {};
    const QStringList found = QDir(dir).entryList({name}, QDir::Files | QDir::Readable);
    return found.isEmpty() ? QString() : dir + '/'_L1 + found.first();
}

} // namespace

QString NormalizeTitleVersion(const QString& text) {
    return normalize(text, {{"final"_L1, {}},
                            {"public beta"_L1, u"Pß"_s},
                            {"beta"_L1, u"ß"_s},
                            {"rc"_L1, u"RC"_s},
                            {"release candidate"_L1, u"RC"_s},
                            {"public"_L1, {}},
                            {" "_L1, {}}});
}

QString NormalizeHistoryVersion(const QString& text) {
    return normalize(text, {{"final"_L1, {}},
                            {"public beta"_L1, u"Pß"_s},
                            {"alpha"_L1, u"α"_s},
                            {"beta"_L1, u"ß"_s},
                            {"rc"_L1, u"RC"_s},
                            {"release candidate"_L1, u"RC"_s},
                            {"public"_L1, {}},
                            {" "_L1, {}}});
}

QString VersionFromWindowTitle(const QString& title, const QString& baseVersion) {
    static const QString kName = u"Total Commander"_s;
    static const QString kName64 = u"Total Commander (x64)"_s;
    if (!title.contains(kName, Qt::CaseInsensitive) || !title.contains('-'_L1))
        return {};
    qsizetype start = baseVersion.isEmpty() ? -1 : title.indexOf(baseVersion, 0, Qt::CaseInsensitive);
    if (start < 0 && title.contains("(x64)"_L1, Qt::CaseInsensitive)) {
        const qsizetype at = title.indexOf(kName64, 0, Qt::CaseInsensitive);
        if (at >= 0)
            start = at + kName64.size();
    }
    if (start < 0)
        start = title.indexOf(kName, 0, Qt::CaseInsensitive) + kName.size();
    const qsizetype end = title.lastIndexOf('-'_L1);
    // A dash before the start (inside the name or the user part) leaves no version between.
    if (end <= start)
        return {};
    const QString candidate = NormalizeTitleVersion(title.mid(start, end - start).trimmed());
    return acceptable(candidate) ? candidate : QString();
}

QString VersionFromHistoryLine(const QString& firstLine) {
    static const QString kName = u"Total Commander"_s;
    const qsizetype at = firstLine.indexOf(kName, 0, Qt::CaseInsensitive);
    QString rest = firstLine.mid(at < 0 ? kName.size() : at + kName.size());
    const qsizetype paren = rest.indexOf('('_L1);
    if (paren >= 0)
        rest.truncate(paren);
    const QString candidate = NormalizeHistoryVersion(rest);
    return acceptable(candidate) ? candidate : QString();
}

QString TcVersionDetector::checksumVersion(const QString& exeFile) const {
    const QString section = QFileInfo(exeFile).fileName();
    if (m_options.checksumDbState == ChecksumDbUse::Off || section.isEmpty() ||
        !m_checksumDb.hasSection(section))
        return {};
    // An executable that cannot be read simply has no entry.
    const std::optional<quint32> crc = FileCrc32(exeFile);
    if (!crc)
        return {};
    QString version = m_checksumDb.value(section, crcDecimal(*crc)).trimmed();
    if (version.isEmpty())
        version = m_checksumDb.value(section, crcHex(*crc)).trimmed();
    return version;
}

TcVersionFacts TcVersionDetector::detect(const QString& knownExeFile, const QString& tcDir,
                                         const platform::TcWindowState* known) const {
    TcVersionFacts facts;
    facts.exeFile = knownExeFile;
    const platform::TcWindowState window = known ? *known : m_system.tcWindow().state();
    facts.windowExists = window.running;
    if (facts.windowExists) {
        facts.windowTitle = QString::fromStdString(window.title).trimmed();
        const QString processPath = QString::fromStdString(window.processPath);
        if (!processPath.isEmpty())
            facts.exeFile = processPath;
    }
    if (facts.exeFile.isEmpty() || !QFileInfo(facts.exeFile).isFile())
        facts.exeFile = m_locator.GetTCExePath();

    facts.baseVersion = checksumVersion(facts.exeFile);
    const FileVersionStrings strings = ReadFileVersionStrings(facts.exeFile);
    if (Is64BitExecutable(facts.exeFile)) {
        facts.arch = u"x64"_s;
        if (facts.baseVersion.isEmpty())
            facts.baseVersion = strings.FileVersion.trimmed();
    } else {
        facts.arch = u"x86"_s;
        if (facts.baseVersion.isEmpty())
            facts.baseVersion = strings.ProductVersion.trimmed();
    }
    const QString product = strings.ProductName.trimmed();
    facts.caption = (product.isEmpty() ? u"Total Commander"_s : product) + " ("_L1 + facts.arch + ')'_L1;

    QString version;
    if (!m_options.intelliSubVer) {
        version = facts.baseVersion;
    } else {
        if (facts.windowExists)
            version = VersionFromWindowTitle(facts.windowTitle, facts.baseVersion);
        if (version.isEmpty()) {
            const QString history = fileInDirNoCase(tcDir, u"HISTORY.TXT"_s);
            bool ok = false;
            const QString text = history.isEmpty() ? QString() : ReadTextFile(history, &ok);
            if (ok && !text.isEmpty())
                version = VersionFromHistoryLine(text.section(u"\r\n"_s, 0, 0).section('\n'_L1, 0, 0));
        }
    }
    facts.version = version.trimmed().isEmpty() ? QString(kNoVersion) : version;
    return facts;
}

} // namespace quillon
