#include "platform/win_services.h"

#include "platform/win_text.h"

namespace quillon::platform::win {
namespace {

// Total Commander and Quillon share the process environment on Windows.
class Win32Environment final : public Environment {
public:
    std::optional<std::string> variable(std::string_view name) const override {
        const std::wstring wide = toWide(name);
        if (wide.empty())
            return std::nullopt;
        SetLastError(ERROR_SUCCESS);
        const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
        if (size == 0)
            return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                            : std::optional<std::string>(std::string());
        std::wstring value(size, L'\0');
        const DWORD got = GetEnvironmentVariableW(wide.c_str(), value.data(), size);
        if (got == 0 || got >= size)
            return got == 0 && GetLastError() != ERROR_ENVVAR_NOT_FOUND
                       ? std::optional<std::string>(std::string())
                       : std::nullopt;
        value.resize(got);
        return toUtf8(value);
    }

    std::optional<std::string> expand(std::string_view text) const override {
        const std::wstring wide = toWide(text);
        const DWORD size = ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
        if (size == 0)
            return std::nullopt;
        std::wstring result(size, L'\0');
        const DWORD got = ExpandEnvironmentStringsW(wide.c_str(), result.data(), size);
        if (got == 0 || got > size)
            return std::nullopt;
        result.resize(got - 1); // the count includes the terminating NUL
        return toUtf8(result);
    }

    int setVariable(std::string_view name, std::string_view value) override {
        const std::wstring wideName = toWide(name);
        const std::wstring wideValue = toWide(value);
        if (SetEnvironmentVariableW(wideName.c_str(), wideValue.c_str()))
            return 0;
        return static_cast<int>(GetLastError());
    }
};

} // namespace

std::unique_ptr<Environment> makeEnvironment() {
    return std::make_unique<Win32Environment>();
}

} // namespace quillon::platform::win
