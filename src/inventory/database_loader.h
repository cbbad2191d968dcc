#pragma once
// Which copy of the plugin and checksum databases is loaded: the built-in one carried in the
// resources, or the external database.dat in the settings directory when it is newer or forced.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace quillon {

class IniDocument;

inline constexpr QLatin1StringView kDatabaseArchiveName{"database.dat"};
inline constexpr QLatin1StringView kPluginDbMember{"db_plugins.db"};
inline constexpr QLatin1StringView kChecksumDbMember{"db_crc32.db"};
inline constexpr QLatin1StringView kBuiltInPluginDbResource{":/databases/DB_PLUGINS"};
inline constexpr QLatin1StringView kBuiltInChecksumDbResource{":/databases/DB_CRC32"};

struct DatabaseLoadOptions {
    QString settingsDir;        // where database.dat lives
    bool forceUseExtDb = false; // Configuration/ForceUseExtDB
    // The built-in copies; tests point these at files of their own.
    QString builtInPluginDb = QString(kBuiltInPluginDbResource);
    QString builtInChecksumDb = QString(kBuiltInChecksumDbResource);
};

struct DatabaseLoadResult {
    // Configuration/ForceUseExtDB after loading: switched off when there is no database.dat.
    bool forceUseExtDb = false;
    // The plugin database came from database.dat and is a genuine plugin database.
    bool externalLoaded = false;
    int entryCount = 0;
    int checksumEntryCount = 0;
    QString changeLogStable;
    QString changeLogBeta;
    // DBInfo/Update of the loaded plugin database, trimmed; "23/12/1988" when it has none.
    QString updateText;
    // What could not be read; loading carried on with the built-in copy where it could.
    QStringList problems;
};

QString databaseArchivePath(const QString& settingsDir);

// The bytes of one member of a ZIP archive (name compared without regard to letter case).
// Nullopt and errorText when the archive cannot be read, has no such member, or the member is
// larger than any database could be.
std::optional<QByteArray> readArchiveMember(const QString& archivePath, const QString& memberName,
                                            QString* errorText = nullptr);

// DBInfo/Update of database.dat's plugin database when it is a genuine one, else "23/12/1988".
QString GetExternalDBversion(const QString& settingsDir);

// Replaces both stores (8-bit text; the plugin database named "tcPlugin.ini", the checksum
// database "checksumdb.ini") and adds the entries of the two database rows.
DatabaseLoadResult LoadPluginDatabases(IniDocument& pluginDb, IniDocument& checksumDb,
                                       const DatabaseLoadOptions& options);

// The text beside the entry count: the language's "%s plugins in the database" without "%s",
// then the database date in parentheses.
QString pluginDbHeaderText(const QString& nrOfPluginsText, const QString& updateText);

} // namespace quillon
