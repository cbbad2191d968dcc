#include "updatecheck/group_resolver.h"

#include <QFileInfo>

#include "app/common/checksums.h"
#include "app/common/dates.h"
#include "app/ini_document.h"
#include "app/settings_keys.h"
#include "inventory/group_file_list.h"
#include "inventory/installed_version.h"
#include "inventory/online_state.h"
#include "inventory/update_list.h"
#include "updatecheck/online_list.h"
#include "updatecheck/online_match.h"

using namespace Qt::StringLiterals;

namespace quillon {

namespace {

const QString kUtil = u"util"_s;

bool isUtilitySubCategory(const QString& category) {
    static const QStringList subCategories{u"multiarc"_s, u"other"_s, u"editors"_s, u"developer"_s,
                                           u"bestsoft"_s};
    return subCategories.contains(category, Qt::CaseInsensitive);
}

QString withoutWords(QString version) {
    for (const auto word : {"version"_L1, "ver"_L1, "["_L1, "]"_L1, "("_L1, ")"_L1})
        version = version.remove(word, Qt::CaseInsensitive).trimmed();
    // "ver. 1.1" and "Version: 2.0" leave their punctuation in front; the cut at the first blank
    // would then keep only "." as the latest version.
    while (version.startsWith(u'.') || version.startsWith(u':'))
        version = version.mid(1).trimmed();
    return version;
}

QString cutBefore(const QString& text, QChar separator) {
    const qsizetype at = text.indexOf(separator);
    return (at < 0 ? text : text.left(at)).trimmed();
}

} // namespace

QString CategoryForExtension(const QString& extension) {
    const QString x = extension.toLower();
    if (x == u"wcx"_s || x == u"wcx64"_s)
        return u"packer"_s;
    if (x == u"wfx"_s || x == u"wfx64"_s)
        return u"fsplugin"_s;
    if (x == u"wlx"_s || x == u"wlx64"_s)
        return u"lister"_s;
    if (x == u"wdx"_s || x == u"wdx64"_s)
        return u"content"_s;
    return kUtil;
}

struct GroupResolver::Item {
    QString filePath;
    QString fileName;
    int row = 0;
    bool databaseItem = false;
    OnlineMatchKey key;
    QString extension;
    QString forceLatestVer;
    QString forcePlugType;
    QString options;
    QString category; // T
    QStringList forms;
};

GroupResolver::GroupResolver(ResolverContext context) : m_c(std::move(context)) {
    for (auto* form : {&m_c.paths.convertTcPathToEnvPath, &m_c.paths.convertToEnvPath, &m_c.paths.expand}) {
        if (!*form)
            *form = [](const QString& path) { return path; };
    }
}

QString GroupResolver::publicationDate(const QString& filePath) const {
    return m_publicationDates.value(filePath.trimmed().toLower());
}

void GroupResolver::ResolveGroupAgainstOnlineList(const GroupFileList& group, const OnlineList& records,
                                                  int firstRow) {
    for (int k = 0; k < group.count(); ++k) {
        const int row = firstRow + k;
        if (!m_c.list.isValidRow(row))
            continue;
        if (m_progress)
            m_progress(row);
        resolveItem(group.at(k).filePath.trimmed(), row, records);
        if (m_rowResolved)
            m_rowResolved(row, m_c.scrollOnUpdCheck);
        if (m_c.list.row(row).Checked && m_recount)
            m_recount();
    }
}

void GroupResolver::resolveItem(const QString& filePath, int row, const OnlineList& records) {
    const IdentificationStores& s = m_c.stores;
    const DatabaseSwitches& switches = m_c.options.databases;
    Item item;
    item.filePath = filePath;
    item.fileName = entryFileName(filePath);
    item.row = row;
    item.databaseItem = isDatabasePseudoPath(filePath);
    item.key = MatchKeyFor(s.userDb, s.pluginDb, switches, filePath);
    item.extension = FileExtensionOf(filePath);
    item.forceLatestVer =
        EntryLookup(s.userDb, s.pluginDb, switches, filePath, QString(dbkey::ForceLatestVer));
    // Type and options of the plugin database describe its own identifier: a user's WebsiteID
    // points elsewhere, so they are not taken then.
    const bool userId =
        !switches.ignoreUserDb && !EntryValue(s.userDb, filePath, QString(dbkey::WebsiteID)).isEmpty();
    const DatabaseSwitches typeSwitches{switches.databaseEnabled && !userId, switches.ignoreUserDb};
    item.forcePlugType =
        EntryLookup(s.userDb, s.pluginDb, typeSwitches, filePath, QString(dbkey::ForcePlugType));
    item.options = EntryLookup(s.userDb, s.pluginDb, typeSwitches, filePath, QString(dbkey::Options));
    item.category = item.forcePlugType.isEmpty() ? CategoryForExtension(item.extension) : item.forcePlugType;
    item.forms = OnlineNameForms(item.key.key, item.extension, item.key.hasIdentifier);
    m_publicationDates.remove(filePath.toLower());

    const bool everyRecord = !item.forceLatestVer.isEmpty();
    if (m_scan == Scan::Indexed) {
        if (everyRecord) {
            for (const OnlineRecord& record : records.records()) {
                if (tryRecord(item, record))
                    return;
            }
            return;
        }
        for (const int position : MatchingRecordPositions(records, item.forms)) {
            if (tryRecord(item, records.records().at(position)))
                return;
        }
        return;
    }
    OnlineRecord record;
    for (const QString& line : records.lines()) {
        if (!SplitOnlineRecord(line, record))
            continue;
        if (!everyRecord && !item.forms.contains(record.matchKey()))
            continue;
        if (tryRecord(item, record))
            return;
    }
}

bool GroupResolver::tryRecord(Item& item, const OnlineRecord& record) {
    const bool forced = !item.forceLatestVer.isEmpty();
    QString version;
    QString date;
    QString category;
    if (forced) {
        version = item.forceLatestVer;
        date = IsDateString(version) ? version : u"23.12.1988"_s;
        category = item.category;
    } else {
        version = withoutWords(record.version());
        date = record.releaseDate();
        category = record.category();
    }

    // Only utilities are filtered: a plugin accepts a record of any category.
    QString expected = item.category == kUtil ? item.category : category;
    if (item.databaseItem)
        expected = category = u"other"_s;
    if (!category.isEmpty() && expected.compare(category, Qt::CaseInsensitive) != 0 &&
        !(expected == kUtil && isUtilitySubCategory(category)))
        return false;

    std::optional<QDate> day = RegionalDate(date);
    if (!day)
        day = RegionalDate(record.version());
    if (!day)
        return false; // a record without a readable date cannot be checked against the file
    date = FormatDate(*day);

    // A record passed over for its category or its dates does not name the item.
    correctName(item, record.displayName());

    version = cutBefore(cutBefore(version, u' '), u'-');
    const QString installed = m_c.list.row(item.row).InstalledVersion;
    if (IsDateString(installed) && !item.databaseItem)
        version = date;

    if (version.contains(u'b', Qt::CaseInsensitive) && version.contains(u'/')) {
        if (item.filePath.compare(kChecksumDbPath, Qt::CaseInsensitive) == 0) {
            const QStringList pieces = version.split(u'b', Qt::KeepEmptyParts, Qt::CaseInsensitive);
            m_databaseInfo.checksumDbEntries = pieces.at(0).trimmed();
            version = cutBefore(pieces.at(1).trimmed(), u'/');
        } else {
            version = version.split(u'/').at(1).trimmed();
            m_databaseInfo.pluginDbReleaseDate = version;
        }
    }

    if (version.isEmpty()) {
        m_c.list.setChecked(item.row, false);
        m_c.list.setLatestVersion(item.row, QString(kNoVersion));
        m_c.list.setState(item.row, ItemState::Unknown);
        return false;
    }
    m_c.list.setLatestVersion(item.row, version);
    m_publicationDates.insert(item.filePath.toLower(), date);
    decideState(item, version, date);
    return true;
}

void GroupResolver::correctName(const Item& item, const QString& onlineName) {
    const IdentificationOptions& o = m_c.options;
    if (!o.onlineNameCorr || o.forceUseOfFn || !item.forceLatestVer.isEmpty() || item.databaseItem)
        return;
    const QString section = item.fileName;
    const QString learned = m_c.stores.userPluginInfo.value(section, u"OnlineName"_s).trimmed();
    if (!learned.isEmpty() && learned.compare(onlineName, Qt::CaseInsensitive) != 0)
        return;
    const bool totalCommander = section.compare(u"TOTALCMD.EXE"_s, Qt::CaseInsensitive) == 0 ||
                                section.compare(u"TOTALCMD64.EXE"_s, Qt::CaseInsensitive) == 0 ||
                                section.compare(entryFileName(m_c.tcExeFile), Qt::CaseInsensitive) == 0;
    if (!onlineName.isEmpty() && !totalCommander) {
        m_c.stores.userPluginInfo.setValue(section, u"OnlineName"_s, onlineName);
        m_c.list.setName(item.row, onlineName);
    }
    const QString name = m_c.list.row(item.row).Name;
    if (o.detectionMode == PluginDetection::PluginsDirectory && item.filePath.endsWith(u"64"_s) &&
        !name.contains(u"(x64)"_s))
        m_c.list.setName(item.row, name + u" (x64)"_s);
}

void GroupResolver::decideState(Item& item, const QString& version, const QString& date) {
    // The row refresh after an installation decides with the same function, so a refreshed
    // row and a new check never disagree.
    DecideMatchedRow(MatchedRowContext{m_c.list, m_c.stores, m_c.options, m_c.paths, m_c.ownExecutable},
                     item.row, item.filePath, version, date);
}

} // namespace quillon
