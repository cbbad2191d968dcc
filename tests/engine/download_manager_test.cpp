// The external download manager: which one is taken and the argument vector each gets, checked
// with a launcher that only records; the prefix's manager found through its registry key.
#include "engine/download_manager.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/settings_values.h"
#include "app/system.h"
#include "platform/fake_prefix.h"
#include "platform/scoped_env.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class RecordingLauncher final : public ProgramLauncher {
public:
    bool startDetached(const ProgramStart& start) override {
        starts.append(start);
        return true;
    }
    QList<ProgramStart> starts;
};

TEST(DownloadManager, EachKindGetsItsArgumentVector) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A command may name its program by path, with blanks and quotes.
    const QString ownManager = dir.path() + u"/My Manager/dm"_s;
    ASSERT_TRUE(test::writeFile(ownManager, "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::setPermissions(ownManager, QFile::ReadOwner | QFile::ExeOwner));

    const ProgramStart wine{u"/usr/bin/wine"_s, {u"/p/drive_c/DM/dm.exe"_s}, {u"WINEPREFIX=/p"_s}};
    const ProgramStart windows{u"C:/DM/dm.exe"_s, {}, {}};
    const QString dl = u"/home/u/Downloads/"_s;
    // A link with shell syntax in it stays one argument.
    const QString link = u"http://127.0.0.1:8123/get.php?a=1&b=$(id)"_s;

    struct Case {
        const char* what;
        QString command;
        ProgramStart prefixManager;
        QStringList onPath;
        QString downloadDir;
        DownloadManagerKind kind;
        ProgramStart expected;
    };
    const Case cases[] = {
        {"nothing anywhere", {}, {}, {}, dl, DownloadManagerKind::None, {}},
        {"the prefix's manager through Wine",
         {},
         wine,
         {u"aria2c"_s},
         dl,
         DownloadManagerKind::InPrefix,
         {wine.program, {wine.arguments.first(), u"/d"_s, link, u"/n"_s}, wine.environment}},
        {"the manager started by itself on Windows",
         {},
         windows,
         {},
         dl,
         DownloadManagerKind::InPrefix,
         {windows.program, {u"/d"_s, link, u"/n"_s}, {}}},
        {"uGet before the others",
         {},
         {},
         {u"aria2c"_s, u"kget"_s, u"uget-gtk"_s},
         dl,
         DownloadManagerKind::UGet,
         {u"/bin/uget-gtk"_s, {u"--quiet"_s, u"--folder="_s + dl, link}, {}}},
        {"KGet before aria2c",
         {},
         {},
         {u"aria2c"_s, u"kget"_s},
         dl,
         DownloadManagerKind::KGet,
         {u"/bin/kget"_s, {link}, {}}},
        {"aria2c into the download folder",
         {},
         {},
         {u"aria2c"_s},
         dl,
         DownloadManagerKind::Aria2,
         {u"/bin/aria2c"_s, {u"--dir="_s + dl, link}, {}}},
        {"aria2c with no folder set",
         {},
         {},
         {u"aria2c"_s},
         {},
         DownloadManagerKind::Aria2,
         {u"/bin/aria2c"_s, {link}, {}}},
        {"the user's command decides",
         u"dm --add"_s,
         wine,
         {u"dm"_s, u"uget-gtk"_s},
         dl,
         DownloadManagerKind::Command,
         {u"/bin/dm"_s, {u"--add"_s, link}, {}}},
        {"a quoted path and argument",
         u"\""_s + ownManager + u"\" -o \"a b\""_s,
         {},
         {},
         dl,
         DownloadManagerKind::Command,
         {ownManager, {u"-o"_s, u"a b"_s, link}, {}}},
        {"a command whose program is missing",
         u"nosuchdm --add"_s,
         {},
         {u"kget"_s},
         dl,
         DownloadManagerKind::KGet,
         {u"/bin/kget"_s, {link}, {}}},
        {"a path that is not there",
         u"/nowhere/dm"_s,
         wine,
         {},
         dl,
         DownloadManagerKind::InPrefix,
         {wine.program, {wine.arguments.first(), u"/d"_s, link, u"/n"_s}, wine.environment}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList onPath = c.onPath;
        const DownloadManagerSources sources{
            c.command, c.prefixManager,
            [onPath](const QString& name) { return onPath.contains(name) ? u"/bin/"_s + name : QString(); },
            c.downloadDir};
        const DownloadManager manager = FindDownloadManager(sources);
        EXPECT_EQ(manager.kind, c.kind);
        RecordingLauncher launcher;
        EXPECT_EQ(SendURLToIDM(manager, link, launcher), c.kind != DownloadManagerKind::None);
        ASSERT_EQ(launcher.starts.size(), c.kind == DownloadManagerKind::None ? 0 : 1);
        if (launcher.starts.isEmpty())
            continue;
        const ProgramStart& got = launcher.starts.first();
        EXPECT_EQ(got.program, c.expected.program);
        EXPECT_EQ(got.arguments, c.expected.arguments);
        EXPECT_EQ(got.environment, c.expected.environment);
        // A link that would be read as an option, or a local file, is never handed on.
        for (const QString& bad : {u"--output=/home/u/.profile"_s, u"-o/tmp/x"_s, u"file:///etc/passwd"_s})
            EXPECT_FALSE(SendURLToIDM(manager, bad, launcher)) << bad.toStdString();
        EXPECT_EQ(launcher.starts.size(), 1);
    }
}

TEST(DownloadManager, ThePrefixManagerIsFoundThroughItsRegistryKey) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString prefix = QDir(dir.path()).canonicalPath() + u"/prefix"_s;
    const QString wine = dir.path() + u"/wine"_s;
    ASSERT_TRUE(test::writeFile(wine, "#!/bin/sh\n"));
    ASSERT_TRUE(QFile::setPermissions(wine, QFile::ReadOwner | QFile::ExeOwner));
    test::ScopedEnv env;
    env.set("WINELOADER", std::nullopt);
    SettingValues values;

    struct Case {
        const char* what;
        QByteArray userReg;
        bool exeExists;
        bool found;
    };
    const Case cases[] = {
        {"installed", "[Software\\\\DownloadManager] 1700000000\n\"ExePath\"=\" C:\\\\DM\\\\IDMan.exe \"\n",
         true, true},
        {"its file is gone",
         "[Software\\\\DownloadManager] 1700000000\n\"ExePath\"=\"C:\\\\DM\\\\IDMan.exe\"\n", false, false},
        {"no key", {}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(QDir(prefix).removeRecursively());
        ASSERT_TRUE(test::makeFakePrefix(prefix, c.userReg));
        const QString exe = prefix + u"/drive_c/DM/IDMan.exe"_s;
        if (c.exeExists) {
            ASSERT_TRUE(test::writeFile(exe, "MZ"));
        }
        System system(platform::Platform::create({prefix.toStdString(), wine.toStdString()}));
        const DownloadManagerSources sources = DownloadManagerSourcesFor(system, values, QString());
        if (!c.found) {
            EXPECT_TRUE(sources.prefixManager.program.isEmpty());
            continue;
        }
        EXPECT_EQ(sources.prefixManager.program, wine);
        EXPECT_EQ(sources.prefixManager.arguments, QStringList{exe});
        EXPECT_EQ(sources.prefixManager.environment, QStringList{u"WINEPREFIX="_s + prefix});
    }
}

} // namespace
} // namespace quillon
