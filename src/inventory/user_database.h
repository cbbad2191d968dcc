#pragma once
// The user's own database entries (userdb.ini): the rows of its list, the editor's entry, the
// corrections taken over from the plugin database, and writing the file.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace quillon {

class IniDocument;

// The fields the entry editor edits, in the order a save writes them.
QList<QString> userDbEditorKeys();
// The fields the database browser shows and corrects, in the order its save writes them.
QList<QString> pluginDbBrowserKeys();

struct UserDbEntry {
    QString id;                     // the section: a file name with or without extension
    QHash<QString, QString> fields; // key (any letter case as in dbkey) -> text

    QString field(const QString& key) const { return fields.value(key.toLower()); }
    void setField(const QString& key, const QString& text) { fields.insert(key.toLower(), text); }
};

// The editor may save: an identifier and at least one of web identifier, direct link, author page.
bool canSaveUserDbEntry(const UserDbEntry& entry);

UserDbEntry readUserDbEntry(const IniDocument& userDb, const QString& id);

// Replaces the entry that was opened as originalId (empty when adding) by entry, under its
// trimmed identifier. A field left empty is written only when it clears a value the target
// section already had. Returns the section written.
QString storeUserDbEntry(IniDocument& userDb, const QString& originalId, const UserDbEntry& entry);

void removeUserDbEntries(IniDocument& userDb, const QStringList& ids);

// What the browser shows for a missing field.
inline constexpr QLatin1StringView kMissingField{"-"};
// The browser's view of a plugin database entry: every browser field, "-" when missing.
UserDbEntry readPluginDbEntry(const IniDocument& pluginDb, const QString& name);
// Fields of edited that differ (trimmed) from the plugin database's entry as the browser shows it.
QStringList correctedFields(const IniDocument& pluginDb, const UserDbEntry& edited);
// Writes only the corrected fields into the user entry of the same name; returns how many.
int storeCorrections(IniDocument& userDb, const IniDocument& pluginDb, const UserDbEntry& edited);

struct UserDbRow {
    QString id;
    QString websiteId;
    QString links; // "AU", "DL", "AU + DL" or empty
};
// One row per section, sorted by name without regard to letter case.
QList<UserDbRow> userDbRows(const IniDocument& userDb);

// Sections that hold at least one key.
bool hasUserDbEntries(const IniDocument& userDb);
// The file as the program leaves it: written (temporary file, renamed over the old one) when it
// holds entries, removed when it holds none. False and errorText when that failed.
bool writeUserDbFile(const IniDocument& userDb, QString* errorText = nullptr);

// Where "modify the database entry" of an update-list row leads.
struct EntryEditTarget {
    enum class Kind {
        EditUserEntry,     // the user database has an entry: edit it (id)
        BrowsePluginEntry, // only the plugin database has one: open the browser
        AddUserEntry,      // none: add one, proposing the row's path (id)
    };
    Kind kind = Kind::AddUserEntry;
    QString id;
};
EntryEditTarget entryEditTarget(const IniDocument& userDb, const IniDocument& pluginDb,
                                const QString& filePath);

} // namespace quillon
