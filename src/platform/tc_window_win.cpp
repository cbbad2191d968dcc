#include "platform/win_services.h"

#include "platform/win_text.h"

#include <tlhelp32.h>

#include <vector>

namespace quillon::platform::win {
namespace {

constexpr UINT kTcCommandMessage = WM_USER + 51;
constexpr UINT kMessageTimeoutMs = 1000;

HWND tcWindow() {
    return FindWindowW(L"TTOTAL_CMD", nullptr);
}

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.back()))
        text.pop_back();
    std::size_t start = 0;
    while (start < text.size() && blank(text[start]))
        ++start;
    return text.substr(start);
}

std::string imagePath(DWORD pid, const wchar_t* snapshotName) {
    std::string result;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {
        wchar_t buffer[MAX_PATH * 4] = {};
        DWORD size = MAX_PATH * 4;
        if (QueryFullProcessImageNameW(process, 0, buffer, &size))
            result = toUtf8(std::wstring_view(buffer, size));
        CloseHandle(process);
    }
    return result.empty() ? toUtf8(snapshotName) : result;
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
    bool isRunning() const override { return tcWindow() != nullptr; }

    bool isMinimized() const override {
        const HWND window = tcWindow();
        return window && IsIconic(window);
    }

    std::string title() const override {
        const HWND window = tcWindow();
        if (!window)
            return {};
        wchar_t buffer[1025] = {};
        const int length = GetWindowTextW(window, buffer, 1025);
        return trimmed(toUtf8(std::wstring_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0)));
    }

    std::string processPath() const override {
        const HWND window = tcWindow();
        DWORD pid = 0;
        if (!window || !GetWindowThreadProcessId(window, &pid))
            return {};
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        if (snapshot == INVALID_HANDLE_VALUE)
            return {};
        std::string result;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            if (entry.th32ProcessID == pid) {
                result = imagePath(pid, entry.szExeFile);
                break;
            }
        }
        CloseHandle(snapshot);
        for (char& c : result)
            if (c == '\\')
                c = '/';
        return result;
    }

    void sendChangeDir(std::string_view windowsPath, bool leftPanel) override {
        const HWND window = tcWindow();
        std::string path(windowsPath);
        for (char& c : path)
            if (c == '/')
                c = '\\';
        if (!window || path.find_first_not_of(" \t") == std::string::npos)
            return;
        // Total Commander reads "CD" data in the ANSI code page.
        const std::wstring wide = toWide(path);
        const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr,
                                             0, nullptr, nullptr);
        if (size <= 0)
            return;
        std::string ansi(static_cast<std::size_t>(size), '\0');
        WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), ansi.data(), size,
                            nullptr, nullptr);
        std::string data = leftPanel ? ansi + "\r" : "\r" + ansi;
        COPYDATASTRUCT copy{};
        copy.dwData = 'C' | ('D' << 8);
        copy.cbData = static_cast<DWORD>(data.size() + 1); // with the terminating zero
        copy.lpData = data.data();
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, WM_COPYDATA, reinterpret_cast<WPARAM>(senderWindow()),
                            reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result);
    }

    void sendCommand(int command) override {
        if (const HWND window = tcWindow()) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, kTcCommandMessage, static_cast<WPARAM>(command), 0, SMTO_ABORTIFHUNG,
                                kMessageTimeoutMs, &result);
        }
    }

    bool requestClose() override {
        const HWND window = tcWindow();
        return window && PostMessageW(window, WM_CLOSE, 0, 0);
    }
};

} // namespace

std::unique_ptr<TcWindow> makeTcWindow() {
    return std::make_unique<Win32TcWindow>();
}

} // namespace quillon::platform::win
