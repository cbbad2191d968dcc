#include "platform/tc_window_calls_win.h"
#include "platform/win_services.h"
#include "platform/win_text.h"
#include "platform/win_window.h"

#include <shellapi.h>

namespace quillon::platform::win {
namespace {

constexpr DWORD kAnswerLimitMs = 2000;
constexpr int kCloseAttempts = 32;
constexpr DWORD kClosePauseMs = 500;

std::string withSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string withBackslashes(std::string_view path) {
    std::string result(path);
    for (char& c : result)
        if (c == '/')
            c = '\\';
    return result;
}

// The calling application's own main window as the sender, as Total Commander expects one.
HWND senderWindow() {
    const HWND own = FindWindowW(L"Ttc_Updater", nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(own, &pid);
    return own && pid == GetCurrentProcessId() ? own : nullptr;
}

class Win32TcWindow final : public TcWindow {
public:
    TcWindowState state(Cancel) override {
        TcWindowState result;
        const HWND window = findTcWindow();
        result.running = window != nullptr;
        if (!window)
            return result;
        const TcWindowFacts facts = readTcWindow(window);
        result.minimized = facts.minimized;
        result.title = facts.title;
        result.processPath = withSlashes(facts.processPath);
        if (facts.rect)
            result.rect =
                WindowRect{facts.rect->left, facts.rect->top, facts.rect->right, facts.rect->bottom};
        return result;
    }

    bool sendChangeDir(std::string_view hostPath, bool leftPanel, Cancel) override {
        return sendTcChangeDir(findTcWindow(), senderWindow(), withBackslashes(hostPath), leftPanel);
    }

    std::optional<std::string> request(std::string_view text, Cancel) override {
        return askTc(findTcWindow(), text, kAnswerLimitMs);
    }

    bool sendCommand(int command, Cancel) override { return sendTcCommand(findTcWindow(), command); }

    bool bringToFront(Cancel) override { return ForceForegroundWindow(findTcWindow()); }

    bool closeAndWait(Cancel cancel) override { return closeTcWindow(kCloseAttempts, kClosePauseMs, cancel); }

    bool launch(std::string_view hostExePath) override {
        const std::wstring path = toWide(withBackslashes(hostExePath));
        return reinterpret_cast<INT_PTR>(
                   ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
    }

    TcWindowProblem lastProblem() const override { return TcWindowProblem::None; }
};

} // namespace

std::unique_ptr<TcWindow> makeTcWindow() {
    return std::make_unique<Win32TcWindow>();
}

} // namespace quillon::platform::win
