#include "app/common/strings.h"

#include "app/common/code_pages.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace quillon {

QStringList SplitString(const QString& delimiter, const QString& text, int limit) {
    QStringList pieces;
    if (text.isEmpty() || limit < 0)
        return pieces;
    if (delimiter.isEmpty())
        return {text};
    qsizetype start = 0;
    while (limit == 0 || pieces.size() < limit) {
        const qsizetype at = text.indexOf(delimiter, start);
        if (at < 0) {
            pieces.append(text.mid(start));
            break;
        }
        pieces.append(text.mid(start, at - start));
        start = at + delimiter.size();
    }
    return pieces;
}

bool SettingTextToBool(const QString& text) {
    return text.toLower() == u"true"_s;
}

QString BoolToSettingText(bool value) {
    return value ? u"True"_s : u"False"_s;
}

namespace {

QChar asciiLower(QChar c) {
    return (c >= u'A' && c <= u'Z') ? QChar(c.unicode() + 32) : c;
}

bool equalsAsciiNoCase(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

int IndexOfText(const QString& text, const QStringList& list) {
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (equalsAsciiNoCase(text, list[i]))
            return int(i);
    }
    return -1;
}

void SortUnique(QStringList& list) {
    // Stable, so that of equal entries the one that came first is the one kept.
    std::stable_sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    const auto end = std::unique(list.begin(), list.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    });
    list.erase(end, list.end());
}

int DescendingCompare(const QStringList& list, int index1, int index2, Qt::CaseSensitivity sensitivity) {
    if (index1 < 0 || index2 < 0 || index1 >= list.size() || index2 >= list.size())
        return 0;
    return list[index2].compare(list[index1], sensitivity);
}

QString StripTags(const QString& text) {
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != u'<') {
            out.append(text[i++]);
            continue;
        }
        const qsizetype close = text.indexOf(u'>', i + 1);
        if (close < 0)
            break;
        i = close + 1;
    }
    return out;
}

QString CapitalizeWords(const QString& text) {
    QString out = text;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if ((i == 0 || out[i - 1] == u' ') && out[i] >= u'a' && out[i] <= u'z')
            out[i] = QChar(out[i].unicode() - 32);
    }
    return out;
}

int CountOccurrences(const QString& part, const QString& text) {
    if (part.isEmpty())
        return 0;
    int count = 0;
    for (qsizetype at = text.indexOf(part); at >= 0; at = text.indexOf(part, at + part.size()))
        ++count;
    return count;
}

int CountChar(const QString& text, QChar character) {
    return int(text.count(character));
}

QString KeepVersionChars(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c == QChar(0))
            break;
        if (c == u'.' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            out.append(c);
    }
    return out;
}

QString RemoveWhitespace(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            out.append(c);
    }
    return out;
}

QString PadLeft(const QString& text, QChar character, int width) {
    if (text.size() >= width)
        return text;
    return QString(width - text.size(), character) + text;
}

QString ZeroPadNumber(qint64 number, int width) {
    // Like "%.*d": the width counts digits, a minus sign comes in front of the zeros.
    const bool negative = number < 0;
    const quint64 magnitude = negative ? 0 - quint64(number) : quint64(number);
    const QString digits = PadLeft(QString::number(magnitude), u'0', width);
    return negative ? QLatin1Char('-') + digits : digits;
}

QString StripLeadingZeros(const QString& text) {
    qsizetype i = 0;
    while (i + 1 < text.size() && text[i] == u'0')
        ++i;
    return text.mid(i);
}

std::optional<qint32> TryParseInteger(const QString& text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

bool IsInteger(const QString& text) {
    return TryParseInteger(text).has_value();
}

namespace {

// The decoder's name for a Windows code page number; empty when we know none.
QByteArray codecNameFor(int codePage) {
    if (codePage >= 1250 && codePage <= 1258)
        return "windows-" + QByteArray::number(codePage);
    if (codePage >= 28591 && codePage <= 28606)
        return "ISO-8859-" + QByteArray::number(codePage - 28590);
    switch (codePage) {
    case 0: // the system's ANSI code page: Windows-1252 here
        return "windows-1252";
    case 437:
    case 850:
    case 852:
    case 855:
    case 857:
    case 860:
    case 861:
    case 862:
    case 863:
    case 865:
    case 866:
    case 869:
        return "IBM" + QByteArray::number(codePage);
    case 874:
        return "windows-874";
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "windows-949";
    case 950:
        return "Big5";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 54936:
        return "GB18030";
    case 65001:
        return "UTF-8";
    default:
        return {};
    }
}

} // namespace

std::optional<QString> MultiByteToText(const QByteArray& bytes, int codePage) {
    if (bytes.isEmpty())
        return QString();
    const QByteArray name = codecNameFor(codePage);
    if (name.isEmpty())
        return std::nullopt;
    return DecodeCodePage(name, bytes, true);
}

bool FindTextInString(const QString& text, const QString& part, int options) {
    if (part.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = (options & FindMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(part, 0, cs); at >= 0; at = text.indexOf(part, at + 1, cs)) {
        if (!(options & FindWholeWord))
            return true;
        const qsizetype end = at + part.size();
        const bool startsWord = at == 0 || !isWordChar(text[at - 1]);
        const bool endsWord = end == text.size() || !isWordChar(text[end]);
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

QByteArray DecodeBase64(const QByteArray& encoded) {
    auto sextet = [](char c) -> int {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    };
    QByteArray out;
    out.reserve(encoded.size() / 4 * 3 + 3);
    quint32 accumulator = 0;
    int pending = 0; // sextets in the current group of four
    int padding = 0;
    for (const char c : encoded) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v')
            continue;
        if (c == '=') {
            // Padding only completes a group that already has two or three characters.
            if (pending + padding < 2)
                return {};
            ++padding;
            if (pending + padding > 4)
                return {};
            continue;
        }
        const int value = sextet(c);
        if (value < 0 || padding > 0)
            return {};
        accumulator = (accumulator << 6) | quint32(value);
        if (++pending == 4) {
            out.append(char((accumulator >> 16) & 0xFF));
            out.append(char((accumulator >> 8) & 0xFF));
            out.append(char(accumulator & 0xFF));
            accumulator = 0;
            pending = 0;
        }
    }
    if (padding > 0 && pending + padding != 4)
        return {};
    switch (pending) {
    case 0:
        break;
    case 2:
        out.append(char((accumulator >> 4) & 0xFF));
        break;
    case 3:
        out.append(char((accumulator >> 10) & 0xFF));
        out.append(char((accumulator >> 2) & 0xFF));
        break;
    default: // a single character cannot encode a byte
        return {};
    }
    return out;
}

QStringList FirstItems(const QStringList& items, int most, const QString& moreText) {
    if (items.size() <= most)
        return items;
    QStringList first = items.mid(0, most);
    first.append(
        QString(moreText).replace(u"%s"_s, QString::number(items.size() - most), Qt::CaseInsensitive));
    return first;
}

} // namespace quillon
