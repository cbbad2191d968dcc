#include "app/common/dates.h"

#include "app/common/strings.h"

using namespace Qt::StringLiterals;

namespace quillon {

bool IsDateString(const QString& text) {
    QString normal = text;
    normal.replace(u'-', u'.').replace(u'/', u'.').remove(u'\t').remove(u' ');
    normal = normal.trimmed();
    if (normal.size() < 8 || normal.size() > 10)
        return false;
    const QStringList pieces = SplitString(u"."_s, normal);
    if (pieces.size() < 3)
        return false;
    QString day = pieces[0].trimmed();
    const QString month = pieces[1].trimmed();
    QString year = pieces[2].trimmed();
    if (pieces[0].size() == 4)
        std::swap(day, year);
    if (year.isEmpty())
        return false;
    const auto y = TryParseInteger(year);
    const auto m = TryParseInteger(month);
    const auto d = TryParseInteger(day);
    return y && m && d && *y >= 1900 && *y < 2100 && *m >= 1 && *m <= 12 && *d >= 1 && *d <= 31;
}

namespace {

// bytes / unit with at most two decimals (rounded half up), no trailing zeros.
QString formatScaled(quint64 bytes, quint64 unit) {
    const quint64 hundredths = (bytes * 100 + unit / 2) / unit;
    QString text = QString::number(hundredths / 100);
    const quint64 fraction = hundredths % 100;
    if (fraction != 0) {
        QString decimals = QString::number(fraction).rightJustified(2, u'0');
        if (decimals.endsWith(u'0'))
            decimals.chop(1);
        text += DecimalSeparator + decimals;
    }
    return text;
}

} // namespace

QString FormatByteSize(quint32 bytes) {
    constexpr quint64 KB = 1024;
    constexpr quint64 MB = KB * 1024;
    constexpr quint64 GB = MB * 1024;
    if (bytes > GB)
        return formatScaled(bytes, GB) + u" GB"_s;
    if (bytes > MB)
        return formatScaled(bytes, MB) + u" MB"_s;
    if (bytes <= KB)
        return QString::number(bytes) + u" bytes"_s;
    return formatScaled(bytes, KB) + u" KB"_s;
}

QString FormatDate(const QDate& date) {
    return date.toString(u"dd.MM.yyyy"_s);
}

QString FormatShortTime(const QTime& time) {
    return time.toString(u"hh:mm"_s);
}

QString FormatLongTime(const QTime& time) {
    return time.toString(u"hh:mm:ss"_s);
}

} // namespace quillon
