#pragma once
// The plugin catalogue's list page: one record per line, fields joined by "|". Cleaned once per
// check run and indexed by identifier, so every item finds its candidate records without
// scanning the whole page.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace quillon {

inline constexpr QLatin1StringView kOnlineListPage{"get_plugins_list.php"};

// True when the last path segment of url is exactly "get_plugins_list.php".
bool IsOnlineListAddress(const QString& url);

// The page text made into record lines: markup and entities dropped, a line break after every
// "| " and "src ", trimmed, split at every kind of line break.
QStringList CleanOnlineListPage(const QString& pageText);

// One line of the page, split at every "|" with empty fields dropped, so an empty field moves
// the ones after it forward, as the catalogue's readers have always taken it.
struct OnlineRecord {
    QStringList fields;

    // F0..F6; empty past the end.
    QString field(int index) const { return index < fields.size() ? fields.at(index) : QString(); }
    QString identifier() const { return field(0); }  // F0
    QString displayName() const;                     // F1 without a trailing "-"
    QString version() const { return field(2); }     // F2
    QString releaseDate() const { return field(3); } // F3
    QString category() const { return field(4); }    // F4
    QString platform() const { return field(5); }    // F5
    QString platform2() const { return field(6); }   // F6
    // F0 as matching compares it: trimmed, lower case.
    QString matchKey() const { return field(0).trimmed().toLower(); }
};

// A line counts as a record when it has the fields every reader needs, F0 to F4. Shorter
// lines (blank lines, stray markup) are skipped by every lookup.
inline constexpr int kMinimumRecordFields = 5;
bool SplitOnlineRecord(const QString& line, OnlineRecord& record);

class OnlineList {
public:
    OnlineList() = default;
    // From cleaned lines.
    explicit OnlineList(const QStringList& lines);
    static OnlineList fromPage(const QString& pageText) { return OnlineList(CleanOnlineListPage(pageText)); }

    const QStringList& lines() const { return m_lines; }
    // The usable records in page order.
    const QList<OnlineRecord>& records() const { return m_records; }
    int recordCount() const { return static_cast<int>(m_records.size()); }
    bool isEmpty() const { return m_records.isEmpty(); }
    void clear();

    // Positions (into records()) of the records whose F0, trimmed and lower-cased, equals
    // lowerKey; ascending. Empty for an unknown key.
    const QList<int>& positionsOf(const QString& lowerKey) const;

private:
    QStringList m_lines;
    QList<OnlineRecord> m_records;
    QHash<QString, QList<int>> m_byIdentifier;
};

} // namespace quillon
