// The user database: editor saves, browser corrections, the list rows and the file.
#include <gtest/gtest.h>

#include <QFile>

#include "app/ini_document.h"
#include "inventory/plugin_database.h"
#include "inventory/user_database.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

UserDbEntry entry(const QString& id,
                  std::initializer_list<std::pair<QLatin1StringView, const char*>> fields) {
    UserDbEntry e;
    e.id = id;
    for (const auto& [key, text] : fields)
        e.setField(key, QString::fromUtf8(text));
    return e;
}

TEST(UserDatabase, SaveCondition) {
    struct Case {
        UserDbEntry e;
        bool allowed;
    };
    const Case cases[] = {
        {entry(u"foo"_s, {{dbkey::AuthorURL, "http://a/"}}), true},
        {entry(u"foo"_s, {{dbkey::WebsiteID, "  foo "}}), true},
        {entry(u"foo"_s, {{dbkey::DirectLink, "http://d/"}}), true},
        {entry(u"foo"_s, {{dbkey::ProductName, "Foo"}}), false},
        {entry(u"  "_s, {{dbkey::WebsiteID, "foo"}}), false},
        {entry(u"foo"_s, {{dbkey::WebsiteID, "   "}}), false},
    };
    for (const Case& k : cases)
        EXPECT_EQ(canSaveUserDbEntry(k.e), k.allowed);
}

TEST(UserDatabase, StoreRenameAndRemove) {
    IniDocument db;
    db.setText(u"[old]\nWebsiteID=old\nDescription=keep?\n[Other]\nDescription=there\nWebsiteID=o\n"_s);
    // Renaming drops the old section; an empty field is not written unless it clears a value.
    EXPECT_EQ(storeUserDbEntry(db, u"old"_s, entry(u" new "_s, {{dbkey::WebsiteID, " web "}})), u"new"_s);
    EXPECT_FALSE(db.hasSection(u"old"_s));
    EXPECT_EQ(db.keys(u"new"_s), QStringList{u"WebsiteID"_s});
    EXPECT_EQ(db.value(u"new"_s, u"websiteid"_s), u"web"_s);
    storeUserDbEntry(db, {}, entry(u"other"_s, {{dbkey::WebsiteID, "o2"}}));
    EXPECT_EQ(db.value(u"Other"_s, dbkey::Description), QString());
    EXPECT_TRUE(db.hasKey(u"Other"_s, dbkey::Description));

    const QList<UserDbRow> rows = userDbRows(db);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].id, u"new"_s);
    EXPECT_EQ(rows[1].websiteId, u"o2"_s);

    removeUserDbEntries(db, {u"NEW"_s});
    EXPECT_EQ(userDbRows(db).size(), 1);
}

TEST(UserDatabase, LinksColumn) {
    IniDocument db;
    db.setText(
        u"[a]\nAuthorURL=x\n[b]\nDirectLink=y\n[c]\nAuthorURL=x\nDirectLink= y\n[d]\nDirectLink=  \n"_s);
    QStringList links;
    for (const UserDbRow& row : userDbRows(db))
        links.append(row.links);
    EXPECT_EQ(links, (QStringList{u"AU"_s, u"DL"_s, u"AU + DL"_s, QString()}));
}

TEST(UserDatabase, BrowserCorrectionsWriteOnlyWhatDiffers) {
    IniDocument plugins;
    plugins.setText(u"[DBInfo]\nInternalName=tcplugindb\n[foo]\nWebsiteID=foo\nProductName=Foo\n"_s);
    IniDocument user;
    UserDbEntry shown = readPluginDbEntry(plugins, u"foo"_s);
    EXPECT_EQ(shown.field(dbkey::Description), u"-"_s);
    EXPECT_TRUE(correctedFields(plugins, shown).isEmpty());

    shown.setField(dbkey::WebsiteID, u" foo2 "_s);
    shown.setField(dbkey::ProductName, u"Foo Pro"_s);
    EXPECT_EQ(storeCorrections(user, plugins, shown), 2);
    EXPECT_EQ(user.keys(u"foo"_s), (QStringList{u"WebsiteID"_s, u"ProductName"_s}));
    EXPECT_EQ(user.value(u"foo"_s, dbkey::WebsiteID), u"foo2"_s);
}

TEST(UserDatabase, FileWrittenOrRemoved) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"userdb.ini"_s);
    IniDocument db(path);
    db.setValue(u"foo"_s, dbkey::WebsiteID, u"foo"_s);
    ASSERT_TRUE(writeUserDbFile(db));
    EXPECT_TRUE(test::readFile(path).contains("WebsiteID=foo"));
    db.removeSection(u"foo"_s);
    db.setValue(u"empty"_s, dbkey::WebsiteID, u"x"_s);
    db.removeKey(u"empty"_s, dbkey::WebsiteID);
    ASSERT_TRUE(writeUserDbFile(db));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(writeUserDbFile(db)); // nothing to remove
}

TEST(UserDatabase, ModifyEntryLeadsToTheRightPlace) {
    IniDocument user;
    user.setText(u"[bar]\nDirectLink=http://x/\n"_s);
    IniDocument plugins;
    plugins.setText(u"[DBInfo]\n[foo.wdx64]\nWebsiteID=foo\n"_s);
    using K = EntryEditTarget::Kind;
    struct Case {
        const char* path;
        K kind;
        const char* id;
    };
    const Case cases[] = {
        {"/p/bar.wcx", K::EditUserEntry, "bar"},
        {"/p/BAR", K::EditUserEntry, "BAR"},
        {"/p/foo.wdx64", K::BrowsePluginEntry, ""},
        {"/p/new.wlx", K::AddUserEntry, "/p/new.wlx"},
    };
    for (const Case& k : cases) {
        const EntryEditTarget t = entryEditTarget(user, plugins, QString::fromLatin1(k.path));
        EXPECT_EQ(t.kind, k.kind) << k.path;
        EXPECT_EQ(t.id, QString::fromLatin1(k.id)) << k.path;
    }
}

} // namespace
} // namespace quillon
