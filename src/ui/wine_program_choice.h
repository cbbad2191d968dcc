#pragma once
// Start-up asks for Total Commander's window before the settings are read: the Wine program they
// name, or --wine for this run, is taken once they are, and the window asked again when that
// changes the program.
#include <QString>

namespace quillon {
class AppCore;
}

namespace quillon::ui {

void takeWineProgramChoice(AppCore& core, const QString& wineOption);

} // namespace quillon::ui
