#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include "app/common/version_info.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

void put16(QByteArray& bytes, quint16 v) {
    bytes.append(char(v & 0xFF)).append(char(v >> 8));
}

void pad4(QByteArray& bytes) {
    while (bytes.size() % 4)
        bytes.append('\0');
}

// One well-formed node with its lengths worked out; text values carry their NUL.
QByteArray node(const QString& key, const QByteArray& children = {}, const QString* text = nullptr,
                const QByteArray& binary = {}) {
    QByteArray body;
    for (const QChar c : key)
        put16(body, c.unicode());
    put16(body, 0);
    QByteArray value;
    quint16 valueLength = 0;
    if (text) {
        for (const QChar c : *text)
            put16(value, c.unicode());
        put16(value, 0);
        valueLength = quint16(text->size() + 1);
    } else {
        value = binary;
        valueLength = quint16(binary.size());
    }
    QByteArray out;
    put16(out, 0);
    put16(out, valueLength);
    put16(out, text ? 1 : 0);
    out += body;
    pad4(out);
    out += value;
    pad4(out);
    out += children;
    pad4(out);
    const quint16 length = quint16(out.size());
    out[0] = char(length & 0xFF);
    out[1] = char(length >> 8);
    return out;
}

QByteArray stringEntry(const QString& key, const QString& value) {
    return node(key, {}, &value);
}

QByteArray translation(quint16 language, quint16 codePage) {
    QByteArray pair;
    put16(pair, language);
    put16(pair, codePage);
    return pair;
}

} // namespace

// Section and entry names are matched the way Windows matches them: the root name exactly,
// the rest without regard to case, including letters outside ASCII that fold into it.
TEST(VersionInfoParser, MatchesNodeNames) {
    struct Case {
        const char* name;
        QString root;
        QString strings;
        QString vars;
        QString translationKey;
        bool parsed;
        bool hasStrings;
        bool hasTranslation;
    };
    const Case cases[] = {
        {"as written", u"VS_VERSION_INFO"_s, u"StringFileInfo"_s, u"VarFileInfo"_s, u"Translation"_s, true,
         true, true},
        {"other case", u"VS_VERSION_INFO"_s, u"STRINGFILEINFO"_s, u"varfileinfo"_s, u"TRANSLATION"_s, true,
         true, true},
        {"long s folds to s", u"VS_VERSION_INFO"_s, u"\u017FtringFileInfo"_s, u"VarFileInfo"_s,
         u"Tran\u017Flation"_s, true, true, true},
        {"root in other case", u"vs_version_info"_s, u"StringFileInfo"_s, u"VarFileInfo"_s, u"Translation"_s,
         false, false, false},
        {"prefix and longer names", u"VS_VERSION_INFO"_s, u"StringFileInf"_s, u"VarFileInfoX"_s,
         u"Translatio"_s, true, false, false},
    };
    for (const Case& c : cases) {
        const QByteArray table = node(u"040904e4"_s, stringEntry(u"FileVersion"_s, u"1.2"_s));
        const QByteArray vars =
            node(c.vars, node(c.translationKey, {}, nullptr, translation(0x0409, 0x04E4)));
        const auto info = pe::ParseVersionInfo(node(c.root, node(c.strings, table) + vars));
        ASSERT_EQ(info.has_value(), c.parsed) << c.name;
        if (!info)
            continue;
        EXPECT_EQ(!info->stringValue(u"040904E4"_s, u"fileversion"_s).isEmpty(), c.hasStrings) << c.name;
        EXPECT_EQ(info->translations.size(), c.hasTranslation ? 1 : 0) << c.name;
    }
}

// Keys keep their case, table names are upper-cased, the first of two equal keys wins, text
// outside ASCII survives and an empty value stays null.
TEST(VersionInfoParser, ReadsStringTables) {
    const QByteArray entries = stringEntry(u"ProductName"_s, u"Größe \u4E2D"_s) +
                               stringEntry(u"ProductName"_s, u"second"_s) +
                               node(u"Comments"_s, {}, nullptr, {}) + stringEntry(u"Ключ"_s, u"значение"_s);
    const auto info = pe::ParseVersionInfo(
        node(u"VS_VERSION_INFO"_s, node(u"StringFileInfo"_s, node(u"041904b0"_s, entries))));
    ASSERT_TRUE(info);
    ASSERT_TRUE(info->stringTables.contains(u"041904B0"_s));
    const auto& table = info->stringTables[u"041904B0"_s];
    EXPECT_EQ(table.value(u"ProductName"_s), u"Größe \u4E2D"_s);
    EXPECT_TRUE(table.contains(u"Comments"_s));
    EXPECT_TRUE(table.value(u"Comments"_s).isNull());
    EXPECT_EQ(info->stringValue(u"041904b0"_s, u"ключ"_s), u"значение"_s);
    EXPECT_EQ(table.size(), 3);
}
