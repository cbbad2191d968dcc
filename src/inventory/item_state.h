#pragma once
// A row's state is never stored: it is read from the row's status text by comparing it with the
// current language's three texts. This is the one place that comparison is made.
#include <QString>

namespace quillon {

enum class ItemState { Ok, Update, Unknown };

// The current language's status texts (section CaptionsMainFrm); the defaults are English.
struct StatusTexts {
    QString ok = QStringLiteral("OK.");
    QString update = QStringLiteral("Update available!");
    QString unknown = QStringLiteral("Unknown.");
};

// Trimmed comparison; a text that is none of the three (the language changed since the row was
// made) counts as Ok, the same rule the snapshot codes follow.
ItemState itemState(const QString& status, const StatusTexts& texts);
QString statusText(ItemState state, const StatusTexts& texts);

// Snapshot codes: Unknown -1, Update 1, Ok 0.
int stateCode(ItemState state);
// "-1" Unknown, "1" Update, anything else Ok; the code is trimmed first.
ItemState stateFromCode(const QString& code);

} // namespace quillon
