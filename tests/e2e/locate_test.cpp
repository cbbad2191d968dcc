// quillon-cli locate against prefixes laid out the way users' Wine prefixes are.
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QString regText(QString value) {
    return value.replace(u"\\"_s, u"\\\\"_s);
}

class UserPrefix {
public:
    UserPrefix() {
        QDir().mkpath(root() + u"/dosdevices"_s);
        QDir().mkpath(root() + u"/drive_c/windows/system32"_s);
        QDir().mkpath(root() + u"/drive_c/users/anna/AppData/Roaming"_s);
        QFile::link(u"../drive_c"_s, root() + u"/dosdevices/c:"_s);
        QFile::link(u"/"_s, root() + u"/dosdevices/z:"_s);
        m_driveC = QFileInfo(root() + u"/drive_c"_s).canonicalFilePath();
    }
    QString root() const { return m_dir.path() + u"/prefix"_s; }
    QString settings() const { return m_dir.path() + u"/settings"_s; }
    QString c(const QString& relative) const { return m_driveC + QLatin1Char('/') + relative; }
    void file(const QString& relative, const QByteArray& content = "MZ") {
        ASSERT_TRUE(test::writeFile(c(relative), content));
    }
    void tcKey(bool currentUser, const QString& installDir, const QString& iniFileName) {
        QString& text = currentUser ? m_user : m_machine;
        text += u"\n[Software\\\\Ghisler\\\\Total Commander] 1717243200\n#time=1dab41b3a88a000\n"_s;
        if (!iniFileName.isEmpty())
            text += u"\"IniFileName\"=str(2):\""_s + regText(iniFileName) + u"\"\n"_s;
        if (!installDir.isEmpty())
            text += u"\"InstallDir\"=\""_s + regText(installDir) + u"\"\n"_s;
    }
    void userKeys(const QString& text) { m_user += text; }
    void writeRegistry() const {
        const QString header = u"WINE REGISTRY Version 2\n;; All keys relative to "_s;
        test::writeFile(root() + u"/user.reg"_s,
                        (header + u"\\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n"_s + m_user +
                         u"\n[Volatile Environment] 1717243200\n#time=1dab41b3a88a000\n"
                         u"\"APPDATA\"=\"C:\\\\users\\\\anna\\\\AppData\\\\Roaming\"\n"
                         u"\"USERPROFILE\"=\"C:\\\\users\\\\anna\"\n"_s)
                            .toUtf8());
        test::writeFile(root() + u"/system.reg"_s,
                        (header + u"\\\\Machine\n\n#arch=win64\n"_s + m_machine).toUtf8());
    }

private:
    QTemporaryDir m_dir;
    QString m_driveC;
    QString m_user;
    QString m_machine;
};

struct Located {
    int exitCode = -1;
    QJsonObject json;
    QString dir, ini, exe;
};

Located locate(const QString& prefix, const QString& settings, const QStringList& environment = {}) {
    const test::CliResult result = test::runCli(
        {u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings, u"locate"_s, u"--json"_s}, environment);
    Located located;
    located.exitCode = result.exitCode;
    located.json = QJsonDocument::fromJson(result.out).object();
    const QJsonObject tc = located.json.value(u"totalCommander"_s).toObject();
    located.dir = tc.value(u"dir"_s).toString();
    located.ini = tc.value(u"ini"_s).toString();
    located.exe = tc.value(u"exe"_s).toString();
    if (result.exitCode != 0 || located.json.isEmpty())
        ADD_FAILURE() << "quillon-cli locate: exit " << result.exitCode << "\n"
                      << result.out.toStdString() << result.err.toStdString();
    return located;
}

const QString kAppDataIni = u"users/anna/AppData/Roaming/GHISLER/wincmd.ini"_s;
QByteArray uiipd(int value) {
    return "[Configuration]\r\nUseIniInProgramDir=" + QByteArray::number(value) + "\r\n";
}

// Expected paths relative to drive_c, "" for none; environment entries may use "{c}" for the
// host path of drive_c.
struct LocateCase {
    const char* name;
    std::function<void(UserPrefix&)> setup;
    QStringList environment;
    QString dir, exe, ini;
};
void PrintTo(const LocateCase& c, std::ostream* os) {
    *os << c.name;
}

class CliLocateTest : public ::testing::TestWithParam<LocateCase> {};

TEST_P(CliLocateTest, ReportsWhereTotalCommanderLives) {
    const LocateCase& param = GetParam();
    UserPrefix prefix;
    param.setup(prefix);
    prefix.writeRegistry();
    QStringList environment;
    for (const QString& entry : param.environment)
        environment << QString(entry).replace(u"{c}"_s, prefix.c({}).chopped(1));
    const Located located = locate(prefix.root(), prefix.settings(), environment);
    const auto expected = [&](const QString& relative) {
        return relative.isEmpty() ? QString() : prefix.c(relative);
    };
    EXPECT_EQ(located.dir, expected(param.dir));
    EXPECT_EQ(located.exe, expected(param.exe));
    EXPECT_EQ(located.ini, expected(param.ini));
    EXPECT_TRUE(located.json.value(u"settingsFile"_s).toString().startsWith(prefix.settings()))
        << located.json.value(u"settingsFile"_s).toString().toStdString();
    EXPECT_TRUE(located.json.value(u"language"_s).isString());
}

const LocateCase kCases[] = {
    {"RegistrySpellingDiffersFromFolders",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"users/anna/AppData/Roaming/Ghisler/wincmd.ini"_s);
     },
     {},
     u"totalcmd"_s,
     u"totalcmd/TOTALCMD64.EXE"_s,
     u"users/anna/AppData/Roaming/Ghisler/wincmd.ini"_s},
    {"IniFileNameWithCommanderPath",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\Tools\\TC"_s, u"%COMMANDER_PATH%\\wincmd.ini"_s);
         p.file(u"Tools/tc/TOTALCMD64.EXE"_s);
         p.file(u"Tools/tc/wincmd.ini"_s, uiipd(0));
         p.file(kAppDataIni);
     },
     {},
     u"Tools/tc"_s,
     u"Tools/tc/TOTALCMD64.EXE"_s,
     u"Tools/tc/wincmd.ini"_s},
    {"IniFileNameAsPlainPath",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"C:\\Config\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"config/wincmd.ini"_s);
         p.file(kAppDataIni);
     },
     {},
     u"totalcmd"_s,
     u"totalcmd/TOTALCMD64.EXE"_s,
     u"config/wincmd.ini"_s},
    {"UseIniInProgramDir4WinsOverRegistry",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"totalcmd/wincmd.ini"_s, uiipd(4));
         p.file(kAppDataIni);
     },
     {},
     u"totalcmd"_s,
     u"totalcmd/TOTALCMD64.EXE"_s,
     u"totalcmd/wincmd.ini"_s},
    {"UseIniInProgramDir1LosesToRegistry",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(u"totalcmd/wincmd.ini"_s, uiipd(1));
         p.file(kAppDataIni);
     },
     {},
     u"totalcmd"_s,
     u"totalcmd/TOTALCMD64.EXE"_s,
     kAppDataIni},
    {"CommanderIniSet",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.file(u"totalcmd/TOTALCMD64.EXE"_s);
         p.file(kAppDataIni);
         p.file(u"profiles/work.ini"_s);
     },
     {u"COMMANDER_INI=C:\\Profiles\\Work.ini"_s},
     u"totalcmd"_s,
     u"totalcmd/TOTALCMD64.EXE"_s,
     u"profiles/work.ini"_s},
    {"CommanderPathAndExeAsHostPaths",
     [](UserPrefix& p) {
         p.file(u"portable/TOTALCMD.EXE"_s);
         p.file(u"portable/wincmd.ini"_s, uiipd(1));
     },
     {u"COMMANDER_PATH={c}/portable"_s, u"COMMANDER_EXE={c}/portable/TOTALCMD.EXE"_s,
      u"COMMANDER_INI={c}/portable/wincmd.ini"_s},
     u"portable"_s,
     u"portable/TOTALCMD.EXE"_s,
     u"portable/wincmd.ini"_s},
    {"BothExecutablesPresent",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\totalcmd"_s, {});
         p.file(u"TotalCmd/TOTALCMD.EXE"_s);
         p.file(u"TotalCmd/TOTALCMD64.EXE"_s);
         p.file(u"TotalCmd/wincmd.ini"_s, uiipd(0));
     },
     {},
     u"TotalCmd"_s,
     u"TotalCmd/TOTALCMD.EXE"_s,
     u"TotalCmd/wincmd.ini"_s},
    {"InstallDirOfRemovedFolder",
     [](UserPrefix& p) {
         p.tcKey(true, u"C:\\Old\\TotalCmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
         p.tcKey(false, u"C:\\Program Files\\TotalCmd"_s, {});
         p.file(u"Program Files/TotalCmd/TOTALCMD64.EXE"_s);
         p.file(kAppDataIni);
     },
     {},
     u"Program Files/TotalCmd"_s,
     {},
     kAppDataIni},
};

INSTANTIATE_TEST_SUITE_P(UserPrefixes, CliLocateTest, ::testing::ValuesIn(kCases),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(CliLocateSample, FindsTheSampleInstallation) {
    if (!test::requireMingw())
        GTEST_SKIP() << "MinGW-w64 is missing: no sample installation";
    const QString prefix = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
    ASSERT_TRUE(QFileInfo(prefix + u"/user.reg"_s).isFile())
        << "build the target quillon_sample_install first: " << prefix.toStdString();
    QTemporaryDir settings;
    const QString driveC = QFileInfo(prefix + u"/drive_c"_s).canonicalFilePath();
    const Located located = locate(prefix, settings.path());
    EXPECT_EQ(located.dir, driveC + u"/totalcmd"_s);
    EXPECT_EQ(located.exe, driveC + u"/totalcmd/TOTALCMD64.EXE"_s);
    EXPECT_EQ(located.ini, driveC + u"/users/quillon/AppData/Roaming/GHISLER/wincmd.ini"_s);
}

// Prefixes that once kept locate running for ever: it must end and find what the rest allows.
TEST(CliLocatePoisoned, EndsAndFindsWhatTheRestAllows) {
    const auto fifo = [](const QString& path) {
        QFile::remove(path);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
    };
    const struct {
        const char* name;
        std::function<void(UserPrefix&)> poison;
    } cases[] = {
        {"a variable naming itself sixteen times",
         [](UserPrefix& prefix) {
             prefix.tcKey(true, u"C:\\totalcmd"_s, u"%LOOP%\\wincmd.ini"_s);
             prefix.userKeys(u"\n[Environment] 1717243200\n\"LOOP\"=str(2):\""_s + u"%LOOP%"_s.repeated(16) +
                             u"\"\n"_s);
             prefix.writeRegistry();
         }},
        {"user.reg is a FIFO", [&](UserPrefix& prefix) { fifo(prefix.root() + u"/user.reg"_s); }},
        {"system.reg is a FIFO", [&](UserPrefix& prefix) { fifo(prefix.root() + u"/system.reg"_s); }},
        {"the wineserver entry is a FIFO",
         [&](UserPrefix& prefix) { fifo(prefix.root() + u"/wineserver"_s); }},
        {"wincmd.ini is a FIFO",
         [&](UserPrefix& prefix) {
             prefix.tcKey(true, u"C:\\totalcmd"_s, u"%APPDATA%\\GHISLER\\wincmd.ini"_s);
             prefix.writeRegistry();
             fifo(prefix.c(kAppDataIni));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UserPrefix prefix;
        prefix.file(u"totalcmd/TOTALCMD64.EXE"_s);
        prefix.file(u"totalcmd/wincmd.ini"_s, uiipd(0));
        prefix.writeRegistry();
        c.poison(prefix);
        const Located located = locate(prefix.root(), prefix.settings());
        EXPECT_EQ(located.dir, prefix.c(u"totalcmd"_s));
        EXPECT_EQ(located.exe, prefix.c(u"totalcmd/TOTALCMD64.EXE"_s));
    }
}

} // namespace
} // namespace quillon
