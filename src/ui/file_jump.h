#pragma once
// Showing files to the user: in Total Commander's panel when its window can be reached, else in
// the desktop's file manager.
#include <QStringList>

namespace quillon {
class System;
}

namespace quillon::ui {

// Total Commander shows the first existing file; without its window the file manager shows the
// last five. False when nothing could be shown.
bool jumpToFiles(System& system, const QStringList& hostPaths);

} // namespace quillon::ui
