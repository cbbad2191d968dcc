#pragma once
// Total Commander's font rule at start: unless "Keep the program's own font"
// (GUI/ForceOriginalFont) is on, the program adopts the font Total Commander uses for its own
// windows ("Segoe UI Semibold", size 8) when that font is installed on this system.
#include <QString>

namespace quillon {
class TcLocator;
}

namespace quillon::ui {

// Sets the application's font for every window made from now on. True when it was adopted.
// tcIniFile: Total Commander's wincmd.ini in use, empty when none was found.
bool adoptTotalCommanderFont(bool forceOriginalFont, const QString& tcIniFile, const TcLocator& locator);

} // namespace quillon::ui
