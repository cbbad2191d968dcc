#include "platform/registry.h"

namespace quillon::platform {

std::string ReadRegistryValue(const Registry& registry, RegistryRoot root, std::string_view keyPath,
                              std::string_view valueName, std::string_view defaultValue) {
    const std::optional<RegistryValue> value = registry.read(root, keyPath, valueName);
    if (!value ||
        (value->type != RegistryValue::Type::String && value->type != RegistryValue::Type::ExpandString))
        return std::string(defaultValue);
    return value->text;
}

std::int64_t ReadRegistryValue(const Registry& registry, RegistryRoot root, std::string_view keyPath,
                               std::string_view valueName, std::int64_t defaultValue) {
    const std::optional<RegistryValue> value = registry.read(root, keyPath, valueName);
    if (!value || value->type != RegistryValue::Type::Dword)
        return defaultValue;
    // A DWORD is unsigned on disk; callers read flags and counts, so keep the bit pattern's value.
    return static_cast<std::int64_t>(value->dword);
}

} // namespace quillon::platform
