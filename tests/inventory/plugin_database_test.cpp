#include <gtest/gtest.h>

#include "app/ini_document.h"
#include "inventory/plugin_database.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

IniDocument ini(const QString& text) {
    IniDocument doc;
    doc.setText(text);
    return doc;
}

struct LookupCase {
    const char* name;
    QString user;
    QString plugin;
    DatabaseSwitches switches;
    QString path;
    QString key;
    QString expected;
};

class EntryLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(EntryLookupTest, FindsTheFirstValueFieldByField) {
    const LookupCase& c = GetParam();
    EXPECT_EQ(EntryLookup(ini(c.user), ini(c.plugin), c.switches, c.path, c.key), c.expected);
}

const QString kPlugins =
    u"[DBInfo]\nInternalName=tcplugindb\n"
    "[foo]\nWebsiteID=foo_cat\nDirectLink=http://plugin/foo.zip\nVersionFile=readme.txt\n"
    "[foo.wdx64]\nWebsiteID=foo64_cat\n"
    "[Bar.WCX]\n  websiteid \t=\t bar_cat  \n"_s;

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryLookupTest,
    ::testing::Values(
        LookupCase{"full_name_beats_stem",
                   {},
                   kPlugins,
                   {},
                   u"/tc/plugins/foo.wdx64"_s,
                   u"WebsiteID"_s,
                   u"foo64_cat"_s},
        LookupCase{"stem_fills_missing_field",
                   {},
                   kPlugins,
                   {},
                   u"/tc/plugins/foo.wdx64"_s,
                   u"DirectLink"_s,
                   u"http://plugin/foo.zip"_s},
        LookupCase{"user_entry_without_field_does_not_hide_plugin_db",
                   u"[foo]\nDirectLink=http://me/\n"_s,
                   kPlugins,
                   {},
                   u"/tc/foo.wdx"_s,
                   u"WebsiteID"_s,
                   u"foo_cat"_s},
        LookupCase{"user_value_wins",
                   u"[foo]\nDirectLink=http://me/\n"_s,
                   kPlugins,
                   {},
                   u"/tc/foo.wdx"_s,
                   u"DirectLink"_s,
                   u"http://me/"_s},
        LookupCase{"user_stem_beats_plugin_full_name",
                   u"[foo]\nWebsiteID=mine\n"_s,
                   kPlugins,
                   {},
                   u"/tc/foo.wdx64"_s,
                   u"WebsiteID"_s,
                   u"mine"_s},
        LookupCase{"user_empty_value_is_no_value",
                   u"[foo.wdx]\nWebsiteID=  \n"_s,
                   kPlugins,
                   {},
                   u"/tc/foo.wdx"_s,
                   u"WebsiteID"_s,
                   u"foo_cat"_s},
        LookupCase{"ignored_user_db",
                   u"[foo]\nDirectLink=http://me/\n"_s,
                   kPlugins,
                   {true, true},
                   u"/tc/foo.wdx"_s,
                   u"DirectLink"_s,
                   u"http://plugin/foo.zip"_s},
        LookupCase{"disabled_plugin_db", {}, kPlugins, {false, false}, u"/tc/foo.wdx"_s, u"WebsiteID"_s, {}},
        LookupCase{"disabled_plugin_db_keeps_user_db",
                   u"[foo]\nWebsiteID=mine\n"_s,
                   kPlugins,
                   {false, false},
                   u"/tc/foo.wdx"_s,
                   u"WebsiteID"_s,
                   u"mine"_s},
        LookupCase{
            "case_and_blanks_ignored", {}, kPlugins, {}, u"/tc/BAR.wcx"_s, u"WEBSITEID"_s, u"bar_cat"_s},
        LookupCase{
            "windows_separators", {}, kPlugins, {}, u"C:\\tc\\foo.wlx"_s, u"VersionFile"_s, u"readme.txt"_s},
        LookupCase{"only_last_extension_dropped",
                   {},
                   u"[foo.bar]\nWebsiteID=x\n[foo]\nWebsiteID=y\n"_s,
                   {},
                   u"/tc/foo.bar.wcx"_s,
                   u"WebsiteID"_s,
                   u"x"_s},
        LookupCase{"no_entry", {}, kPlugins, {}, u"/tc/other.wcx"_s, u"WebsiteID"_s, {}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(WebsiteIdentifierTest, FallsBackToTheStem) {
    const IniDocument plugins = ini(kPlugins);
    const IniDocument user = ini(u"[other]\nWebsiteID=own\n"_s);
    EXPECT_EQ(WebsiteIdentifier(user, plugins, {}, u"/x/unknown.wcx64"_s), u"unknown"_s);
    EXPECT_EQ(WebsiteIdentifier(user, plugins, {false, false}, u"/x/foo.wcx"_s), u"foo"_s);
    EXPECT_EQ(WebsiteIdentifier(user, plugins, {false, false}, u"/x/other.wfx"_s), u"own"_s);
}

TEST(WebsiteIdTest, KindsAndTargets) {
    const struct {
        QString id;
        WebsiteIdKind kind;
        QString target;
    } cases[] = {
        {u"7zip"_s, WebsiteIdKind::Catalogue, u"7zip"_s},
        {u"12345"_s, WebsiteIdKind::ForumTopic, u"12345"_s},
        {u" #268132#268132 "_s, WebsiteIdKind::ForumPost, u"268132#268132"_s},
        {u"123a"_s, WebsiteIdKind::Catalogue, u"123a"_s},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(classifyWebsiteId(c.id), c.kind) << c.id.toStdString();
        EXPECT_EQ(websiteIdTarget(c.id), c.target);
    }
}

TEST(DatabaseDateTest, ParsesBothOrders) {
    const struct {
        QString text;
        QDate expected;
    } cases[] = {
        {u"2015-03-29"_s, QDate(2015, 3, 29)},
        {u" 23/12/1988 "_s, QDate(1988, 12, 23)},
        {u"29.03.2015"_s, QDate(2015, 3, 29)},
        {u"2015/4/1"_s, QDate(2015, 4, 1)},
        {u"2015-02-30"_s, QDate()},
        {u"2015-03/29"_s, QDate()},
        {u"yesterday"_s, QDate()},
        {QString(), QDate()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseDatabaseDate(c.text).value_or(QDate()), c.expected) << c.text.toStdString();
}

TEST(DatabaseHeaderTest, CountsDatesAndAcceptance) {
    const struct {
        QString text;
        int entries;
        QDate released;
        bool accepted;
    } cases[] = {
        {u"[DBInfo]\nInternalName=tcplugindb\nUpdate=2015-03-29\n[Configuration]\n[a]\n[b]\n"_s, 2,
         QDate(2015, 3, 29), true},
        // Configuration is recognised by name wherever it stands
        {u"[DBInfo]\nInternalName=TCPluginDB\n[a]\n[Configuration]\n"_s, 1, QDate(1988, 12, 23), true},
        {u"[DBInfo]\nInternalName=other\nUpdate=2030-01-01\n[a]\n"_s, 1, QDate(2030, 1, 1), false},
        {u"[DBInfo]\nInternalName=tcplugindb\nUpdate=garbage\n[Configuration]\n"_s, 0, QDate(1988, 12, 23),
         false},
        {QString(), 0, QDate(1988, 12, 23), false},
    };
    for (const auto& c : cases) {
        const IniDocument db = ini(c.text);
        EXPECT_EQ(countEntries(db), c.entries) << c.text.toStdString();
        EXPECT_EQ(databaseReleaseDate(db), c.released) << c.text.toStdString();
        EXPECT_EQ(isAcceptedPluginDatabase(db), c.accepted) << c.text.toStdString();
    }
}

} // namespace
} // namespace quillon
