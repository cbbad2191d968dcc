#pragma once
// Tidying of version texts read from files, databases and web pages.
#include <QString>

namespace quillon {

// The text before the first "." ("12" for "12.3b"); empty when there is no ".".
QString GetMainVersion(const QString& text);

// Separators unified to ".", words such as "version", "final", "beta" dropped, and the text cut
// after its first remaining blank: "Version 1,2 beta" gives "1.2".
QString NormalizeVersionText(const QString& text);

// Digits and letters only, zeros and release words dropped, so that differently written forms
// of one release compare equal: "1.5" and "1.50" both give "15", "version 1.2 beta" gives "12".
QString CollapsedVersion(const QString& text);

} // namespace quillon
