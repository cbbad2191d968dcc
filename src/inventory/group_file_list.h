#pragma once
// The ordered file lists of groups 1 to 6. After the inventory pass their entries, in list order
// and concatenated in group order, are exactly the rows of those groups (after Total Commander's
// row), so a list entry addresses its row by position alone.
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "inventory/update_item.h"

namespace quillon {

class GroupFileList {
public:
    // Sort key and path are kept apart: a host path may itself contain "|".
    struct Entry {
        QString sortKey;
        QString filePath;
        QString line() const { return sortKey + QLatin1Char('|') + filePath; }
        bool operator==(const Entry&) const = default;
    };

    void append(const QString& filePath, const QString& sortKey = {});
    int count() const { return static_cast<int>(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const Entry& at(int k) const { return m_entries.at(k); }
    const QList<Entry>& entries() const { return m_entries; }
    QStringList filePaths() const;
    void setSortKey(int k, const QString& sortKey);
    void removeAt(int k) { m_entries.removeAt(k); }
    void clear() { m_entries.clear(); }

    // Index of the first entry with this path (trimmed, letter case ignored), or -1.
    int indexOfPath(const QString& filePath) const;
    // Removes every entry with this path; returns how many went.
    int removePath(const QString& filePath);
    // Keeps the first of entries whose paths differ only in letter case.
    void removeDuplicatePaths();
    // Sorted on the whole "SortKey|FilePath" line, letter case ignored; stable.
    void sortByLine();

private:
    QList<Entry> m_entries;
};

class GroupFileLists {
public:
    // Groups Wcx..QN; Total Commander's group has no list.
    static bool hasList(ItemGroup group) { return group != ItemGroup::TC; }
    GroupFileList& list(ItemGroup group);
    const GroupFileList& list(ItemGroup group) const;

    int totalCount() const;
    void clear();

    // Row of the k-th entry of a group's list: one for Total Commander's row when it exists, plus
    // the entries of the lower groups, plus k.
    int rowIndex(ItemGroup group, int k, bool hasTcRow) const;
    // The list entry a row stands for; nullopt for Total Commander's row or a row past the lists.
    struct Position {
        ItemGroup group;
        int index;
        bool operator==(const Position&) const = default;
    };
    std::optional<Position> locate(int row, bool hasTcRow) const;

    // Removes the path from every list; returns how many entries went.
    int removePath(const QString& filePath);
    // Drops the entries of rows hidden during identification; the database key words stay.
    void dropHidden(const QStringList& hiddenPaths);

private:
    static int slot(ItemGroup group);
    std::array<GroupFileList, kGroupCount - 1> m_lists;
};

} // namespace quillon
