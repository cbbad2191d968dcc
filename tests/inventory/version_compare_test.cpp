#include "inventory/version_compare.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

struct GreaterCase {
    QString installed;
    QString online;
    bool expected;
};

void expectGreater(const std::vector<GreaterCase>& cases) {
    for (const GreaterCase& c : cases) {
        SCOPED_TRACE(
            QString(u"installed \"" + c.installed + u"\", online \"" + c.online + u'"').toStdString());
        EXPECT_EQ(ComplexVerGreater(c.installed, c.online), c.expected);
    }
}

TEST(ComplexVerGreater, DocumentedResults) {
    expectGreater({
        {u"1.2"_s, u"1.10"_s, true},
        {u"1.10"_s, u"1.9"_s, false},
        {u"2.0"_s, u"2.0"_s, false},
        {u"1.2"_s, u"1.2.1"_s, true},
        {u"1.5a"_s, u"1.5b"_s, true},
        {u"1.5"_s, u"1.5a"_s, true},
        {u"1.5a"_s, u"1.5"_s, false},
        {u"1.5b"_s, u"1.5B"_s, false},
        {u"8.0ß5"_s, u"8.0"_s, true},
        {u"8.0"_s, u"8.0ß5"_s, false},
        {u"8.0ß"_s, u"8.0"_s, false},
        {u"8.0ß4"_s, u"8.0ß5"_s, true},
        {u"8.0RC1"_s, u"8.0RC2"_s, true},
        {u"8.0rc1"_s, u"8.0rc2"_s, false},
        {u"8.0RC2"_s, u"8.0ß1"_s, false},
        {u"8.0α1"_s, u"8.0ß1"_s, true},
        {u"1.2.3.4.5"_s, u"1.2.3.4.6"_s, false},
        {u"5"_s, u"6"_s, true},
        {u"5"_s, u"5.1"_s, false},
        {u"24.12.2013"_s, u"25.12.2013"_s, false},
        {u""_s, u"1.0"_s, false},
    });
}

TEST(ComplexVerGreater, TagsAndSuffixes) {
    expectGreater({
        // Non-ASCII tags are found by the suffix search like "RC".
        {u"8.0Pß1"_s, u"8.0Pß2"_s, true},
        {u"8.0α1"_s, u"8.0α2"_s, true},
        {u"8.0PB1"_s, u"8.0PB2"_s, true},
        {u"8.0ß12"_s, u"8.0ß9"_s, false},
        {u"8.0ß5"_s, u"8.0ß5a"_s, true},
        {u"8.0ß5a"_s, u"8.0ß5b"_s, true},
        {u"8.0ß1"_s, u"8.0RC1"_s, true},
        {u"8.0RC1"_s, u"8.0"_s, true},
        {u"8.0"_s, u"8.0RC1"_s, false},
        {u"8.0α9"_s, u"8.0"_s, true},
        {u"8.0ß9"_s, u"8.1ß1"_s, true},
        // Blanks around pieces and texts.
        {u" 1.2 "_s, u"1.3"_s, true},
        {u"1. 2"_s, u"1.3"_s, true},
        {u" 5 "_s, u"6"_s, true},
        {u"5"_s, u"-6"_s, false},
        {u"1.2.3.4"_s, u"1.2.3.4.5"_s, false},
        {u"1"_s, u"1.0"_s, false},
        {u"1.0"_s, u" "_s, false},
        {u"2013-12-24"_s, u"2.0"_s, false},
        {u"19990101"_s, u"20000101"_s, true},
        {u"99999999999"_s, u"999999999999"_s, false}, // beyond 32 bits: no integer
    });
}

// Cases where a literal reading of the rules gives a wrong answer.
TEST(ComplexVerGreater, NoFalseUpdates) {
    expectGreater({
        // A trailing blank is no letter.
        {u"1.5"_s, u"1.5 "_s, false},
        {u"1.5 "_s, u"1.5"_s, false},
        // A bare tag is a pre-release, never newer than the final of the same numbers.
        {u"8.0"_s, u"8.0ß"_s, false},
        {u"8.0"_s, u"8.0RC"_s, false},
        {u"8.0"_s, u"8.0 α"_s, false},
        {u"8.0RC"_s, u"8.0ß"_s, false},
        // The number after the tag decides before any letter.
        {u"8.0ß2"_s, u"8.0ß"_s, false},
        {u"8.0ß"_s, u"8.0ß2"_s, true},
        {u"8.0ß6"_s, u"8.0ß5b"_s, false},
        {u"8.0ß5b"_s, u"8.0ß6"_s, true},
        // Huge pieces saturate instead of wrapping to negative numbers.
        {u"1.2"_s, u"1.99999999999"_s, true},
        {u"1.99999999999"_s, u"1.2"_s, false},
        {u"1.4294967297"_s, u"1.2"_s, false},
    });
}

TEST(VersionPieceValue, WholeNumbersElseLeadingDigits) {
    const qint32 max = std::numeric_limits<qint32>::max();
    const qint32 min = std::numeric_limits<qint32>::min();
    const std::vector<std::pair<QString, qint32>> cases{
        {u"5b"_s, 5},
        {u"b5"_s, 0},
        {u""_s, 0},
        {u" 7 "_s, 7},
        {u"+3"_s, 3},
        {u"-3"_s, -3},
        {u"-3b"_s, 0},
        {u"0rc1"_s, 0},
        {u"12 3"_s, 12},
        {u"007"_s, 7},
        {u"2147483647"_s, max},
        {u"-2147483648"_s, min},
        {u"2147483648"_s, max},
        {u"99999999999x"_s, max},
        {u"١٢"_s, 0}, // Arabic-Indic digits are no digits here
    };
    for (const auto& [piece, value] : cases)
        EXPECT_EQ(VersionPieceValue(piece), value) << piece.toStdString();
}

TEST(ParseVersion, TagSuffixSearch) {
    struct Case {
        QString text;
        bool tagFound;
        QString suffix;
        qint32 tagNumber;
        int rank;
        std::array<qint32, 4> parts;
    };
    const std::vector<Case> cases{
        {u"8.0ß5"_s, true, u""_s, 5, 3, {8, 0, 0, 0}},
        {u"8.0Pß12"_s, true, u""_s, 12, 3, {8, 0, 0, 0}},
        {u"8.0α3b"_s, true, u"3b"_s, 3, 4, {8, 0, 0, 0}},
        {u"9.0RC2"_s, true, u""_s, 2, 1, {9, 0, 0, 0}},
        {u"9.0 RC_x"_s, true, u"_x"_s, 0, 1, {9, 0, 0, 0}},
        {u"8.0ß5ß6"_s, true, u"5\n6"_s, 5, 3, {8, 0, 0, 0}},
        {u"8.0ß"_s, false, u"ß"_s, 0, 3, {8, 0, 0, 0}},
        {u"8.0rc1"_s, false, u""_s, 0, 1, {8, 0, 0, 0}},
        {u"8.0pß1"_s, false, u""_s, 0, 3, {8, 0, 0, 0}}, // tag "Pß", searched case-sensitively
        {u"8.0ßä"_s, false, u"ä"_s, 0, 3, {8, 0, 0, 0}}, // \w is ASCII, as in a UTF-8 search
        {u"1.5B"_s, false, u"b"_s, 0, 0, {1, 5, 0, 0}},
        {u"1.10.3.4"_s, false, u""_s, 0, 0, {1, 10, 3, 4}},
        {u"2.1.7.9.5"_s, false, u""_s, 0, 0, {2, 1, 7, 9}},
        {u"1.2𝐀"_s, false, u"𝐀"_s, 0, 0, {1, 2, 0, 0}}, // a character outside the BMP stays whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const ParsedVersion parsed = ParseVersion(c.text);
        EXPECT_EQ(parsed.TagFound, c.tagFound);
        EXPECT_EQ(parsed.SuffixText, c.suffix);
        EXPECT_EQ(parsed.TagNumber, c.tagNumber);
        EXPECT_EQ(parsed.Rank, c.rank);
        EXPECT_EQ(parsed.Parts, c.parts);
    }
}

// Texts built from the shapes met in the wild: numbers with up to five pieces, dates, tags in
// both letter cases, trailing letters and words, blanks, non-ASCII letters.
QStringList versionCorpus() {
    const QStringList bases{
        u""_s,        u" "_s,         u"1"_s,          u"5"_s,          u"1.0"_s,
        u"1.2"_s,     u"1.10"_s,      u"8.0"_s,        u"8.1"_s,        u"1.2.3"_s,
        u"1.2.3.4"_s, u"1.2.3.4.5"_s, u"24.12.2013"_s, u"2013-12-24"_s, u"99999999999.1"_s};
    const QStringList suffixes{u""_s,      u"a"_s,   u"b"_s,   u"B"_s,   u"ß"_s,    u"ß5"_s,
                               u"ß12"_s,   u"Pß1"_s, u"pß1"_s, u"PB2"_s, u"pb2"_s,  u"RC1"_s,
                               u"rc1"_s,   u"RC"_s,  u"α"_s,   u"α1"_s,  u"α3b"_s,  u"ß5ß6"_s,
                               u" beta"_s, u" "_s,   u"ä"_s,   u"_x"_s,  u" RC 2"_s};
    QStringList corpus;
    for (const QString& base : bases)
        for (const QString& suffix : suffixes)
            corpus.append(base + suffix);
    return corpus;
}

TEST(ComplexVerGreater, NeverBothWaysNewer) {
    const QStringList corpus = versionCorpus();
    const qsizetype n = corpus.size();
    std::vector<bool> newer(std::size_t(n * n));
    for (qsizetype i = 0; i < n; ++i)
        for (qsizetype j = 0; j < n; ++j)
            newer[std::size_t(i * n + j)] = ComplexVerGreater(corpus[i], corpus[j]);
    for (qsizetype i = 0; i < n; ++i) {
        ASSERT_FALSE(newer[std::size_t(i * n + i)]) << corpus[i].toStdString();
        for (qsizetype j = i + 1; j < n; ++j) {
            ASSERT_FALSE(newer[std::size_t(i * n + j)] && newer[std::size_t(j * n + i)])
                << corpus[i].toStdString() << " vs " << corpus[j].toStdString();
        }
    }
}

} // namespace
} // namespace quillon
