#pragma once
// Changes to an IniDocument as values: a job changes its own copy of a store, and its owner
// replays the difference on the store it keeps, without taking over what the owner changed
// meanwhile elsewhere in that store.
#include <QList>
#include <QString>

namespace quillon {

class IniDocument;

struct IniEdit {
    QString section;
    QString key;
    QString value;
    bool removed = false;

    bool operator==(const IniEdit&) const = default;
};
using IniEdits = QList<IniEdit>;

// What turns before into after, key by key (first values compared, as value() reads them).
IniEdits IniEditsBetween(const IniDocument& before, const IniDocument& after);
void ApplyIniEdits(IniDocument& document, const IniEdits& edits);

} // namespace quillon
