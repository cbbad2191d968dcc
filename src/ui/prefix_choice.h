#pragma once
// A desktop user starts Quillon from the menu and names no prefix: when the one in use holds no
// Total Commander, the installation another prefix manager keeps is taken instead (the user
// picks when there are several), and the pick is remembered for the next start.
#include <optional>
#include <QString>

#include "tcdetect/tc_installations.h"

namespace quillon {
class AppCore;
}

namespace quillon::ui {

// The installation to start again with; nothing when the prefix in use will do, nothing else
// was found, or the user kept it. prefixOption: --wine-prefix, which always wins.
std::optional<TcInstallation> chooseTcInstallation(AppCore& core, const QString& prefixOption);

// Stored with the settings of the core started on it, so that a chooser is not shown again.
void rememberTcInstallation(AppCore& core, const TcInstallation& chosen);

// For the status bar: where Total Commander was taken from.
QString tcInstallationTakenText(AppCore& core, const TcInstallation& chosen);

} // namespace quillon::ui
