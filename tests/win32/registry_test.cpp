// The registry as Windows stores it: strings without their terminating NUL, with more than one,
// in any script; values of other types; the 64-bit view from a 64-bit process.
#include "platform/registry_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "win32/win32_test_support.h"

namespace quillon::platform {
namespace {

constexpr wchar_t kKey[] = L"Software\\Quillon Tests\\Registry";

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        ASSERT_EQ(
            RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_key, nullptr),
            ERROR_SUCCESS);
    }
    void TearDown() override {
        if (m_key)
            RegCloseKey(m_key);
        RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    }
    void put(const std::wstring& name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(RegSetValueExW(m_key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    void putText(const std::wstring& name, DWORD type, const std::wstring& text, DWORD size) {
        put(name, type, text.data(), size);
    }

    HKEY m_key = nullptr;
    Win32Registry m_registry;
};

TEST_F(Win32RegistryTest, ValuesReadAsStored) {
    const std::wstring plain = L"C:\\TotalCmd";
    const std::wstring withNul(L"first\0second", 12);
    const std::wstring script = L"Z\u00fcrich \u03a9 \u6f22\u5b57";
    const DWORD all = 0xFFFFFFFFu;
    const WORD shortWord = 7;
    const BYTE binary[] = {1, 2, 3};
    putText(L"Plain", REG_SZ, plain, DWORD((plain.size() + 1) * sizeof(wchar_t)));
    putText(L"Expand", REG_EXPAND_SZ, L"%COMMANDER_PATH%\\wincmd.ini", 29 * sizeof(wchar_t));
    putText(L"Unterminated", REG_SZ, plain, DWORD(plain.size() * sizeof(wchar_t)));
    putText(L"TwoStrings", REG_SZ, withNul, DWORD(withNul.size() * sizeof(wchar_t)));
    putText(L"Script \u00e9", REG_SZ, script, DWORD((script.size() + 1) * sizeof(wchar_t)));
    putText(L"", REG_SZ, plain, DWORD((plain.size() + 1) * sizeof(wchar_t)));
    put(L"Dword", REG_DWORD, &all, sizeof all);
    put(L"ShortDword", REG_DWORD, &shortWord, sizeof shortWord);
    put(L"Binary", REG_BINARY, binary, sizeof binary);

    using Type = RegistryValue::Type;
    const struct {
        const char* name;
        Type type;
        std::string text;
        std::uint32_t dword;
    } cases[] = {
        {"Plain", Type::String, "C:\\TotalCmd", 0},
        {"Expand", Type::ExpandString, "%COMMANDER_PATH%\\wincmd.ini", 0},
        {"Unterminated", Type::String, "C:\\TotalCmd", 0},
        {"TwoStrings", Type::String, "first", 0},
        {"Script \xc3\xa9", Type::String, "Z\xc3\xbcrich \xce\xa9 \xe6\xbc\xa2\xe5\xad\x97", 0},
        {"", Type::String, "C:\\TotalCmd", 0},
        {"Dword", Type::Dword, "", 0xFFFFFFFFu},
        {"ShortDword", Type::Other, "", 0},
        {"Binary", Type::Other, "", 0},
    };
    std::map<std::string, RegistryValue> listed;
    for (auto& [name, value] :
         m_registry.values(RegistryRoot::CurrentUser, "Software\\Quillon Tests\\Registry"))
        listed.emplace(name, value);
    EXPECT_EQ(listed.size(), std::size(cases));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A leading separator is how some callers spell the key.
        const std::optional<RegistryValue> value =
            m_registry.read(RegistryRoot::CurrentUser, "\\Software\\Quillon Tests\\Registry", c.name);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->text, c.text);
        EXPECT_EQ(value->dword, c.dword);
        ASSERT_EQ(listed.count(c.name), 1u);
        EXPECT_EQ(listed[c.name].type, c.type);
        EXPECT_EQ(listed[c.name].text, c.text);
    }
    // The 32-bit bit pattern of a DWORD stays a positive number; a string read as a number, and
    // a number read as a string, give the default.
    EXPECT_EQ(ReadRegistryValue(m_registry, RegistryRoot::CurrentUser, "Software\\Quillon Tests\\Registry",
                                "Dword", std::int64_t(-1)),
              std::int64_t(0xFFFFFFFFu));
    EXPECT_EQ(ReadRegistryValue(m_registry, RegistryRoot::CurrentUser, "Software\\Quillon Tests\\Registry",
                                "Plain", std::int64_t(-1)),
              -1);
    EXPECT_EQ(ReadRegistryValue(m_registry, RegistryRoot::CurrentUser, "Software\\Quillon Tests\\Registry",
                                "Dword", "none"),
              "none");
}

TEST_F(Win32RegistryTest, MissingKeysAndValuesAreNothing) {
    EXPECT_FALSE(m_registry.read(RegistryRoot::CurrentUser, "Software\\Quillon Tests\\Registry", "Missing"));
    EXPECT_FALSE(m_registry.read(RegistryRoot::CurrentUser, "Software\\Quillon Tests\\Nowhere", "Plain"));
    EXPECT_TRUE(m_registry.values(RegistryRoot::CurrentUser, "Software\\Quillon Tests\\Nowhere").empty());
}

// A 64-bit Total Commander keeps its settings in the 64-bit view; the 32-bit copy beside it is
// another program's.
TEST(Win32RegistryViews, LocalMachineIsReadInThe64BitView) {
    const wchar_t* key = L"Software\\Quillon Tests\\Views";
    const struct {
        REGSAM view;
        const wchar_t* text;
    } writes[] = {{KEY_WOW64_32KEY, L"32"}, {KEY_WOW64_64KEY, L"64"}};
    for (const auto& w : writes) {
        HKEY handle = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS | w.view, nullptr,
                                  &handle, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(handle, L"View", 0, REG_SZ, reinterpret_cast<const BYTE*>(w.text),
                                 3 * sizeof(wchar_t)),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
    }
    const Win32Registry registry;
    EXPECT_EQ(
        ReadRegistryValue(registry, RegistryRoot::LocalMachine, "Software\\Quillon Tests\\Views", "View", ""),
        "64");
    for (const auto& w : writes)
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, w.view, 0);
}

} // namespace
} // namespace quillon::platform
