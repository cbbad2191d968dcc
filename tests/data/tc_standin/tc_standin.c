/* A stand-in for Total Commander's main window, run under Wine by the tests: a window of its
 * class that writes every message Quillon sends it to a log file and answers "GA" as Total
 * Commander does.
 *
 *   tc_standin.exe LOGFILE [--minimized] [--stall MS]
 *
 * --stall keeps the window from answering for that long after each logged message, as a hung
 * Total Commander would. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#define TC_COMMAND (WM_USER + 51)
#define TC_CLOSE_COMMAND 24340

static const wchar_t* g_log;
static DWORD g_stall;

static void logLine(const char* kind, const char* text) {
    FILE* file = _wfopen(g_log, L"ab");
    if (!file)
        return;
    fprintf(file, "%s%s%s\n", kind, text[0] ? " " : "", text);
    fclose(file);
}

static void answer(HWND replyTo, HWND self, const wchar_t* text) {
    COPYDATASTRUCT copy;
    copy.dwData = 'R' | ('A' << 8);
    copy.cbData = (DWORD)((wcslen(text) + 1) * sizeof(wchar_t));
    copy.lpData = (void*)text;
    SendMessageW(replyTo, WM_COPYDATA, (WPARAM)self, (LPARAM)&copy);
}

static void copyData(HWND self, HWND replyTo, const COPYDATASTRUCT* copy) {
    char text[1024] = {0};
    if (copy->dwData == ('C' | ('D' << 8))) {
        const char* data = (const char*)copy->lpData;
        size_t size = copy->cbData < sizeof text ? copy->cbData : sizeof text - 1;
        memcpy(text, data, size);
        if (text[0] == '\r') {
            logLine("CD right", text + 1);
        } else {
            char* end = strchr(text, '\r');
            if (end)
                *end = 0;
            logLine("CD left", text);
        }
    } else if (copy->dwData == ('G' | ('A' << 8))) {
        /* (characters + 1) bytes of UTF-16: the request's first character is all that is sure. */
        const wchar_t* data = (const wchar_t*)copy->lpData;
        text[0] = copy->cbData >= 2 ? (char)data[0] : '?';
        logLine("GA", text);
        answer(replyTo, self, text[0] == 'A' ? L"R" : L"?");
    } else {
        logLine("COPYDATA", "unknown");
    }
}

static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char number[32];
    switch (message) {
    case WM_COPYDATA:
        copyData(window, (HWND)wParam, (const COPYDATASTRUCT*)lParam);
        Sleep(g_stall);
        return 1;
    case TC_COMMAND:
        snprintf(number, sizeof number, "%d", (int)wParam);
        logLine("COMMAND", number);
        Sleep(g_stall);
        if (wParam == TC_CLOSE_COMMAND)
            DestroyWindow(window);
        return 1;
    case WM_CLOSE:
        logLine("CLOSE", "");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int wmain(int argc, wchar_t** argv) {
    int minimized = 0;
    WNDCLASSW windowClass;
    HWND window;
    MSG message;
    int i;
    if (argc < 2)
        return 2;
    g_log = argv[1];
    for (i = 2; i < argc; ++i) {
        if (wcscmp(argv[i], L"--minimized") == 0)
            minimized = 1;
        else if (wcscmp(argv[i], L"--stall") == 0 && i + 1 < argc)
            g_stall = (DWORD)_wtoi(argv[++i]);
    }
    memset(&windowClass, 0, sizeof windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(NULL);
    windowClass.lpszClassName = L"TTOTAL_CMD";
    if (!RegisterClassW(&windowClass))
        return 1;
    window = CreateWindowExW(0, L"TTOTAL_CMD", L"Total Commander 11.03 - Stand-in", WS_OVERLAPPEDWINDOW, 100,
                             50, 800, 600, NULL, NULL, windowClass.hInstance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    logLine("READY", "");
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
