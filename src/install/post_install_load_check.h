#pragma once
// An update must never leave Total Commander a plugin it cannot load. Before a package is copied,
// the plugin files it replaces are kept aside; afterwards each replaced plugin is loaded through
// the plugin load check, and one that does not load while its previous file did is put back as it
// was. A plugin that did not load before keeps its new file: there is nothing better to go back to.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>

#include "platform/plugin_load.h"

namespace quillon {

struct LoadRollback {
    QString path;                       // the plugin file, its previous file back in place
    platform::PluginLoadResult newFile; // why the new one did not load
};

class PostInstallLoadCheck {
public:
    // check: none, or one that is not live, checks nothing. keepFolder: a scratch folder of this
    // installation, removed by its caller.
    PostInstallLoadCheck(platform::PluginLoadCheck* check, QString keepFolder);

    bool active() const { return m_check != nullptr; }
    // Before the copy: the existing plugin files among targets are copied into the scratch folder.
    void keepPrevious(const QStringList& targets);
    // After it: the copied plugin files that had a previous file, checked; the ones put back.
    QList<LoadRollback> verify(const QStringList& copied, const std::atomic_bool* cancel);

private:
    platform::PluginLoadCheck* m_check = nullptr;
    QString m_keepFolder;
    QHash<QString, QString> m_kept; // target -> its previous file's copy
};

} // namespace quillon
