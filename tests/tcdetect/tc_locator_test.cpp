#include "tcdetect/tc_locator.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "app/system.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const char* const kCommanderVariables[] = {"COMMANDER_PATH", "COMMANDER_EXE", "COMMANDER_INI",
                                           "COMMANDER_DRIVE"};

// Sets COMMANDER_* for one test and puts the developer's values back afterwards.
class CommanderEnvironment {
public:
    CommanderEnvironment() {
        for (const char* name : kCommanderVariables) {
            if (qEnvironmentVariableIsSet(name))
                m_saved[name] = qgetenv(name);
            qunsetenv(name);
        }
    }
    ~CommanderEnvironment() {
        for (const char* name : kCommanderVariables) {
            const auto it = m_saved.find(name);
            if (it == m_saved.end())
                qunsetenv(name);
            else
                qputenv(name, it->second);
        }
    }
    void set(const char* name, const QString& value) { qputenv(name, value.toUtf8()); }

private:
    std::map<std::string, QByteArray> m_saved;
};

QString regText(const QString& value) {
    QString escaped = value;
    return escaped.replace(u"\\"_s, u"\\\\"_s);
}

// A small Wine-style prefix; paths given to it are relative to drive_c.
class Prefix {
public:
    Prefix() {
        QDir().mkpath(m_dir.path() + u"/prefix/dosdevices"_s);
        QDir().mkpath(m_dir.path() + u"/prefix/drive_c/users/quillon"_s);
        QFile::link(u"../drive_c"_s, root() + u"/dosdevices/c:"_s);
        m_driveC = QFileInfo(root() + u"/drive_c"_s).canonicalFilePath();
    }
    QString root() const { return m_dir.path() + u"/prefix"_s; }
    // Host path of a file below drive_c.
    QString c(const QString& relative = {}) const {
        return relative.isEmpty() ? m_driveC : m_driveC + QLatin1Char('/') + relative;
    }
    void file(const QString& relative, const QByteArray& content = {}) {
        ASSERT_TRUE(test::writeFile(c(relative), content));
    }
    void folder(const QString& relative) { QDir().mkpath(c(relative)); }
    void tcKey(bool currentUser, const QString& installDir, const QString& iniFileName) {
        QString& text = currentUser ? m_user : m_system;
        text += u"\n[Software\\\\Ghisler\\\\Total Commander] 1717243200\n#time=1dab41b3a88a000\n"_s;
        if (!iniFileName.isEmpty())
            text += u"\"IniFileName\"=str(2):\""_s + regText(iniFileName) + u"\"\n"_s;
        if (!installDir.isEmpty())
            text += u"\"InstallDir\"=\""_s + regText(installDir) + u"\"\n"_s;
    }
    System system() {
        const QString header = u"WINE REGISTRY Version 2\n;; All keys relative to "_s;
        test::writeFile(root() + u"/user.reg"_s,
                        (header + u"\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n"_s + m_user +
                         u"\n[Volatile Environment] 1717243200\n"
                         u"\"APPDATA\"=\"C:\\\\users\\\\quillon\\\\AppData\\\\Roaming\"\n"_s)
                            .toUtf8());
        test::writeFile(root() + u"/system.reg"_s,
                        (header + u"\\\\Machine\n\n#arch=win64\n"_s + m_system).toUtf8());
        return System(platform::Platform::create({root().toStdString()}));
    }

private:
    QTemporaryDir m_dir;
    QString m_driveC;
    QString m_user;
    QString m_system;
};

const QString kAppDataIni = u"users/quillon/AppData/Roaming/GHISLER/wincmd.ini"_s;
QByteArray uiipd(int value) {
    return "[Configuration]\r\nUseIniInProgramDir=" + QByteArray::number(value) + "\r\n";
}

// Expected paths are relative to drive_c; "" for no result.
struct LocateCase {
    const char* name;
    std::function<void(Prefix&, CommanderEnvironment&)> setup;
    QString dir;
    QString exe;
    QString ini;
};

void PrintTo(const LocateCase& c, std::ostream* os) {
    *os << c.name;
}

class LocateTest : public ::testing::TestWithParam<LocateCase> {};

TEST_P(LocateTest, FindsDirectoryExecutableAndIni) {
    const LocateCase& param = GetParam();
    CommanderEnvironment environment;
    Prefix prefix;
    param.setup(prefix, environment);
    System system = prefix.system();
    const TcLocator locator(system);
    const auto expected = [&](const QString& relative) {
        return relative.isEmpty() ? QString() : prefix.c(relative);
    };
    EXPECT_EQ(locator.GetTCMainDir(), expected(param.dir));
    EXPECT_EQ(locator.GetTCExePath(), expected(param.exe));
    EXPECT_EQ(locator.GetTCIniPath(), expected(param.ini));
}

const LocateCase kLocateCases[] = {
    {"RegistrySpellingDiffersFromFolders",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"users/quillon/AppData/Roaming/Ghisler/WINCMD.INI"_s);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, u"users/quillon/AppData/Roaming/Ghisler/WINCMD.INI"_s},
    {"IniFileNameThroughCommanderPath",
     [](Prefix& p, CommanderEnvironment& env) {
         env.set("COMMANDER_PATH", u"C:\\Apps\\TC"_s);
         p.tcKey(true, u"C:\\Apps\\TC"_s, u"%COMMANDER_PATH%\\wincmd.ini"_s);
         p.file(u"apps/tc/TOTALCMD.EXE"_s);
         p.file(u"apps/tc/wincmd.ini"_s, uiipd(0));
         p.file(kAppDataIni);
     },
     u"apps/tc"_s, u"apps/tc/TOTALCMD.EXE"_s, u"apps/tc/wincmd.ini"_s},
    // Total Commander defines COMMANDER_PATH itself before reading IniFileName.
    {"IniFileNameThroughUndefinedCommanderPath",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\Apps\\TC"_s, u"%commander_path%\\wincmd.ini"_s);
         p.file(u"apps/tc/TOTALCMD.EXE"_s);
         p.file(u"apps/tc/wincmd.ini"_s, uiipd(0));
         p.file(kAppDataIni);
     },
     u"apps/tc"_s, u"apps/tc/TOTALCMD.EXE"_s, u"apps/tc/wincmd.ini"_s},
    // A plain path in IniFileName names the file Total Commander reads: it beats %APPDATA%.
    {"IniFileNamePlainPath",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"C:\\Config\\Main.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"config/main.ini"_s);
         p.file(kAppDataIni);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, u"config/main.ini"_s},
    {"IniFileNameOfMachineWhenUserHasNone",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(false, u"C:\\TotalCmd"_s, u"%WINDIR%\\tc.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"windows/tc.ini"_s);
         p.file(kAppDataIni);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, u"windows/tc.ini"_s},
    {"ProgramDirIni4BeatsRegistry",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"totalcmd/wincmd.ini"_s, uiipd(4));
         p.file(kAppDataIni);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, u"totalcmd/wincmd.ini"_s},
    {"ProgramDirIni1LosesToRegistry",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"totalcmd/wincmd.ini"_s, uiipd(1));
         p.file(kAppDataIni);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, kAppDataIni},
    {"ProgramDirIni1BeatsAppData",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TotalCmd"_s, {});
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"totalcmd/wincmd.ini"_s, uiipd(1));
         p.file(kAppDataIni);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, u"totalcmd/wincmd.ini"_s},
    // Without the executable beside it, the default file's setting does not count.
    {"DefaultIniAwayFromExecutableLosesToAppData",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TotalCmd"_s, {});
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"wc/wincmd.ini"_s, uiipd(4));
         p.file(kAppDataIni);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, kAppDataIni},
    {"CommanderVariablesWinOverRegistry",
     [](Prefix& p, CommanderEnvironment& env) {
         env.set("COMMANDER_PATH", p.c(u"portable/tc/"_s));
         env.set("COMMANDER_EXE", u"C:\\Portable\\TC\\TOTALCMD64.EXE"_s);
         env.set("COMMANDER_INI", u"C:\\Portable\\TC\\WINCMD.INI"_s);
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(kAppDataIni);
         p.file(u"portable/tc/TOTALCMD64.EXE"_s);
         p.file(u"portable/tc/WINCMD.INI"_s);
     },
     u"portable/tc"_s, u"portable/tc/TOTALCMD64.EXE"_s, u"portable/tc/WINCMD.INI"_s},
    {"CommanderPathTrustedWithoutExecutable",
     [](Prefix& p, CommanderEnvironment& env) {
         env.set("COMMANDER_PATH", p.c(u"empty"_s));
         p.folder(u"empty"_s);
     },
     u"empty"_s,
     {},
     {}},
    {"BothExecutablesGiveThe32BitOne",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TOTALCMD"_s, {});
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"totalcmd/TOTALCMD.EXE"_s);
     },
     u"totalcmd"_s,
     u"totalcmd/TOTALCMD.EXE"_s,
     {}},
    {"RemovedUserInstallDir",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\OldTC"_s, {});
         p.tcKey(false, u"C:\\Program Files\\TotalCmd"_s, {});
         p.file(u"Program Files/totalcmd/totalcmd64.exe"_s);
     },
     u"Program Files/totalcmd"_s,
     {},
     {}},
    {"DefaultFolderWithoutRegistry",
     [](Prefix& p, CommanderEnvironment&) {
         p.file(u"TotalCmd/TOTALCMD64.EXE"_s);
         p.file(u"TotalCmd/wincmd.ini"_s, uiipd(0));
     },
     u"TotalCmd"_s, u"TotalCmd/TOTALCMD64.EXE"_s, u"TotalCmd/wincmd.ini"_s},
    {"WindowsDirectoryIni",
     [](Prefix& p, CommanderEnvironment&) {
         p.tcKey(true, u"C:\\TotalCmd"_s, {});
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"windows/wincmd.ini"_s);
     },
     u"totalcmd"_s, u"totalcmd/TOTALCMD64.EXE"_s, u"windows/wincmd.ini"_s},
    {"NothingInstalled", [](Prefix&, CommanderEnvironment&) {}, {}, {}, {}},
};

INSTANTIATE_TEST_SUITE_P(Prefixes, LocateTest, ::testing::ValuesIn(kLocateCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(TcLocatorIniRedirect, UseIniInProgramDirOfAnIniBesideTheExecutable) {
    struct Case {
        QByteArray value; // of UseIniInProgramDir; empty: key absent
        QString applied;
        bool redirected;
    };
    const Case cases[] = {
        {{}, u"0"_s, false},  {"1", u"1"_s, true},     {"2", u"2"_s, false},    {"3", u"3"_s, true},
        {"4", u"4"_s, true},  {"7", u"7"_s, true},     {"8", u"8"_s, false},    {"257", u"1"_s, true},
        {"$4", u"4"_s, true}, {"junk", u"0"_s, false}, {"-1", u"255"_s, false},
    };
    CommanderEnvironment environment;
    Prefix prefix;
    prefix.tcKey(true, u"C:\\TotalCmd"_s, {});
    prefix.file(u"totalcmd/TOTALCMD.EXE"_s);
    prefix.file(u"elsewhere/other.ini"_s, uiipd(4));
    System system = prefix.system();
    const TcLocator locator(system);
    const QString input = prefix.c(u"totalcmd/other.ini"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        prefix.file(u"totalcmd/other.ini"_s,
                    c.value.isNull() ? QByteArray("[Configuration]\r\n")
                                     : "[Configuration]\r\nUseIniInProgramDir=" + c.value + "\r\n");
        EXPECT_EQ(locator.GetTCIniPath_UIIPDPath(input, 1), c.applied);
        EXPECT_EQ(locator.GetTCIniPath_UIIPDPath(input, 0),
                  c.redirected ? prefix.c(u"totalcmd/wincmd.ini"_s) : input);
    }
    // Away from the executable, or missing, the file keeps its own path.
    const QString elsewhere = prefix.c(u"elsewhere/other.ini"_s);
    EXPECT_EQ(locator.GetTCIniPath_UIIPDPath(elsewhere, 1), u"0"_s);
    EXPECT_EQ(locator.GetTCIniPath_UIIPDPath(elsewhere, 0), elsewhere);
    EXPECT_EQ(locator.GetTCIniPath_UIIPDPath(prefix.c(u"totalcmd/none.ini"_s), 0),
              prefix.c(u"totalcmd/none.ini"_s));
}

TEST(TcLocatorIniSettings, LanguageAndFont) {
    struct Case {
        QByteArray ini;
        QString language;
        QString font;
    };
    const Case cases[] = {
        {"[Configuration]\nLanguageIni=WCMD_CHS.LNG\n", u"CHS"_s, {}},
        {"[Configuration]\nLanguageIni=wcmd.lng\n", u"ENG"_s, {}},
        {"[configuration]\nlanguageini= wcmd_deu.lng \n", u"deu"_s, {}},
        {"[Configuration]\nLanguageIni=%COMMANDER_PATH%\\Language\\WCMD_FRA.LNG\n", u"FRA"_s, {}},
        // An underscore in a folder name is no language code.
        {"[Configuration]\nLanguageIni=C:\\my_languages\\wcmd.lng\n", u"ENG"_s, {}},
        {"[Configuration]\nLanguageIni=WCMD_ITA.txt\n", u"ENG"_s, {}},
        {"[Configuration]\nUseNewDefFont=1\n", u"ENG"_s, u"Segoe UI Semibold"_s},
        {"[Configuration]\nUseNewDefFont=1\n[AllResolutions]\nFontName= Segoe UI Semibold \n", u"ENG"_s,
         u"Segoe UI Semibold"_s},
        {"[Configuration]\nUseNewDefFont=1\n[AllResolutions]\nFontName=segoe ui semibold\n", u"ENG"_s, {}},
        {"[Configuration]\nUseNewDefFont=1\n[AllResolutions]\nFontName=Tahoma\n", u"ENG"_s, {}},
        {"[Configuration]\nUseNewDefFont=0\n[AllResolutions]\nFontName=Segoe UI Semibold\n", u"ENG"_s, {}},
        {"\xff\xfe garbage without sections", u"ENG"_s, {}},
    };
    CommanderEnvironment environment;
    Prefix prefix;
    System system = prefix.system();
    const TcLocator locator(system);
    const QString ini = prefix.c(u"wincmd.ini"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini.toStdString());
        prefix.file(u"wincmd.ini"_s, c.ini);
        EXPECT_EQ(locator.GetTCLanguage(ini), c.language);
        EXPECT_EQ(locator.GetTCFont(ini), c.font);
    }
    EXPECT_EQ(locator.GetTCLanguage(prefix.c(u"missing.ini"_s)), u"ENG"_s);
    EXPECT_EQ(locator.GetTCFont(prefix.c(u"missing.ini"_s)), QString());
}

TEST(TcLocatorEnvPaths, TcPathWrittenWithCommanderPath) {
    CommanderEnvironment environment;
    Prefix prefix;
    System system = prefix.system();
    const TcLocator locator(system);
    const QString tc = prefix.c(u"TotalCmd"_s);
    struct Case {
        std::optional<QString> commanderPath;
        QString input;
        QString expected;
    };
    const Case cases[] = {
        {tc, tc + u"/plugins/x.wcx"_s, u"%COMMANDER_PATH%/plugins/x.wcx"_s},
        {tc + u"/"_s, u"  "_s + tc + u"/plugins/x.wcx "_s, u"%COMMANDER_PATH%/plugins/x.wcx"_s},
        {u"C:\\TOTALCMD"_s, tc.toLower() + u"/x.wcx"_s, u"%COMMANDER_PATH%/x.wcx"_s},
        {tc, tc, u"%COMMANDER_PATH%"_s},
        {tc, prefix.c(u"TotalCmd2/x.wcx"_s), prefix.c(u"TotalCmd2/x.wcx"_s)},
        // The directory's name further inside another path is left alone.
        {tc, u"/data"_s + tc + u"/x.wcx"_s, u"/data"_s + tc + u"/x.wcx"_s},
        {std::nullopt, tc + u"/x.wcx "_s, tc + u"/x.wcx"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input.toStdString());
        if (c.commanderPath)
            environment.set("COMMANDER_PATH", *c.commanderPath);
        else
            qunsetenv("COMMANDER_PATH");
        EXPECT_EQ(locator.ConvertTCPathToEnvPath(c.input), c.expected);
    }
}

TEST(TcLocatorEnvPaths, AllVariablesWrittenInOrder) {
    CommanderEnvironment environment;
    Prefix prefix;
    System system = prefix.system();
    const TcLocator locator(system);
    const QString tc = prefix.c(u"TotalCmd"_s);
    QDir().mkpath(tc);
    const QString outside = prefix.c(u"Data/x.txt"_s);
    const QString config = prefix.c(u"Config/wincmd.ini"_s);

    // Without COMMANDER_PATH nothing is written in, even where other variables would match.
    environment.set("COMMANDER_INI", config);
    EXPECT_EQ(locator.ConvertToEnvPath(config), config);

    environment.set("COMMANDER_PATH", u"C:\\TotalCmd"_s);
    environment.set("COMMANDER_DRIVE", u"C:"_s);
    environment.set("COMMANDER_EXE", tc + u"/TOTALCMD64.EXE"_s);
    const struct {
        QString input;
        QString expected;
    } cases[] = {
        // COMMANDER_PATH comes first, so the executable and ini inside it keep that form.
        {tc + u"/TOTALCMD64.EXE"_s, u"%COMMANDER_PATH%/TOTALCMD64.EXE"_s},
        {tc + u"/plugins/wcx/a.wcx"_s, u"%COMMANDER_PATH%/plugins/wcx/a.wcx"_s},
        {outside, u"%COMMANDER_DRIVE%/Data/x.txt"_s},
        {config, u"%COMMANDER_DRIVE%/Config/wincmd.ini"_s},
        {u"/elsewhere/x.txt"_s, u"/elsewhere/x.txt"_s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(locator.ConvertToEnvPath(c.input), c.expected) << c.input.toStdString();

    // A COMMANDER_INI outside the drive's tree is written as itself.
    environment.set("COMMANDER_INI", u"/etc/tc/wincmd.ini"_s);
    EXPECT_EQ(locator.ConvertToEnvPath(u"/etc/tc/wincmd.ini"_s), u"%COMMANDER_INI%"_s);
}

} // namespace
} // namespace quillon
