#pragma once
// UTF-8 <-> UTF-16 for the Win32 implementations.
#include <windows.h>

#include <string>
#include <string_view>

namespace quillon::platform::win {

inline std::wstring toWide(std::string_view text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (size <= 0)
        return {};
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

inline std::string toUtf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

// A NUL-terminated buffer filled by an API, cut at its first NUL.
inline std::string toUtf8(const wchar_t* text) {
    return text ? toUtf8(std::wstring_view(text)) : std::string();
}

inline std::string withBackslash(std::string path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
    return path;
}

} // namespace quillon::platform::win
