#include "platform/environment_wine.h"
#include "platform/registry_wine.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

#include "fake_prefix.h"
#include "scoped_env.h"

using namespace quillon::platform;

namespace {

class MapEnvironment final : public Environment {
public:
    explicit MapEnvironment(std::map<std::string, std::string> values) : m_values(std::move(values)) {}
    std::optional<std::string> variable(std::string_view name) const override {
        const auto it = m_values.find(std::string(name));
        return it == m_values.end() ? std::nullopt : std::optional(it->second);
    }
    int setVariable(std::string_view, std::string_view) override { return 0; }

private:
    std::map<std::string, std::string> m_values;
};

TEST(ExpandEnv, FollowsWindowsRules) {
    const MapEnvironment env({{"A", "va"}, {"EMPTY", ""}, {"P", "C:\\TotalCmd"}});
    struct Case {
        const char* text;
        const char* path;     // ExpandEnvPath
        const char* variable; // ExpandEnvVariable
    };
    const Case cases[] = {
        {"%P%\\wincmd.ini", "C:\\TotalCmd\\wincmd.ini", "C:\\TotalCmd\\wincmd.ini"},
        {"%UNDEF%\\x", "%UNDEF%\\x", ""},
        {"%UNDEF%", "%UNDEF%", ""},
        // An unknown reference is passed over whole, its closing "%" included.
        {"%UNDEF%A%", "%UNDEF%A%", ""},
        {"%UNDEF%%A%", "%UNDEF%va", "%UNDEF%va"},
        {"%A%%A%", "vava", "vava"},
        {"100% sure", "100% sure", ""},
        {"%%", "%%", ""},
        {"%", "%", ""},
        {"%EMPTY%x", "x", "x"},
        {"", "", ""},
        {"plain", "plain", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExpandEnvPath(env, c.text), c.path) << c.text;
        EXPECT_EQ(ExpandEnvVariable(env, c.text), c.variable) << c.text;
    }
}

constexpr char kUserReg[] = R"(
[Environment] 1700000000
"TEMP"=str(2):"%USERPROFILE%\\AppData\\Local\\Temp"
"Loop1"=str(2):"<%Loop2%>"
"Loop2"=str(2):"<%Loop1%>"
"Literal"="%WINDIR%"
"Shadowed"="from Environment"

[Volatile Environment] 1700000000
"Shadowed"="from Volatile Environment"
)";

constexpr char kSystemReg[] = R"(
[System\\ControlSet001\\Control\\Session Manager\\Environment] 1700000000
"ComSpec"=str(2):"%SystemRoot%\\system32\\cmd.exe"
"Shadowed"="from machine"
"OnlyMachine"="m"

[System\\CurrentControlSet] 1700000000
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,00,5c,00,4d,00,61,00,\
  63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,79,00,73,00,74,00,65,00,6d,00,5c,00,43,00,6f,00,6e,00,\
  74,00,72,00,6f,00,6c,00,53,00,65,00,74,00,30,00,30,00,31,00
)";

class TcEnvironmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_prefix = m_dir.path().toStdString();
        ASSERT_TRUE(quillon::test::makeFakePrefix(m_dir.path(), kUserReg, kSystemReg));
        m_registry = std::make_unique<WineRegistry>(m_prefix + "/user.reg", m_prefix + "/system.reg");
        m_env.set("COMMANDER_PATH", "C:\\TotalCmd");
        m_env.set("Shadowed", "from process");
        m_env.set("HOSTONLY", "h");
        m_env.set("USER", "bob");
    }
    QTemporaryDir m_dir;
    std::string m_prefix;
    std::unique_ptr<WineRegistry> m_registry;
    quillon::test::ScopedEnv m_env;
};

TEST_F(TcEnvironmentTest, LooksUpProcessCommanderVariablesThenRegistryThenWindowsDefaults) {
    const WineTcEnvironment env(*m_registry, m_prefix);
    struct Case {
        const char* name;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"commander_path", "C:\\TotalCmd"},
        {"TEMP", "C:\\users\\alice\\AppData\\Local\\Temp"},
        {"comspec", "C:\\windows\\system32\\cmd.exe"},
        {"Literal", "%WINDIR%"},
        {"Shadowed", "from Volatile Environment"},
        {"OnlyMachine", "m"},
        {"APPDATA", "C:\\users\\alice\\AppData\\Roaming"},
        {"WinDir", "C:\\windows"},
        {"USERNAME", "alice"},
        // The host's own variables are not Total Commander's.
        {"HOSTONLY", std::nullopt},
        {"COMMANDER_EXE", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(env.variable(c.name), c.value) << c.name;

    const std::optional<std::string> loop = env.variable("Loop1");
    ASSERT_TRUE(loop);
    EXPECT_NE(loop->find("%Loop"), std::string::npos) << *loop;
    EXPECT_EQ(ExpandEnvVariable(env, "%AppData%\\Ghisler\\wincmd.ini"),
              "C:\\users\\alice\\AppData\\Roaming\\Ghisler\\wincmd.ini");
    EXPECT_EQ(ExpandEnvVariable(env, "%COMMANDER_INI%"), "");
}

TEST_F(TcEnvironmentTest, WhatTheProgramSetsIsSeenInBothWorlds) {
    WineTcEnvironment tc(*m_registry, m_prefix);
    OwnEnvironment own;
    m_env.set("QUILLON_TEST_SET", std::nullopt);
    m_env.set("quillon_test_set", std::nullopt);
    m_env.set("quillon_test_set", "old spelling");
    ASSERT_EQ(SetEnvVariable(own, "QUILLON_TEST_SET", "C:\\x"), 0);
    EXPECT_EQ(tc.variable("Quillon_Test_Set"), "C:\\x");
    EXPECT_EQ(own.variable("quillon_test_set"), "C:\\x");
    EXPECT_EQ(std::getenv("quillon_test_set"), nullptr);
    EXPECT_NE(SetEnvVariable(own, "A=B", "x"), 0);
    EXPECT_NE(SetEnvVariable(own, "", "x"), 0);
}

TEST_F(TcEnvironmentTest, UserNameFallsBackToTheLoginName) {
    ASSERT_TRUE(QDir(m_dir.path()).rmdir(QStringLiteral("drive_c/users/alice")));
    const WineTcEnvironment env(*m_registry, m_prefix);
    EXPECT_EQ(env.variable("USERPROFILE"), "C:\\users\\bob");
}

TEST(TcEnvironmentWithoutPrefix, IsTheProcessEnvironment) {
    quillon::test::ScopedEnv scoped;
    scoped.set("HOSTONLY", "h");
    scoped.set("APPDATA", std::nullopt);
    const WineRegistry registry("", "");
    const WineTcEnvironment env(registry, "");
    EXPECT_EQ(env.variable("hostonly"), "h");
    EXPECT_EQ(env.variable("APPDATA"), std::nullopt);
}

TEST(OwnEnvironment, DefinesWindowsNamesFromXdgFolders) {
    quillon::test::ScopedEnv scoped;
    for (const char* name : {"APPDATA", "LOCALAPPDATA", "TEMP", "TMP", "USERPROFILE"})
        scoped.set(name, std::nullopt);
    scoped.set("HOME", "/home/q");
    scoped.set("XDG_CONFIG_HOME", std::nullopt);
    scoped.set("XDG_DATA_HOME", "relative/ignored");
    scoped.set("TMPDIR", "/var/tmp/");
    const OwnEnvironment env;
    struct Case {
        const char* name;
        std::optional<std::string> value;
    };
    for (const Case& c : {Case{"AppData", "/home/q/.config"}, Case{"LOCALAPPDATA", "/home/q/.local/share"},
                          Case{"TEMP", "/var/tmp"}, Case{"tmp", "/var/tmp"}, Case{"USERPROFILE", "/home/q"},
                          Case{"WINDIR", std::nullopt}}) {
        EXPECT_EQ(env.variable(c.name), c.value) << c.name;
    }
    scoped.set("XDG_CONFIG_HOME", "/cfg");
    scoped.set("APPDATA", "/explicit");
    EXPECT_EQ(env.variable("APPDATA"), "/explicit");
    scoped.set("APPDATA", std::nullopt);
    EXPECT_EQ(env.variable("APPDATA"), "/cfg");
}

} // namespace
