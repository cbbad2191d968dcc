#include "platform/win_services.h"

#include "platform/win_text.h"

#include <shellapi.h>

namespace quillon::platform::win {
namespace {

class Win32Shell final : public Shell {
public:
    bool showFileInFileManager(std::string_view hostPath) override {
        std::wstring path = toWide(hostPath);
        for (wchar_t& c : path)
            if (c == L'/')
                c = L'\\';
        if (path.empty())
            return false;
        const std::wstring parameters = L"/select,\"" + path + L"\"";
        const HINSTANCE result =
            ShellExecuteW(nullptr, L"open", L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
        return reinterpret_cast<INT_PTR>(result) > 32;
    }
};

} // namespace

std::unique_ptr<Shell> makeShell() {
    return std::make_unique<Win32Shell>();
}

} // namespace quillon::platform::win
