#include <gtest/gtest.h>

#include "app/common/strings.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

TEST(SplitString, CutsAtEveryDelimiterAndHonoursTheLimit) {
    struct Case {
        QString delimiter;
        QString text;
        int limit;
        QStringList expected;
    };
    const Case cases[] = {
        {u","_s, u""_s, 0, {}},
        {u","_s, u"abc"_s, 0, {u"abc"_s}},
        {u","_s, u"a,b,"_s, 0, {u"a"_s, u"b"_s, u""_s}},
        {u","_s, u",,"_s, 0, {u""_s, u""_s, u""_s}},
        {u","_s, u"a,b,c"_s, 2, {u"a"_s, u"b"_s}},
        {u","_s, u"a,b,c"_s, -1, {}},
        {u""_s, u"a,b"_s, 0, {u"a,b"_s}},
        {u"||"_s, u"a||b|c||"_s, 0, {u"a"_s, u"b|c"_s, u""_s}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SplitString(c.delimiter, c.text, c.limit), c.expected) << c.text.toStdString();
}

TEST(SettingText, OnlyExactTrueInAnyCaseIsTrue) {
    for (const QString& yes : {u"true"_s, u"TRUE"_s, u"True"_s})
        EXPECT_TRUE(SettingTextToBool(yes));
    for (const QString& no : {u" true"_s, u"1"_s, u"yes"_s, u""_s, u"truee"_s})
        EXPECT_FALSE(SettingTextToBool(no)) << no.toStdString();
    EXPECT_EQ(BoolToSettingText(true), u"True"_s);
    EXPECT_EQ(BoolToSettingText(false), u"False"_s);
}

TEST(SortUnique, SortsWithoutCaseAndKeepsTheFirstOfEqualEntries) {
    QStringList list{u"beta"_s, u"Alpha"_s, u"BETA"_s, u"alpha"_s, u"gamma"_s, u"Beta"_s};
    SortUnique(list);
    EXPECT_EQ(list, (QStringList{u"Alpha"_s, u"beta"_s, u"gamma"_s}));
    EXPECT_EQ(IndexOfText(u"GAMMA"_s, list), 2);
    EXPECT_EQ(IndexOfText(u"delta"_s, list), -1);
    EXPECT_GT(DescendingCompare(list, 0, 1), 0); // "beta" sorts before "Alpha" descending
}

TEST(TextHelpers, GiveTheirStatedResults) {
    EXPECT_EQ(StripTags(u"<b>bold</b> and <i it"_s), u"bold and "_s);
    EXPECT_EQ(StripTags(u"a > b <br>c"_s), u"a > b c"_s);
    EXPECT_EQ(CapitalizeWords(u"total commander  x64 \u00e9t\u00e9"_s),
              u"Total Commander  X64 \u00e9t\u00e9"_s);
    EXPECT_EQ(CountOccurrences(u"aa"_s, u"aaaaa"_s), 2);
    EXPECT_EQ(CountOccurrences(u""_s, u"abc"_s), 0);
    EXPECT_EQ(CountChar(u"1.2.3"_s, u'.'), 2);
    EXPECT_EQ(KeepVersionChars(u"v 1.5-beta (x64)"_s), u"v1.5betax64"_s);
    EXPECT_EQ(KeepVersionChars(u"1.2"_s + QChar(0) + u"3"_s), u"1.2"_s);
    EXPECT_EQ(RemoveWhitespace(u" a\tb\r\nc\u00a0d\u2003e\u0085"_s), u"abcde"_s);
    EXPECT_EQ(PadLeft(u"7"_s, u'0', 3), u"007"_s);
    EXPECT_EQ(PadLeft(u"1234"_s, u'0', 3), u"1234"_s);
    EXPECT_EQ(ZeroPadNumber(42, 4), u"0042"_s);
    EXPECT_EQ(ZeroPadNumber(-42, 4), u"-0042"_s);
    EXPECT_EQ(ZeroPadNumber(12345, 2), u"12345"_s);
}

TEST(StripLeadingZeros, NeverRemovesTheLastCharacter) {
    const std::pair<QString, QString> cases[] = {
        {u"007"_s, u"7"_s}, {u"000"_s, u"0"_s},   {u"0"_s, u"0"_s},
        {u""_s, u""_s},     {u"100"_s, u"100"_s}, {u"0a"_s, u"a"_s},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(StripLeadingZeros(in), out) << in.toStdString();
}

TEST(TryParseInteger, AcceptsOnlyAWhole32BitNumber) {
    const std::pair<QString, std::optional<qint32>> cases[] = {
        {u"0"_s, 0},
        {u"-17"_s, -17},
        {u"+5"_s, 5},
        {u"2147483647"_s, 2147483647},
        {u"-2147483648"_s, -2147483647 - 1},
        {u"2147483648"_s, std::nullopt},
        {u"99999999999999999999"_s, std::nullopt},
        {u""_s, std::nullopt},
        {u"-"_s, std::nullopt},
        {u" 5"_s, std::nullopt},
        {u"5 "_s, std::nullopt},
        {u"1.5"_s, std::nullopt},
        {u"\u0663"_s, std::nullopt}, // an Arabic-Indic digit is not a decimal digit here
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(TryParseInteger(text), expected) << text.toStdString();
        EXPECT_EQ(IsInteger(text), expected.has_value()) << text.toStdString();
    }
}

TEST(MultiByteToText, DecodesTheLanguageCodePages) {
    struct Case {
        QByteArray bytes;
        int codePage;
        QString expected;
    };
    const Case cases[] = {
        {"Gr\xfc\xdf"
         "e",
         1252, u"Gr\u00fc\u00dfe"_s},
        {"\x80", 1252, u"\u20ac"_s},
        {"\xcf\xf0\xe8\xe2\xe5\xf2", 1251, u"\u041f\u0440\u0438\u0432\u0435\u0442"_s},
        {"\xb9", 1250, u"\u0105"_s},
        {"\xe0", 1257, u"\u0105"_s},
        {"\xc4\xe3\xba\xc3", 936, u"\u4f60\u597d"_s},
        {"\xc3\xa9", 65001, u"\u00e9"_s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MultiByteToText(c.bytes, c.codePage), c.expected) << c.codePage;
    EXPECT_EQ(MultiByteToText({}, 12345), QString());
    EXPECT_FALSE(MultiByteToText("abc", 12345).has_value()) << "unknown code page";
    EXPECT_FALSE(MultiByteToText("\xff\xfe\x80", 65001).has_value()) << "invalid UTF-8";
}

TEST(FindTextInString, HonoursCaseAndWholeWordOptions) {
    struct Case {
        QString text;
        QString part;
        int options;
        bool found;
    };
    const Case cases[] = {
        {u"Total Commander"_s, u"commander"_s, FindDown, true},
        {u"Total Commander"_s, u"commander"_s, FindDown | FindMatchCase, false},
        {u"Total Commander"_s, u"Command"_s, FindDown | FindWholeWord, false},
        {u"Commander Command"_s, u"Command"_s, FindDown | FindWholeWord, true},
        {u"x_Command"_s, u"Command"_s, FindWholeWord, false},
        {u"(Command)"_s, u"command"_s, FindWholeWord, true},
        {u"abc"_s, u""_s, FindDown, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindTextInString(c.text, c.part, c.options), c.found)
            << c.text.toStdString() << " / " << c.part.toStdString() << " / " << c.options;
}

TEST(DecodeBase64, IsStrictButAllowsLineBreaks) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"", ""},
        {"TWFu", "Man"},
        {"TWE=", "Ma"},
        {"TQ==", "M"},
        {"TWE", "Ma"},
        {"TWFu\r\nTWFu\n", "ManMan"},
        {" T W F u ", "Man"},
        {"+/+/", QByteArray::fromHex("fbffbf")},
        {"TWFu!", ""},    // outside the alphabet
        {"TW-u", ""},     // URL-safe alphabet is not accepted
        {"T", ""},        // a lone character encodes nothing
        {"TWFuT", ""},    // same after a full group
        {"TQ=", ""},      // incomplete padding
        {"T===", ""},     // too much padding
        {"=TWF", ""},     // padding first
        {"TQ==TWFu", ""}, // data after padding
        {"TWFu=", ""},    // padding after a full group
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(DecodeBase64(in), out) << in.toStdString();
    const QByteArray binary = QByteArray::fromHex("00ff10807f0d0a1a");
    EXPECT_EQ(DecodeBase64(binary.toBase64()), binary);
}

TEST(Strings, FirstItemsSayHowManyWereLeftOut) {
    const QStringList three{u"a"_s, u"b"_s, u"c"_s};
    EXPECT_EQ(FirstItems(three, 3, u"+%s"_s), three);
    EXPECT_EQ(FirstItems(three, 2, u"and %S more"_s), (QStringList{u"a"_s, u"b"_s, u"and 1 more"_s}));
    EXPECT_EQ(FirstItems(three, 0, u"%s"_s), QStringList{u"3"_s});
}

} // namespace
