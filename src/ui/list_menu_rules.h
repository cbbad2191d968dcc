#pragma once
// When each entry of the update list's context menu is enabled, from what is known about the
// selected rows and the list; evaluated every time the menu opens.
#include <QList>

#include "inventory/item_state.h"

namespace quillon::ui {

struct MenuRowFacts {
    bool tcRow = false;
    bool databaseRow = false;    // one of the two database pseudo-items
    bool ownExecutable = false;  // Quillon's own executable
    bool inProtectedDir = false; // in Total Commander's main directory or Quillon's own
    bool hasCatalogueId = false;
    bool hasDirectLink = false;
    bool directLinkViaMirror = false; // the direct link begins with "$"
    bool hasDatabaseId = false;       // a catalogue identifier from the databases themselves
    bool hasAuthor = false;
    bool hasBackup = false; // a backup archive beside the file holds it
};

struct MenuListFacts {
    int rowCount = 0;
    int markedCount = 0;
    int markedUpdatable = 0;
    int updatableCount = 0;
    bool downloadManagerInstalled = false;
};

struct MenuEnabling {
    bool checkUpdate = false;
    bool refreshItem = false;
    bool download = false;
    bool sendToManager = false;
    bool confirmUpdatable = false;
    bool unmarkOrInvert = false;
    bool reselectUpdatable = false;
    bool markAll = false;
    bool databaseEntry = false;
    bool excludeFile = false;
    bool excludeDirectory = false;
    bool excludeMarked = false;
    bool jumpToFile = false;
    bool webSearch = false;
    bool authorPage = false; // shown and enabled
    bool onlinePage = false;
    bool restoreBackup = false;
};

MenuEnabling menuEnabling(const QList<MenuRowFacts>& selected, const MenuListFacts& list);

} // namespace quillon::ui
