// quillon-tcbridge: reaches Total Commander's window from inside its Wine prefix for Quillon,
// which runs outside Wine. One verb per run; the answer is UTF-8, one "key value" line each,
// and "end" last, so a run cut short is told from a complete one.
//
//   state                   running, minimized, rect, title, exe
//   cd left|right PATH      sent
//   ask TEXT                answer (missing when none came)
//   command NUMBER          sent
//   foreground              foreground
//   close                   closed
//   load PATH               started (written at once), result, detail
//
// "load" needs no window: it proves that a plugin file loads, in this process so that a plugin
// that hangs or crashes takes only the bridge with it. The 32-bit build loads 32-bit plugins.
#include "platform/tc_window_calls_win.h"
#include "platform/win_text.h"
#include "platform/win_window.h"
#include "tcbridge/plugin_load.h"

#include <cwchar>
#include <string>
#include <vector>

namespace win = quillon::platform::win;

namespace {

constexpr DWORD kAnswerLimitMs = 2000;
constexpr int kCloseAttempts = 32;
constexpr DWORD kClosePauseMs = 500;

std::string g_reply;

// Keeps every answer on one line.
void line(const char* key, std::string value) {
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    g_reply += key;
    g_reply += ' ';
    g_reply += value;
    g_reply += '\n';
}

void write() {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), g_reply.data(), static_cast<DWORD>(g_reply.size()), &written,
              nullptr);
    g_reply.clear();
}

void flush() {
    g_reply += "end\n";
    write();
}

int usage() {
    const char text[] = "usage: quillon-tcbridge state | cd left|right PATH | ask TEXT | command NUMBER | "
                        "foreground | close | load PATH\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text, sizeof text - 1, &written, nullptr);
    return 2;
}

void state(HWND window) {
    const win::TcWindowFacts facts = win::readTcWindow(window);
    line("minimized", facts.minimized ? "1" : "0");
    if (facts.rect)
        line("rect", std::to_string(facts.rect->left) + ' ' + std::to_string(facts.rect->top) + ' ' +
                         std::to_string(facts.rect->right) + ' ' + std::to_string(facts.rect->bottom));
    line("title", facts.title);
    line("exe", facts.processPath);
}

bool parseNumber(const wchar_t* text, int* number) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 10);
    if (!*text || *end || value < 0 || value > 0x7fffffff)
        return false;
    *number = static_cast<int>(value);
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.empty())
        return usage();
    const std::wstring& verb = args[0];
    const std::size_t count = args.size();
    int number = 0;
    const bool valid = (verb == L"state" && count == 1) || (verb == L"foreground" && count == 1) ||
                       (verb == L"close" && count == 1) || (verb == L"ask" && count == 2) ||
                       (verb == L"command" && count == 2 && parseNumber(args[1].c_str(), &number)) ||
                       (verb == L"cd" && count == 3 && (args[1] == L"left" || args[1] == L"right")) ||
                       (verb == L"load" && count == 2);
    if (!valid)
        return usage();

    if (verb == L"load") {
        // Tells a bridge that ran from one that never started (a 32-bit program without 32-bit
        // Wine ends silently) and from a plugin that took the process down.
        line("started", "1");
        write();
        const quillon::bridge::LoadVerdict verdict = quillon::bridge::checkPluginLoads(args[1]);
        line("result", verdict.result);
        line("detail", verdict.detail);
        flush();
        return 0;
    }

    if (verb == L"close") {
        line("closed", win::closeTcWindow(kCloseAttempts, kClosePauseMs, nullptr) ? "1" : "0");
        flush();
        return 0;
    }
    const HWND window = win::findTcWindow();
    line("running", window ? "1" : "0");
    if (window) {
        if (verb == L"state") {
            state(window);
        } else if (verb == L"cd") {
            line("sent",
                 win::sendTcChangeDir(window, nullptr, win::toUtf8(args[2]), args[1] == L"left") ? "1" : "0");
        } else if (verb == L"ask") {
            if (const auto answer = win::askTc(window, win::toUtf8(args[1]), kAnswerLimitMs))
                line("answer", *answer);
        } else if (verb == L"command") {
            line("sent", win::sendTcCommand(window, number) ? "1" : "0");
        } else if (verb == L"foreground") {
            line("foreground", win::ForceForegroundWindow(window) ? "1" : "0");
        }
    }
    flush();
    return 0;
}
