// quillon-cli update --install killed at each step of an installation (SIGKILL, nothing runs
// after it): a command that only reads leaves the journal alone, the next one that installs
// finds the plugin's folder either as it was or completely updated, never half, tells the user
// when it had to undo something, and leaves no scratch behind. A journal that is no leftover (its
// installation still runs, or it names folders that are not Quillon's) is never acted upon.
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

#include "support/fixture_server.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class CliInstallJournal : public test::SampleCopyTest {
protected:
    void SetUp() override {
        test::SampleCopyTest::SetUp();
        if (HasFatalFailure() || IsSkipped())
            return;
        const QString plugin = findFiles(prefix, u"sampack.wcx64"_s).value(0);
        ASSERT_FALSE(plugin.isEmpty());
        pluginDir = QFileInfo(plugin).absolutePath();
        const QString sample = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
        samplePluginDir = sample + pluginDir.mid(prefix.size());
        before = contentOf(pluginDir);
        server = std::make_unique<test::FixtureServerProcess>();
        ASSERT_FALSE(server->base().isEmpty());
        journal = settings + u"/install-journal.ini"_s;
    }

    // Every file of the folder with its content, the backup archives left out (written before
    // the installation, they hold the old files either way).
    static QMap<QString, QByteArray> contentOf(const QString& folder) {
        QMap<QString, QByteArray> files;
        for (const QString& file : test::filesBelow(folder)) {
            if (!file.startsWith(u"backup_"_s))
                files.insert(file, test::readFile(folder + u'/' + file));
        }
        return files;
    }

    void resetPlugin() {
        ASSERT_TRUE(QDir(pluginDir).removeRecursively() && test::copyTree(samplePluginDir, pluginDir));
        ASSERT_TRUE(QDir(downloads).removeRecursively() && QDir().mkpath(downloads));
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, settingsText(server->base())));
    }

    QStringList command(const QStringList& words) const {
        return QStringList{u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings} + words;
    }
    QStringList update() const {
        return command({u"update"_s, u"--install"_s, u"--yes"_s, u"sampack.wcx64"_s});
    }
    // Writes, so it undoes a leftover first; names no backup, so it restores nothing itself.
    QStringList restoreNothing() const {
        return command({u"restore"_s, u"sampack.wcx64"_s, u"--from"_s, u"01-01-1999"_s});
    }

    QString pluginDir, samplePluginDir, journal;
    QMap<QString, QByteArray> before;
    std::unique_ptr<test::FixtureServerProcess> server;
};

TEST_F(CliInstallJournal, EveryKilledStepEndsAsBeforeOrAsAfter) {
    const QStringList list = command({u"list"_s});
    int kills = 0;
    bool completed = false;
    for (int step = 1; step < 40 && !completed; ++step) {
        SCOPED_TRACE(step);
        resetPlugin();
        const test::CliResult killed =
            test::runCli(update(), {u"QUILLON_TEST_KILL_AFTER_STEP="_s + QString::number(step)}, 120000);
        completed = killed.exitCode != -1;
        if (completed) {
            // Past the last step: the run went through and installed the package.
            EXPECT_EQ(killed.exitCode, 0) << killed.err.toStdString();
            EXPECT_NE(contentOf(pluginDir), before);
        } else {
            ++kills;
            // Reading leaves it for a command that writes.
            const test::CliResult read = test::runCli(list, {}, 120000);
            EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
            EXPECT_TRUE(read.err.contains("did not end")) << read.err.toStdString();
            EXPECT_TRUE(QFileInfo::exists(journal));
        }
        const test::CliResult next = test::runCli(restoreNothing(), {}, 120000);
        EXPECT_EQ(next.err.contains("was cut off"), !completed) << next.err.toStdString();
        if (!completed) {
            EXPECT_EQ(contentOf(pluginDir), before);
        }
        EXPECT_FALSE(QFileInfo::exists(journal));
        EXPECT_EQ(test::filesBelow(temp), QStringList());
        EXPECT_EQ(findFiles(m_dir.path(), u"*.quillon-tmp"_s), QStringList());
    }
    EXPECT_TRUE(completed);
    // The journal, the copy of the old file and the new file: at least three places to die.
    EXPECT_GE(kills, 3);
}

// A second program started while an installation runs (halted right after its journal was
// written) neither undoes it nor installs beside it; the first then ends as if alone.
TEST_F(CliInstallJournal, ALiveInstallationIsLeftAlone) {
    resetPlugin();
    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(u"WINEPREFIX"_s);
    env.insert(u"QUILLON_TEST_STOP_AFTER_STEP"_s, u"1"_s);
    first.setProcessEnvironment(env);
    first.setReadChannel(QProcess::StandardError);
    first.start(QString::fromUtf8(QUILLON_CLI_PATH), update());
    ASSERT_TRUE(first.waitForStarted());
    // It says so, then stops itself, once the journal is written.
    QByteArray said;
    while (!said.contains("halted after install step") && first.waitForReadyRead(120000))
        said += first.readAllStandardError();
    ASSERT_TRUE(said.contains("halted after install step")) << "the installation never reached its journal";
    ASSERT_TRUE(QFileInfo::exists(journal));
    const QStringList scratch = test::filesBelow(temp);

    const struct {
        const char* name;
        QStringList arguments;
        const char* says;
    } others[] = {
        {"list", command({u"list"_s}), "did not end"},
        {"dry run", command({u"update"_s, u"--install"_s, u"--all"_s, u"--dry-run"_s}), "did not end"},
        {"restore", restoreNothing(), ""},
        {"second installation", update(), "another Quillon program is installing"},
    };
    for (const auto& other : others) {
        SCOPED_TRACE(other.name);
        const test::CliResult run = test::runCli(other.arguments, {}, 120000);
        EXPECT_FALSE(run.err.contains("was cut off")) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(other.says) || run.out.contains(other.says)) << run.err.toStdString();
        EXPECT_TRUE(QFileInfo::exists(journal));
        EXPECT_EQ(test::filesBelow(temp), scratch);
    }

    ::kill(static_cast<pid_t>(first.processId()), SIGCONT);
    ASSERT_TRUE(first.waitForFinished(120000));
    EXPECT_EQ(first.exitCode(), 0) << first.readAllStandardError().toStdString();
    EXPECT_NE(contentOf(pluginDir), before);
    EXPECT_FALSE(QFileInfo::exists(journal));
}

// Journals no installation of ours left: one that names a folder outside the installation's
// trees is set aside untouched; one whose undo fails stays, and blocks installations (with a
// message) until an undo succeeds.
TEST_F(CliInstallJournal, JournalsThatAreNoCleanLeftover) {
    const QString home = m_dir.path() + u"/home"_s;
    const QMap<QString, QByteArray> homeFiles{{u"Documents/letter.txt"_s, "dear"}, {u".profile"_s, "PATH=x"}};
    const QString undo = temp + u"/inst_sampack_undo"_s;
    const struct {
        const char* name;
        QString itemDir;
        QString scratch;
        QString undoFolder;
    } forged[] = {
        {"the home folder as the item's", home, temp + u"/inst_sampack"_s, undo},
        {"the home folder as scratch", pluginDir, home + u"/Documents"_s, undo},
        {"the home folder as the undo copies", pluginDir, temp + u"/inst_sampack"_s, home},
    };
    for (const auto& f : forged) {
        SCOPED_TRACE(f.name);
        resetPlugin();
        for (auto file = homeFiles.cbegin(); file != homeFiles.cend(); ++file)
            ASSERT_TRUE(test::writeFile(home + u'/' + file.key(), file.value()));
        ASSERT_TRUE(test::writeFile(journal, "[Installation]\nItemDir=" + f.itemDir.toUtf8() +
                                                 "\nUndo=" + f.undoFolder.toUtf8() +
                                                 "\n[Files]\n0=0|.profile\n1=0|"
                                                 "Documents/letter.txt\n[Scratch]\n0=" +
                                                 f.scratch.toUtf8() + "\n"));
        const test::CliResult run = test::runCli(update(), {}, 120000);
        EXPECT_TRUE(run.err.contains("not Quillon's own")) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("put back")) << run.err.toStdString();
        for (auto file = homeFiles.cbegin(); file != homeFiles.cend(); ++file)
            EXPECT_EQ(test::readFile(home + u'/' + file.key()), file.value()) << file.key().toStdString();
        EXPECT_FALSE(QFileInfo::exists(journal));
        EXPECT_TRUE(QFileInfo::exists(journal + u".refused"_s));
        // Set aside, it stands in the way of nothing.
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_NE(contentOf(pluginDir), before);
    }

    // An old file whose folder is gone cannot be put back.
    resetPlugin();
    ASSERT_TRUE(test::writeFile(undo + u"/gone/old.dll"_s, "the old file"));
    ASSERT_TRUE(test::writeFile(journal, "[Installation]\nItemDir=" + pluginDir.toUtf8() +
                                             "\nUndo=" + undo.toUtf8() + "\n[Files]\n0=1|gone/old.dll\n"));
    const test::CliResult blocked = test::runCli(update(), {}, 120000);
    EXPECT_TRUE(blocked.err.contains("could not be put back")) << blocked.err.toStdString();
    EXPECT_FALSE(blocked.err.contains("were put back")) << blocked.err.toStdString();
    EXPECT_TRUE(blocked.out.contains("not undone yet") || blocked.err.contains("not undone yet"))
        << blocked.out.toStdString() << blocked.err.toStdString();
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_EQ(contentOf(pluginDir), before);
    EXPECT_TRUE(QFileInfo::exists(journal));

    // Once the way is clear, the next start puts it back.
    ASSERT_TRUE(QDir().mkpath(pluginDir + u"/gone"_s));
    const test::CliResult retried = test::runCli(restoreNothing(), {}, 120000);
    EXPECT_TRUE(retried.err.contains("were put back")) << retried.err.toStdString();
    EXPECT_EQ(test::readFile(pluginDir + u"/gone/old.dll"_s), "the old file");
    EXPECT_FALSE(QFileInfo::exists(journal));
}

} // namespace
} // namespace quillon
