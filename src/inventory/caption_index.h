#pragma once
// The rows a new row's caption is compared with, found through an index rather than a look at
// every row: over a whole inventory pass the look at every row grows with the square of the
// list.
#include <QHash>
#include <QList>
#include <QString>

#include "inventory/name_cleaning.h"

namespace quillon {

class UpdateList;

class CaptionIndex {
public:
    // The rows after the first that ItemCaption may count as carrying caption for path's
    // extension: every row that does, and perhaps a few that do not. newRow is the row the
    // caption is for. Rows before it are indexed when first seen, so they must keep their
    // captions from then on, and the list may change only at its end: as during one
    // inventory pass, where identification alone adds and hides rows.
    QList<CaptionedRow> rowsLike(const UpdateList& list, int newRow, const QString& caption,
                                 const QString& path);

private:
    QHash<QString, QList<int>> m_rowsByKey;
    int m_indexedEnd = 1; // rows [1, m_indexedEnd) are indexed
};

} // namespace quillon
