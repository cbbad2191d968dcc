#pragma once
// Which catalogue records stand for an item: the item's match key against the records'
// identifiers, in the name forms plugin authors and the catalogue have used over the years.
#include <QList>
#include <QString>
#include <QStringList>

#include "inventory/plugin_database.h"

namespace quillon {

class IniDocument;
class OnlineList;

// The key an item is looked up by: the user's WebsiteID, else the plugin database's, else the
// file's name without extension.
struct OnlineMatchKey {
    QString key;
    // The user database named one, or the plugin database is on (its fallback to the name
    // counts too). Without one, the loosest name form is also tried.
    bool hasIdentifier = false;
};
OnlineMatchKey MatchKeyFor(const IniDocument& userDb, const IniDocument& pluginDb,
                           const DatabaseSwitches& switches, const QString& filePath);

// The extension of the path's file name without its dot ("wcx64"); empty when it has none.
QString FileExtensionOf(const QString& filePath);

// The identifiers (lower case, in trial order) a record's F0 may have to stand for the item
// with match key K and extension X. "checksumdb" also accepts the plugin database's record.
QStringList OnlineNameForms(const QString& key, const QString& extension, bool hasIdentifier);

// The key with every packer, file-system, lister and content marker removed, without extension:
// "wcx_foo" and "foo_wdx" both give "foo".
QString BareNameForm(const QString& key);

// Positions (into list.records()) of the records whose identifier is one of forms, ascending
// and each once: the records a literal top-down scan would find matching, in its order.
QList<int> MatchingRecordPositions(const OnlineList& list, const QStringList& forms);

// What IsPluginFoundOnline answers.
enum class OnlineField {
    Identifier = 0, // the matching identifier, lower case
    Name = 1,       // F1 (the match key is tried first)
    Platform = 2,   // F5; "x32" when nothing matches
    Platform2 = 3,  // F6
};

// The first record that names the file (fileName with or without directory), by these forms
// of its name: base, base_, base_ + "_" + X, X + "_" + base_, X + base_, base_ + X and the bare
// name (base_: blanks as "_"). For OnlineField::Name, matchKey (MatchKeyFor's key) is tried
// first for each record. Empty when none matches, "x32" for the platform.
QString IsPluginFoundOnline(const OnlineList& list, const QString& fileName, OnlineField what,
                            const QString& matchKey = {});
QStringList FileNameForms(const QString& fileName);

namespace detail {
// The same lookup as a plain top-down scan that splits every line again: the reference the
// indexed lookup is tested and measured against.
QString IsPluginFoundOnlineScan(const QStringList& lines, const QString& fileName, OnlineField what,
                                const QString& matchKey = {});
} // namespace detail

} // namespace quillon
