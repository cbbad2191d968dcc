// quillon-cli check on the sample installation against the fixture server with a catalogue
// page of its own: every state, the database overrides, a remembered version, the name learned
// from the catalogue, and the failures.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include "app/common/checksums.h"
#include "support/fixture_server.h"
#include "support/test_support.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

const QString kSamplePrefix = QStringLiteral(QUILLON_BUILD_DIR "/sample/prefix");
const QString kServer = test::FixtureServerProcess::program();
using FixtureServer = test::FixtureServerProcess;

struct CheckOutput {
    test::CliResult result;
    QJsonObject json;
    QJsonObject byFile(const QString& fileName) const {
        for (const QJsonValue& value : json.value(u"items"_s).toArray()) {
            if (QFileInfo(value.toObject().value(u"path"_s).toString()).fileName() == fileName)
                return value.toObject();
        }
        return {};
    }
};

class CliCheck : public ::testing::Test {
protected:
    void SetUp() override {
        QUILLON_SKIP_UNLESS(QFileInfo::exists(kSamplePrefix + u"/user.reg"_s) && QFileInfo::exists(kServer),
                            "the sample installation or the fixture server was not built");
        content = m_dir.path() + u"/content"_s;
        settings = m_dir.path() + u"/settings"_s;
        page(u"whatsnew.htm"_s, "<p>Total Commander 11.51 is now available for Windows</p>");
        page(u"download.htm"_s, "<h1>Download version 11.51 of Total Commander</h1>");
    }
    void page(const QString& name, const QByteArray& text) {
        ASSERT_TRUE(test::writeFile(content + u'/' + name, text));
    }
    // Quillon.ini pointing the sites at the server, with more sections when given.
    void settingsFile(const QString& base, const QString& catalogue, const QByteArray& more = {}) {
        ASSERT_TRUE(test::writeFile(settings + u"/Quillon.ini"_s, "[Sites]\nCatalogue=" + catalogue.toUtf8() +
                                                                      "\nTotalCommander=" + base.toUtf8() +
                                                                      "\n" + more));
    }
    CheckOutput run(const QString& command) const {
        CheckOutput r;
        r.result = test::runCli(
            {u"--wine-prefix"_s, kSamplePrefix, u"--settings-dir"_s, settings, command, u"--json"_s});
        r.json = QJsonDocument::fromJson(r.result.out).object();
        return r;
    }

    QTemporaryDir m_dir;
    QString content;
    QString settings;
};

TEST_F(CliCheck, EveryStateAndEveryOverride) {
    page(u"get_plugins_list.php"_s, "<html><body><pre>"
                                    "intro|An unrelated first record|0.1|01.01.2020|util|x32| "
                                    "sampack|Sample Packer Online-|2.2|15.09.2024|packer|x64|x64| "
                                    "samplefs|Sample FS|3.3|15.09.2024|fsplugin|x64| "
                                    "samview|Viewer Packer|9.9|15.09.2024|packer|x64| "
                                    "samview|Sample Viewer|ver 1.8 (x64)|01.01.2020|editors|x64| "
                                    "samfield|Sample Fields|15.10.2024|15.10.2024|content|x64| "
                                    "</pre></body></html>");
    ASSERT_TRUE(test::writeFile(settings + u"/userdb.ini"_s,
                                "[demoarc.wcx]\nForceLatestVer=1.5\n"
                                "[samview.wlx64]\nForcePlugType=util\nOptions=1\n"));
    FixtureServer server(content);
    ASSERT_FALSE(server.base().isEmpty());

    // The row's path as the program reports it, for the remembered version.
    settingsFile(server.base(), server.base());
    const CheckOutput listed = run(u"list"_s);
    const QString fsPath = listed.byFile(u"samplefs.wfx64"_s).value(u"path"_s).toString();
    ASSERT_TRUE(QFileInfo(fsPath).isFile()) << listed.result.err.toStdString();
    // Keyed as the Windows program stores it, so one settings file serves both.
    const QString tcDir = listed.json.value(u"totalCommander"_s).toObject().value(u"dir"_s).toString();
    ASSERT_TRUE(fsPath.startsWith(tcDir)) << tcDir.toStdString();
    const QString windowsKey =
        u"%COMMANDER_PATH%\\"_s + QDir(tcDir).relativeFilePath(fsPath).replace(u'/', u'\\');
    settingsFile(server.base(), server.base(),
                 "[OverridePlugVer]\n" + windowsKey.toUtf8() + "=" + QByteArray::number(*FileCrc32(fsPath)) +
                     "|3.3\n");

    const CheckOutput checked = run(u"check"_s);
    ASSERT_EQ(checked.result.exitCode, 0) << checked.result.err.toStdString();
    struct Expected {
        QString file, name, installed, latest, state;
    };
    const Expected expected[] = {
        {u"TOTALCMD64.EXE"_s, {}, u"11.51"_s, u"11.51"_s, u"ok"_s},
        {u"sampack.wcx64"_s, u"Sample Packer Online"_s, u"2.1"_s, u"2.2"_s, u"update"_s},
        // ForceLatestVer: any record matches, no release date is asked for.
        {u"demoarc.wcx"_s, {}, u"1.0.3"_s, u"1.5"_s, u"update"_s},
        // The version confirmed for this very file.
        {u"samplefs.wfx64"_s, {}, u"3.3"_s, u"3.3"_s, u"ok"_s},
        // A utility by ForcePlugType: the packer record is passed over; Options=1 takes the
        // older release date.
        {u"samview.wlx64"_s, u"Sample Viewer"_s, u"1.7"_s, u"1.8"_s, u"update"_s},
        // A date as the latest version: compared with the file's build day.
        {u"samfield.wdx64"_s, {}, u"01.06.2024"_s, u"15.10.2024"_s, u"update"_s},
        {u"tcplugindb"_s, {}, {}, u"-"_s, u"unknown"_s},
    };
    for (const Expected& e : expected) {
        const QJsonObject item = checked.byFile(e.file);
        ASSERT_FALSE(item.isEmpty()) << e.file.toStdString();
        if (!e.name.isEmpty()) {
            EXPECT_EQ(item.value(u"name"_s).toString(), e.name) << e.file.toStdString();
        }
        if (!e.installed.isEmpty()) {
            EXPECT_EQ(item.value(u"installed"_s).toString(), e.installed) << e.file.toStdString();
        }
        EXPECT_EQ(item.value(u"latest"_s).toString(), e.latest) << e.file.toStdString();
        EXPECT_EQ(item.value(u"state"_s).toString(), e.state) << e.file.toStdString();
        EXPECT_EQ(item.value(u"checked"_s).toBool(), e.state == u"update"_s) << e.file.toStdString();
    }
    const QJsonObject counts = checked.json.value(u"counts"_s).toObject();
    EXPECT_EQ(counts.value(u"update"_s).toInt(), 4);
    EXPECT_TRUE(checked.json.value(u"errors"_s).toArray().isEmpty());

    // The learned name is the row's name from the next list on.
    const CheckOutput again = run(u"list"_s);
    EXPECT_EQ(again.byFile(u"sampack.wcx64"_s).value(u"name"_s).toString(), u"Sample Packer Online"_s);
    EXPECT_TRUE(test::readFile(settings + u"/upluginfo.ini"_s).contains("OnlineName=Sample Packer Online"));
}

// A catalogue name with escape sequences (retitle the window, clear the screen) is printed as
// text by check and by every later list.
TEST_F(CliCheck, EscapeSequencesInNamesAreShownNotObeyed) {
    page(u"get_plugins_list.php"_s,
         "<html><body><pre>intro|Takes the markup before it|0.1|01.01.2020|util|x32| "
         "sampack|Sample Packer\x1b]0;owned\x07 "
         "Online\x1b[2J-|2.2|15.09.2024|packer|x64|x64| "
         "</pre></body></html>");
    FixtureServer server(content);
    ASSERT_FALSE(server.base().isEmpty());
    settingsFile(server.base(), server.base());
    for (const QString& command : {u"check"_s, u"list"_s}) {
        const test::CliResult result =
            test::runCli({u"--wine-prefix"_s, kSamplePrefix, u"--settings-dir"_s, settings, command});
        const QByteArray output = result.out + result.err;
        EXPECT_TRUE(output.contains("Sample Packer\\x1B]0;owned\\x07 Online\\x1B[2J"))
            << output.toStdString();
        EXPECT_FALSE(output.contains('\x1b')) << command.toStdString();
        EXPECT_FALSE(output.contains('\x07')) << command.toStdString();
    }
}

TEST_F(CliCheck, FailuresWithoutACatalogueRecord) {
    page(u"get_plugins_list.php"_s, "<html><body>maintenance</body></html>");
    page(u"big/get_plugins_list.php"_s, QByteArray(1536 * 1024, 'x'));
    page(u"slow/get_plugins_list.php"_s, QByteArray(32 * 1024, 'x'));
    FixtureServer server(content);
    ASSERT_FALSE(server.base().isEmpty());
    struct Case {
        const char* name;
        QString catalogue;
        QByteArray message;
        QByteArray more;
    };
    const Case cases[] = {
        {"catalogue answers 404",
         server.base() + u"fault/404/"_s,
         "Error: Host (127.0.0.1) cannot be found.",
         {}},
        {"nobody listens",
         u"http://127.0.0.1:1/"_s,
         "Error: No internet connection / invalid proxy settings.",
         {}},
        {"a page without records", server.base(), "gave no record", {}},
        {"a page over the limit", server.base() + u"big/"_s, "is larger than 1 MiB",
         "[Limits]\nMaxPageMiB=1\n"},
        // 64 bytes every 50 ms keep well inside the two-second read time-out even when a loaded
        // machine stalls the server for a second; the page's deadline ends it.
        {"a trickling page", server.base() + u"fault/trickle/50/slow/"_s, "did not arrive within 15 seconds",
         "[Configuration]\nHttpTimeOut=1500\n"},
    };
    for (const Case& c : cases) {
        settingsFile(server.base(), c.catalogue, c.more);
        const CheckOutput checked = run(u"check"_s);
        EXPECT_EQ(checked.result.exitCode, 1) << c.name;
        EXPECT_TRUE(checked.result.err.contains(c.message))
            << c.name << ": " << checked.result.err.toStdString();
        // The rows stay as the list made them.
        EXPECT_EQ(checked.byFile(u"sampack.wcx64"_s).value(u"state"_s).toString(), u"unknown"_s) << c.name;
        EXPECT_FALSE(checked.json.value(u"errors"_s).toArray().isEmpty()) << c.name;
    }
}

TEST_F(CliCheck, OnlyTotalCommanderAskedAndItsSiteFailsIsAFailedRun) {
    FixtureServer server(content);
    ASSERT_FALSE(server.base().isEmpty());
    const QByteArray pluginsOff = "[Plugins]\nDisabled=True\n[Configuration]\nNoSelfUpdate=True\n";
    settingsFile(u"http://127.0.0.1:1/"_s, server.base(), pluginsOff);
    const CheckOutput checked = run(u"check"_s);
    EXPECT_EQ(checked.result.exitCode, 1) << checked.result.err.toStdString();
    EXPECT_TRUE(checked.result.err.contains("No internet connection")) << checked.result.err.toStdString();
    EXPECT_FALSE(checked.json.value(u"errors"_s).toArray().isEmpty());

    // The same run against a site that answers succeeds.
    settingsFile(server.base(), server.base(), pluginsOff);
    EXPECT_EQ(run(u"check"_s).result.exitCode, 0);
}

TEST_F(CliCheck, InterruptStopsTheCheckWhileThePageIsAwaited) {
    page(u"get_plugins_list.php"_s,
         "<html><body><pre>sampack|Sample|2.2|15.09.2024|packer|x64|x64| </pre></body></html>");
    FixtureServer server(content);
    ASSERT_FALSE(server.base().isEmpty());
    settingsFile(server.base(), server.base() + u"fault/slow/20000/"_s);
    QProcess cli;
    cli.start(QStringLiteral(QUILLON_CLI_PATH),
              {u"--wine-prefix"_s, kSamplePrefix, u"--settings-dir"_s, settings, u"check"_s, u"--json"_s});
    ASSERT_TRUE(cli.waitForStarted());
    ASSERT_TRUE(server.waitForRequest(u"/fault/slow/"_s)) << "the catalogue was never asked for";
    ::kill(static_cast<pid_t>(cli.processId()), SIGINT);
    // Well before the page's answer, twenty seconds on.
    const bool ended = cli.waitForFinished(10000);
    if (!ended)
        cli.kill();
    ASSERT_TRUE(ended);
    EXPECT_EQ(cli.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(cli.readAllStandardError().contains("cancelled"));
    EXPECT_TRUE(cli.readAllStandardOutput().isEmpty());
}

} // namespace
} // namespace quillon
