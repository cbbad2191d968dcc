#include "app/system.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "fake_prefix.h"
#include "scoped_env.h"

using namespace quillon;
using platform::CSIDL_APPDATA;
using platform::FOLDERID_Downloads;

namespace {

const QByteArray kUserReg = R"(
[Software\\Ghisler\\Total Commander] 1700000000
"InstallDir"="C:\\TotalCmd"
"IniFileName"=str(2):"%COMMANDER_PATH%\\wincmd.ini"
"Version"=dword:0000000b
)";

class SystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_root = QDir(m_dir.path()).canonicalPath();
        m_prefix = m_root + QStringLiteral("/prefix");
        ASSERT_TRUE(test::makeFakePrefix(m_prefix, kUserReg));
        ASSERT_TRUE(QDir().mkpath(m_prefix + QStringLiteral("/drive_c/totalcmd/plugins")));
        for (const char* name :
             {"WINEPREFIX", "COMMANDER_PATH", "COMMANDER_INI", "TEMP", "APPDATA", "XDG_CONFIG_HOME"})
            m_env.set(name, std::nullopt);
        m_env.set("HOME", QString(m_root + QStringLiteral("/home")).toStdString());
        m_env.set("TMPDIR", "/var/tmp");
    }
    System make(const QString& prefix) { return System(platform::Platform::create({prefix.toStdString()})); }
    QTemporaryDir m_dir;
    QString m_root;
    QString m_prefix;
    test::ScopedEnv m_env;
};

TEST_F(SystemTest, MapsTotalCommandersWorldToHostPaths) {
    System system = make(m_prefix);
    const QString tc = m_prefix + QStringLiteral("/drive_c/totalcmd");
    m_env.set("COMMANDER_PATH", "C:\\TOTALCMD\\");
    struct Case {
        QString input;
        QString path;     // expandTcPath
        QString variable; // expandTcVariable
    };
    const Case cases[] = {
        {QStringLiteral("%COMMANDER_PATH%Plugins\\x.wcx"), tc + QStringLiteral("/plugins/x.wcx"),
         tc + QStringLiteral("/plugins/x.wcx")},
        {QStringLiteral("%COMMANDER_PATH%"), tc + QStringLiteral("/"), tc + QStringLiteral("/")},
        {QStringLiteral("%COMMANDER_INI%"), QStringLiteral("%COMMANDER_INI%"), QString()},
        {QStringLiteral("%APPDATA%\\Ghisler"),
         m_prefix + QStringLiteral("/drive_c/users/alice/AppData/Roaming/Ghisler"),
         m_prefix + QStringLiteral("/drive_c/users/alice/AppData/Roaming/Ghisler")},
        {QStringLiteral("C:\\TotalCmd"), QStringLiteral("C:\\TotalCmd"), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(system.expandTcPath(c.input), c.path) << c.input.toStdString();
        EXPECT_EQ(system.expandTcVariable(c.input), c.variable) << c.input.toStdString();
    }
    EXPECT_EQ(system.toHostPath(QStringLiteral("c:\\totalcmd\\PLUGINS\\")), tc + QStringLiteral("/plugins/"));
    EXPECT_EQ(system.toHostPath(QStringLiteral("/a//b/../c\\d")), QStringLiteral("/a/c/d"));
    EXPECT_EQ(system.toHostPath(QStringLiteral("relative")), QString());
    EXPECT_EQ(system.toWindowsPath(tc + QStringLiteral("/wincmd.ini")),
              QStringLiteral("C:\\totalcmd\\wincmd.ini"));

    const auto hkcu = platform::RegistryRoot::CurrentUser;
    const QString key = QStringLiteral("\\Software\\Ghisler\\Total Commander");
    EXPECT_EQ(system.readRegistryString(hkcu, key, QStringLiteral("installdir")),
              QStringLiteral("C:\\TotalCmd"));
    EXPECT_EQ(system.readRegistryString(hkcu, key, QStringLiteral("Version"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(system.readRegistryInt(hkcu, key, QStringLiteral("Version"), 0), 11);
    EXPECT_EQ(system.readRegistryInt(hkcu, key, QStringLiteral("InstallDir"), 5), 5);
}

TEST_F(SystemTest, FoldersAreHostPaths) {
    ASSERT_TRUE(test::writeFile(m_root + QStringLiteral("/home/.config/user-dirs.dirs"),
                                "# comment\nXDG_DOWNLOAD_DIR=\"$HOME/Fetched\"\n"));
    System system = make(m_prefix);
    EXPECT_EQ(system.specialFolderPath(CSIDL_APPDATA), m_root + QStringLiteral("/home/.config"));
    EXPECT_EQ(
        system.knownFolderPath(-1, QString::fromLatin1(FOLDERID_Downloads.data(), FOLDERID_Downloads.size())),
        m_root + QStringLiteral("/home/Fetched/"));
    EXPECT_EQ(system.knownFolderPath(-1, QStringLiteral("{00000000-0000-0000-0000-000000000000}")),
              QString());
    EXPECT_EQ(system.knownFolderPath(CSIDL_APPDATA, QStringLiteral("{00000000-0000-0000-0000-000000000000}")),
              m_root + QStringLiteral("/home/.config/"));
    EXPECT_EQ(system.tempDirectory(), QStringLiteral("/var/tmp/"));
    EXPECT_EQ(system.windowsDirectory(), m_prefix + QStringLiteral("/drive_c/windows/"));
    EXPECT_EQ(system.windowsDrive() + QStringLiteral("/totalcmd"),
              m_prefix + QStringLiteral("/drive_c/totalcmd"));
    EXPECT_EQ(system.expandEnvPath(QStringLiteral("%TEMP%\\Quillon\\")), QStringLiteral("/var/tmp/Quillon/"));
    EXPECT_EQ(system.expandEnvVariable(QStringLiteral("%NOPE_QUILLON%\\x")), QString());

    ASSERT_TRUE(test::writeFile(m_root + QStringLiteral("/home/.config/user-dirs.dirs"),
                                "XDG_DOWNLOAD_DIR=\"$HOME/\"\n"));
    EXPECT_EQ(
        system.knownFolderPath(-1, QString::fromLatin1(FOLDERID_Downloads.data(), FOLDERID_Downloads.size())),
        m_root + QStringLiteral("/home/Downloads/"));
}

TEST_F(SystemTest, ChoosesThePrefix) {
    const QString other = m_root + QStringLiteral("/other");
    ASSERT_TRUE(test::makeFakePrefix(other));
    const QString standard = m_root + QStringLiteral("/home/.wine");
    ASSERT_TRUE(QDir().mkpath(m_root + QStringLiteral("/notaprefix")));
    struct Case {
        QString option;
        std::optional<std::string> winePrefixVar;
        bool standardExists;
        QString expected;
    };
    const Case cases[] = {
        {m_prefix, other.toStdString(), true, m_prefix},
        {QString(), other.toStdString(), true, other},
        {QString(), std::nullopt, true, standard},
        {QString(), std::nullopt, false, QString()},
        {m_root + QStringLiteral("/notaprefix"), other.toStdString(), true, QString()},
        {m_prefix + QStringLiteral("/"), std::nullopt, false, m_prefix},
    };
    for (const Case& c : cases) {
        if (c.standardExists)
            ASSERT_TRUE(test::makeFakePrefix(standard) || QDir(standard).exists());
        else
            ASSERT_TRUE(QDir(standard).removeRecursively());
        m_env.set("WINEPREFIX", c.winePrefixVar);
        const auto created = platform::Platform::create({c.option.toStdString()});
        EXPECT_EQ(QString::fromStdString(created->winePrefix()), c.expected) << c.option.toStdString();
    }
}

TEST_F(SystemTest, WithoutPrefixOnlyHostPathsExist) {
    m_env.set("COMMANDER_PATH", "/opt/tc");
    System system = make(QString());
    EXPECT_EQ(system.windowsDirectory(), QString());
    EXPECT_EQ(system.windowsDrive(), QString());
    EXPECT_EQ(system.toHostPath(QStringLiteral("C:\\x")), QString());
    EXPECT_EQ(system.expandTcPath(QStringLiteral("%COMMANDER_PATH%\\plugins")),
              QStringLiteral("/opt/tc/plugins"));
    EXPECT_FALSE(system.tcWindow().isRunning());
}

} // namespace
