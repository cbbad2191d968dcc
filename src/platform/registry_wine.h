#pragma once
// The registry of a Wine prefix, read from its text files: user.reg is HKEY_CURRENT_USER,
// system.reg HKEY_LOCAL_MACHINE. Each file is parsed once, on first use, and indexed.
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/registry.h"

namespace quillon::platform {

// One parsed .reg file: key paths and value names are stored case-folded for lookup.
class RegFile {
public:
    struct Key {
        std::vector<std::pair<std::string, RegistryValue>> values; // as written, stored order
        std::map<std::string, std::size_t> index;                  // folded name -> position
        std::string linkTarget;                                    // REG_LINK keys only
    };

    // Text of a whole file. Anything not in Wine's format (no header, garbled lines) is skipped.
    static RegFile parse(std::string_view content);

    // Follows symbolic-link keys (CurrentControlSet); nullptr when missing.
    const Key* find(std::string_view keyPath) const;
    std::size_t keyCount() const { return m_keys.size(); }

private:
    const Key* findExact(const std::string& foldedPath) const;
    std::map<std::string, Key> m_keys; // folded path, "\" separated, no leading "\"
};

class WineRegistry final : public Registry {
public:
    // Either file may be missing; its root is then empty.
    WineRegistry(std::string userRegPath, std::string systemRegPath);

    std::optional<RegistryValue> read(RegistryRoot root, std::string_view keyPath,
                                      std::string_view valueName) const override;
    std::vector<std::pair<std::string, RegistryValue>> values(RegistryRoot root,
                                                              std::string_view keyPath) const override;

private:
    struct LazyFile {
        std::string path;
        std::once_flag once;
        RegFile file;
    };
    const RegFile& file(RegistryRoot root) const;

    std::unique_ptr<LazyFile> m_user;
    std::unique_ptr<LazyFile> m_system;
};

} // namespace quillon::platform
