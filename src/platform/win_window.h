#pragma once
// Bringing a window of another process to the foreground despite Windows' focus-stealing rules.
#include <windows.h>

namespace quillon::platform::win {

inline bool ForceForegroundWindow(HWND window) {
    if (!window || !IsWindow(window))
        return false;
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    if (GetForegroundWindow() == window)
        return true;
    const DWORD ownThread = GetCurrentThreadId();
    const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const bool attached = foregroundThread && foregroundThread != ownThread &&
                          AttachThreadInput(ownThread, foregroundThread, TRUE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(ownThread, foregroundThread, FALSE);
    if (GetForegroundWindow() != window) {
        DWORD oldTimeout = 0;
        const bool gotTimeout = SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &oldTimeout, 0);
        SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
        BringWindowToTop(window);
        SetForegroundWindow(window);
        if (gotTimeout)
            SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0,
                                  reinterpret_cast<PVOID>(static_cast<ULONG_PTR>(oldTimeout)),
                                  SPIF_SENDCHANGE);
    }
    return GetForegroundWindow() == window;
}

} // namespace quillon::platform::win
