#pragma once
// The inventory's version reading applied to a file unpacked from a backup archive, without
// leaving a trace in the stores: the unpacked copy is no file the user has.
#include "install/backup_catalog.h"
#include "inventory/item_identification.h"

namespace quillon {

// Reads as the identification of a new row does. The per-file memory and the settings it may
// write to are copies taken now.
BackupVersionReader InventoryBackupVersionReader(const IdentificationStores& stores,
                                                 const IdentificationOptions& options, const PathForms& paths,
                                                 const QString& ownExecutable);

} // namespace quillon
