#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

#include <memory>

#include "app/language.h"
#include "app/scripted_prompter.h"
#include "app/settings_values.h"
#include "install/transfer_engine.h"
#include "support/local_http_server.h"
#include "support/test_support.h"
#include "updatecheck/page_fetcher.h"
#include "updatecheck/proxy_config.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

SettingValues proxyValues(const QString& type, const QString& port, const QString& user = {},
                          const QString& password = {}) {
    SettingValues values;
    values.httpTimeOut = 5000;
    values.proxyEnabled = true;
    values.proxyType = type;
    values.proxyAddress = u"127.0.0.1"_s;
    values.proxyPort = port;
    values.proxyUsername = user;
    values.proxyPassword = password;
    return values;
}

TEST(ProxyConfig, TypeSelectsTheKind) {
    const struct {
        const char* type;
        ProxyKind kind;
    } cases[] = {
        {"0", ProxyKind::Http},        {"http", ProxyKind::Http},     {"HTTPS", ProxyKind::Http},
        {"1", ProxyKind::Socks5},      {"2", ProxyKind::Socks5},      {"Socks", ProxyKind::Socks5},
        {"SOCKS5", ProxyKind::Socks5}, {"socks4", ProxyKind::Socks4}, {"SoCkS4", ProxyKind::Socks4},
        {"ftp", ProxyKind::None},      {"3", ProxyKind::None},        {"socks4a", ProxyKind::None},
        {"", ProxyKind::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(ProxyKindFromType(QLatin1String(c.type)), c.kind);
        const ProxySetup setup = ProxyFromSettings(proxyValues(QLatin1String(c.type), u"3128"_s));
        EXPECT_TRUE(setup.ok);
        EXPECT_EQ(setup.proxy.kind, c.kind);
    }
}

TEST(ProxyConfig, PortAddressAndCredentials) {
    const struct {
        const char* port;
        bool ok;
    } ports[] = {{"8080", true}, {"1", true},      {"65535", true}, {"80a", false}, {"", false},
                 {"0", false},   {"65536", false}, {"+80", false},  {"-1", false},  {"0x50", false}};
    for (const auto& c : ports) {
        SCOPED_TRACE(c.port);
        const ProxySetup setup = ProxyFromSettings(proxyValues(u"http"_s, QLatin1String(c.port)));
        EXPECT_EQ(setup.ok, c.ok);
        if (!c.ok) {
            EXPECT_EQ(setup.badPort, QLatin1String(c.port));
        }
    }
    SettingValues off = proxyValues(u"http"_s, u"junk"_s);
    off.proxyEnabled = false;
    EXPECT_TRUE(ProxyFromSettings(off).ok);
    EXPECT_EQ(ProxyFromSettings(off).proxy.kind, ProxyKind::None);

    SettingValues noHost = proxyValues(u"socks5"_s, u"1080"_s);
    noHost.proxyAddress = u"  "_s;
    EXPECT_FALSE(ProxyFromSettings(noHost).ok);
    EXPECT_TRUE(ProxyFromSettings(noHost).missingHost);

    const ProxySetup full = ProxyFromSettings(proxyValues(u"socks4"_s, u"1080"_s, u" bob "_s, u" pw "_s));
    EXPECT_EQ(full.proxy.host, u"127.0.0.1"_s);
    EXPECT_EQ(full.proxy.port, 1080);
    EXPECT_EQ(full.proxy.username, u"bob"_s);
    EXPECT_EQ(full.proxy.password, u"pw"_s);
}

// Runs one proxy program on 127.0.0.1 and stops it by its process id.
class ProxyProcess {
public:
    ~ProxyProcess() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }
    // False with a reason when it is not listening.
    bool start(const QString& program, const QStringList& arguments, int port, QString& why) {
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(5000)) {
            why = program + u" did not start: "_s + m_process.errorString();
            return false;
        }
        if (!test::waitForLocalPort(port, 10000)) {
            why = program + u" is not listening: "_s + QString::fromLocal8Bit(m_process.readAll());
            return false;
        }
        return true;
    }

private:
    QProcess m_process;
};

enum class Program { Tinyproxy, Dante, Microsocks };

struct ProxyCase {
    const char* name;
    Program program;
    const char* type;
    const char* user;
    const char* password;
    bool fetched;
    quint8 kind;           // ConnectionErrorKind afterwards
    const char* message;   // the bare number shown on failure
    bool download = false; // a file through the transfer pass instead of a page
};

class RealProxies : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* path : {"/page", "/file.zip"}) {
            server.server().Get(path, [](const httplib::Request& req, httplib::Response& res) {
                res.set_content("through " + req.get_header_value("Via"), "text/plain");
            });
        }
        ASSERT_TRUE(server.start());
        ASSERT_TRUE(dir.isValid());
    }

    // The program's path; empty (and the test skipped or, in CI, failed) when it is missing.
    static QString find(const QString& name) {
        QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty())
            path = QStandardPaths::findExecutable(name, {u"/usr/sbin"_s, u"/usr/local/sbin"_s});
        return path;
    }

    // Starts the program for a case and returns the port it serves on, or -1.
    int launch(Program program, QString& why) {
        const int port = test::freeLocalPort();
        const QString p = QString::number(port);
        switch (program) {
        case Program::Tinyproxy: {
            const QString config = dir.filePath(u"tinyproxy.conf"_s);
            test::writeFile(config, (u"Port "_s + p +
                                     u"\nListen 127.0.0.1\nTimeout 30\nMaxClients 20\n"
                                     u"Allow 127.0.0.1\nBasicAuth alice s3cret\nLogLevel Error\n"_s)
                                        .toUtf8());
            return startProgram(u"tinyproxy"_s, {u"-d"_s, u"-c"_s, config}, port, why);
        }
        case Program::Dante: {
            // Running as root, dante wants to be told whom to become.
            const QString users =
                geteuid() == 0 ? u"user.privileged: root\nuser.unprivileged: nobody\n"_s : QString();
            const QString config = dir.filePath(u"danted.conf"_s);
            test::writeFile(config,
                            (u"logoutput: stderr\ninternal: 127.0.0.1 port = "_s + p +
                             u"\nexternal: 127.0.0.1\nsocksmethod: none\nclientmethod: none\n"_s + users +
                             u"client pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"
                             u"socks pass { from: 127.0.0.0/8 to: 0.0.0.0/0 }\n"_s)
                                .toUtf8());
            return startProgram(u"danted"_s, {u"-f"_s, config, u"-N"_s, u"1"_s}, port, why);
        }
        case Program::Microsocks:
            return startProgram(u"microsocks"_s,
                                {u"-i"_s, u"127.0.0.1"_s, u"-p"_s, p, u"-u"_s, u"bob"_s, u"-P"_s, u"pa55"_s},
                                port, why);
        }
        return -1;
    }

    int startProgram(const QString& name, const QStringList& arguments, int port, QString& why) {
        const QString path = find(name);
        if (path.isEmpty()) {
            why = name + u" is not installed"_s;
            return -1;
        }
        processes.push_back(std::make_unique<ProxyProcess>());
        return processes.back()->start(path, arguments, port, why) ? port : -1;
    }

    test::LocalHttpServer server;
    QTemporaryDir dir;
    std::vector<std::unique_ptr<ProxyProcess>> processes;
    ScriptedPrompter prompter;
    Language language;
};

TEST_F(RealProxies, FetchThroughEachKind) {
    // The page would be reached directly without the proxy: a bypass would make the failure
    // cases succeed.
    struct NoProxyEverywhere {
        NoProxyEverywhere() { qputenv("no_proxy", "*"); }
        ~NoProxyEverywhere() { qunsetenv("no_proxy"); }
    } bypassAttempt;
    const ProxyCase cases[] = {
        {"HTTP with basic authentication", Program::Tinyproxy, "http", "alice", "s3cret", true, 0, nullptr},
        {"HTTP without user sends no credentials", Program::Tinyproxy, "0", "", "", false, 1, "407"},
        {"HTTP with a wrong password", Program::Tinyproxy, "https", "alice", "wrong", false, 0, "401"},
        {"SOCKS 4", Program::Dante, "SOCKS4", "", "", true, 0, nullptr},
        {"SOCKS 5 by number", Program::Dante, "1", "", "", true, 0, nullptr},
        {"SOCKS 5 with user and password", Program::Microsocks, "socks5", "bob", "pa55", true, 0, nullptr},
        {"SOCKS 5 with a wrong password", Program::Microsocks, "2", "bob", "nope", false, 1, "0"},
        {"SOCKS 5 without the required user", Program::Microsocks, "socks", "", "", false, 1, "0"},
        {"a download through HTTP", Program::Tinyproxy, "http", "alice", "s3cret", true, 0, nullptr, true},
        {"a download through SOCKS 4", Program::Dante, "SOCKS4", "", "", true, 0, nullptr, true},
        {"a download through SOCKS 5", Program::Microsocks, "socks5", "bob", "pa55", true, 0, nullptr, true},
    };
    for (const ProxyCase& c : cases) {
        SCOPED_TRACE(c.name);
        QString why;
        const int port = launch(c.program, why);
        QUILLON_SKIP_UNLESS(port >= 0, why.toStdString());
        const SettingValues values = proxyValues(QLatin1String(c.type), QString::number(port),
                                                 QLatin1String(c.user), QLatin1String(c.password));
        if (c.download) {
            TransferSettings transfer;
            transfer.proxy = ProxyFromSettings(values).proxy;
            transfer.httpTimeOutMs = values.httpTimeOut;
            transfer.downloadDir = dir.path() + u'/';
            TransferEngine engine({{server.url(u"/file.zip"_s),
                                    transfer.downloadDir + u"file.zip"_s,
                                    {},
                                    u"packer"_s,
                                    u"/p/x.wcx"_s,
                                    u"0"_s}},
                                  transfer);
            engine.run();
            ASSERT_EQ(engine.rows()[0].state, TransferState::Done) << engine.rows()[0].error.toStdString();
            const QByteArray file = test::readFile(engine.rows()[0].localPath);
            QFile::remove(engine.rows()[0].localPath);
            EXPECT_TRUE(file.startsWith("through ")) << file.toStdString();
            EXPECT_EQ(file.contains("tinyproxy"), c.program == Program::Tinyproxy) << file.toStdString();
            processes.clear();
            continue;
        }
        PageFetcher fetcher(FetchSettings::fromSettings(values), language);
        const QString page = fetcher.GetURLAsString(server.url(u"/page"_s));
        EXPECT_EQ(!page.isEmpty(), c.fetched) << fetcher.lastErrorText().toStdString();
        EXPECT_EQ(fetcher.ConnectionErrorKind(), c.kind);
        const QList<FetchFailure> failures = fetcher.takeFailures();
        if (c.program == Program::Tinyproxy && c.fetched) {
            EXPECT_TRUE(page.contains(u"tinyproxy"_s)) << page.toStdString(); // its Via header
        }
        if (c.message) {
            ASSERT_EQ(failures.size(), 1);
            EXPECT_EQ(failures[0].text, QLatin1String(c.message));
        } else {
            EXPECT_TRUE(failures.isEmpty());
        }
        processes.clear();
    }
}

TEST_F(RealProxies, BrokenProxySetupFetchesNothing) {
    int requests = 0;
    server.server().Get("/counted", [&requests](const httplib::Request&, httplib::Response& res) {
        ++requests;
        res.set_content("x", "text/plain");
    });
    // The "proxy" is the page's own server: any request that went out would be counted.
    SettingValues badPort = proxyValues(u"http"_s, u"80a"_s);
    SettingValues noAddress = proxyValues(u"http"_s, QString::number(server.port()));
    noAddress.proxyAddress.clear();
    for (const SettingValues& values : {badPort, noAddress}) {
        PageFetcher fetcher(FetchSettings::fromSettings(values), language);
        EXPECT_EQ(fetcher.GetURLAsString(server.url(u"/counted"_s)), QString());
        EXPECT_EQ(fetcher.ConnectionErrorKind(), 1);
        const QList<FetchFailure> failures = fetcher.takeFailures();
        ASSERT_EQ(failures.size(), 1);
        EXPECT_EQ(failures[0].caption, u"Error"_s);
        EXPECT_EQ(failures[0].icon, PromptIcon::Error);
        const QString named = values.proxyAddress.isEmpty() ? u"no address"_s : u"\"80a\""_s;
        EXPECT_TRUE(failures[0].text.contains(named)) << failures[0].text.toStdString();
    }
    EXPECT_EQ(requests, 0);
}

} // namespace
