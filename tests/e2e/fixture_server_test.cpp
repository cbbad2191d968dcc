// The fixture web server as the demo and the other end-to-end tests use it: started as a
// program on a free port, asked with a plain HTTP client.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>

#include "support/test_support.h"
#include "updatecheck/tc_release.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QString fromEnvironment(const char* name, const QString& fallback) {
    const QString value = qEnvironmentVariable(name);
    return value.isEmpty() ? fallback : value;
}

QString serverProgram() {
    return fromEnvironment("QUILLON_FIXTURE_SERVER",
                           QStringLiteral(QUILLON_BUILD_DIR "/tools/fixture-server/quillon-fixture-server"));
}

QString contentDir() {
    return fromEnvironment("QUILLON_FIXTURE_CONTENT",
                           QStringLiteral(QUILLON_BUILD_DIR "/tools/fixture-server/content"));
}

// A running server; stopped with SIGTERM when it goes.
class ServerProcess {
public:
    explicit ServerProcess(const QStringList& arguments) {
        m_process.setProgram(serverProgram());
        m_process.setArguments(arguments);
        m_process.start();
        if (!m_process.waitForStarted(10000))
            return;
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(10000);
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        const QString prefix = u"listening on "_s;
        if (line.startsWith(prefix))
            m_base = line.mid(prefix.size());
    }
    ~ServerProcess() { stop(); }
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // "http://127.0.0.1:PORT/", empty when the server did not come up.
    const QString& base() const { return m_base; }
    int port() const { return m_base.section(u':', 2).section(u'/', 0, 0).toInt(); }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
    QString m_base;
};

class FixtureServer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(QFileInfo(serverProgram()).isExecutable())
            << "build quillon-fixture-server first: " << serverProgram().toStdString();
        ASSERT_TRUE(QFileInfo(contentDir()).isDir())
            << "no fixture content in " << contentDir().toStdString();
        s_server = std::make_unique<ServerProcess>(QStringList{u"--content"_s, contentDir()});
        ASSERT_FALSE(s_server->base().isEmpty()) << "the server did not report its address";
    }
    static void TearDownTestSuite() { s_server.reset(); }

    void SetUp() override {
        if (!s_server || s_server->base().isEmpty())
            GTEST_SKIP() << "no server";
    }

    static httplib::Client client() {
        httplib::Client c("127.0.0.1", s_server->port());
        c.set_connection_timeout(5);
        c.set_read_timeout(10);
        return c;
    }
    static QString base() { return s_server->base(); }
    static QString get(const std::string& path) {
        httplib::Client c = client();
        const httplib::Result result = c.Get(path);
        return result && result->status == 200 ? QString::fromLatin1(result->body) : QString();
    }

    static std::unique_ptr<ServerProcess> s_server;
};
std::unique_ptr<ServerProcess> FixtureServer::s_server;

TEST_F(FixtureServer, AnswersEachRoute) {
    struct Case {
        std::string path;
        int status;
        std::string startsWith; // of the body; "PK" a ZIP, "MZ" an executable
        std::string contentType;
    };
    const std::vector<Case> cases = {
        {"/get_plugins_list.php", 200, "<HEAD></HEAD><BODY><pre>sampack|", "text/html"},
        {"/download.php?id=sampack", 200, "PK", "application/zip"},
        {"/download.php?id=demoarc&pkg=x32&source=kwiloo", 200, "PK", "application/zip"},
        {"/download.php?id=totalcmd&pkg=x64", 200, "PK", "application/zip"},
        {"/download.php?id=samview", 404, "", ""},
        {"/download.php", 404, "", ""},
        {"/get_plugin_details.php?id=samplefs", 200, "<h1>Sample FS</h1>", "text/html"},
        {"/whatsnew.htm", 200, "<html>", "text/html"},
        {"/download.htm", 200, "<html>", "text/html"},
        {"/amazons3.php?country=de", 200, "<html>", "text/html"},
        {"/files/tcmd1151x32_64.exe", 200, "MZ", "application/octet-stream"},
        {"/no-such-page.htm", 404, "", ""},
        // File hosts: a rewritten link, and a page before the file.
        {"/get.php?file=sampack.zip&m", 200, "PK", "application/zip"},
        {"/get.php?file=nothing.zip", 404, "", ""},
        {"/get.php", 404, "", ""},
        {"/host/sampack.zip", 200, "<html>", "text/html"},
        {"/host/nothing.zip", 404, "", ""},
        {"/dl/sampack.zip", 403, "", ""}, // only after the page was seen
        // Nothing outside the content folder.
        {"/../../etc/passwd", 404, "", ""},
        {"/files/..%2f..%2fetc%2fpasswd", 404, "", ""},
        {"/download.php?id=..%2fget_plugins_list", 404, "", ""},
        {"/get_plugin_details.php?id=../whatsnew", 404, "", ""},
        {"/get.php?file=..%2fget_plugins_list.php", 404, "", ""},
        {"/host/..%2fget_plugins_list.php", 404, "", ""},
    };
    httplib::Client c = client();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.path);
        const httplib::Result result = c.Get(k.path);
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_EQ(result->status, k.status);
        if (k.status != 200)
            continue;
        EXPECT_EQ(result->body.substr(0, k.startsWith.size()), k.startsWith);
        EXPECT_EQ(result->get_header_value("Content-Type").substr(0, k.contentType.size()), k.contentType);
    }
}

TEST_F(FixtureServer, ReleasePagesAnnounceAPublicBetaOverTheInstalledFinal) {
    struct Case {
        bool doNotAcceptBeta;
        QString latest;
        bool update;
        bool accepted;
    };
    for (const Case& k : {Case{false, u"11.55Pß1"_s, true, true}, Case{true, u"11.51"_s, false, false}}) {
        SCOPED_TRACE(k.doNotAcceptBeta);
        TcReleaseLookup lookup;
        for (const QString& address : TcReleasePageAddresses(base(), k.doNotAcceptBeta)) {
            const QString text = get(address.mid(base().size() - 1).toStdString());
            ASSERT_FALSE(text.isEmpty()) << address.toStdString();
            ASSERT_TRUE(ParseTcReleasePage(address, text, base(), lookup));
        }
        const std::optional<TcReleaseDecision> decision =
            DecideTcRelease(u"11.51"_s, lookup.TcReleaseCandidates, k.doNotAcceptBeta);
        ASSERT_TRUE(decision.has_value());
        EXPECT_EQ(decision->LatestVersion, k.latest);
        EXPECT_EQ(decision->UpdateAvailable, k.update);
        EXPECT_EQ(decision->TcPreReleaseAccepted, k.accepted);
        if (!k.doNotAcceptBeta) {
            EXPECT_EQ(lookup.TcAnnouncedLink, base() + u"beta.php"_s);
        }
    }
    // The announced page links back here, to installers that are served.
    const QString beta = get("/beta.php");
    EXPECT_FALSE(beta.contains(u"@BASE@"_s));
    const QString installer = base() + u"files/tcmd1155b1x64.exe"_s;
    ASSERT_TRUE(beta.contains(installer));
    EXPECT_TRUE(get(installer.mid(base().size() - 1).toStdString()).startsWith(u"MZ"_s));
}

TEST_F(FixtureServer, ServesTheFaultsOfARealSite) {
    struct Case {
        std::string path;
        bool follow;
        bool answered; // false: the client sees a transport error
        int status;
        std::string startsWith;
    };
    const std::vector<Case> cases = {
        {"/fault/404/download.php?id=sampack", false, true, 404, "<html>"},
        {"/fault/500/get_plugins_list.php", false, true, 500, "<html>"},
        {"/fault/html/download.php?id=sampack", false, true, 200, "<html>"},
        {"/fault/slow/50/download.php?id=sampack", false, true, 200, "PK"},
        {"/fault/redirect/3/download.php?id=sampack", true, true, 200, "PK"},
        {"/fault/redirect/2/fault/404/whatsnew.htm", true, true, 404, "<html>"},
        {"/fault/redirect/3/download.php?id=sampack", false, true, 302, ""},
        {"/fault/redirect/0/whatsnew.htm", false, true, 200, "<html>"},
        // More hops than the client's limit of 20.
        {"/fault/redirect/25/whatsnew.htm", true, false, 0, ""},
        {"/fault/drop/download.php?id=sampack", false, false, 0, ""},
        // A dropped file that is not there is still a plain 404.
        {"/fault/drop/download.php?id=nothing", false, true, 404, "<html>"},
        {"/fault/unknown/whatsnew.htm", false, true, 404, "<html>"},
        {"/fault/slow/abc/whatsnew.htm", false, true, 400, "<html>"},
        {"/fault/trickle/1/download.php?id=sampack", false, true, 200, "PK"},
        {"/fault/trickle/1/download.php?id=nothing", false, true, 404, "<html>"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.path);
        httplib::Client c = client();
        c.set_follow_location(k.follow);
        const httplib::Result result = c.Get(k.path);
        ASSERT_EQ(static_cast<bool>(result), k.answered) << httplib::to_string(result.error());
        if (!result)
            continue;
        EXPECT_EQ(result->status, k.status);
        EXPECT_EQ(result->body.substr(0, k.startsWith.size()), k.startsWith);
    }
    // One hop at a time, the chain counts down to the file.
    httplib::Client c = client();
    const httplib::Result hop = c.Get("/fault/redirect/3/download.php?id=sampack");
    ASSERT_TRUE(hop);
    EXPECT_EQ(hop->get_header_value("Location"), "/fault/redirect/2/download.php?id=sampack");
}

TEST_F(FixtureServer, SlowAnswerOutlastsAShortClientTimeout) {
    httplib::Client c = client();
    c.set_read_timeout(0, 200000);
    const httplib::Result result = c.Get("/fault/slow/3000/whatsnew.htm");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), httplib::Error::Read);
}

TEST_F(FixtureServer, DroppedAnswerPromisesMoreThanItSends) {
    httplib::Client c = client();
    std::string received;
    const httplib::Result result =
        c.Get("/fault/drop/download.php?id=sampack", [&](const char* data, size_t length) {
            received.append(data, length);
            return true;
        });
    ASSERT_FALSE(result);
    const std::string whole = get("/download.php?id=sampack").toLatin1().toStdString();
    ASSERT_FALSE(whole.empty());
    EXPECT_EQ(received, whole.substr(0, whole.size() / 2));
    // The server lives on.
    EXPECT_FALSE(get("/whatsnew.htm").isEmpty());
}

TEST_F(FixtureServer, TrickledAnswerArrivesWholeInSmallPieces) {
    httplib::Client c = client();
    std::string received;
    int pieces = 0;
    const httplib::Result result =
        c.Get("/fault/trickle/1/download.php?id=sampack", [&](const char* data, size_t length) {
            received.append(data, length);
            ++pieces;
            return true;
        });
    ASSERT_TRUE(result) << httplib::to_string(result.error());
    const std::string whole = get("/download.php?id=sampack").toLatin1().toStdString();
    EXPECT_EQ(received, whole);
    EXPECT_GT(pieces, 2);
}

TEST_F(FixtureServer, FileHostPageHandsOutTheCookieItsFileWants) {
    httplib::Client c = client();
    const httplib::Result page = c.Get("/host/sampack.zip");
    ASSERT_TRUE(page);
    const std::string cookie = page->get_header_value("Set-Cookie");
    ASSERT_FALSE(cookie.empty());
    const std::string link = base().toStdString() + "dl/sampack.zip";
    EXPECT_NE(page->body.find("href=\"" + link + "\""), std::string::npos) << page->body;

    const std::string pair = cookie.substr(0, cookie.find(';'));
    const struct {
        std::string cookie;
        int status;
    } cases[] = {{pair, 200}, {"", 403}, {"fixture_visit=other.zip", 403}};
    for (const auto& k : cases) {
        SCOPED_TRACE(k.cookie);
        httplib::Headers headers;
        if (!k.cookie.empty())
            headers.emplace("Cookie", k.cookie);
        const httplib::Result file = c.Get("/dl/sampack.zip", headers);
        ASSERT_TRUE(file);
        EXPECT_EQ(file->status, k.status);
        if (k.status == 200) {
            EXPECT_EQ(file->body.substr(0, 2), "PK");
        }
    }
}

TEST(FixtureServerMirror, FormPostAnswersWithTheNumberedPackage) {
    if (!QFileInfo(serverProgram()).isExecutable())
        GTEST_FAIL() << "build quillon-fixture-server first: " << serverProgram().toStdString();
    QTemporaryDir content;
    ASSERT_TRUE(test::writeFile(content.filePath(u"mirror/762.zip"_s), "PK mirrored"));
    ServerProcess server({u"--content"_s, content.path()});
    ASSERT_FALSE(server.base().isEmpty());
    const struct {
        std::string path;
        std::string body;
        int status;
    } cases[] = {
        {"/mirror/gets.php", "id=762", 200}, {"/gets.php", "id=762", 200},
        {"/mirror/gets.php", "id=763", 404}, {"/mirror/gets.php", "id=..%2F..%2Fmirror%2F762", 404},
        {"/mirror/gets.php", "", 404},       {"/mirror/other.php", "id=762", 404},
    };
    httplib::Client c("127.0.0.1", server.port());
    c.set_connection_timeout(5);
    c.set_read_timeout(10);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.path + " " + k.body);
        const httplib::Result result = c.Post(k.path, k.body, "application/x-www-form-urlencoded");
        ASSERT_TRUE(result);
        EXPECT_EQ(result->status, k.status);
        if (k.status == 200) {
            EXPECT_EQ(result->body, "PK mirrored");
            EXPECT_FALSE(result->has_header("Content-Disposition"));
        }
    }
}

TEST(FixtureServerProgram, OptionsPidFileAndShutdown) {
    if (!QFileInfo(serverProgram()).isExecutable())
        GTEST_FAIL() << "build quillon-fixture-server first: " << serverProgram().toStdString();
    for (const QStringList& arguments :
         {QStringList{}, QStringList{u"--content"_s, u"/no/such/folder"_s},
          QStringList{u"--content"_s, contentDir(), u"--port"_s, u"x1"_s},
          QStringList{u"--content"_s, contentDir(), u"--port"_s, u"70000"_s},
          QStringList{u"--content"_s, contentDir(), u"--verbose"_s, u"1"_s}, QStringList{u"--content"_s}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        QProcess process;
        process.start(serverProgram(), arguments);
        ASSERT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitCode(), 2);
        EXPECT_TRUE(process.readAllStandardError().contains("usage:"));
    }

    QTemporaryDir dir;
    const QString pidFile = dir.filePath(u"server.pid"_s);
    ServerProcess server({u"--content"_s, contentDir(), u"--pid-file"_s, pidFile});
    ASSERT_FALSE(server.base().isEmpty());
    EXPECT_TRUE(server.base().startsWith(u"http://127.0.0.1:"_s));
    QFile pid(pidFile);
    ASSERT_TRUE(pid.open(QIODevice::ReadOnly));
    EXPECT_EQ(pid.readAll().trimmed().toLongLong(), server.process().processId());
    // A second server cannot take the same port.
    QProcess second;
    second.start(serverProgram(),
                 {u"--content"_s, contentDir(), u"--port"_s, QString::number(server.port())});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);
    server.stop();
    EXPECT_EQ(server.process().exitCode(), 0);
    EXPECT_FALSE(QFile::exists(pidFile));
}

} // namespace
} // namespace quillon
