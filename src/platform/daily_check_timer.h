#pragma once
// The update check once a day in the background. On Linux it is the systemd user timer
// quillon-check.timer that the package installs, switched on and off for this user with
// "systemctl --user"; Windows has no such timer (available() is false there).
// Every call waits for systemctl up to the time limit: a window calls these off its thread.
#include <chrono>
#include <string>

namespace quillon::platform {

struct DailyCheckState {
    bool known = false; // systemctl answered: enabled is the truth
    bool enabled = false;
    std::string error; // why the state is not known, or why the switch failed
};

class DailyCheckTimer {
public:
    // program: the systemctl to run (tests give a stand-in); limit: the wait for each call.
    explicit DailyCheckTimer(std::string program = "systemctl",
                             std::chrono::milliseconds limit = std::chrono::seconds(10));

    static const char* unitName() { return "quillon-check.timer"; }
    // Whether this platform has the timer at all.
    static bool available();

    // "systemctl --user is-enabled".
    DailyCheckState state() const;
    // "systemctl --user enable --now" or "disable --now", then the state read back: a switch that
    // did not take is reported with its error, never as done.
    DailyCheckState setEnabled(bool on) const;

private:
    std::string m_program;
    std::chrono::milliseconds m_limit;
};

} // namespace quillon::platform
