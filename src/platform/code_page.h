#pragma once
// Text in a Windows code page, decoded by the operating system where Qt has no codec for it.
// Qt's named codecs come from ICU, which the Windows build's Qt does not carry; Windows itself
// knows every code page. On Linux Qt knows them all already and this offers nothing.
#include <optional>
#include <string>
#include <string_view>

namespace quillon::platform {

// bytes in code page codePage (1252, 437, 932, ...) as UTF-16; nothing when the system has no
// such code page, or (strict) when bytes are no valid text in it.
std::optional<std::u16string> DecodeCodePage(unsigned codePage, std::string_view bytes, bool strict);

} // namespace quillon::platform
