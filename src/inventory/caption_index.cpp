#include "inventory/caption_index.h"

#include "inventory/update_list.h"

namespace quillon {

QList<CaptionedRow> CaptionIndex::rowsLike(const UpdateList& list, int newRow, const QString& caption,
                                           const QString& path) {
    QList<CaptionedRow> rows;
    if (newRow != list.rowCount() - 1) {
        // Not a row added at the end: every other row, as the rule has it.
        for (int r = 1; r < list.rowCount(); ++r) {
            if (r != newRow)
                rows.append({list.row(r).Name, list.row(r).FilePath});
        }
        return rows;
    }
    if (m_indexedEnd > newRow) {
        // Rows went away: the index no longer fits the list.
        m_rowsByKey.clear();
        m_indexedEnd = 1;
    }
    for (; m_indexedEnd < newRow; ++m_indexedEnd) {
        const UpdateItem& item = list.row(m_indexedEnd);
        m_rowsByKey[captionKey(item.Name, item.FilePath)].append(m_indexedEnd);
    }
    const auto found = m_rowsByKey.constFind(captionKey(caption, path));
    if (found == m_rowsByKey.cend())
        return rows;
    for (const int r : *found)
        rows.append({list.row(r).Name, list.row(r).FilePath});
    return rows;
}

} // namespace quillon
