#include "platform/single_instance.h"

#include "platform/win_text.h"
#include "platform/win_window.h"

namespace quillon::platform {
namespace {

// A named mutex that lives as long as the process; the first instance is found by its window
// class and brought forward.
class Win32SingleInstance final : public SingleInstance {
public:
    explicit Win32SingleInstance(std::string_view name) : m_name(win::toWide(name)) {}
    ~Win32SingleInstance() override {
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
        return true;
    }

    bool raiseFirstInstance() override {
        const HWND window = FindWindowW(L"Ttc_Updater", nullptr);
        if (!window)
            return false;
        win::ForceForegroundWindow(window);
        return true;
    }

    int raiseRequestDescriptor() const override { return -1; }
    void takeRaiseRequests(const std::function<void()>&) override {}

private:
    std::wstring m_name;
    HANDLE m_mutex = nullptr;
    bool m_owner = false;
};

} // namespace

std::unique_ptr<SingleInstance> createSingleInstance(std::string_view name) {
    return std::make_unique<Win32SingleInstance>(name);
}

} // namespace quillon::platform
