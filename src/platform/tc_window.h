#pragma once
// Total Commander's main window (class "TTOTAL_CMD") and the messages the program sends it.
// Every call may take a while (under Wine each is a program run in the prefix) and is bounded
// in time; long work calls it off the window's thread and may cancel it through the flag.
#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

struct WindowRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const WindowRect&) const = default;
};

// Why the window could not be reached, for a note in the status bar; the window then counts as
// not running.
enum class TcWindowProblem {
    None,
    WineMissing,   // no Wine program to run the bridge with
    BridgeMissing, // the bridge program is not installed beside Quillon
    Failed,        // the bridge did not start, crashed or gave no answer
    TimedOut,      // the bridge did not finish within its time limit
    Cancelled,
};

struct TcWindowState {
    bool running = false;
    bool minimized = false;
    std::string title;       // trimmed caption
    std::string processPath; // executable of the owning process, host path ("/" separators)
    std::optional<WindowRect> rect;
};

class TcWindow {
public:
    using Cancel = const std::atomic_bool*;

    virtual ~TcWindow() = default;
    virtual TcWindowState state(Cancel cancel = nullptr) = 0;
    // WM_COPYDATA "CD": show a folder or file (a host path) in the left or right panel.
    virtual bool sendChangeDir(std::string_view hostPath, bool leftPanel, Cancel cancel = nullptr) = 0;
    // WM_COPYDATA "GA" (for example "A": which panel is active); the answer, or none.
    virtual std::optional<std::string> request(std::string_view text, Cancel cancel = nullptr) = 0;
    // WM_USER+51 with a command number (1006, 2913, 4001, 4002, ...).
    virtual bool sendCommand(int command, Cancel cancel = nullptr) = 0;
    virtual bool bringToFront(Cancel cancel = nullptr) = 0;
    // Asks Total Commander to close (command 24340, again every half second, at most 32 times)
    // and waits until it is gone; true when it is gone or was not running.
    virtual bool closeAndWait(Cancel cancel = nullptr) = 0;
    // Starts Total Commander's executable (a host path) without waiting for it.
    virtual bool launch(std::string_view hostExePath) = 0;
    // What kept the last call from reaching the window.
    virtual TcWindowProblem lastProblem() const = 0;

    bool isRunning(Cancel cancel = nullptr) { return state(cancel).running; }
};

} // namespace quillon::platform
