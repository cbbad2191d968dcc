#include "platform/code_page.h"

namespace quillon::platform {

// Qt's ICU codecs cover every code page on Linux, so nothing falls through to here.
std::optional<std::u16string> DecodeCodePage(unsigned, std::string_view, bool) {
    return std::nullopt;
}

} // namespace quillon::platform
