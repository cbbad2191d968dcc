// The system's code pages, which decode Total Commander's ANSI files, old archives' OEM names and
// language files where the Windows build's Qt has no codec of its own.
#include "platform/code_page.h"

#include <gtest/gtest.h>

namespace quillon::platform {
namespace {

TEST(Win32CodePage, DecodesAsWindowsDoes) {
    const struct {
        const char* name;
        unsigned codePage;
        std::string_view bytes;
        bool strict;
        std::optional<std::u16string> text;
    } cases[] = {
        {"ANSI euro and umlaut", 1252, "\x80 \xe4", true, u"\u20ac \u00e4"},
        // The unassigned bytes stay one character each, so offsets in a file stay right.
        {"ANSI unassigned byte", 1252, "a\x81z", false, u"a\u0081z"},
        {"OEM box drawing", 437, "\x82\xc9", true, u"\u00e9\u2554"},
        {"Cyrillic", 1251, "\xcf\xf0\xe8", true, u"\u041f\u0440\u0438"},
        {"Shift_JIS", 932, "\x93\xfa\x96\x7b", true, u"\u65e5\u672c"},
        {"Shift_JIS cut in a character", 932, "\x93", true, std::nullopt},
        {"no such code page", 4242, "a", false, std::nullopt},
        {"empty", 1252, "", true, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecodeCodePage(c.codePage, c.bytes, c.strict), c.text);
    }
}

} // namespace
} // namespace quillon::platform
