#pragma once
// The plugin files of a row that Total Commander loads: the file the row names and, beside it,
// the build for the other bitness (plugin.wcx and plugin.wcx64), when it is there.
#include <QStringList>

namespace quillon {

struct UpdateItem;
class UpdateList;

QStringList PluginLoadFiles(const UpdateItem& item);
// Every row's, each file once, in the list's order.
QStringList PluginLoadFiles(const UpdateList& list);

} // namespace quillon
