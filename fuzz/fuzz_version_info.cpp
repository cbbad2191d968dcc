// The version resource on its own, so that mutations reach its nesting instead of the
// executable's headers.
#include "app/common/pe_info.h"
#include "app/common/version_info.h"
#include "fuzz_support.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<pe::VersionInfo> info = pe::ParseVersionInfo(fuzz::bytesOf(data, size));
    TCEVersionInfo fields;
    const bool found = fields.GetInfo(info);
    FUZZ_CHECK(found == info.has_value());
    if (info) {
        for (auto table = info->stringTables.cbegin(); table != info->stringTables.cend(); ++table) {
            for (auto entry = table->cbegin(); entry != table->cend(); ++entry)
                (void)info->stringValue(table.key(), entry.key());
        }
        for (const pe::Translation& translation : info->translations)
            FUZZ_CHECK(translation.blockName().size() == 8);
    }
    return 0;
}
