#pragma once
// Small text routines shared by every part of the program.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

// What a version column shows when no version is known.
inline constexpr QLatin1StringView kNoVersion{"-"};

// Cuts text at every occurrence of delimiter (pieces may be empty; n delimiters give n + 1
// pieces). Empty text or a negative limit: no pieces. Empty delimiter: the text alone.
// A positive limit keeps at most that many pieces and drops the rest of the text.
QStringList SplitString(const QString& delimiter, const QString& text, int limit = 0);

// Settings booleans: true only for "true" in any letter case, nothing trimmed.
bool SettingTextToBool(const QString& text);
QString BoolToSettingText(bool value);

// First element equal to text without regard to ASCII case; -1 when none is.
int IndexOfText(const QString& text, const QStringList& list);

// Sorted without regard to case; of entries equal without regard to case the first stays.
void SortUnique(QStringList& list);

// Order for sorting a list descending: compares item index2 with item index1.
int DescendingCompare(const QStringList& list, int index1, int index2,
                      Qt::CaseSensitivity sensitivity = Qt::CaseInsensitive);

// Drops every "<...>" span; text after an unclosed "<" is dropped too.
QString StripTags(const QString& text);
// Upper-cases a-z at the start and after every blank.
QString CapitalizeWords(const QString& text);
// Non-overlapping occurrences of part in text.
int CountOccurrences(const QString& part, const QString& text);
int CountChar(const QString& text, QChar character);
// Keeps ".", digits and ASCII letters; stops at a NUL.
QString KeepVersionChars(const QString& text);
QString RemoveWhitespace(const QString& text);
QString PadLeft(const QString& text, QChar character, int width);
// Decimal with leading zeros to at least width digits ("-0042" for -42, width 4).
QString ZeroPadNumber(qint64 number, int width);
// "007" -> "7", "000" -> "0", "" -> "".
QString StripLeadingZeros(const QString& text);

// Whole text is a 32-bit signed decimal integer (optional sign, no blanks).
bool IsInteger(const QString& text);
std::optional<qint32> TryParseInteger(const QString& text);

// Bytes in a Windows code page (1250, 1251, 1252, 1257, 936, 65001, ...) as text. Empty input
// gives empty text; an unknown code page or invalid bytes give no value: the caller abandons
// the operation.
std::optional<QString> MultiByteToText(const QByteArray& bytes, int codePage);

enum FindTextOption {
    FindDown = 1,
    FindMatchCase = 2,
    FindWholeWord = 4,
};
// Whether part occurs in text, searched from the beginning with the FindTextOption bits.
bool FindTextInString(const QString& text, const QString& part, int options);

// Standard base64 (A-Z a-z 0-9 + /, "=" padding only at the end); white space between the
// characters is ignored. Any other error gives an empty result.
QByteArray DecodeBase64(const QByteArray& encoded);

// The first `most` items and, when there are more, moreText with "%s" replaced by how many
// were left out: a message lists a few hundred failed files as a few lines, not one long wall.
QStringList FirstItems(const QStringList& items, int most, const QString& moreText);

} // namespace quillon
