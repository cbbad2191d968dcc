#include "app/ini_edits.h"

#include "app/ini_document.h"

namespace quillon {

IniEdits IniEditsBetween(const IniDocument& before, const IniDocument& after) {
    IniEdits edits;
    for (const QString& section : after.sections()) {
        for (const QString& key : after.keys(section)) {
            const QString value = after.value(section, key);
            if (!before.hasKey(section, key) || before.value(section, key) != value)
                edits.append({section, key, value});
        }
    }
    for (const QString& section : before.sections()) {
        for (const QString& key : before.keys(section)) {
            if (!after.hasKey(section, key))
                edits.append({section, key, QString(), true});
        }
    }
    return edits;
}

void ApplyIniEdits(IniDocument& document, const IniEdits& edits) {
    for (const IniEdit& edit : edits) {
        if (edit.removed)
            document.removeKey(edit.section, edit.key);
        else
            document.setValue(edit.section, edit.key, edit.value);
    }
}

} // namespace quillon
