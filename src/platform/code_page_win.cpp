#include "platform/code_page.h"

#include <windows.h>

namespace quillon::platform {

std::optional<std::u16string> DecodeCodePage(unsigned codePage, std::string_view bytes, bool strict) {
    if (!IsValidCodePage(codePage))
        return std::nullopt;
    if (bytes.empty())
        return std::u16string();
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(bytes.size());
    const int size = MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (size <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (MultiByteToWideChar(codePage, flags, bytes.data(), length, wide.data(), size) != size)
        return std::nullopt;
    return std::u16string(wide.begin(), wide.end());
}

} // namespace quillon::platform
