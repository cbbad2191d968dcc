// The prefix managers' folders as they lie in a user's home, one home per manager, with the
// files that a crash or a hand edit leaves broken.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/fake_prefix.h"
#include "platform/scoped_env.h"
#include "platform/wine_prefixes.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class FakeHome {
public:
    QString path(const QString& relative) const { return m_dir.path() + u'/' + relative; }
    void prefix(const QString& relative) { ASSERT_TRUE(test::makeFakePrefix(path(relative))); }
    void file(const QString& relative, const QByteArray& content = "#!/bin/sh\n") {
        ASSERT_TRUE(test::writeFile(path(relative), content));
    }

private:
    QTemporaryDir m_dir;
};

struct PrefixCase {
    const char* name;
    std::function<void(FakeHome&)> setup;
    // "NAME=value" with "{home}" for the fake home.
    std::vector<std::string> environment;
    // "manager prefix wine", paths relative to the home, "-" for no Wine program.
    std::vector<std::string> expected;
    // Names of the manager files reported as unreadable, in order.
    std::vector<std::string> notedFiles;
};
void PrintTo(const PrefixCase& c, std::ostream* os) {
    *os << c.name;
}

class WinePrefixesTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(WinePrefixesTest, ListsEachManagersPrefixesWithTheirWine) {
    const PrefixCase& c = GetParam();
    FakeHome home;
    test::ScopedEnv env;
    const std::string root = home.path({}).chopped(1).toStdString();
    env.set("HOME", root);
    env.set("XDG_CONFIG_HOME", root + "/.config");
    env.set("XDG_DATA_HOME", root + "/.local/share");
    for (const char* name : {"WINEPREFIX", "WINE_PREFIXES", "WINELOADER"})
        env.set(name, std::nullopt);
    for (std::string entry : c.environment) {
        for (std::size_t at; (at = entry.find("{home}")) != std::string::npos;)
            entry.replace(at, 6, root);
        const std::size_t eq = entry.find('=');
        env.set(entry.substr(0, eq), entry.substr(eq + 1));
    }
    c.setup(home);

    const platform::WinePrefixScan scan = platform::findWinePrefixes();
    std::vector<std::string> found;
    const auto relative = [&](const std::string& path) {
        return path.empty()                     ? std::string("-")
               : path.rfind(root + '/', 0) == 0 ? path.substr(root.size() + 1)
                                                : path;
    };
    for (const platform::WinePrefixEntry& entry : scan.prefixes)
        found.push_back(std::string(platform::prefixManagerName(entry.manager)) + ' ' +
                        relative(entry.prefix) + ' ' + relative(entry.wineProgram));
    EXPECT_EQ(found, c.expected);
    ASSERT_EQ(scan.notes.size(), c.notedFiles.size());
    for (std::size_t i = 0; i < scan.notes.size(); ++i)
        EXPECT_NE(scan.notes[i].find(c.notedFiles[i]), std::string::npos) << scan.notes[i];
}

const PrefixCase kCases[] = {
    {"PlainWine",
     [](FakeHome& h) {
         h.prefix(u".wine"_s);
         h.prefix(u"tc-prefix"_s);
     },
     {"WINEPREFIX={home}/tc-prefix"},
     {"wine tc-prefix -", "wine .wine -"},
     {}},
    {"WinetricksWithoutHalfMadeFolders",
     [](FakeHome& h) {
         h.prefix(u".local/share/wineprefixes/tc"_s);
         h.file(u".local/share/wineprefixes/registry-only/user.reg"_s, "WINE REGISTRY Version 2\n");
         QDir().mkpath(h.path(u".local/share/wineprefixes/drive-only/drive_c"_s));
     },
     {},
     {"winetricks .local/share/wineprefixes/tc -"},
     {}},
    {"BottlesNativeAndFlatpak",
     [](FakeHome& h) {
         const QString native = u".local/share/bottles/"_s;
         h.prefix(native + u"bottles/tc"_s);
         h.file(native + u"bottles/tc/bottle.yml"_s, "Name: tc\nRunner: soda-9.0-1\nArch: win64\n");
         h.file(native + u"runners/soda-9.0-1/bin/wine"_s);
         h.prefix(native + u"bottles/broken"_s);
         h.file(native + u"bottles/broken/bottle.yml"_s, "Name: broken\nRunner: [soda\n");
         const QString flatpak = u".var/app/com.usebottles.bottles/data/bottles/"_s;
         h.prefix(flatpak + u"bottles/flat"_s);
         h.file(flatpak + u"bottles/flat/bottle.yml"_s, "Name: flat\nRunner: sys-wine-9.0\n");
     },
     // The bottle is also $WINEPREFIX: Bottles, which knows its runner, names it.
     {"WINEPREFIX={home}/.local/share/bottles/bottles/tc"},
     {"bottles .local/share/bottles/bottles/tc .local/share/bottles/runners/soda-9.0-1/bin/wine",
      "bottles .var/app/com.usebottles.bottles/data/bottles/bottles/flat -"},
     {"broken/bottle.yml"}},
    {"LutrisGamesAndGamesFolder",
     [](FakeHome& h) {
         h.prefix(u"Games/tc"_s);
         h.prefix(u"Games/other"_s);
         h.file(u".config/lutris/games/total-commander-1700000000.yml"_s,
                "game:\n  exe: drive_c/totalcmd/TOTALCMD64.EXE\n  prefix: ~/Games/tc\nwine:\n  version: "
                "lutris-GE-8\nsystem: {}\n");
         h.file(u".local/share/lutris/runners/wine/lutris-GE-8/bin/wine"_s);
         h.file(u".local/share/lutris/games/broken.yml"_s, "game: {prefix: ~/Games/other\n");
         h.file(u".local/share/lutris/games/native-game.yml"_s, "game:\n  exe: /usr/bin/true\n");
     },
     {},
     {"lutris Games/tc .local/share/lutris/runners/wine/lutris-GE-8/bin/wine", "lutris Games/other -"},
     {"broken.yml"}},
    {"PlayOnLinux",
     [](FakeHome& h) {
         h.prefix(u".PlayOnLinux/wineprefix/TotalCommander"_s);
         h.file(u".PlayOnLinux/wineprefix/TotalCommander/playonlinux.cfg"_s, "ARCH=amd64\nVERSION=8.2\n");
         h.file(u".PlayOnLinux/wine/linux-amd64/8.2/bin/wine"_s);
         h.prefix(u".PlayOnLinux/wineprefix/Broken"_s);
         h.file(u".PlayOnLinux/wineprefix/Broken/playonlinux.cfg"_s, "\x7f"
                                                                     "ELF\x02\x01\x01\n");
     },
     {},
     {"playonlinux .PlayOnLinux/wineprefix/TotalCommander .PlayOnLinux/wine/linux-amd64/8.2/bin/wine"},
     {"Broken/playonlinux.cfg"}},
    {"CrossOverBottles",
     [](FakeHome& h) {
         h.prefix(u".cxoffice/TC"_s);
         h.file(u".cxoffice/TC/cxbottle.conf"_s, ";; comment\n[Bottle]\n\"Encoding\" = \"utf-8\"\r\n");
         h.prefix(u".cxoffice/Broken"_s);
         h.file(u".cxoffice/Broken/cxbottle.conf"_s, "<html>not a bottle</html>\n");
         h.prefix(u".cxoffice/no-conf"_s);
         h.file(u"cxoffice/bin/wine"_s);
     },
     {},
     {"crossover .cxoffice/TC cxoffice/bin/wine"},
     {"Broken/cxbottle.conf"}},
    {"ProtonInEachSteamLibrary",
     [](FakeHome& h) {
         const QString steam = u".local/share/Steam/steamapps/"_s;
         h.prefix(steam + u"compatdata/2000/pfx"_s);
         h.file(steam + u"compatdata/2000/config_info"_s,
                "8.0-105\n" + h.path(steam + u"common/Proton 8.0/files/share/fonts/"_s).toUtf8() + "\n");
         h.file(steam + u"common/Proton 8.0/files/bin/wine"_s);
         h.file(steam + u"libraryfolders.vdf"_s, "\"libraryfolders\"\n{\n\t\"0\"\n\t{\n\t\t\"path\"\t\t\"" +
                                                     h.path(u"SteamLibrary"_s).toUtf8() + "\"\n\t}\n}\n");
         h.prefix(u"SteamLibrary/steamapps/compatdata/3000/pfx"_s);
         // Steam's usual link to its folder must not list the same prefixes twice.
         QDir().mkpath(h.path(u".steam"_s));
         QFile::link(h.path(u".local/share/Steam"_s), h.path(u".steam/steam"_s));
     },
     {},
     {"proton .steam/steam/steamapps/compatdata/2000/pfx "
      ".local/share/Steam/steamapps/common/Proton 8.0/files/bin/wine",
      "proton SteamLibrary/steamapps/compatdata/3000/pfx -"},
     {}},
};

INSTANTIATE_TEST_SUITE_P(Managers, WinePrefixesTest, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

} // namespace
} // namespace quillon
