#pragma once
// The five INI files the core keeps in memory from start-up to shutdown, as one value: jobs
// copy it whole, identification takes it as references.
#include <QString>

#include "app/ini_document.h"
#include "inventory/item_identification.h"

namespace quillon {

struct Stores {
    IniDocument settings;       // Quillon.ini
    IniDocument userDb;         // userdb.ini
    IniDocument userPluginInfo; // upluginfo.ini
    IniDocument pluginDb{QStringLiteral("tcPlugin.ini"), IniDocument::Encoding::Latin1};
    IniDocument checksumDb{QStringLiteral("checksumdb.ini"), IniDocument::Encoding::Latin1};

    IdentificationStores identification() { return {pluginDb, userDb, checksumDb, userPluginInfo, settings}; }
};

} // namespace quillon
