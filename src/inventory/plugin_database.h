#pragma once
// The plugin database format shared by the built-in database, its external replacement and the
// user database: one INI section per plugin file name (with or without extension), field-by-field
// lookup with the user database first.
#include <QDate>
#include <QString>

#include <optional>

namespace quillon {

class IniDocument;

namespace dbkey {
inline constexpr QLatin1StringView DBInfo{"DBInfo"};
inline constexpr QLatin1StringView Configuration{"Configuration"};
// DBInfo
inline constexpr QLatin1StringView InternalName{"InternalName"};
inline constexpr QLatin1StringView Update{"Update"};
// Configuration
inline constexpr QLatin1StringView LatestTCcl_stbl{"LatestTCcl_stbl"};
inline constexpr QLatin1StringView LatestTCcl_beta{"LatestTCcl_beta"};
// entries
inline constexpr QLatin1StringView ProductName{"ProductName"};
inline constexpr QLatin1StringView OriginalFN{"OriginalFN"};
inline constexpr QLatin1StringView Description{"Description"};
inline constexpr QLatin1StringView AuthorURL{"AuthorURL"};
inline constexpr QLatin1StringView WebsiteID{"WebsiteID"};
inline constexpr QLatin1StringView DirectLink{"DirectLink"};
inline constexpr QLatin1StringView ForceLatestVer{"ForceLatestVer"};
inline constexpr QLatin1StringView ForcePlugType{"ForcePlugType"};
inline constexpr QLatin1StringView Options{"Options"};
inline constexpr QLatin1StringView VersionFile{"VersionFile"};
} // namespace dbkey

// DBInfo/InternalName of every genuine plugin database.
inline constexpr QLatin1StringView kPluginDbInternalName{"tcplugindb"};
// Stands for a database without an Update date: older than any real one.
inline constexpr QLatin1StringView kNoDatabaseDateText{"23/12/1988"};
inline constexpr QLatin1StringView kDefaultChangeLogName{"history.txt"};

// The two switches of the lookup, taken from the settings by the caller.
struct DatabaseSwitches {
    bool databaseEnabled = true; // Configuration/DatabaseEnabled
    bool ignoreUserDb = false;   // UserDB/IgnoreUserDB
};

// Final path component (both "/" and "\" separate) with and without its last extension.
QString entryFileName(const QString& filePath);
QString entryFileStem(const QString& filePath);

// Trimmed value of a key in the section of fileName, then of its stem; empty when neither has one.
QString EntryValue(const IniDocument& db, const QString& filePath, const QString& key);

// The first non-empty trimmed value of key for the item at filePath: user database (file name,
// then stem) unless ignored, then the plugin database (file name, then stem) when enabled.
QString EntryLookup(const IniDocument& userDb, const IniDocument& pluginDb, const DatabaseSwitches& switches,
                    const QString& filePath, const QString& key);

// WebsiteID as readers that need an identifier take it: the stem when no database names one.
QString WebsiteIdentifier(const IniDocument& userDb, const IniDocument& pluginDb,
                          const DatabaseSwitches& switches, const QString& filePath);

enum class WebsiteIdKind {
    Catalogue,  // a word: the item's identifier on the plugin catalogue site
    ForumTopic, // only digits: a topic number on Total Commander's forum
    ForumPost,  // "#" then the post: a post number on that forum
};
WebsiteIdKind classifyWebsiteId(const QString& websiteId);
// The catalogue identifier, the topic number, or the post anchor without its leading "#".
QString websiteIdTarget(const QString& websiteId);

// Sections that are entries: all but DBInfo and Configuration.
// Whether a section of the plugin database describes a plugin: not its header, not its
// configuration, and not one of the program's own database rows.
bool isPluginEntrySection(const QString& section);
int countEntries(const IniDocument& db);
// DBInfo/Update as stored, trimmed; "23/12/1988" when there is none.
QString databaseUpdateText(const IniDocument& db);
// A genuine plugin database: InternalName "tcplugindb" and at least one entry.
bool isAcceptedPluginDatabase(const IniDocument& db);

// Update dates are written year first ("2015-03-29") or day first ("23/12/1988", "29.03.2015");
// "-", "/" and "." separate. Nullopt for anything else.
std::optional<QDate> parseDatabaseDate(const QString& text);
// The day a database counts as released: its Update date, or 23 December 1988 when it has
// none or it cannot be read.
QDate databaseReleaseDate(const IniDocument& db);

} // namespace quillon
