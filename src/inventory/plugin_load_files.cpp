#include "inventory/plugin_load_files.h"

#include <QFileInfo>

#include "inventory/update_item.h"
#include "inventory/update_list.h"
#include "platform/plugin_load.h"

namespace quillon {

QStringList PluginLoadFiles(const UpdateItem& item) {
    const QString& path = item.FilePath;
    if (!platform::isPluginFileName(path.toStdString()) || !QFileInfo(path).isFile())
        return {};
    const bool named64 = platform::isNamed64Bit(path.toStdString());
    const QString twin = named64 ? path.chopped(2) : path + QStringLiteral("64");
    return QFileInfo(twin).isFile() ? QStringList{path, twin} : QStringList{path};
}

QStringList PluginLoadFiles(const UpdateList& list) {
    QStringList files;
    for (int row = 0; row < list.rowCount(); ++row)
        for (const QString& file : PluginLoadFiles(list.row(row)))
            if (!files.contains(file))
                files.append(file);
    return files;
}

} // namespace quillon
