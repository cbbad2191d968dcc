#include "inventory/snapshot_filter.h"

#include "inventory/plugin_database.h"

namespace quillon {

ItemFilter itemFilterFromSetting(int showItemType) {
    switch (showItemType) {
    case 1:
        return ItemFilter::Updatable;
    case 2:
        return ItemFilter::Unknown;
    default:
        return ItemFilter::All;
    }
}

QList<SnapshotLine> filterSnapshotLines(const QList<SnapshotLine>& lines, ItemFilter filter) {
    if (filter == ItemFilter::All)
        return lines;
    const int wanted =
        filter == ItemFilter::Updatable ? stateCode(ItemState::Update) : stateCode(ItemState::Unknown);
    QList<SnapshotLine> kept;
    for (const SnapshotLine& line : lines) {
        if (line.StateCode == wanted)
            kept.append(line);
    }
    return kept;
}

QList<SnapshotLine> quickSearchLines(const QList<SnapshotLine>& lines, const QString& text) {
    if (text.trimmed().isEmpty())
        return lines;
    QList<SnapshotLine> kept;
    for (const SnapshotLine& line : lines) {
        if (line.Name.contains(text, Qt::CaseInsensitive) ||
            entryFileName(line.FilePath).contains(text, Qt::CaseInsensitive))
            kept.append(line);
    }
    return kept;
}

} // namespace quillon
