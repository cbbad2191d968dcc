// When the update list's context menu enables its entries.
#include <gtest/gtest.h>

#include "list_menu_rules.h"

namespace quillon::ui {
namespace {

TEST(MenuRules, EntriesFollowTheSelectionAndTheList) {
    MenuRowFacts plugin;
    plugin.hasCatalogueId = true;
    plugin.hasDatabaseId = true;
    MenuRowFacts bare; // no identifier, no link
    MenuRowFacts tc;
    tc.tcRow = true;
    tc.inProtectedDir = true;
    MenuRowFacts own;
    own.ownExecutable = true;
    own.inProtectedDir = true;
    MenuRowFacts database;
    database.databaseRow = true;
    MenuRowFacts mirrorLink = plugin;
    mirrorLink.hasDirectLink = true;
    mirrorLink.directLinkViaMirror = true;
    MenuRowFacts author = bare;
    author.hasAuthor = true;

    MenuRowFacts withBackup = plugin;
    withBackup.hasBackup = true;
    MenuRowFacts ownWithBackup = own;
    ownWithBackup.hasBackup = true;

    MenuListFacts list{9, 2, 1, 3, true};
    MenuListFacts allMarked{9, 9, 3, 3, false};

    struct Case {
        const char* what;
        QList<MenuRowFacts> selected;
        MenuListFacts list;
        bool MenuEnabling::*entry;
        bool enabled;
    };
    const Case cases[] = {
        {"download needs an identifier", {bare}, list, &MenuEnabling::download, false},
        {"Total Commander downloads without one", {tc}, list, &MenuEnabling::download, true},
        {"several rows always download", {bare, bare}, list, &MenuEnabling::download, true},
        {"the manager needs a link it can follow", {mirrorLink}, list, &MenuEnabling::sendToManager, false},
        {"the manager takes a database identifier", {plugin}, list, &MenuEnabling::sendToManager, true},
        {"no manager installed", {plugin}, allMarked, &MenuEnabling::sendToManager, false},
        {"database entry for one plugin row", {plugin}, list, &MenuEnabling::databaseEntry, true},
        {"no database entry for Total Commander", {tc}, list, &MenuEnabling::databaseEntry, false},
        {"no database entry for two rows", {plugin, plugin}, list, &MenuEnabling::databaseEntry, false},
        {"own executable cannot be excluded", {own}, list, &MenuEnabling::excludeFile, false},
        {"database rows cannot be excluded", {database}, list, &MenuEnabling::excludeFile, false},
        {"Total Commander's directory stays", {plugin, tc}, list, &MenuEnabling::excludeDirectory, false},
        {"a plugin's directory can go", {plugin}, list, &MenuEnabling::excludeDirectory, true},
        {"no jump to the own executable", {plugin, own}, list, &MenuEnabling::jumpToFile, false},
        {"no web search for it either", {own}, list, &MenuEnabling::webSearch, false},
        {"online page needs an identifier", {bare}, list, &MenuEnabling::onlinePage, false},
        {"author page when one is known", {author}, list, &MenuEnabling::authorPage, true},
        {"no author page otherwise", {plugin}, list, &MenuEnabling::authorPage, false},
        {"mark all while some are unmarked", {plugin}, list, &MenuEnabling::markAll, true},
        {"mark all when all are marked", {plugin}, allMarked, &MenuEnabling::markAll, false},
        {"confirm needs a marked update", {plugin}, list, &MenuEnabling::confirmUpdatable, true},
        {"nothing selected: no refresh", {}, list, &MenuEnabling::refreshItem, false},
        {"restore needs a backup", {plugin}, list, &MenuEnabling::restoreBackup, false},
        {"restore of one row with a backup", {withBackup}, list, &MenuEnabling::restoreBackup, true},
        {"no restore of two rows", {withBackup, withBackup}, list, &MenuEnabling::restoreBackup, false},
        {"no restore under the running program", {ownWithBackup}, list, &MenuEnabling::restoreBackup, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(menuEnabling(c.selected, c.list).*c.entry, c.enabled) << c.what;
}

} // namespace
} // namespace quillon::ui
