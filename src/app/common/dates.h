#pragma once
// Dates and sizes as the program shows them: "dd.MM.yyyy", "hh:mm", decimal separator ",".
#include <QDate>
#include <QString>
#include <QTime>

namespace quillon {

inline constexpr QChar DecimalSeparator = u',';

// Day, month and year separated by ".", "-" or "/" (or year first), 8 to 10 characters once
// blanks are removed, 1900 <= year < 2100.
bool IsDateString(const QString& text);

// "1024 bytes", "1,5 KB", "1 MB", "2,25 GB" (at most two decimals, no trailing zeros).
QString FormatByteSize(quint32 bytes);

QString FormatDate(const QDate& date);      // dd.MM.yyyy
QString FormatShortTime(const QTime& time); // hh:mm
QString FormatLongTime(const QTime& time);  // hh:mm:ss

} // namespace quillon
