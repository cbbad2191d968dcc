#include <gtest/gtest.h>

#include "app/command_line.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

struct SwitchCase {
    const char* name;
    QStringList arguments;
    bool safe, notc, strictVer, autoStart, autoStartDl, autoStartInstall, restart;
};

class CommandLineSwitches : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(CommandLineSwitches, AreRecognised) {
    const SwitchCase& c = GetParam();
    const CommandLine line(c.arguments);
    EXPECT_EQ(line.safe(), c.safe);
    EXPECT_EQ(line.notc(), c.notc);
    EXPECT_EQ(line.strictVer(), c.strictVer);
    EXPECT_EQ(line.autoStart(), c.autoStart);
    EXPECT_EQ(line.autoStartDl(), c.autoStartDl);
    EXPECT_EQ(line.autoStartInstall(), c.autoStartInstall);
    EXPECT_EQ(line.restartMode(), c.restart);
}

const QString exe = u"/opt/quillon/quillon"_s;

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineSwitches,
    ::testing::Values(
        SwitchCase{"none", {exe}, false, false, false, false, false, false, false},
        SwitchCase{"slash_and_dash_any_case",
                   {exe, u"/SaFe"_s, u"-NOTC"_s, u"-strictver"_s},
                   true,
                   true,
                   true,
                   false,
                   false,
                   false,
                   false},
        // Each autostart word is its own switch: "autostartdl" does not imply "autostart".
        SwitchCase{"autostart_words_are_distinct",
                   {exe, u"/AutoStartDL"_s},
                   false,
                   false,
                   false,
                   false,
                   true,
                   false,
                   false},
        SwitchCase{"autostartinstall",
                   {exe, u"-autostartinstall"_s},
                   false,
                   false,
                   false,
                   false,
                   false,
                   true,
                   false},
        SwitchCase{"word_without_prefix_is_no_switch",
                   {exe, u"safe"_s, u"autostart"_s},
                   false,
                   false,
                   false,
                   false,
                   false,
                   false,
                   false},
        SwitchCase{"prefix_must_stand_alone",
                   {exe, u"//safe"_s, u"/safe "_s, u"/safer"_s, u"+safe"_s},
                   false,
                   false,
                   false,
                   false,
                   false,
                   false,
                   false},
        // "/restart" is a case-sensitive prefix; the self-update passes "/restart /autostart".
        SwitchCase{"restart_prefix",
                   {exe, u"/restartnow"_s, u"/autostart"_s},
                   false,
                   false,
                   false,
                   true,
                   false,
                   false,
                   true},
        SwitchCase{"restart_is_case_sensitive",
                   {exe, u"/Restart"_s, u"-restart"_s},
                   false,
                   false,
                   false,
                   false,
                   false,
                   false,
                   false},
        // Argument 0 takes part in the scans.
        SwitchCase{"argument_zero_counts", {u"/safe"_s}, true, false, false, false, false, false, false}),
    [](const ::testing::TestParamInfo<SwitchCase>& param) { return std::string(param.param.name); });

struct IniCase {
    const char* name;
    QStringList arguments;
    QString expected;
};

class CommandLineIniPath : public ::testing::TestWithParam<IniCase> {};

TEST_P(CommandLineIniPath, LastOneTrimmedWins) {
    EXPECT_EQ(CommandLine(GetParam().arguments).iniPath(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CommandLineIniPath,
    ::testing::Values(
        IniCase{"none", {exe}, QString()},
        IniCase{"trimmed", {exe, u"/i=  /tc/wincmd.ini "_s}, u"/tc/wincmd.ini"_s},
        IniCase{"last_wins", {exe, u"/i=/a.ini"_s, u"/safe"_s, u"/i=/b.ini"_s}, u"/b.ini"_s},
        IniCase{"upper_case_is_ignored", {exe, u"/i=/a.ini"_s, u"/I=/b.ini"_s, u"-i=/c.ini"_s}, u"/a.ini"_s},
        // An empty last one wins too: start-up then searches as usual.
        IniCase{"empty_last_one", {exe, u"/i=/a.ini"_s, u"/i= "_s}, QString()},
        IniCase{"windows_path_kept", {exe, u"/i=C:\\tc\\wincmd.ini"_s}, u"C:\\tc\\wincmd.ini"_s}),
    [](const ::testing::TestParamInfo<IniCase>& param) { return std::string(param.param.name); });

} // namespace
} // namespace quillon
