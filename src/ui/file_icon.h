#pragma once
// The icon a plugin or tool file carries: the first icon group of its PE resources, as Windows
// would show it. Read once per file and kept for the program's run (window thread only).
#include <QIcon>
#include <QString>

namespace quillon::ui {

// A null icon when the file has none or cannot be read.
QIcon fileIcon(const QString& path);

} // namespace quillon::ui
