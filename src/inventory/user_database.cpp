#include "inventory/user_database.h"

#include <QFile>

#include <algorithm>

#include "app/common/files.h"
#include "app/ini_document.h"
#include "inventory/plugin_database.h"

using namespace Qt::StringLiterals;

namespace quillon {

QList<QString> userDbEditorKeys() {
    return {dbkey::ProductName, dbkey::OriginalFN, dbkey::InternalName, dbkey::Description,
            dbkey::DirectLink,  dbkey::AuthorURL,  dbkey::WebsiteID};
}

QList<QString> pluginDbBrowserKeys() {
    return {dbkey::WebsiteID,   dbkey::ProductName, dbkey::OriginalFN, dbkey::InternalName,
            dbkey::Description, dbkey::DirectLink,  dbkey::AuthorURL};
}

bool canSaveUserDbEntry(const UserDbEntry& entry) {
    return !entry.id.trimmed().isEmpty() && (!entry.field(dbkey::WebsiteID).trimmed().isEmpty() ||
                                             !entry.field(dbkey::DirectLink).trimmed().isEmpty() ||
                                             !entry.field(dbkey::AuthorURL).trimmed().isEmpty());
}

UserDbEntry readUserDbEntry(const IniDocument& userDb, const QString& id) {
    UserDbEntry entry;
    entry.id = id;
    for (const QString& key : userDbEditorKeys())
        entry.setField(key, userDb.value(id, key).trimmed());
    return entry;
}

QString storeUserDbEntry(IniDocument& userDb, const QString& originalId, const UserDbEntry& entry) {
    if (!originalId.trimmed().isEmpty())
        userDb.removeSection(originalId.trimmed());
    const QString target = entry.id.trimmed();
    for (const QString& key : userDbEditorKeys()) {
        const QString text = entry.field(key).trimmed();
        if (!text.isEmpty() || !userDb.value(target, key).trimmed().isEmpty())
            userDb.setValue(target, key, text);
    }
    return target;
}

void removeUserDbEntries(IniDocument& userDb, const QStringList& ids) {
    for (auto it = ids.crbegin(); it != ids.crend(); ++it)
        userDb.removeSection(*it);
}

UserDbEntry readPluginDbEntry(const IniDocument& pluginDb, const QString& name) {
    UserDbEntry entry;
    entry.id = name;
    for (const QString& key : pluginDbBrowserKeys()) {
        const QString text = pluginDb.value(name, key).trimmed();
        entry.setField(key, text.isEmpty() ? QString(kMissingField) : text);
    }
    return entry;
}

QStringList correctedFields(const IniDocument& pluginDb, const UserDbEntry& edited) {
    const UserDbEntry original = readPluginDbEntry(pluginDb, edited.id);
    QStringList changed;
    for (const QString& key : pluginDbBrowserKeys()) {
        if (edited.field(key).trimmed() != original.field(key))
            changed.append(key);
    }
    return changed;
}

int storeCorrections(IniDocument& userDb, const IniDocument& pluginDb, const UserDbEntry& edited) {
    const QStringList changed = correctedFields(pluginDb, edited);
    for (const QString& key : changed)
        userDb.setValue(edited.id, key, edited.field(key).trimmed());
    return static_cast<int>(changed.size());
}

QList<UserDbRow> userDbRows(const IniDocument& userDb) {
    QList<UserDbRow> rows;
    for (const QString& section : userDb.sections()) {
        const bool author = !userDb.value(section, dbkey::AuthorURL).trimmed().isEmpty();
        const bool direct = !userDb.value(section, dbkey::DirectLink).trimmed().isEmpty();
        QString links = author ? u"AU"_s : QString();
        if (direct)
            links = author ? links + " + DL"_L1 : u"DL"_s;
        rows.append({section, userDb.value(section, dbkey::WebsiteID).trimmed(), links});
    }
    std::stable_sort(rows.begin(), rows.end(), [](const UserDbRow& a, const UserDbRow& b) {
        return a.id.compare(b.id, Qt::CaseInsensitive) < 0;
    });
    return rows;
}

bool hasUserDbEntries(const IniDocument& userDb) {
    const QStringList sections = userDb.sections();
    return std::any_of(sections.cbegin(), sections.cend(),
                       [&](const QString& section) { return !userDb.keys(section).isEmpty(); });
}

bool writeUserDbFile(const IniDocument& userDb, QString* errorText) {
    if (hasUserDbEntries(userDb))
        return userDb.save(errorText);
    if (!QFile::exists(userDb.filePath()))
        return true;
    return ForceDeleteFile(userDb.filePath(), errorText);
}

EntryEditTarget entryEditTarget(const IniDocument& userDb, const IniDocument& pluginDb,
                                const QString& filePath) {
    const QString name = entryFileName(filePath);
    const QString stem = entryFileStem(filePath);
    // A WebsiteID of a section implies the section: having the section decides.
    auto known = [](const IniDocument& db, const QString& section) {
        return !section.isEmpty() && db.hasSection(section);
    };
    for (const QString& id : {name, stem}) {
        if (known(userDb, id))
            return {EntryEditTarget::Kind::EditUserEntry, id};
    }
    if (known(pluginDb, name) || known(pluginDb, stem))
        return {EntryEditTarget::Kind::BrowsePluginEntry, {}};
    return {EntryEditTarget::Kind::AddUserEntry, filePath};
}

} // namespace quillon
