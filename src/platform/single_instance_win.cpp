#include "platform/single_instance.h"

#include "platform/win_text.h"
#include "platform/win_window.h"

namespace quillon::platform {
namespace {

// The holder's top-level window: visible, owned by nobody, in the holder's process. Qt names its
// window classes itself ("Qt640QWindowIcon"), so a class name cannot tell Quillon's window.
struct WindowSearch {
    DWORD process = 0;
    HWND found = nullptr;
};

BOOL CALLBACK findProcessWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    search->found = window;
    return FALSE;
}

// A named mutex that lives as long as the process, and beside it a named block of memory in which
// the holder publishes its process id: a later instance finds the holder's window through it.
class Win32SingleInstance final : public SingleInstance {
public:
    explicit Win32SingleInstance(std::string_view name)
        : m_name(win::toWide(name)), m_processName(m_name + L".process") {}
    ~Win32SingleInstance() override {
        if (m_process)
            CloseHandle(m_process);
        if (m_mutex)
            CloseHandle(m_mutex);
    }
    Win32SingleInstance(const Win32SingleInstance&) = delete;
    Win32SingleInstance& operator=(const Win32SingleInstance&) = delete;

    bool acquire() override {
        if (m_owner)
            return true;
        const HANDLE mutex = CreateMutexW(nullptr, FALSE, m_name.c_str());
        const DWORD error = GetLastError();
        if (!mutex)
            return false;
        if (error == ERROR_ALREADY_EXISTS) {
            // Keep no handle: it would keep the name alive after the first instance ends.
            CloseHandle(mutex);
            return false;
        }
        m_mutex = mutex;
        m_owner = true;
        publishProcess();
        return true;
    }

    bool raiseFirstInstance() override {
        WindowSearch search;
        search.process = holderProcess();
        if (search.process == 0)
            return false;
        EnumWindows(findProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return false;
        win::ForceForegroundWindow(search.found);
        return true;
    }

    int raiseRequestDescriptor() const override { return -1; }
    void takeRaiseRequests(const std::function<void()>&) override {}

private:
    // Without the block a later start cannot raise this window, but the lock holds all the same.
    void publishProcess() {
        m_process = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DWORD),
                                       m_processName.c_str());
        if (!m_process)
            return;
        if (void* view = MapViewOfFile(m_process, FILE_MAP_WRITE, 0, 0, sizeof(DWORD))) {
            *static_cast<volatile DWORD*>(view) = GetCurrentProcessId();
            UnmapViewOfFile(view);
        }
    }

    DWORD holderProcess() const {
        const HANDLE block = OpenFileMappingW(FILE_MAP_READ, FALSE, m_processName.c_str());
        if (!block)
            return 0;
        DWORD process = 0;
        if (const void* view = MapViewOfFile(block, FILE_MAP_READ, 0, 0, sizeof(DWORD))) {
            process = *static_cast<const volatile DWORD*>(view);
            UnmapViewOfFile(view);
        }
        CloseHandle(block);
        return process;
    }

    std::wstring m_name;
    std::wstring m_processName;
    HANDLE m_mutex = nullptr;
    HANDLE m_process = nullptr;
    bool m_owner = false;
};

} // namespace

std::unique_ptr<SingleInstance> createSingleInstance(std::string_view name) {
    return std::make_unique<Win32SingleInstance>(name);
}

} // namespace quillon::platform
