#include "list_menu_rules.h"

#include <algorithm>

namespace quillon::ui {

MenuEnabling menuEnabling(const QList<MenuRowFacts>& selected, const MenuListFacts& list) {
    MenuEnabling e;
    const bool any = !selected.isEmpty();
    const bool single = selected.size() == 1;
    const auto all = [&selected](auto test) { return std::all_of(selected.begin(), selected.end(), test); };
    const auto none = [&selected](auto test) { return std::none_of(selected.begin(), selected.end(), test); };

    e.checkUpdate = any;
    e.refreshItem = any;
    e.download = any && (!single || selected.first().hasCatalogueId || selected.first().hasDirectLink ||
                         selected.first().tcRow);
    e.sendToManager = list.downloadManagerInstalled && e.download;
    if (e.sendToManager && single && !selected.first().tcRow) {
        const MenuRowFacts& row = selected.first();
        e.sendToManager = row.hasDirectLink ? !row.directLinkViaMirror : row.hasDatabaseId;
    }
    e.confirmUpdatable = list.markedUpdatable > 0;
    e.unmarkOrInvert = list.markedCount > 0;
    e.reselectUpdatable = list.updatableCount > 0;
    e.markAll = list.rowCount > 0 && list.markedCount < list.rowCount;
    const auto pluginRow = [](const MenuRowFacts& r) {
        return !r.tcRow && !r.databaseRow && !r.ownExecutable;
    };
    e.databaseEntry = single && pluginRow(selected.first());
    e.excludeFile = any && all([](const MenuRowFacts& r) { return !r.databaseRow && !r.ownExecutable; });
    e.excludeDirectory = any && none([](const MenuRowFacts& r) { return r.inProtectedDir || r.databaseRow; });
    e.excludeMarked = any && list.markedCount > 0;
    e.jumpToFile = any && none([](const MenuRowFacts& r) { return r.ownExecutable; });
    e.webSearch = e.jumpToFile;
    e.authorPage = any && std::any_of(selected.begin(), selected.end(),
                                      [](const MenuRowFacts& r) { return r.hasAuthor; });
    e.onlinePage = any && (!single || selected.first().hasCatalogueId);
    // The running program is not put back under itself; Total Commander's own files are.
    e.restoreBackup = single && selected.first().hasBackup && !selected.first().databaseRow &&
                      !selected.first().ownExecutable;
    return e;
}

} // namespace quillon::ui
