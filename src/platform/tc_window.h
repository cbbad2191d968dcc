#pragma once
// Total Commander's main window (class "TTOTAL_CMD") and the messages the program sends it.
#include <string>
#include <string_view>

namespace quillon::platform {

class TcWindow {
public:
    virtual ~TcWindow() = default;
    virtual bool isRunning() const = 0;
    virtual bool isMinimized() const = 0;
    virtual std::string title() const = 0;       // trimmed caption, empty when not running
    virtual std::string processPath() const = 0; // executable of the owning process, host path
    // WM_COPYDATA "CD": show a folder or file in the left or right panel.
    virtual void sendChangeDir(std::string_view windowsPath, bool leftPanel) = 0;
    // WM_USER+51 with a command number (1006, 2913, 4001, 4002, ...).
    virtual void sendCommand(int command) = 0;
    // Asks the window to close (WM_CLOSE); false when it is not running.
    virtual bool requestClose() = 0;
};

} // namespace quillon::platform
