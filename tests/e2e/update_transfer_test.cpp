// quillon-cli update against the fixture server's file-host routes and faults: links that do
// not point at the file (a mirror's number, rewritten and page-held links), answers that are
// no file, redirect chains, and a run cut short by Ctrl+C.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

#include "support/fixture_server.h"
#include "support/sample_copy_test.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kSamplePrefix = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
const QString kSampack = u"sampack.wcx64"_s;
const QString kSamfield = u"samfield.wdx64"_s;
const QString kTotalCmd = u"TOTALCMD64.EXE"_s;

class CliUpdateTransfer : public test::SampleCopyTest {
protected:
    void SetUp() override {
        test::SampleCopyTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // The generated site plus what only these tests serve.
        const QString content = m_dir.path() + u"/content"_s;
        ASSERT_TRUE(test::copyTree(test::FixtureServerProcess::generatedContent(), content));
        ASSERT_TRUE(QDir().mkpath(content + u"/mirror"_s));
        ASSERT_TRUE(QFile::copy(content + u"/packages/sampack.zip"_s,
                                content + u"/mirror/762.zip"_s)); // the mirror's number for it
        // A newer plugin database on offer: any file will do, the reload is what counts.
        const QString list = content + u"/get_plugins_list.php"_s;
        QByteArray page = test::readFile(list);
        ASSERT_TRUE(page.contains("</pre>"));
        page.replace("</pre>", " tcplugindb|Plugin database|31.12.2030|31.12.2030|database|x32|x32|</pre>");
        ASSERT_TRUE(test::writeFile(list, page));
        ASSERT_TRUE(
            QFile::copy(content + u"/packages/sampack.zip"_s, content + u"/packages/tcplugindb.zip"_s));
        server = std::make_unique<test::FixtureServerProcess>(content);
        ASSERT_FALSE(server->base().isEmpty());
        pluginFile = findFiles(prefix, kSampack).value(0);
        ASSERT_FALSE(pluginFile.isEmpty());
    }

    // sitesExtra: further [Sites] lines; links: DirectLink per item file name.
    void configure(const QString& sitesExtra, const QList<QPair<QString, QString>>& links) {
        const QByteArray base = server->base().toUtf8();
        ASSERT_TRUE(test::writeFile(
            settings + u"/Quillon.ini"_s,
            settingsText(server->base(), "Mirror=" + base + "mirror/\n" + sitesExtra.toUtf8() + "\n")));
        QByteArray userDb;
        for (const auto& [file, link] : links)
            userDb += "[" + file.toUtf8() + "]\r\nDirectLink=" + link.toUtf8() + "\r\n";
        ASSERT_TRUE(test::writeFile(settings + u"/userdb.ini"_s, userDb));
    }
    QStringList arguments(const QStringList& files) const {
        return QStringList{u"--wine-prefix"_s, prefix,         u"--settings-dir"_s, settings,
                           u"update"_s,        u"--install"_s, u"--yes"_s,          u"--json"_s} +
               files;
    }
    QStringList downloaded() const { return QDir(downloads).entryList(QDir::Files | QDir::Hidden); }
    // The package's history.txt replaces the sample's.
    bool sampackInstalled() const {
        const QString history = QFileInfo(pluginFile).absolutePath() + u"/history.txt"_s;
        const QString original = kSamplePrefix + history.mid(prefix.size());
        return test::readFile(history) != test::readFile(original);
    }

    QString pluginFile;
    std::unique_ptr<test::FixtureServerProcess> server;
};

struct Outcome {
    int exitCode = -1;
    QJsonObject json;
    QJsonArray requests;
    QString diagnostics;
};

// For quillon-cli started here rather than through test::runCli: the same clean environment.
QProcessEnvironment cliEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"WINEPREFIX", "COMMANDER_PATH", "COMMANDER_EXE", "COMMANDER_INI",
                             "COMMANDER_DRIVE", "LC_ALL", "LANGUAGE"})
        env.remove(QString::fromLatin1(name));
    env.insert(u"LANG"_s, u"C.UTF-8"_s);
    return env;
}

Outcome outcomeOf(const test::CliResult& result) {
    Outcome outcome;
    outcome.exitCode = result.exitCode;
    outcome.json = QJsonDocument::fromJson(result.out).object();
    outcome.requests = outcome.json.value(u"requests"_s).toArray();
    outcome.diagnostics = QString::fromUtf8(result.out + "\n--- stderr\n" + result.err);
    return outcome;
}

TEST_F(CliUpdateTransfer, LinksThatDoNotPointAtTheFile) {
    const struct {
        const char* name;
        const char* link; // "@" stands for the server's address
        const char* sites;
        bool installed;
        bool fetched;       // the file's transfer began
        const char* reason; // part of the failure's reason
        const char* stored; // the file left in the download folder; "": none
    } cases[] = {
        {"mirror number, fetched by a form post", "$762", "", true, true, "", "wcx64_Sample_Packer.zip"},
        {"file-host link rewritten to get.php", "@d/sampack.zip", "RuleAHosts=127.0.0.1", true, true, "",
         "sampack.zip"},
        // The page sets a cookie that the file wants back.
        {"file-host page holding the link", "@host/sampack.zip", "RuleBHosts=127.0.0.1", true, true, "",
         "sampack.zip"},
        {"the same page without the rule", "@host/sampack.zip", "", false, false, "web page", ""},
        {"a web page instead of the file", "@fault/html/download.php?id=sampack", "", false, false,
         "web page", ""},
        {"connection dropped mid-file", "@fault/drop/download.php?id=sampack", "", false, true, "", ""},
        {"35 redirects", "@fault/redirect/35/download.php?id=sampack", "", true, true, "", "sampack.zip"},
        {"36 redirects", "@fault/redirect/36/download.php?id=sampack", "", false, false,
         "more than 35 redirects", ""},
        // 320 bytes a second, where the settings ask for 1 KiB.
        {"a trickling file", "@fault/trickle/200/download.php?id=sampack",
         "[Limits]\nLowSpeedBytes=1024\nLowSpeedSeconds=1", false, true, "bytes a second arrived over 1 s",
         ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A fresh installation and an empty download folder for every case.
        QDir(prefix).removeRecursively();
        QDir(downloads).removeRecursively();
        ASSERT_TRUE(test::copyTree(kSamplePrefix, prefix));
        ASSERT_TRUE(QDir().mkpath(downloads));
        configure(QString::fromUtf8(c.sites),
                  {{kSampack, QString::fromUtf8(c.link).replace(u'@', server->base())}});

        const test::CliResult result = test::runCli(arguments({kSampack}), {}, 60000);
        const Outcome outcome = outcomeOf(result);
        ASSERT_EQ(outcome.requests.size(), 1) << outcome.diagnostics.toStdString();
        const QJsonObject request = outcome.requests.first().toObject();
        EXPECT_EQ(request.value(u"result"_s).toString(), c.installed ? u"installed"_s : u"failed"_s)
            << outcome.diagnostics.toStdString();
        EXPECT_TRUE(request.value(u"reason"_s).toString().contains(QString::fromUtf8(c.reason)))
            << request.value(u"reason"_s).toString().toStdString();
        EXPECT_EQ(result.err.contains("[1/1] fetching "), c.fetched) << result.err.toStdString();
        EXPECT_EQ(outcome.exitCode, c.installed ? 0 : 1);
        EXPECT_EQ(sampackInstalled(), c.installed);
        EXPECT_EQ(downloaded(), *c.stored ? QStringList{QString::fromUtf8(c.stored)} : QStringList());
        if (!c.installed) {
            EXPECT_TRUE(findFiles(prefix, u"backup_*_QN.zip"_s).isEmpty());
        }
    }
}

TEST_F(CliUpdateTransfer, DatabaseUpdateReloadsTheListOnlyWhenAnsweredYes) {
    configure({}, {});
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        QStringList args{u"--wine-prefix"_s, prefix,      u"--settings-dir"_s, settings,
                         u"update"_s,        u"--json"_s, u"tcplugindb"_s};
        if (yes)
            args.append(u"--yes"_s);
        const test::CliResult result = test::runCli(args, {}, 60000);
        const Outcome outcome = outcomeOf(result);
        ASSERT_EQ(outcome.requests.size(), 1) << outcome.diagnostics.toStdString();
        EXPECT_EQ(outcome.requests.first().toObject().value(u"result"_s).toString(), u"installed"_s);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.diagnostics.toStdString();
        EXPECT_TRUE(QFileInfo::exists(settings + u"/database.dat"_s));
        // The question is asked either way; only Yes loads and checks the list again.
        EXPECT_TRUE(result.err.contains("reload the list")) << result.err.toStdString();
        EXPECT_EQ(outcome.json.contains(u"reload"_s), yes) << outcome.diagnostics.toStdString();
        if (yes) {
            const QJsonObject reload = outcome.json.value(u"reload"_s).toObject();
            EXPECT_GE(reload.value(u"items"_s).toInt(), 8);
            EXPECT_GE(reload.value(u"updatable"_s).toInt(), 1);
            EXPECT_LE(reload.value(u"updatable"_s).toInt(), reload.value(u"items"_s).toInt());
        }
        QFile::remove(settings + u"/database.dat"_s);
    }
    EXPECT_FALSE(outcomeOf(test::runCli({u"--wine-prefix"_s, prefix, u"--settings-dir"_s, settings,
                                         u"update"_s, u"--json"_s, u"--yes"_s, kSampack},
                                        {}, 60000))
                     .json.contains(u"reload"_s));
}

// A pseudo-terminal for a child's stderr: the child opens the slave by its name, the test reads
// the master.
class PseudoTerminal {
public:
    PseudoTerminal() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master >= 0 && (grantpt(m_master) != 0 || unlockpt(m_master) != 0)) {
            close(m_master);
            m_master = -1;
        }
    }
    ~PseudoTerminal() {
        if (m_master >= 0)
            close(m_master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return m_master >= 0; }
    QString slaveName() const { return QString::fromLocal8Bit(ptsname(m_master)); }
    // What arrived so far; the child blocks once the terminal's buffer is full.
    void drain() {
        char buffer[4096];
        for (ssize_t n; (n = read(m_master, buffer, sizeof buffer)) > 0;)
            m_received.append(buffer, n);
    }
    const QByteArray& received() const { return m_received; }

private:
    int m_master = -1;
    QByteArray m_received;
};

TEST_F(CliUpdateTransfer, ProgressIsOneRewrittenLineOnATerminalAndTwoLinesPerFileElsewhere) {
    // Small pieces with short pauses: the file's progress passes through many percentages.
    configure({}, {{kSampack, server->base() + u"fault/trickle/2/download.php?id=sampack"_s}});
    for (const bool terminal : {true, false}) {
        SCOPED_TRACE(terminal);
        QDir(prefix).removeRecursively();
        ASSERT_TRUE(test::copyTree(kSamplePrefix, prefix));
        // The first half's package stays: the second would take the next free name.
        QDir(downloads).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(downloads));
        PseudoTerminal tty;
        if (terminal && !tty.ok()) {
            // A container without pseudo-terminals; the pipe half still runs, but CI has them.
            ASSERT_FALSE(test::inCi()) << "no pseudo-terminal here";
            std::cerr << "no pseudo-terminal here: the terminal half is not checked\n";
            continue;
        }
        QProcess cli;
        cli.setProcessEnvironment(cliEnvironment());
        if (terminal)
            cli.setStandardErrorFile(tty.slaveName());
        cli.start(QStringLiteral(QUILLON_CLI_PATH), arguments({kSampack}));
        ASSERT_TRUE(cli.waitForStarted(10000));
        QElapsedTimer timer;
        timer.start();
        while (!cli.waitForFinished(50) && timer.elapsed() < 60000)
            tty.drain();
        tty.drain();
        ASSERT_EQ(cli.state(), QProcess::NotRunning) << "quillon-cli did not end";
        EXPECT_EQ(cli.exitCode(), 0);
        const QByteArray err = terminal ? tty.received() : cli.readAllStandardError();

        const qsizetype updates = err.count("\r[1/1] sampack.zip ");
        if (terminal) {
            // Rewritten in place, never a line of its own; wiped at the end so the report
            // does not start behind it.
            EXPECT_GT(updates, 3) << err.toStdString();
            EXPECT_FALSE(err.contains("[1/1] fetching")) << err.toStdString();
            EXPECT_TRUE(err.endsWith("\r\x1b[K")) << err.toStdString();
        } else {
            EXPECT_EQ(updates, 0);
            EXPECT_FALSE(err.contains('\r'));
            EXPECT_TRUE(err.contains("[1/1] fetching sampack.zip (")) << err.toStdString();
            EXPECT_TRUE(err.contains("[1/1] done sampack.zip (total 100%)\n")) << err.toStdString();
            EXPECT_EQ(err.count("[1/1] "), 2) << err.toStdString();
        }
    }
}

// Lines of a process's stderr, read as they come.
class LineReader {
public:
    explicit LineReader(QProcess& process) : m_process(process) {}
    // Waits for a line that starts with prefix; false when the process ended or time ran out.
    bool waitFor(const QString& prefix, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            while (m_process.canReadLine()) {
                const QString line = QString::fromUtf8(m_process.readLine());
                m_seen += line;
                if (line.startsWith(prefix))
                    return true;
            }
            if (m_process.state() != QProcess::Running)
                return false;
            m_process.waitForReadyRead(200);
        }
        return false;
    }
    const QString& seen() const { return m_seen; }

private:
    QProcess& m_process;
    QString m_seen;
};

TEST_F(CliUpdateTransfer, InterruptDuringTheSecondOfThreeFiles) {
    // One file after the other, as with ParallelDownloads=1: Total Commander comes first; the
    // plugin's file trickles in; the third row waits.
    configure({}, {{kSampack, server->base() + u"fault/trickle/500/download.php?id=sampack"_s}});
    const QString ini = settings + u"/Quillon.ini"_s;
    ASSERT_TRUE(test::writeFile(
        ini, test::readFile(ini).replace("[Configuration]\n", "[Configuration]\nParallelDownloads=1\n")));
    const QByteArray fieldsBefore = test::readFile(findFiles(prefix, kSamfield).value(0));

    QProcess cli;
    cli.setProcessEnvironment(cliEnvironment());
    cli.setReadChannel(QProcess::StandardError);
    cli.start(QStringLiteral(QUILLON_CLI_PATH), arguments({kTotalCmd, kSampack, kSamfield}));
    ASSERT_TRUE(cli.waitForStarted(10000));
    LineReader err(cli);
    const bool started = err.waitFor(u"[2/3] fetching"_s, 60000);
    if (started)
        ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    if (!cli.waitForFinished(30000)) {
        cli.kill();
        cli.waitForFinished(5000);
        FAIL() << "quillon-cli did not end after the interrupt\n" << err.seen().toStdString();
    }
    ASSERT_TRUE(started) << err.seen().toStdString() << cli.readAllStandardError().toStdString();
    ASSERT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 1);

    const QByteArray out = cli.readAllStandardOutput();
    const QJsonObject json = QJsonDocument::fromJson(out).object();
    const QJsonArray requests = json.value(u"requests"_s).toArray();
    ASSERT_EQ(requests.size(), 3) << out.toStdString() << err.seen().toStdString();
    const QString expected[] = {u"installed"_s, u"cancelled"_s, u"cancelled"_s};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(requests.at(i).toObject().value(u"result"_s).toString(), expected[i])
            << i << out.toStdString();
    EXPECT_EQ(json.value(u"counts"_s).toObject().value(u"cancelled"_s).toInt(), 2);
    // The cut-off plugin package left nothing behind; the third was never fetched or installed.
    const QStringList files = downloaded();
    ASSERT_EQ(files.size(), 1) << files.join(u' ').toStdString();
    EXPECT_FALSE(files.first().contains(u"sampack"_s, Qt::CaseInsensitive));
    EXPECT_FALSE(sampackInstalled());
    EXPECT_EQ(test::readFile(findFiles(prefix, kSamfield).value(0)), fieldsBefore);
}

} // namespace
} // namespace quillon
