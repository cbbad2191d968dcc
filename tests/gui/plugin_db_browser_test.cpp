// The plugin database browser: the entry of the selected row, the search, switching the
// database off, and corrections saved into the user database.
#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/ini_document.h"
#include "app/settings.h"
#include "gui/gui_fixture.h"
#include "inventory/plugin_database.h"
#include "inventory/update_list.h"
#include "support/test_support.h"
#include "ui/plugin_db_browser.h"
#include "ui/plugin_db_model.h"

using namespace Qt::StringLiterals;

namespace quillon::ui {
namespace {

class PluginDbBrowserTest : public test::GuiCoreTest {};

TEST_F(PluginDbBrowserTest, SearchSwitchAndCorrections) {
    auto core = start();
    const QString sampack = core->updateList().row(rowOf(*core, u"sampack.wcx64"_s)).FilePath;
    TPluginDB browser({core->language(), core->settings().values, core->stores(), core->updateCheckState(),
                       core->prompter(), core->settingsDir()},
                      sampack);
    auto* model = browser.findChild<PluginDbModel*>();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(browser.currentName(), u"sampack.wcx64"_s);
    const int all = browser.visibleEntries();
    EXPECT_EQ(all, countEntries(core->stores().pluginDb));

    struct Search {
        const char* text;
        int visible;
        const char* selected; // empty: the selection stays
    };
    const Search searches[] = {
        {"SAMV", 1, "samview.wlx64"}, {"sam", 4, "samview.wlx64"}, {"", all, "samview.wlx64"}};
    for (const Search& s : searches) {
        browser.findChild<QLineEdit*>(u"edit_Search"_s)->setText(QString::fromLatin1(s.text));
        EXPECT_EQ(browser.visibleEntries(), s.visible) << s.text;
        EXPECT_EQ(browser.currentName(), QString::fromLatin1(s.selected)) << s.text;
    }

    QSignalSpy switched(&browser, &TPluginDB::databaseSwitched);
    browser.findChild<QRadioButton*>(u"rb_off"_s)->click();
    EXPECT_FALSE(core->settings().values.databaseEnabled);
    EXPECT_TRUE(
        EntryLookup(core->stores().userDb, core->stores().pluginDb, {false, false}, sampack, u"Description"_s)
            .isEmpty());
    browser.findChild<QRadioButton*>(u"rb_on"_s)->click();
    EXPECT_TRUE(core->settings().values.databaseEnabled);
    EXPECT_EQ(switched.size(), 2);

    // Only the changed field goes into the user entry, and at once into the file.
    auto* save = browser.findChild<QAbstractButton*>(u"btn_SaveUserDB"_s);
    EXPECT_FALSE(save->isEnabled());
    auto* web = browser.findChild<QLineEdit*>(u"edit_WEBID"_s);
    EXPECT_EQ(web->text(), u"-"_s);
    web->selectAll();
    QTest::keyClicks(web, u"samview2"_s);
    ASSERT_TRUE(save->isEnabled());
    save->click();
    IniDocument written(settingsDir + u"/userdb.ini"_s);
    ASSERT_TRUE(written.load());
    EXPECT_EQ(written.keys(u"samview.wlx64"_s), QStringList{u"WebsiteID"_s});
    EXPECT_EQ(written.value(u"samview.wlx64"_s, u"WebsiteID"_s), u"samview2"_s);
}

} // namespace
} // namespace quillon::ui
