#include "install/backup_version_reader.h"

#include <memory>

#include "app/ini_document.h"
#include "inventory/installed_version.h"

namespace quillon {

namespace {

struct ReaderState {
    ReaderState(const IdentificationStores& stores, IdentificationOptions optionsIn, PathForms pathsIn,
                QString ownExecutableIn)
        : pluginDb(stores.pluginDb), userDb(stores.userDb), checksumDb(stores.checksumDb),
          userPluginInfo(stores.userPluginInfo), settings(stores.settings), options(std::move(optionsIn)),
          paths(std::move(pathsIn)), ownExecutable(std::move(ownExecutableIn)) {}

    const IniDocument& pluginDb;
    const IniDocument& userDb;
    const IniDocument& checksumDb;
    IniDocument userPluginInfo;
    IniDocument settings;
    IdentificationOptions options;
    PathForms paths;
    QString ownExecutable;
};

} // namespace

BackupVersionReader InventoryBackupVersionReader(const IdentificationStores& stores,
                                                 const IdentificationOptions& options, const PathForms& paths,
                                                 const QString& ownExecutable) {
    auto state = std::make_shared<ReaderState>(stores, options, paths, ownExecutable);
    return [state](const QString& unpackedFile) {
        const IdentificationStores copies{state->pluginDb, state->userDb, state->checksumDb,
                                          state->userPluginInfo, state->settings};
        const InstalledVersionFinder finder(copies, state->options, state->paths, state->ownExecutable);
        return finder.find(unpackedFile, VersionPass::Identification).version;
    };
}

} // namespace quillon
