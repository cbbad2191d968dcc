#pragma once
// The two environments on Linux. Quillon's own is the process environment with the Windows
// names its defaults use (APPDATA, TEMP, TMP, USERPROFILE, LOCALAPPDATA) derived from the XDG
// folders when unset. Total Commander's is what a program inside the Wine prefix would see.
#include <string>

#include "platform/environment.h"
#include "platform/registry.h"

namespace quillon::platform {

// Host folders, without trailing "/".
std::string hostHomeDirectory();
std::string hostConfigHome();    // $XDG_CONFIG_HOME or ~/.config
std::string hostDataHome();      // $XDG_DATA_HOME or ~/.local/share
std::string hostTempDirectory(); // $TMPDIR or /tmp

// A process variable, names compared without regard to case (exact spelling first).
std::optional<std::string> processVariable(std::string_view name);
// setenv, replacing any spelling of the name; 0 or an errno value. Remembered as set by us.
int setProcessVariable(std::string_view name, std::string_view value);
bool wasSetByProgram(std::string_view name);

class OwnEnvironment final : public Environment {
public:
    std::optional<std::string> variable(std::string_view name) const override;
    int setVariable(std::string_view name, std::string_view value) override;
};

class WineTcEnvironment final : public Environment {
public:
    // An empty prefix: the process environment alone. Without commanderVariables the process's
    // COMMANDER_* variables (and those the program set) are not this prefix's.
    WineTcEnvironment(const Registry& registry, std::string prefix, bool commanderVariables = true);

    std::optional<std::string> variable(std::string_view name) const override;
    int setVariable(std::string_view name, std::string_view value) override;

    // The Windows user whose profile the prefix holds.
    std::string userName() const;

private:
    friend class BoundedEnvironment;
    struct ExpansionBudget;
    std::optional<std::string> lookup(std::string_view name, int depth, ExpansionBudget& budget) const;
    std::optional<std::string> wellKnown(std::string_view name) const;

    const Registry& m_registry;
    std::string m_prefix;
    bool m_commanderVariables;
};

} // namespace quillon::platform
