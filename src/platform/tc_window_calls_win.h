#pragma once
// Total Commander's main window reached with plain Win32 calls. Shared by the Windows build of the
// platform layer and by the bridge program that runs the same calls inside a Wine prefix, so it
// uses nothing but Win32 and the standard library.
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform::win {

inline constexpr UINT kTcCommandMessage = WM_USER + 51;
inline constexpr int kTcCloseCommand = 24340;

struct TcWindowFacts {
    bool minimized = false;
    std::string title;       // trimmed caption, UTF-8
    std::string processPath; // the owning process's executable, as Windows names it
    std::optional<RECT> rect;
};

HWND findTcWindow();
TcWindowFacts readTcWindow(HWND window);

// WM_COPYDATA "CD": a folder or file for the left or the right panel. False when Total Commander
// did not take the message in time.
bool sendTcChangeDir(HWND window, HWND sender, std::string_view windowsPath, bool leftPanel);
// WM_COPYDATA "GA": asks and waits for the answer that Total Commander sends back to a reply
// window of our own. Empty when none came within the time limit.
std::optional<std::string> askTc(HWND window, std::string_view request, DWORD limitMs);
bool sendTcCommand(HWND window, int command);
// Asks Total Commander to close, again after each pause while a window of its class is left;
// true once none is. A set cancel flag stops the asking.
bool closeTcWindow(int attempts, DWORD pauseMs, const std::atomic_bool* cancel);

} // namespace quillon::platform::win
