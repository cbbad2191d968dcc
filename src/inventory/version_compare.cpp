#include "inventory/version_compare.h"

#include "app/common/dates.h"
#include "inventory/version_tags.h"

#include <QRegularExpression>

#include <algorithm>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

constexpr qint32 maxPiece = std::numeric_limits<qint32>::max();

// Raw code units keep the hot number loops cheap in unoptimised builds too.
constexpr bool isAsciiDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Whole text (already trimmed) as a 32-bit decimal with optional sign; nothing on overflow.
std::optional<qint32> wholeInteger(QStringView text) {
    const char16_t* pos = text.utf16();
    const char16_t* const end = pos + text.size();
    const bool negative = pos != end && *pos == u'-';
    if (pos != end && (*pos == u'+' || *pos == u'-'))
        ++pos;
    if (pos == end)
        return std::nullopt;
    const qint64 limit = negative ? -qint64(std::numeric_limits<qint32>::min()) : qint64(maxPiece);
    qint64 value = 0;
    for (; pos != end; ++pos) {
        if (!isAsciiDigit(*pos))
            return std::nullopt;
        value = value * 10 + (*pos - u'0');
        if (value > limit)
            return std::nullopt;
    }
    return qint32(negative ? -value : value);
}

qint32 leadingDigitsValue(QStringView text) {
    qint64 value = 0;
    for (const char16_t *pos = text.utf16(), *end = pos + text.size(); pos != end && isAsciiDigit(*pos);
         ++pos) {
        // Saturate rather than wrap: a wrapped value would turn a huge build number negative.
        value = std::min<qint64>(value * 10 + (*pos - u'0'), maxPiece);
    }
    return qint32(value);
}

QString suffixPattern(const QString& tag) {
    return u"(?<="_s + QRegularExpression::escape(tag) + u")\\w+"_s;
}

// Everything that follows the tag, case-sensitively; several finds joined by line breaks.
// \w stays ASCII, as in a UTF-8 search without Unicode properties.
QString joinedMatches(const QRegularExpression& expression, const QString& text) {
    QRegularExpressionMatchIterator it = expression.globalMatch(text);
    if (!it.hasNext())
        return {};
    QString joined = it.next().captured();
    while (it.hasNext())
        joined += QLatin1Char('\n') + it.next().captured();
    return joined.trimmed();
}

QString suffixCompiledOnce(const QString& text, const VersionTag& tag) {
    static const QList<QRegularExpression> expressions = [] {
        QList<QRegularExpression> list;
        for (const QString& known : VersionTags()) {
            list.append(QRegularExpression(suffixPattern(known)));
            list.last().optimize();
        }
        return list;
    }();
    return joinedMatches(expressions.at(tag.Index), text);
}

QString suffixPerCall(const QString& text, const VersionTag& tag) {
    return joinedMatches(QRegularExpression(suffixPattern(tag.Tag)), text);
}

using SuffixSearch = QString (*)(const QString& text, const VersionTag& tag);

// The last character in lower case when it is no digit. Trailing blanks are no letter: a
// padded "1.5 " must not read as newer than "1.5".
QString trailingLetter(const QString& text) {
    const QStringView trimmed = QStringView(text).trimmed();
    if (trimmed.isEmpty() || isAsciiDigit(trimmed.back().unicode()))
        return {};
    const qsizetype size = trimmed.size();
    const bool pair = size >= 2 && trimmed.back().isLowSurrogate() && trimmed.at(size - 2).isHighSurrogate();
    return trimmed.right(pair ? 2 : 1).toString().toLower();
}

ParsedVersion parse(const QString& text, SuffixSearch searchSuffix) {
    ParsedVersion parsed;
    const VersionTag tag = VersionTagOf(text);
    parsed.Rank = tag.Rank;
    const QString found = searchSuffix(text, tag);
    if (!found.isEmpty()) {
        parsed.TagFound = true;
        if (const std::optional<qint32> number = wholeInteger(found)) {
            parsed.TagNumber = *number;
        } else {
            parsed.SuffixText = found;
            parsed.TagNumber = leadingDigitsValue(found);
        }
    } else {
        parsed.SuffixText = trailingLetter(text);
    }
    qsizetype start = 0;
    for (qint32& part : parsed.Parts) {
        if (start > text.size())
            break; // missing pieces count 0
        qsizetype end = text.indexOf(QLatin1Char('.'), start);
        if (end < 0)
            end = text.size();
        part = VersionPieceValue(QStringView(text).sliced(start, end - start));
        start = end + 1;
    }
    return parsed;
}

bool plainGreater(const QString& installed, const QString& online) {
    const std::optional<qint32> l = wholeInteger(QStringView(installed).trimmed());
    const std::optional<qint32> o = wholeInteger(QStringView(online).trimmed());
    return l && o && *o > *l;
}

bool usesDottedComparison(const QString& installed, const QString& online) {
    return installed.size() > 1 && online.size() > 1 && installed.contains(QLatin1Char('.')) &&
           online.contains(QLatin1Char('.')) && !IsDateString(installed) && !IsDateString(online);
}

bool greater(const QString& installed, const QString& online, SuffixSearch searchSuffix) {
    if (QStringView(installed).trimmed().isEmpty() || QStringView(online).trimmed().isEmpty())
        return false;
    if (!usesDottedComparison(installed, online))
        return plainGreater(installed, online);
    if (installed.count(QLatin1Char('.')) > 3 || online.count(QLatin1Char('.')) > 3)
        return false;

    const ParsedVersion l = parse(installed, searchSuffix);
    const ParsedVersion o = parse(online, searchSuffix);
    for (std::size_t i = 0; i < l.Parts.size(); ++i) {
        if (o.Parts[i] != l.Parts[i])
            return o.Parts[i] > l.Parts[i];
    }
    if (!l.TagFound && !o.TagFound) {
        // A bare tag ("8.0ß", "8.0RC") leaves only its last letter to compare, and that letter
        // would make a pre-release look newer than the final of the same numbers.
        if (o.Rank > l.Rank)
            return false;
        return o.SuffixText > l.SuffixText;
    }
    if (l.Rank != o.Rank)
        return l.Rank > o.Rank;
    // The number after the tag decides before the text: weighing text and number each on its
    // own would call 8.0ß newer than 8.0ß2 and 8.0ß2 newer than 8.0ß at once.
    if (o.TagNumber != l.TagNumber)
        return o.TagNumber > l.TagNumber;
    return o.SuffixText > l.SuffixText;
}

} // namespace

qint32 VersionPieceValue(QStringView piece) {
    const QStringView trimmed = piece.trimmed();
    if (const std::optional<qint32> whole = wholeInteger(trimmed))
        return *whole;
    return leadingDigitsValue(trimmed);
}

ParsedVersion ParseVersion(const QString& text) {
    return parse(text, suffixCompiledOnce);
}

bool ComplexVerGreater(const QString& installed, const QString& online) {
    return greater(installed, online, suffixCompiledOnce);
}

namespace detail {

bool ComplexVerGreaterPerCallRegex(const QString& installed, const QString& online) {
    return greater(installed, online, suffixPerCall);
}

} // namespace detail

} // namespace quillon
