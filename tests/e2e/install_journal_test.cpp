// quillon-cli update --install killed at each step of an installation (SIGKILL, nothing runs
// after it): the next start finds the plugin's folder either as it was or completely updated,
// never half, tells the user when it had to undo something, and leaves no scratch behind.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

#include <gtest/gtest.h>

#include <memory>

#include "support/fixture_server.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class CliKilledInstall : public test::SampleCopyTest {};

// Every file of the folder with its content, the day's backup archive left out (it is written
// before the installation and holds the old files either way).
QMap<QString, QByteArray> contentOf(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& file : test::filesBelow(folder)) {
        if (!file.startsWith(u"backup_"_s))
            files.insert(file, test::readFile(folder + u'/' + file));
    }
    return files;
}

TEST_F(CliKilledInstall, EveryStepEndsAsBeforeOrAsAfter) {
    const QString sample = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
    const QString plugin = findFiles(prefix, u"sampack.wcx64"_s).value(0);
    ASSERT_FALSE(plugin.isEmpty());
    const QString pluginDir = QFileInfo(plugin).absolutePath();
    const QString samplePluginDir = sample + pluginDir.mid(prefix.size());
    const QMap<QString, QByteArray> before = contentOf(pluginDir);
    test::FixtureServerProcess server;
    ASSERT_FALSE(server.base().isEmpty());
    const QStringList update{u"--wine-prefix"_s, prefix,      u"--settings-dir"_s,
                             settings,           u"update"_s, u"--install"_s,
                             u"--yes"_s,         u"--json"_s, u"sampack.wcx64"_s};
    const QStringList list{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings, u"list"_s};

    bool completed = false;
    for (int step = 1; step < 40 && !completed; ++step) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(QDir(pluginDir).removeRecursively() && test::copyTree(samplePluginDir, pluginDir));
        ASSERT_TRUE(QDir(downloads).removeRecursively() && QDir().mkpath(downloads));
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, settingsText(server.base())));
        const test::CliResult killed =
            test::runCli(update, {u"QUILLON_TEST_KILL_AFTER_STEP="_s + QString::number(step)}, 120000);
        completed = killed.exitCode != -1;
        if (completed) {
            // Past the last step: the run went through and installed the package.
            EXPECT_EQ(killed.exitCode, 0) << killed.err.toStdString();
            EXPECT_NE(contentOf(pluginDir), before);
        }
        const test::CliResult next = test::runCli(list, {}, 120000);
        EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
        if (!completed) {
            EXPECT_EQ(contentOf(pluginDir), before);
            EXPECT_TRUE(next.err.contains("was cut off")) << next.err.toStdString();
        } else {
            EXPECT_FALSE(next.err.contains("was cut off")) << next.err.toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(settings + u"/install-journal.ini"_s));
        EXPECT_EQ(test::filesBelow(temp), QStringList());
        EXPECT_EQ(findFiles(m_dir.path(), u"*.quillon-tmp"_s), QStringList());
    }
    EXPECT_TRUE(completed);
}

} // namespace
} // namespace quillon
