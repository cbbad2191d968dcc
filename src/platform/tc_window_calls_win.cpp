#include "platform/tc_window_calls_win.h"

#include "platform/win_text.h"

#include <tlhelp32.h>

namespace quillon::platform::win {
namespace {

// A hung Total Commander must not hold us: every message gives up after this.
constexpr UINT kMessageTimeoutMs = 1000;
constexpr wchar_t kReplyClass[] = L"QuillonTcReply";

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

std::string windowProcessPath(HWND window) {
    DWORD pid = 0;
    if (!GetWindowThreadProcessId(window, &pid))
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
    return result;
}

bool sendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                               &result) != 0;
}

struct ReplySlot {
    std::optional<std::string> answer;
};

LRESULT CALLBACK replyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* slot = reinterpret_cast<ReplySlot*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (slot && copy) {
            // The answer is UTF-16; Total Commander's own reader keeps at most 99 characters.
            std::wstring_view data(static_cast<const wchar_t*>(copy->lpData),
                                   copy->lpData ? copy->cbData / 2 : 0);
            data = data.substr(0, std::min(data.find(L'\0'), std::wstring_view::size_type{99}));
            slot->answer = toUtf8(data);
        }
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND createReplyWindow(ReplySlot* slot) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = replyProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kReplyClass;
    RegisterClassW(&windowClass); // fails harmlessly when a previous call registered it
    const HWND window = CreateWindowExW(0, kReplyClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        windowClass.hInstance, nullptr);
    if (window)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(slot));
    return window;
}

} // namespace

HWND findTcWindow() {
    return FindWindowW(L"TTOTAL_CMD", nullptr);
}

TcWindowFacts readTcWindow(HWND window) {
    TcWindowFacts facts;
    if (!window)
        return facts;
    facts.minimized = IsIconic(window);
    wchar_t buffer[1025] = {};
    const int length = GetWindowTextW(window, buffer, 1025);
    facts.title =
        trimmed(toUtf8(std::wstring_view(buffer, length > 0 ? static_cast<std::size_t>(length) : 0)));
    facts.processPath = windowProcessPath(window);
    RECT rect{};
    if (GetWindowRect(window, &rect))
        facts.rect = rect;
    return facts;
}

bool sendTcChangeDir(HWND window, HWND sender, std::string_view windowsPath, bool leftPanel) {
    std::string path(windowsPath);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    if (!window || path.find_first_not_of(" \t") == std::string::npos)
        return false;
    // Total Commander reads "CD" data in the ANSI code page.
    const std::wstring wide = toWide(path);
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return false;
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), ansi.data(), size, nullptr,
                        nullptr);
    std::string data = leftPanel ? ansi + "\r" : "\r" + ansi;
    COPYDATASTRUCT copy{};
    copy.dwData = 'C' | ('D' << 8);
    copy.cbData = static_cast<DWORD>(data.size() + 1); // with the terminating zero
    copy.lpData = data.data();
    return sendWithTimeout(window, WM_COPYDATA, reinterpret_cast<WPARAM>(sender),
                           reinterpret_cast<LPARAM>(&copy));
}

std::optional<std::string> askTc(HWND window, std::string_view request, DWORD limitMs) {
    if (!window)
        return std::nullopt;
    ReplySlot slot;
    const HWND reply = createReplyWindow(&slot);
    if (!reply)
        return std::nullopt;
    std::wstring text = toWide(request);
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    COPYDATASTRUCT copy{};
    copy.dwData = 'G' | ('A' << 8);
    // Total Commander's own length rule: characters plus one, in bytes, of UTF-16 data.
    copy.cbData = static_cast<DWORD>(text.size() + 1);
    copy.lpData = text.data();
    const DWORD start = GetTickCount();
    if (sendWithTimeout(window, WM_COPYDATA, reinterpret_cast<WPARAM>(reply),
                        reinterpret_cast<LPARAM>(&copy))) {
        // The answer may come during the send or be sent a little later.
        while (!slot.answer && GetTickCount() - start < limitMs) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, limitMs - (GetTickCount() - start), QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
        }
    }
    DestroyWindow(reply);
    return slot.answer;
}

bool sendTcCommand(HWND window, int command) {
    return window && sendWithTimeout(window, kTcCommandMessage, static_cast<WPARAM>(command), 0);
}

bool closeTcWindow(int attempts, DWORD pauseMs, const std::atomic_bool* cancel) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        const HWND window = findTcWindow();
        if (!window)
            return true;
        if (cancel && cancel->load())
            return false;
        sendTcCommand(window, kTcCloseCommand);
        Sleep(pauseMs);
    }
    return findTcWindow() == nullptr;
}

} // namespace quillon::platform::win
