#pragma once
// What copying update-list rows puts on the clipboard.
#include <QList>
#include <QString>

#include "inventory/item_state.h"
#include "inventory/update_item.h"

namespace quillon {

// Ctrl+C: file name, installed, latest, status; with the checksum (Ctrl+Shift+C): checksum,
// file name, name, installed, latest, state code. Tab-separated, one line a row, trimmed.
QString rowsCopyText(const QList<UpdateItem>& rows, const StatusTexts& texts, bool withChecksum);
// Ctrl+G: a checksum database entry per row ("[file]", "checksum=installed", blank line), trimmed.
QString checksumEntriesText(const QList<UpdateItem>& rows);

} // namespace quillon
