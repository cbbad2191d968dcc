#pragma once
// The lines of a snapshot a narrowed list shows: the three filters of the update list and the
// quick search.
#include <QList>
#include <QString>

#include "inventory/list_snapshot.h"

namespace quillon {

enum class ItemFilter { All = 0, Updatable = 1, Unknown = 2 };

// GUI/ShowItemType as stored; anything else shows every row.
ItemFilter itemFilterFromSetting(int showItemType);

QList<SnapshotLine> filterSnapshotLines(const QList<SnapshotLine>& lines, ItemFilter filter);

// Lines whose name or file name (without directory) contains text, letter case ignored; the
// text is taken as typed, an empty one keeps every line.
QList<SnapshotLine> quickSearchLines(const QList<SnapshotLine>& lines, const QString& text);

} // namespace quillon
