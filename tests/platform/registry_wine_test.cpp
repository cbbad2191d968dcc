#include "platform/registry_wine.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace quillon::platform;
using Type = RegistryValue::Type;

namespace {

// As wineserver writes it, with a few hand-made faults mixed in.
constexpr std::string_view kUserReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Software\\Ghisler\\Total Commander] 1700000000
#time=1d9f3c2a1b2c3d4
"InstallDir"="C:\\TotalCmd"
"IniFileName"=str(2):"%APPDATA%\\GHISLER\\wincmd.ini"
"Flags"=dword:0000001a
"Max"=dword:ffffffff
@="default text"
"Quote \"x\""="a\"b\tc\nd\re"
"Umlaut"="Stra\x00dfe \x263a"
"HexOld"="\x41BC"
"Octal"="a\101\0b"
"Blob"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\
  18,19,1a
"Multi"=hex(7):41,00,00,00,42,00,00,00,00,00
"HexString"=hex(2):25,00,41,00,25,00,00,00
"HexDword"=hex(4):1a,00,00,00
"Broken1"=dword:zz
"Broken2"="unterminated
"Broken3" "no equals"
"Broken4"=hex:1,2,xyz
garbage line without quotes

[Software\\Ghisler\\Total Commander\\Empty] 1700000000

[sOFTWARE\\ghisler\\TOTAL commander] 1700000001
"Late"="merged"
"installdir"="C:\\Replaced"

[Software\\Unterminated 1700000000
"Lost"="value"
)";

constexpr std::string_view kSystemReg = R"(WINE REGISTRY Version 2
;; All keys relative to \\Machine

[System\\ControlSet001\\Control\\Session Manager\\Environment] 1700000000
"windir"=str(2):"%SystemRoot%"

[System\\CurrentControlSet] 1700000000
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,00,5c,00,4d,00,61,00,\
  63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,74,00,65,00,6d,00,5c,00,43,00,6f,00,6e,00,\
  74,00,72,00,6f,00,6c,00,53,00,65,00,74,00,30,00,30,00,31,00

[Loop\\A] 1700000000
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,00,5c,00,4d,00,61,00,\
  63,00,68,00,69,00,6e,00,65,00,5c,00,4c,00,6f,00,6f,00,70,00,5c,00,41,00
)";

struct Expected {
    const char* key;
    const char* name;
    std::optional<Type> type; // nullopt: must be missing
    const char* text;
    std::uint32_t dword;
};

class WineRegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(quillon::test::writeFile(m_dir.filePath(QStringLiteral("user.reg")),
                                             QByteArray(kUserReg.data())));
        ASSERT_TRUE(quillon::test::writeFile(m_dir.filePath(QStringLiteral("system.reg")),
                                             QByteArray(kSystemReg.data())));
        m_registry =
            std::make_unique<WineRegistry>(m_dir.filePath(QStringLiteral("user.reg")).toStdString(),
                                           m_dir.filePath(QStringLiteral("system.reg")).toStdString());
    }
    QTemporaryDir m_dir;
    std::unique_ptr<WineRegistry> m_registry;
};

TEST_F(WineRegistryTest, ReadsValuesInWineSyntax) {
    constexpr const char* tc = "Software\\Ghisler\\Total Commander";
    const Expected cases[] = {
        {tc, "IniFileName", Type::ExpandString, "%APPDATA%\\GHISLER\\wincmd.ini", 0},
        {tc, "inifilename", Type::ExpandString, "%APPDATA%\\GHISLER\\wincmd.ini", 0},
        {"\\SOFTWARE\\ghisler\\total commander\\", "Flags", Type::Dword, "", 26},
        {tc, "Max", Type::Dword, "", 0xffffffffu},
        {tc, "", Type::String, "default text", 0},
        {tc, "Quote \"x\"", Type::String, "a\"b\tc\nd\re", 0},
        {tc, "Umlaut", Type::String, "Stra\u00dfe \u263a", 0},
        // At most four hex digits belong to \x.
        {tc, "HexOld", Type::String, "\u41bc", 0},
        {tc, "Blob", Type::Other, "", 0},
        {tc, "Multi", Type::Other, "", 0},
        {tc, "HexString", Type::ExpandString, "%A%", 0},
        {tc, "HexDword", Type::Dword, "", 26},
        // A second section of the same key adds to it; the later value wins.
        {tc, "Late", Type::String, "merged", 0},
        {tc, "InstallDir", Type::String, "C:\\Replaced", 0},
        {tc, "Broken1", std::nullopt, "", 0},
        {tc, "Broken2", std::nullopt, "", 0},
        {tc, "Broken3", std::nullopt, "", 0},
        {tc, "Broken4", std::nullopt, "", 0},
        {tc, "Missing", std::nullopt, "", 0},
        {"Software\\Ghisler", "InstallDir", std::nullopt, "", 0},
        {"Software\\Unterminated", "Lost", std::nullopt, "", 0},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.name);
        const std::optional<RegistryValue> value = m_registry->read(RegistryRoot::CurrentUser, c.key, c.name);
        ASSERT_EQ(value.has_value(), c.type.has_value());
        if (!value)
            continue;
        EXPECT_EQ(value->type, *c.type);
        EXPECT_EQ(value->text, c.text);
        EXPECT_EQ(value->dword, c.dword);
    }
}

TEST_F(WineRegistryTest, OctalEscapesKeepEmbeddedNul) {
    const auto value =
        m_registry->read(RegistryRoot::CurrentUser, "Software\\Ghisler\\Total Commander", "Octal");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->text, std::string("aA\0b", 4));
}

TEST_F(WineRegistryTest, FollowsLinkKeysAndStopsOnLinkCycles) {
    const auto windir =
        m_registry->read(RegistryRoot::LocalMachine,
                         "System\\CurrentControlSet\\Control\\Session Manager\\Environment", "windir");
    ASSERT_TRUE(windir);
    EXPECT_EQ(windir->text, "%SystemRoot%");
    EXPECT_FALSE(m_registry->read(RegistryRoot::LocalMachine, "Loop\\A\\B", "x"));
    // The hives are separate files.
    EXPECT_FALSE(m_registry->read(RegistryRoot::CurrentUser,
                                  "System\\CurrentControlSet\\Control\\Session Manager\\Environment",
                                  "windir"));
}

TEST_F(WineRegistryTest, ValuesKeepStoredOrder) {
    const auto values = m_registry->values(RegistryRoot::CurrentUser, "Software\\Ghisler\\Total Commander");
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(values[0].first, "InstallDir");
    EXPECT_EQ(values[1].first, "IniFileName");
    EXPECT_EQ(values.back().first, "Late");
    EXPECT_TRUE(
        m_registry->values(RegistryRoot::CurrentUser, "Software\\Ghisler\\Total Commander\\Empty").empty());
    EXPECT_TRUE(m_registry->values(RegistryRoot::CurrentUser, "No\\Such\\Key").empty());
}

TEST_F(WineRegistryTest, ReadRegistryValueFallsBackByType) {
    constexpr const char* tc = "Software\\Ghisler\\Total Commander";
    const auto root = RegistryRoot::CurrentUser;
    struct TextCase {
        const char* name;
        const char* expected;
    };
    for (const TextCase& c :
         {TextCase{"InstallDir", "C:\\Replaced"}, TextCase{"IniFileName", "%APPDATA%\\GHISLER\\wincmd.ini"},
          TextCase{"Flags", "dflt"}, TextCase{"Blob", "dflt"}, TextCase{"Missing", "dflt"}}) {
        EXPECT_EQ(ReadRegistryValue(*m_registry, root, tc, c.name, std::string_view("dflt")), c.expected)
            << c.name;
    }
    struct IntCase {
        const char* name;
        std::int64_t expected;
    };
    for (const IntCase& c : {IntCase{"Flags", 26}, IntCase{"Max", 4294967295LL}, IntCase{"InstallDir", -7},
                             IntCase{"Blob", -7}, IntCase{"Missing", -7}}) {
        EXPECT_EQ(ReadRegistryValue(*m_registry, root, tc, c.name, std::int64_t{-7}), c.expected) << c.name;
    }
}

TEST(RegFileTest, FilesNotInWineFormatGiveNothing) {
    const std::string_view inputs[] = {
        "",
        "REGEDIT4\n[Software\\\\X]\n\"a\"=\"b\"\n",
        "WINE REGISTRY Version 1\n[Software\\\\X]\n\"a\"=\"b\"\n",
        std::string_view("\0\xff\xfe[\"\\", 6),
        "WINE REGISTRY Version 2\n[\n\"a\n[]\n\"\"=\n@\n\"x\"=str(:\"\n\"y\"=hex(:\n\"z\"=\\",
        "WINE REGISTRY Version 2\n[A] 1\n\"v\"=hex:01,\\",
    };
    for (const std::string_view input : inputs) {
        const RegFile file = RegFile::parse(input);
        EXPECT_EQ(file.find("Software\\X"), nullptr);
    }
}

TEST(WineRegistryMissingFiles, GiveNothing) {
    const WineRegistry registry("/nonexistent/user.reg", "");
    EXPECT_FALSE(registry.read(RegistryRoot::CurrentUser, "Software", "x"));
    EXPECT_FALSE(registry.read(RegistryRoot::LocalMachine, "Software", "x"));
    EXPECT_EQ(ReadRegistryValue(registry, RegistryRoot::CurrentUser, "Software", "x", std::string_view("d")),
              "d");
}

} // namespace
