#pragma once
// ResolveGroupAgainstOnlineList: every item of one group looked up in the catalogue's records;
// the first record that yields a version gives the item its latest version, its state and,
// when the user wants the catalogue's names, its display name.
#include <QHash>
#include <QString>

#include <functional>

#include "inventory/item_identification.h"

namespace quillon {

class GroupFileList;
class OnlineList;
class UpdateList;
struct OnlineRecord;

// What the catalogue says about Quillon's two databases, for the database browser.
struct DatabaseOnlineInfo {
    QString checksumDbEntries;   // the online checksum database's entry count
    QString pluginDbReleaseDate; // the online plugin database's release date
};

struct ResolverContext {
    UpdateList& list;
    IdentificationStores stores;
    // onlineNameCorr, forceUseOfFn, detectionMode (1 marks 64-bit rows), updateDateCheck,
    // pubDateDiffCorr, verCorrOnDateMatch and the database switches are read.
    IdentificationOptions options;
    PathForms paths;
    QString ownExecutable;
    QString tcExeFile;
    bool scrollOnUpdCheck = true; // GUI/ScrollOnUpdCheck
};

class GroupResolver {
public:
    explicit GroupResolver(ResolverContext context);

    // How the records of an item are found. The literal scan splits and compares every record
    // for every item; it stays as the reference the index is proved against.
    enum class Scan { Indexed, Literal };
    void setScan(Scan scan) { m_scan = scan; }

    // Called before an item is resolved with its row (a progress bar follows it).
    void setProgressHook(std::function<void(int row)> hook) { m_progress = std::move(hook); }
    // Called after an item was resolved; scroll: ScrollOnUpdCheck asks to show the row.
    void setRowResolvedHook(std::function<void(int row, bool scroll)> hook) {
        m_rowResolved = std::move(hook);
    }
    // Called after an item was left marked: the counters are due.
    void setRecountHook(std::function<void()> hook) { m_recount = std::move(hook); }

    // Resolves the group's items; the item k of the group is the row firstRow + k. Entries
    // whose row is missing are skipped.
    void ResolveGroupAgainstOnlineList(const GroupFileList& group, const OnlineList& records, int firstRow);

    const DatabaseOnlineInfo& databaseInfo() const { return m_databaseInfo; }
    // The catalogue's release date ("dd.mm.yyyy") of the record that gave the item at filePath its
    // latest version; empty when none did. The row refresh re-evaluates with it.
    QString publicationDate(const QString& filePath) const;

private:
    struct Item;
    void resolveItem(const QString& filePath, int row, const OnlineList& records);
    // The record at this position of the records, or the next line in a literal scan, tried for
    // the item; true when it gave the item its latest version.
    bool tryRecord(Item& item, const OnlineRecord& record);
    void correctName(const Item& item, const QString& onlineName);
    void decideState(Item& item, const QString& version, const QString& date);

    ResolverContext m_c;
    Scan m_scan = Scan::Indexed;
    std::function<void(int)> m_progress;
    std::function<void(int, bool)> m_rowResolved;
    std::function<void()> m_recount;
    DatabaseOnlineInfo m_databaseInfo;
    QHash<QString, QString> m_publicationDates; // lower-cased path -> date
};

// The category an item expects from its extension: packer, fsplugin, lister, content or util.
QString CategoryForExtension(const QString& extension);

} // namespace quillon
