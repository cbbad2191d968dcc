#include "inventory/text_version_scan.h"

#include <QRegularExpression>

#include <algorithm>

#include "app/common/files.h"
#include "app/common/strings.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

// The tests in their order of preference at one position; the regular expression engine tries
// the alternatives left to right at each position, so the lowest position wins first and the
// earlier test wins at the same position. Each captures the version's first digit.
QRegularExpression versionPattern(bool historyFile) {
    QString pattern = u"v([0-9])\\.[0-9]|v ([0-9])\\.[0-9]|version: ([0-9])\\.[0-9]|version ([0-9])\\.[0-9]"
                      "|plugin ([0-9])\\.[0-9]"_s;
    if (historyFile)
        pattern += u"|([0-9])\\.[0-9]"_s;
    pattern += u"| ([0-9])\\.[0-9]"_s;
    return QRegularExpression(pattern, QRegularExpression::CaseInsensitiveOption);
}

const QRegularExpression& historyPattern() {
    static const QRegularExpression re = versionPattern(true);
    return re;
}

const QRegularExpression& otherPattern() {
    static const QRegularExpression re = versionPattern(false);
    return re;
}

QString cutBefore(const QString& text, QChar c) {
    const qsizetype at = text.indexOf(c);
    return (at >= 0 ? text.left(at) : text).trimmed();
}

QString ownNameMask(const QString& stem) {
    return u'*' + stem.toLower() + u"*.txt"_s;
}

} // namespace

QStringList versionFileMasks(const QString& stem) {
    return QStringList{ownNameMask(stem)} + namelessVersionFileMasks();
}

const QStringList& namelessVersionFileMasks() {
    static const QStringList masks = {
        u"*history*.txt"_s, u"*history*.htm*"_s, u"*history*.en*"_s, u"*history*.ru*"_s,   u"*change*.txt"_s,
        u"*change*.htm*"_s, u"*change*.en*"_s,   u"*change*.ru*"_s,  u"*readme*en*.txt"_s, u"*read*me*.txt"_s,
        u"*read*me*.en*"_s, u"*read*me*.ru*"_s,  u"*version*"_s,
    };
    return masks;
}

const QStringList& TextFileSearchCache::datedMatches(const QString& directory, const QString& mask) {
    const QString key = directory + QChar(0) + mask;
    auto known = m_matches.constFind(key);
    if (known != m_matches.cend())
        return *known;
    std::shared_ptr<const FileTreeListing>& tree = m_trees[directory];
    if (!tree && m_wholeTree) {
        if (std::optional<FileTreeListing> part = m_wholeTree->subtree(directory))
            tree = std::make_shared<const FileTreeListing>(std::move(*part));
    }
    if (!tree)
        tree = std::make_shared<const FileTreeListing>(directory);
    QStringList dated;
    tree->findFiles(mask, dated, true);
    return *m_matches.insert(key, dated);
}

const QStringList& TextFileSearchCache::firstNamelessMatches(const QString& directory) {
    auto known = m_firstNameless.constFind(directory);
    if (known != m_firstNameless.cend())
        return *known;
    QStringList dated;
    for (const QString& mask : namelessVersionFileMasks()) {
        dated = datedMatches(directory, mask);
        if (!dated.isEmpty())
            break;
    }
    return *m_firstNameless.insert(directory, dated);
}

QStringList FindVersionTextFiles(const QString& directory, const QString& stem, const QString& versionFile,
                                 TextFileSearchCache* cache) {
    QStringList dated;
    const auto find = [&](const QString& mask) {
        if (cache)
            dated += cache->datedMatches(directory, mask);
        else
            FindFilesRecursive(directory, mask, true, dated, true);
    };
    if (!versionFile.isEmpty())
        find(versionFile);
    if (dated.isEmpty() && cache) {
        // Every plugin of a folder asks the same masks after its own name's.
        find(ownNameMask(stem));
        if (dated.isEmpty())
            dated = cache->firstNamelessMatches(directory);
    } else if (dated.isEmpty()) {
        for (const QString& mask : versionFileMasks(stem)) {
            find(mask);
            if (!dated.isEmpty())
                break;
        }
    }
    // "yyyyMMdd|path" sorted descending: newest day first, then path.
    std::sort(dated.begin(), dated.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) > 0; });
    QStringList paths;
    paths.reserve(dated.size());
    for (const QString& line : std::as_const(dated))
        paths.append(line.mid(line.indexOf(u'|') + 1));
    return paths;
}

std::optional<qsizetype> FindVersionStart(const QString& text, bool historyFile) {
    const QRegularExpressionMatch m = (historyFile ? historyPattern() : otherPattern()).match(text);
    if (!m.hasMatch())
        return std::nullopt;
    for (int group = 1; group <= m.lastCapturedIndex(); ++group) {
        if (m.capturedStart(group) >= 0)
            return m.capturedStart(group);
    }
    return std::nullopt;
}

QString ExtractVersionAt(const QString& text, qsizetype start) {
    QString version = text.mid(start, 8).trimmed();
    version.replace(u'_', u' ');
    version = cutBefore(version, u'\r');
    version = cutBefore(version, u' ');
    return KeepVersionChars(version);
}

QString ScanTextForVersion(const QString& text, bool historyFile) {
    const std::optional<qsizetype> start = FindVersionStart(text, historyFile);
    if (!start)
        return {};
    const QString version = ExtractVersionAt(text, *start);
    if (version == u"6.5"_s || version == u"6.50"_s || version == u"7.0"_s)
        return {};
    return version;
}

TextFileVersion VersionFromTextFiles(const QString& directory, const QString& stem,
                                     const QString& versionFile, TextFileSearchCache* cache) {
    TextFileVersion result;
    const QStringList candidates = FindVersionTextFiles(directory, stem, versionFile, cache);
    if (candidates.isEmpty())
        return result;
    result.filePath = candidates.first();
    bool ok = false;
    const QString text = ReadTextFile(result.filePath, &ok);
    if (!ok)
        return result;
    result.version = ScanTextForVersion(text, result.filePath.contains(u"history"_s, Qt::CaseInsensitive));
    return result;
}

} // namespace quillon
