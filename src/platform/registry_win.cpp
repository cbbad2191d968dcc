#include "platform/registry_win.h"

#include "platform/win_text.h"

#include <cstring>
#include <vector>

namespace quillon::platform {
namespace {

HKEY rootKey(RegistryRoot root) {
    return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

std::wstring keyName(std::string_view path) {
    while (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    return win::toWide(path);
}

class Key {
public:
    Key(RegistryRoot root, std::string_view path) {
        if (RegOpenKeyExW(rootKey(root), keyName(path).c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                          &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~Key() {
        if (m_key)
            RegCloseKey(m_key);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

RegistryValue convert(DWORD type, const std::vector<BYTE>& data, DWORD size) {
    RegistryValue value;
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        value.type = type == REG_SZ ? RegistryValue::Type::String : RegistryValue::Type::ExpandString;
        std::wstring text(size / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        // Stored strings need not be NUL-terminated, and may carry more than one NUL.
        const std::size_t nul = text.find(L'\0');
        if (nul != std::wstring::npos)
            text.resize(nul);
        value.text = win::toUtf8(text);
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        value.type = RegistryValue::Type::Dword;
        std::memcpy(&value.dword, data.data(), sizeof(DWORD));
    }
    return value;
}

std::optional<RegistryValue> queryValue(HKEY key, const std::wstring& name) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<BYTE> data(size + sizeof(wchar_t));
        DWORD got = size;
        const LONG rc = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &got);
        if (rc == ERROR_MORE_DATA)
            continue; // grew between the two calls
        if (rc != ERROR_SUCCESS)
            return std::nullopt;
        return convert(type, data, got);
    }
    return std::nullopt;
}

} // namespace

std::optional<RegistryValue> Win32Registry::read(RegistryRoot root, std::string_view keyPath,
                                                 std::string_view valueName) const {
    const Key key(root, keyPath);
    if (!key.get())
        return std::nullopt;
    return queryValue(key.get(), win::toWide(valueName));
}

std::vector<std::pair<std::string, RegistryValue>> Win32Registry::values(RegistryRoot root,
                                                                         std::string_view keyPath) const {
    std::vector<std::pair<std::string, RegistryValue>> result;
    const Key key(root, keyPath);
    if (!key.get())
        return result;
    DWORD count = 0;
    DWORD maxName = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return result;
    std::wstring name(maxName + 1, L'\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = maxName + 1;
        if (RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            continue;
        const std::wstring valueName(name.data(), length);
        if (std::optional<RegistryValue> value = queryValue(key.get(), valueName))
            result.emplace_back(win::toUtf8(valueName), std::move(*value));
    }
    return result;
}

} // namespace quillon::platform
