#pragma once
// The web addresses of an update-list row: its catalogue or forum page, its author's page and a
// web search for it. Only addresses are made here; opening them is the front end's business.
#include <QString>

#include "inventory/plugin_database.h"

namespace quillon {

class IniDocument;
class OnlineList;
struct SettingValues;

struct ItemPageContext {
    const IniDocument& userDb;
    const IniDocument& pluginDb;
    DatabaseSwitches switches;
    const OnlineList& online;
    const SettingValues& settings; // [Sites] and Total Commander/DoNotAcceptBETA
    bool russianSystem = false;    // the system's language is Russian: the catalogue's mirror
};

// WebsiteID from the user database (unless ignored) or the plugin database, by file name then
// stem; else the identifier the catalogue's list knows the file by; empty when none.
QString catalogueIdentifier(const ItemPageContext& context, const QString& filePath);
QString directLink(const ItemPageContext& context, const QString& filePath);
QString authorAddress(const ItemPageContext& context, const QString& filePath);

// OpenItemURL: the catalogue page, the forum topic or post of the row's identifier; for Total
// Commander's row without one its release page. Empty when the row has no page.
QString itemPageAddress(const ItemPageContext& context, const QString& filePath, bool tcRow);
// OpenItemAuthorURL: as itemPageAddress with the author address, which is opened as it stands
// when it is no forum reference.
QString authorPageAddress(const ItemPageContext& context, const QString& filePath);

// The web search for a row's name: the name before its last "(", quoted, with " Total
// Commander" after it unless it is Total Commander itself; form-encoded in Windows-1252 and put
// in place of every "%s" of the search engine address.
QString webSearchAddress(const QString& searchEngine, const QString& itemName);

} // namespace quillon
