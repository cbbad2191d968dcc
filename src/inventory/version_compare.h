#pragma once
// Whether an online version text is newer than an installed one. Every "Update available!"
// decision goes through ComplexVerGreater.
#include <QString>
#include <QStringView>

#include <array>

namespace quillon {

// One piece of a version text as a number: a whole decimal integer (blanks around it and a sign
// allowed), else the value of its leading digits, 0 when it begins with none ("5b" is 5, "b5" is
// 0). Leading digits beyond the 32-bit range count as the largest 32-bit value.
qint32 VersionPieceValue(QStringView piece);

// A dotted version as the comparison sees it.
struct ParsedVersion {
    std::array<qint32, 4> Parts{};
    bool TagFound = false; // text follows the tag (case-sensitive search)
    QString SuffixText;    // the text after the tag unless a whole number; else a trailing letter
    qint32 TagNumber = 0;  // the number after the tag (its leading digits)
    int Rank = 0;          // see VersionRank
};

ParsedVersion ParseVersion(const QString& text);

bool ComplexVerGreater(const QString& installed, const QString& online);

namespace detail {
// The same decision with the tag suffix expressions built anew on every call: the baseline
// against which the benchmark measures what building them once saves.
bool ComplexVerGreaterPerCallRegex(const QString& installed, const QString& online);
} // namespace detail

} // namespace quillon
