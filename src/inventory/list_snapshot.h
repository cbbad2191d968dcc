#pragma once
// A copy of the update list's rows, taken after the inventory pass and the update check, from
// which the view filters, the quick search and a language change rebuild the list.
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "inventory/item_state.h"
#include "inventory/update_item.h"

namespace quillon {

// One row as kept in the snapshot: the state is a code (-1, 1, 0), not a language's text, so a
// snapshot survives a change of language.
struct SnapshotLine {
    QString Name;
    QString InstalledVersion;
    QString LatestVersion;
    int StateCode = -1;
    QString FilePath;
    int Group = 0;
    int Ordinal = 0;
    bool Checked = false;

    static SnapshotLine fromItem(const UpdateItem& item, const StatusTexts& texts);
    UpdateItem toItem(const StatusTexts& texts) const;

    // The eight fields joined by "|".
    QString text() const;
    // Fields are trimmed. A "|" inside a field cannot be told from a separator; extra ones are
    // taken as part of the file path (fields 1-4 are counted from the left, 6-8 from the right),
    // the field most likely to hold one on a host file system. Nullopt for fewer than eight
    // fields or a group id outside 0..6.
    static std::optional<SnapshotLine> parse(const QString& line);

    bool operator==(const SnapshotLine&) const = default;
};

class ListSnapshot {
public:
    const QList<SnapshotLine>& lines() const { return m_lines; }
    int count() const { return static_cast<int>(m_lines.size()); }
    bool isEmpty() const { return m_lines.isEmpty(); }

    void clear() { m_lines.clear(); }
    void append(const SnapshotLine& line) { m_lines.append(line); }
    // Replaces every line whose path (trimmed, letter case ignored) equals filePath; returns the
    // number replaced.
    int replaceByPath(const QString& filePath, const SnapshotLine& replacement);
    int removeByPath(const QString& filePath);

    QStringList toText() const;

private:
    QList<SnapshotLine> m_lines;
};

} // namespace quillon
