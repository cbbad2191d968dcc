#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/settings_fake_system.h"
#include "app/settings_location.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class SettingsLocationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        for (const char* folder : {"program", "tc", "appdata", "temp"})
            QDir().mkpath(path(QString::fromLatin1(folder)));
        machine.appData = path(u"appdata"_s).toStdString();
        machine.setVariable("TEMP", path(u"temp"_s) + u"/"_s);
        system = test::makeFakeSystem(machine);
    }
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    SettingsLocation locate(const QString& programDir = {}, const QString& tcIni = {}) {
        return LocateSettingsFile(*system,
                                  {u"Quillon"_s, programDir.isEmpty() ? path(u"program"_s) : programDir,
                                   tcIni.isNull() ? path(u"tc/wincmd.ini"_s) : tcIni});
    }

    QTemporaryDir m_dir;
    test::FakeMachine machine;
    std::unique_ptr<System> system;
};

TEST_F(SettingsLocationTest, ModeComesFromTheFileNextToWincmdIniElseFromTheProgramDirectory) {
    struct Case {
        const char* name;
        QByteArray fileA, fileB; // empty: no such file
        QString expected;
        QByteArray expectedContent; // of the chosen file afterwards
        bool bRemains;
    };
    const Case cases[] = {
        {"no file", {}, {}, u"program"_s, {}, false},
        {"A says 1",
         "[Configuration]\nUseIniInTCDir=1\n",
         {},
         u"tc"_s,
         "[Configuration]\nUseIniInTCDir=1\n",
         false},
        {"B says TRUE: moved",
         {},
         "[Configuration]\nUseIniInTCDir= TRUE\n",
         u"tc"_s,
         "[Configuration]\nUseIniInTCDir= TRUE\n",
         false},
        {"B says yes",
         {},
         "[Configuration]\nUseIniInTCDir=yes\n",
         u"program"_s,
         "[Configuration]\nUseIniInTCDir=yes\n",
         true},
        {"A wins over B", "[Configuration]\nUseIniInTCDir=False\n", "[Configuration]\nUseIniInTCDir=1\n",
         u"program"_s, "[Configuration]\nUseIniInTCDir=1\n", true},
        // An older file in the program directory never replaces the one next to wincmd.ini.
        {"A kept", "[Configuration]\nUseIniInTCDir=true\nnew=1\n", "[Configuration]\nold=1\n", u"tc"_s,
         "[Configuration]\nUseIniInTCDir=true\nnew=1\n", true},
    };
    for (const Case& c : cases) {
        QFile::remove(path(u"tc/Quillon.ini"_s));
        QFile::remove(path(u"program/Quillon.ini"_s));
        if (!c.fileA.isEmpty())
            test::writeFile(path(u"tc/Quillon.ini"_s), c.fileA);
        if (!c.fileB.isEmpty())
            test::writeFile(path(u"program/Quillon.ini"_s), c.fileB);
        const SettingsLocation location = locate();
        EXPECT_EQ(location.filePath, path(c.expected + u"/Quillon.ini"_s)) << c.name;
        EXPECT_EQ(location.tcDirectoryMode, c.expected == u"tc"_s) << c.name;
        if (!c.expectedContent.isEmpty()) {
            EXPECT_EQ(test::readFile(location.filePath), c.expectedContent) << c.name;
        }
        if (!c.fileB.isEmpty()) {
            EXPECT_EQ(QFileInfo::exists(path(u"program/Quillon.ini"_s)), c.bRemains) << c.name;
        }
    }
}

TEST_F(SettingsLocationTest, WithoutWincmdIniTheProgramDirectoryIsUsed) {
    test::writeFile(path(u"program/Quillon.ini"_s), "[Configuration]\nUseIniInTCDir=1\n");
    const SettingsLocation location = locate({}, u""_s);
    EXPECT_EQ(location.filePath, path(u"program/Quillon.ini"_s));
    EXPECT_FALSE(location.tcDirectoryMode);
    EXPECT_EQ(location.useIniInTcDir, u"1"_s);
}

TEST_F(SettingsLocationTest, ReadOnlyProgramDirectoryFallsBackToAppDataThenTemp) {
    test::ReadOnlyFolder program(path(u"program"_s));
    QUILLON_SKIP_UNLESS(program.ok(), "cannot make a folder read-only here");
    EXPECT_EQ(locate().filePath, path(u"appdata/Quillon/Quillon.ini"_s));
    EXPECT_TRUE(QFileInfo(path(u"appdata/Quillon"_s)).isDir());

    QDir(path(u"appdata/Quillon"_s)).removeRecursively();
    test::ReadOnlyFolder appData(path(u"appdata"_s));
    ASSERT_TRUE(appData.ok());
    EXPECT_EQ(locate().filePath, path(u"temp/Quillon.ini"_s));
}

} // namespace
} // namespace quillon
