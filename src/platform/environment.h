#pragma once
// Environment variables. There are two worlds: Total Commander's (the Wine prefix's user and
// system environment plus the process's COMMANDER_* variables) and Quillon's own (the process).
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

class Environment {
public:
    virtual ~Environment() = default;
    // Names match without regard to case, as on Windows.
    virtual std::optional<std::string> variable(std::string_view name) const = 0;
    // The system's own expansion of every %NAME% in text, where the platform has one; nothing
    // lets ExpandEnvPath apply Windows' rules through variable().
    virtual std::optional<std::string> expand(std::string_view) const { return std::nullopt; }
    // Sets it in this process (and so in both worlds); 0 or the system error code.
    virtual int setVariable(std::string_view name, std::string_view value) = 0;
};

// Every %NAME% expanded; unknown references stay as written.
std::string ExpandEnvPath(const Environment& env, std::string_view text);
// As ExpandEnvPath, but empty when nothing expanded (the result equals the input).
std::string ExpandEnvVariable(const Environment& env, std::string_view text);
int SetEnvVariable(Environment& env, std::string_view name, std::string_view value);

} // namespace quillon::platform
