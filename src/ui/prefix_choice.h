#pragma once
// A desktop user starts Quillon from the menu and names no prefix: when the one in use holds no
// Total Commander, the installation another prefix manager keeps is taken instead (the user
// picks when there are several), and the pick is remembered for the next start.
#include <optional>
#include <QString>

#include "engine/tc_installation_choice.h"

namespace quillon {
class IniDocument;
class Language;
namespace platform {
class Platform;
}
} // namespace quillon

namespace quillon::ui {

// What the choice reads of the started core.
struct PrefixChoiceParts {
    const Language& language;
    const platform::Platform& platform; // the prefix in use
    const IniDocument& settings;        // the installation chosen before
    const QString& tcDir;               // empty: no Total Commander in the prefix in use
};

// The installation to start again with, as ChooseTcInstallation takes it or, among several,
// as the user picks it; nothing when the prefix in use stays.
std::optional<TcInstallation> chooseTcInstallation(const PrefixChoiceParts& parts,
                                                   const QString& prefixOption, bool startedByTc);

// For the status bar: where Total Commander was taken from.
QString tcInstallationTakenText(const Language& language, const TcInstallation& chosen);

} // namespace quillon::ui
