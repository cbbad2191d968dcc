#pragma once
// Read-only access to the Windows registry (the real one, or a Wine prefix's .reg files).
// Qt-free so that the Win32 implementation compiles with MinGW alone.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon::platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

struct RegistryValue {
    enum class Type { String, ExpandString, Dword, Other };
    Type type = Type::Other;
    std::string text;    // UTF-8; String and ExpandString (unexpanded)
    std::uint32_t dword = 0;
};

class Registry {
public:
    virtual ~Registry() = default;
    // The value, or nothing when the key or the value does not exist. Always the 64-bit view.
    virtual std::optional<RegistryValue> read(RegistryRoot root, std::string_view keyPath,
                                              std::string_view valueName) const = 0;
    // Every value of a key in stored order (used for the environment keys); empty when missing.
    virtual std::vector<std::pair<std::string, RegistryValue>> values(RegistryRoot root,
                                                                      std::string_view keyPath) const = 0;
};

// Never fails: the default when the key, the value or its type does not fit.
std::string ReadRegistryValue(const Registry& registry, RegistryRoot root, std::string_view keyPath,
                              std::string_view valueName, std::string_view defaultValue);
std::int64_t ReadRegistryValue(const Registry& registry, RegistryRoot root, std::string_view keyPath,
                               std::string_view valueName, std::int64_t defaultValue);

} // namespace quillon::platform
