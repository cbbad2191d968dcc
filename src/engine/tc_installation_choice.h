#pragma once
// Which Total Commander a program started without a named prefix looks after: the prefix in use
// unless it holds none; then the installation another prefix manager keeps. One chosen before is
// remembered in the settings, so both programs keep to it.
#include <optional>
#include <QList>
#include <QString>

#include "tcdetect/tc_installations.h"

namespace quillon {

class IniDocument;
namespace platform {
class Platform;
}

struct TcInstallationChoice {
    // Start again on this one.
    std::optional<TcInstallation> taken;
    // Nothing taken, several found: the user may pick one.
    QList<TcInstallation> candidates;
};

// After start-up, from the started core's platform (the prefix in use), settings store (the
// remembered choice) and Total Commander's directory (empty: none in that prefix).
// prefixOption: --wine-prefix, which always wins; so does a Total Commander that started the
// program (startedByTc: COMMANDER_PATH was set before start-up).
TcInstallationChoice ChooseTcInstallation(const platform::Platform& platform, const IniDocument& settings,
                                          const QString& tcDir, const QString& prefixOption,
                                          bool startedByTc);

// Kept in the settings store of the core started on it.
void RememberTcInstallation(IniDocument& settings, const TcInstallation& chosen);

} // namespace quillon
