#include "inventory/plugin_database.h"

#include <QRegularExpression>

#include <algorithm>

#include "app/ini_document.h"
#include "inventory/update_item.h"

namespace quillon {

namespace {

// What follows the last separator of either kind; an inventory asks this for every item and
// database look-up.
QStringView fileNameOf(const QString& filePath) {
    const QStringView p = QStringView(filePath).trimmed();
    for (qsizetype i = p.size() - 1; i >= 0; --i) {
        if (p[i] == u'/' || p[i] == u'\\')
            return p.sliced(i + 1);
    }
    return p;
}

QStringView stemOf(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.first(dot);
}

} // namespace

QString entryFileName(const QString& filePath) {
    return fileNameOf(filePath).toString();
}

QString entryFileStem(const QString& filePath) {
    return stemOf(fileNameOf(filePath)).toString();
}

QString EntryValue(const IniDocument& db, const QString& filePath, const QString& key) {
    const QStringView name = fileNameOf(filePath);
    if (name.isEmpty())
        return {};
    QString value = db.value(name.toString(), key).trimmed();
    if (value.isEmpty()) {
        const QStringView stem = stemOf(name);
        if (!stem.isEmpty() && stem.size() != name.size())
            value = db.value(stem.toString(), key).trimmed();
    }
    return value;
}

QString EntryLookup(const IniDocument& userDb, const IniDocument& pluginDb, const DatabaseSwitches& switches,
                    const QString& filePath, const QString& key) {
    if (!switches.ignoreUserDb) {
        const QString value = EntryValue(userDb, filePath, key);
        if (!value.isEmpty())
            return value;
    }
    if (switches.databaseEnabled)
        return EntryValue(pluginDb, filePath, key);
    return {};
}

QString WebsiteIdentifier(const IniDocument& userDb, const IniDocument& pluginDb,
                          const DatabaseSwitches& switches, const QString& filePath) {
    const QString id = EntryLookup(userDb, pluginDb, switches, filePath, dbkey::WebsiteID);
    return id.isEmpty() ? entryFileStem(filePath) : id;
}

WebsiteIdKind classifyWebsiteId(const QString& websiteId) {
    const QString id = websiteId.trimmed();
    if (id.startsWith(QLatin1Char('#')))
        return WebsiteIdKind::ForumPost;
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (digits.match(id).hasMatch())
        return WebsiteIdKind::ForumTopic;
    return WebsiteIdKind::Catalogue;
}

QString websiteIdTarget(const QString& websiteId) {
    const QString id = websiteId.trimmed();
    return classifyWebsiteId(id) == WebsiteIdKind::ForumPost ? id.mid(1) : id;
}

bool isPluginEntrySection(const QString& section) {
    for (const QLatin1StringView other :
         {dbkey::DBInfo, dbkey::Configuration, kPluginDbPath, kChecksumDbPath}) {
        if (section.compare(other, Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

int countEntries(const IniDocument& db) {
    const QStringList sections = db.sections();
    return static_cast<int>(std::count_if(sections.cbegin(), sections.cend(), isPluginEntrySection));
}

QString databaseUpdateText(const IniDocument& db) {
    const QString text = db.value(dbkey::DBInfo, dbkey::Update).trimmed();
    return text.isEmpty() ? QString(kNoDatabaseDateText) : text;
}

bool isAcceptedPluginDatabase(const IniDocument& db) {
    return countEntries(db) > 0 && db.value(dbkey::DBInfo, dbkey::InternalName)
                                           .trimmed()
                                           .compare(kPluginDbInternalName, Qt::CaseInsensitive) == 0;
}

std::optional<QDate> parseDatabaseDate(const QString& text) {
    static const QRegularExpression yearFirst(QStringLiteral("^(\\d{4})([-/.])(\\d{1,2})\\2(\\d{1,2})$"));
    static const QRegularExpression dayFirst(QStringLiteral("^(\\d{1,2})([-/.])(\\d{1,2})\\2(\\d{4})$"));
    const QString t = text.trimmed();
    QDate date;
    if (const auto m = yearFirst.match(t); m.hasMatch())
        date = QDate(m.captured(1).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    else if (const auto d = dayFirst.match(t); d.hasMatch())
        date = QDate(d.captured(4).toInt(), d.captured(3).toInt(), d.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QDate databaseReleaseDate(const IniDocument& db) {
    static const QDate noDate(1988, 12, 23);
    return parseDatabaseDate(databaseUpdateText(db)).value_or(noDate);
}

} // namespace quillon
