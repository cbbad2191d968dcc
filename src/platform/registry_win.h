#pragma once
// The real registry, always the 64-bit view.
#include "platform/registry.h"

namespace quillon::platform {

class Win32Registry final : public Registry {
public:
    std::optional<RegistryValue> read(RegistryRoot root, std::string_view keyPath,
                                      std::string_view valueName) const override;
    std::vector<std::pair<std::string, RegistryValue>> values(RegistryRoot root,
                                                              std::string_view keyPath) const override;
};

} // namespace quillon::platform
