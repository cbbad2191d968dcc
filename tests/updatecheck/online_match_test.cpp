// Which records stand for an item: the name forms, the match key, and the file-name lookup,
// with the index proved equal to a plain top-down scan.
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include "app/ini_document.h"
#include "support/test_support.h"
#include "updatecheck/online_list.h"
#include "updatecheck/online_match.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QString record(const QString& id, const QString& name = u"N"_s, const QString& platform = u"x32"_s) {
    return id + u'|' + name + u"|1.0|01.01.2020|packer|"_s + platform + u"|x64"_s;
}

TEST(OnlineMatchTest, NameFormsOfAnItem) {
    struct Case {
        QString key;
        QString extension;
        bool hasIdentifier;
        QString recordId;
        bool matches;
    };
    const Case cases[] = {
        {u"foo_bar"_s, u"wcx"_s, true, u"foo_bar"_s, true},
        {u"foo_bar"_s, u"wcx"_s, true, u"foo_bar_wcx"_s, true},
        {u"foo_bar"_s, u"wcx"_s, true, u"foobarwcx"_s, true},
        {u"foo_bar"_s, u"wcx"_s, true, u"foobar"_s, true},
        {u"foo_bar"_s, u"wcx"_s, true, u"wcx_foo_bar"_s, true},
        {u"foo_bar"_s, u"wcx"_s, true, u"wcxfoo_bar"_s, true},
        {u"foo_bar"_s, u"wcx"_s, true, u"foo_barwcx"_s, true},
        {u"Foo Bar"_s, u"WLX64"_s, true, u"foo_bar_wlx64"_s, true},
        {u"foo_bar"_s, u"wcx"_s, true, u"bar"_s, false},
        // The loosest form only for items no database identifies.
        {u"wcx_foo"_s, u"wcx"_s, false, u"foo"_s, true},
        {u"wcx_foo"_s, u"wcx"_s, true, u"foo"_s, false},
        {u"foo_wdx.x"_s, u"wdx"_s, false, u"foo"_s, true},
        {u"checksumdb"_s, QString(), true, u"tcplugindb"_s, true},
        {u"tcplugindb"_s, QString(), true, u"checksumdb"_s, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OnlineNameForms(c.key, c.extension, c.hasIdentifier).contains(c.recordId), c.matches)
            << c.key.toStdString() << " / " << c.recordId.toStdString();
}

TEST(OnlineMatchTest, MatchKeyFollowsTheDatabases) {
    IniDocument user;
    IniDocument plugin;
    user.setText(u"[mine.wcx]\nWebsiteID=user_id\n"_s);
    plugin.setText(u"[mine.wcx]\nWebsiteID=db_id\n[other]\nWebsiteID=other_id\n"_s);
    struct Case {
        QString path;
        DatabaseSwitches switches;
        QString key;
        bool hasIdentifier;
    };
    const Case cases[] = {
        {u"/p/mine.wcx"_s, {true, false}, u"user_id"_s, true},
        {u"/p/mine.wcx"_s, {true, true}, u"db_id"_s, true},
        {u"/p/mine.wcx"_s, {false, false}, u"user_id"_s, true},
        {u"/p/mine.wcx"_s, {false, true}, u"mine"_s, false},
        {u"/p/other.wfx"_s, {true, false}, u"other_id"_s, true},
        {u"/p/none.wfx"_s, {true, false}, u"none"_s, true},
        {u"/p/none.wfx"_s, {false, false}, u"none"_s, false},
    };
    for (const Case& c : cases) {
        const OnlineMatchKey key = MatchKeyFor(user, plugin, c.switches, c.path);
        EXPECT_EQ(key.key, c.key) << c.path.toStdString();
        EXPECT_EQ(key.hasIdentifier, c.hasIdentifier) << c.path.toStdString();
    }
}

TEST(OnlineMatchTest, FileLookupAnswersFromTheFirstMatchingRecord) {
    const OnlineList list(QStringList{record(u"zip_wcx"_s, u"Zip A-"_s, u"x32+x64"_s), u"broken"_s,
                                      record(u"zip"_s, u"Zip B"_s), record(u"mykey"_s, u"By key"_s)});
    EXPECT_EQ(IsPluginFoundOnline(list, u"/tc/plugins/Zip.wcx"_s, OnlineField::Identifier), u"zip_wcx"_s);
    EXPECT_EQ(IsPluginFoundOnline(list, u"zip.wcx"_s, OnlineField::Name), u"Zip A"_s);
    EXPECT_EQ(IsPluginFoundOnline(list, u"zip.wcx"_s, OnlineField::Platform), u"x32+x64"_s);
    EXPECT_EQ(IsPluginFoundOnline(list, u"zip.wcx"_s, OnlineField::Platform2), u"x64"_s);
    EXPECT_EQ(IsPluginFoundOnline(list, u"rar.wcx"_s, OnlineField::Platform), u"x32"_s);
    EXPECT_EQ(IsPluginFoundOnline(list, u"rar.wcx"_s, OnlineField::Name), QString());
    // The match key counts only for the name, and only where it stands in the page.
    EXPECT_EQ(IsPluginFoundOnline(list, u"other.wlx"_s, OnlineField::Name, u"MyKey"_s), u"By key"_s);
    EXPECT_EQ(IsPluginFoundOnline(list, u"other.wlx"_s, OnlineField::Identifier, u"MyKey"_s), QString());
    EXPECT_EQ(IsPluginFoundOnline(list, u"zip.wcx"_s, OnlineField::Name, u"mykey"_s), u"Zip A"_s);
}

TEST(OnlineMatchTest, IndexedLookupEqualsTheScanOnRandomPages) {
    QRandomGenerator random(4711);
    const QStringList stems{u"zip"_s,    u"wcx_zip"_s,    u"zip_wcx"_s, u"zipwcx"_s,     u"foo_bar"_s,
                            u"foobar"_s, u"wlxfoo_bar"_s, u"Foo Bar"_s, u"tcplugindb"_s, u"bar"_s};
    const QStringList files{u"zip.wcx"_s, u"foo_bar.wlx"_s, u"Foo Bar.wlx"_s,
                            u"bar.exe"_s, u"wcx_zip.wcx"_s, u"none.wdx"_s};
    for (int round = 0; round < 20; ++round) {
        QStringList lines;
        for (int i = 0; i < 30; ++i) {
            const QString id = stems.at(random.bounded(stems.size()));
            lines.append(random.bounded(8) == 0 ? id : record(id, u"N%1"_s.arg(i), u"p%1"_s.arg(i)));
        }
        const OnlineList list(lines);
        for (const QString& file : files) {
            for (const OnlineField what : {OnlineField::Identifier, OnlineField::Name, OnlineField::Platform,
                                           OnlineField::Platform2}) {
                EXPECT_EQ(IsPluginFoundOnline(list, file, what, u"bar"_s),
                          detail::IsPluginFoundOnlineScan(lines, file, what, u"bar"_s))
                    << file.toStdString() << " round " << round;
            }
        }
    }
}

} // namespace
} // namespace quillon
