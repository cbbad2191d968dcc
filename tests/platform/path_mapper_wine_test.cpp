#include "platform/path_mapper_wine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "fake_prefix.h"

using namespace quillon::platform;

namespace {

class WinePathMapperTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        // Resolve /tmp links so expectations compare with canonical drive roots.
        m_prefix = QDir(m_dir.path()).canonicalPath() + QStringLiteral("/pfx");
        ASSERT_TRUE(quillon::test::makeFakePrefix(m_prefix));
        QDir c(m_prefix + QStringLiteral("/drive_c"));
        ASSERT_TRUE(c.mkpath(QStringLiteral("totalcmd/Plugins/wcx/Ärger")));
        ASSERT_TRUE(c.mkpath(QStringLiteral("Both")));
        ASSERT_TRUE(c.mkpath(QStringLiteral("both")));
        ASSERT_TRUE(quillon::test::writeFile(c.filePath(QStringLiteral("totalcmd/WINCMD.INI")), "x"));
        ASSERT_TRUE(QFile::link(QStringLiteral("loop"), c.filePath(QStringLiteral("loop"))));
        ASSERT_TRUE(
            QFile::link(QStringLiteral("/nonexistent-quillon"), m_prefix + QStringLiteral("/dosdevices/d:")));
        ASSERT_TRUE(QFile::link(QStringLiteral("e:"), m_prefix + QStringLiteral("/dosdevices/e:")));
        m_mapper = std::make_unique<WinePathMapper>(m_prefix.toStdString());
    }
    std::string c(const char* rest) const {
        return QString(m_prefix + QStringLiteral("/drive_c")).toStdString() + rest;
    }

    QTemporaryDir m_dir;
    QString m_prefix;
    std::unique_ptr<WinePathMapper> m_mapper;
};

TEST_F(WinePathMapperTest, ResolvesComponentsLikeWindows) {
    struct Case {
        std::string windows;
        std::string host;
    };
    const Case cases[] = {
        {"C:\\TotalCmd\\wincmd.ini", c("/totalcmd/WINCMD.INI")},
        {"c:\\TOTALCMD\\plugins\\WCX\\ärger\\x.wcx", c("/totalcmd/Plugins/wcx/Ärger/x.wcx")},
        {"C:/TotalCmd/Plugins", c("/totalcmd/Plugins")},
        {"C:\\TotalCmd\\", c("/totalcmd/")},
        {"C:\\\\TotalCmd\\.\\Plugins\\..\\wincmd.ini", c("/totalcmd/WINCMD.INI")},
        {"C:\\..\\..\\TotalCmd", c("/totalcmd")},
        {"C:", c("")},
        {"C:\\", c("")},
        {"\\\\?\\C:\\TotalCmd", c("/totalcmd")},
        // Missing components keep their spelling; nothing below them is looked up.
        {"C:\\TotalCmd\\NewDir\\Plugins", c("/totalcmd/NewDir/Plugins")},
        {"C:\\Both", c("/Both")},
        {"C:\\both", c("/both")},
        // A link that points at itself is a name that leads nowhere, not a hang.
        {"C:\\loop\\x\\y", c("/loop/x/y")},
        {"Z:\\", "/"},
        {"z:\\etc\\..\\tmp", "/tmp"},
        {"/home/u/file.txt", "/home/u/file.txt"},
        {"D:\\x", ""},
        {"E:\\x", ""},
        {"Q:\\x", ""},
        {"\\\\server\\share\\x", ""},
        {"TotalCmd\\x", ""},
        {"", ""},
    };
    for (const Case& t : cases)
        EXPECT_EQ(m_mapper->toHostPath(t.windows), t.host) << t.windows;
}

TEST_F(WinePathMapperTest, PicksTheDriveWithTheLongestRoot) {
    struct Case {
        std::string host;
        std::string windows;
    };
    const Case cases[] = {
        {c("/totalcmd/WINCMD.INI"), "C:\\totalcmd\\WINCMD.INI"},
        {c("/totalcmd/"), "C:\\totalcmd\\"},
        {c(""), "C:\\"},
        // Through the dosdevices link itself: the same folder.
        {m_prefix.toStdString() + "/dosdevices/c:/totalcmd", "C:\\totalcmd"},
        {c("/new/file.txt"), "C:\\new\\file.txt"},
        {"/etc/passwd", "Z:\\etc\\passwd"},
        {"/", "Z:\\"},
        {"C:\\already", "C:\\already"},
        {"relative/path", ""},
    };
    for (const Case& t : cases)
        EXPECT_EQ(m_mapper->toWindowsPath(t.host), t.windows) << t.host;
}

TEST(WinePathMapperWithoutPrefix, KnowsOnlyHostPaths) {
    const WinePathMapper mapper("");
    EXPECT_EQ(mapper.toHostPath("C:\\x"), "");
    EXPECT_EQ(mapper.toHostPath("/x"), "/x");
    EXPECT_EQ(mapper.toWindowsPath("/x"), "");
}

} // namespace
