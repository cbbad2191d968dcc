#include <gtest/gtest.h>

#include <QBuffer>

#include <curl/curl.h>

#include <atomic>

#include "app/language.h"
#include "app/scripted_prompter.h"
#include "support/local_http_server.h"
#include "support/test_support.h"
#include "updatecheck/http_client.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value);
    }
    ~ScopedEnv() {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

class HttpFixture : public ::testing::Test {
protected:
    void SetUp() override {
        auto& s = server.server();
        s.Get("/ok", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("hello", "text/plain");
        });
        s.Get("/redirect", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/ok"); });
        s.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
        s.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("file:///etc/hostname");
        });
        s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("not here", "text/plain");
        });
        s.Get("/status/(\\d+)", [](const httplib::Request& req, httplib::Response& res) {
            res.status = std::stoi(req.matches[1]);
            res.set_content("status page", "text/plain");
        });
        // Announces 1000 bytes, sends 10, then drops the connection.
        s.Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(1000, "text/plain", [](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset > 0)
                    return false;
                sink.write("0123456789", 10);
                return true;
            });
        });
        s.Get("/utf8", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("Gr\xC3\xBC\xC3\x9F"
                            "e \xE2\x82\xAC",
                            "text/html; charset=utf-8");
        });
        s.Get("/echo-headers", [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("X-Seen-Agent", req.get_header_value("User-Agent"));
            res.set_header("X-Seen-Encoding", req.has_header("Accept-Encoding") ? "yes" : "no");
            res.set_content("x", "text/plain");
        });
        s.Post("/echo", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.body, req.get_header_value("Content-Type"));
        });
        s.Get("/big", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(200000, 'b'), "application/octet-stream");
        });
        ASSERT_TRUE(server.start());
    }

    FetchSettings sites(int timeoutMs = 7000) const {
        FetchSettings settings;
        settings.httpTimeOutMs = timeoutMs;
        settings.catalogueBase = server.url(u"/"_s);
        // Same address, other port: a different site.
        settings.totalCommanderBase = u"http://127.0.0.1:%1/"_s.arg(tcSitePort);
        return settings;
    }

    test::LocalHttpServer server;
    int tcSitePort = test::freeLocalPort();
    ScriptedPrompter prompter;
    Language language;
};

struct FetchCase {
    const char* name;
    const char* path;
    quint8 kindBefore;
    const char* body; // what GetURLAsString gives
    quint8 kindAfter;
    const char* message; // the bare number shown, or nullptr for no message
};

TEST_F(HttpFixture, GetUrlAsStringResultsAndErrorKinds) {
    // The server is the catalogue site here.
    const FetchCase cases[] = {
        {"plain page", "/ok", 0, "hello", 0, nullptr},
        {"redirect followed", "/redirect", 0, "hello", 0, nullptr},
        {"success keeps an earlier kind", "/ok", 2, "hello", 2, nullptr},
        {"endless redirects", "/loop", 0, "", 1, "302"},
        {"404 from the catalogue", "/missing", 0, "", 2, "404"},
        {"500 from the catalogue", "/status/500", 0, "", 2, "500"},
        {"504 is the last site status", "/status/504", 0, "", 2, "504"},
        {"505 counts as no connection", "/status/505", 2, "", 1, "505"},
        {"407 is the proxy, not the site", "/status/407", 0, "", 1, "407"},
        {"body cut off is no page", "/cut", 0, "", 1, "200"},
    };
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(c.name);
        PageFetcher fetcher(sites(), prompter, language);
        if (c.kindBefore == 2) {
            fetcher.GetURLAsString(server.url(u"/missing"_s));
            ASSERT_EQ(fetcher.ConnectionErrorKind(), 2);
        }
        prompter.clearMessages();
        EXPECT_EQ(fetcher.GetURLAsString(server.url(QLatin1String(c.path))), QLatin1String(c.body));
        EXPECT_EQ(fetcher.ConnectionErrorKind(), c.kindAfter);
        if (c.message) {
            ASSERT_EQ(prompter.messages().size(), 1);
            EXPECT_EQ(prompter.messages()[0].text, QLatin1String(c.message));
            EXPECT_TRUE(prompter.messages()[0].caption.isEmpty());
        } else {
            EXPECT_TRUE(prompter.messages().isEmpty());
        }
    }
}

TEST_F(HttpFixture, ErrorStatusFromAnotherHostLeavesTheKind) {
    FetchSettings settings = sites();
    settings.catalogueBase = u"http://127.0.0.1:%1/"_s.arg(test::freeLocalPort());
    PageFetcher fetcher(settings, prompter, language);
    EXPECT_EQ(fetcher.GetURLAsString(server.url(u"/missing"_s)), QString());
    EXPECT_EQ(fetcher.ConnectionErrorKind(), 0);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0].text, u"404"_s);
    // A 404 from Total Commander's site after that is recorded, and reset clears it.
    settings.totalCommanderBase = server.url(u"/"_s);
    PageFetcher tcSite(settings, prompter, language);
    tcSite.GetURLAsString(server.url(u"/missing"_s));
    EXPECT_EQ(tcSite.ConnectionErrorKind(), 3);
    tcSite.resetConnectionErrorKind();
    EXPECT_EQ(tcSite.ConnectionErrorKind(), 0);
}

TEST_F(HttpFixture, RefusedConnectionAndSilentServerAreNoConnection) {
    test::SilentListener silent;
    ASSERT_TRUE(silent.ok());
    const QString refused = u"http://127.0.0.1:%1/"_s.arg(test::freeLocalPort());
    const QString neverAnswers = u"http://127.0.0.1:%1/"_s.arg(silent.port());
    for (const QString& url : {refused, neverAnswers}) {
        SCOPED_TRACE(url.toStdString());
        FetchSettings settings = sites(1000);
        settings.catalogueBase = url; // even the catalogue's own host: no status, kind 1
        PageFetcher fetcher(settings, prompter, language);
        prompter.clearMessages();
        EXPECT_EQ(fetcher.GetURLAsString(url), QString());
        EXPECT_EQ(fetcher.ConnectionErrorKind(), 1);
        ASSERT_EQ(prompter.messages().size(), 1);
        EXPECT_EQ(prompter.messages()[0].text, u"0"_s);
        const auto message = ConnectionErrorMessage(fetcher.ConnectionErrorKind(), language, settings);
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(message->text, u"Error: No internet connection / invalid proxy settings."_s);
    }
    HttpRequest request;
    request.url = neverAnswers;
    request.readTimeoutMs = 1000;
    EXPECT_EQ(HttpClient::perform(request).curlCode, CURLE_OPERATION_TIMEDOUT);
}

TEST_F(HttpFixture, PageIsDecodedAsAnsiWhateverTheCharset) {
    PageFetcher fetcher(sites(), prompter, language);
    // UTF-8 bytes read one by one as Windows-1252.
    EXPECT_EQ(fetcher.GetURLAsString(server.url(u"/utf8"_s)),
              u"Gr\u00C3\u00BC\u00C3\u0178e \u00E2\u201A\u00AC"_s);
}

TEST(DecodeAnsiPage, EveryByteIsOneCharacter) {
    const struct {
        QByteArray bytes;
        QString text;
    } cases[] = {
        {"", u""_s},
        {"\xE9t\xE9 \x80 \x9F", u"\u00E9t\u00E9 \u20AC \u0178"_s},
        // Unassigned in Windows-1252: kept as the C1 control of the same number, not dropped.
        {"\x81\x8D\x8F\x90\x9D", u"\u0081\u008D\u008F\u0090\u009D"_s},
        {QByteArray("a\0b", 3), QString(u"a\0b"_s)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DecodeAnsiPage(c.bytes), c.text);
}

TEST_F(HttpFixture, SendsTheBrowserAgentAndAsksForNoCompression) {
    const HttpResponse response = HttpClient::get(server.url(u"/echo-headers"_s));
    ASSERT_TRUE(response.ok());
    EXPECT_EQ(response.header("x-seen-agent"), QByteArray(HttpRequest::kBrowserUserAgent));
    EXPECT_EQ(response.header("X-SEEN-ENCODING"), "no");
}

TEST_F(HttpFixture, EnvironmentProxyIsNotUsedForDirectRequests) {
    const int deadPort = test::freeLocalPort();
    const QByteArray deadProxy = "http://127.0.0.1:" + QByteArray::number(deadPort);
    ScopedEnv http("http_proxy", deadProxy);
    ScopedEnv all("ALL_PROXY", deadProxy);
    PageFetcher fetcher(sites(), prompter, language);
    EXPECT_EQ(fetcher.GetURLAsString(server.url(u"/ok"_s)), u"hello"_s);
}

TEST_F(HttpFixture, RedirectKeepsFinalAddressAndOnlyWebProtocols) {
    const HttpResponse redirected = HttpClient::get(server.url(u"/redirect"_s));
    EXPECT_TRUE(redirected.ok());
    EXPECT_EQ(redirected.finalUrl, server.url(u"/ok"_s));
    EXPECT_EQ(redirected.header("Content-Type"), "text/plain");
    EXPECT_TRUE(redirected.header("Location").isEmpty()); // the redirect's headers are gone

    EXPECT_EQ(HttpClient::get(server.url(u"/to-file"_s)).curlCode, CURLE_UNSUPPORTED_PROTOCOL);
    const HttpResponse local = HttpClient::get(u"file:///etc/hostname"_s);
    EXPECT_EQ(local.curlCode, CURLE_UNSUPPORTED_PROTOCOL);
    EXPECT_TRUE(local.body.isEmpty());
}

TEST_F(HttpFixture, HeadPostSinkSizeGuardAndCancel) {
    HttpRequest head;
    head.url = server.url(u"/big"_s);
    head.method = HttpRequest::Method::Head;
    const HttpResponse headResponse = HttpClient::perform(head);
    EXPECT_TRUE(headResponse.ok());
    EXPECT_TRUE(headResponse.body.isEmpty());
    EXPECT_EQ(headResponse.header("Content-Length"), "200000");

    HttpRequest post;
    post.url = server.url(u"/echo"_s);
    post.method = HttpRequest::Method::Post;
    post.postData = QByteArray("a=1&b=\0x", 8);
    post.postContentType = "application/x-test";
    const HttpResponse echoed = HttpClient::perform(post);
    EXPECT_EQ(echoed.body, post.postData);
    EXPECT_EQ(echoed.header("Content-Type"), "application/x-test");

    QBuffer sink;
    sink.open(QIODevice::WriteOnly);
    HttpRequest toSink;
    toSink.url = server.url(u"/big"_s);
    toSink.sink = &sink;
    const HttpResponse sunk = HttpClient::perform(toSink);
    EXPECT_TRUE(sunk.ok());
    EXPECT_TRUE(sunk.body.isEmpty());
    EXPECT_EQ(sunk.bodyBytes, 200000);
    EXPECT_EQ(sink.data(), QByteArray(200000, 'b'));

    HttpRequest limited;
    limited.url = server.url(u"/big"_s);
    limited.maxBodyBytes = 1000;
    const HttpResponse tooLarge = HttpClient::perform(limited);
    EXPECT_TRUE(tooLarge.tooLarge);
    EXPECT_FALSE(tooLarge.ok());
    EXPECT_LE(tooLarge.body.size(), 1000);

    std::atomic_bool cancel{true};
    HttpRequest cancelled;
    cancelled.url = server.url(u"/big"_s);
    cancelled.cancel = &cancel;
    const HttpResponse stopped = HttpClient::perform(cancelled);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.curlCode, CURLE_ABORTED_BY_CALLBACK);

    int calls = 0;
    HttpRequest byProgress;
    byProgress.url = server.url(u"/big"_s);
    byProgress.progress = [&calls](qint64, qint64) { return ++calls < 1; };
    EXPECT_TRUE(HttpClient::perform(byProgress).cancelled);
}

TEST(ConnectionErrorMessage, TextsPerKindWithTheSiteName) {
    Language english;
    FetchSettings settings;
    settings.catalogueBase = u"http://WWW.TotalCmd.net/"_s;
    settings.totalCommanderBase = u"http://127.0.0.1:8123/"_s;
    EXPECT_FALSE(ConnectionErrorMessage(0, english, settings).has_value());
    const struct {
        quint8 kind;
        QString text;
    } cases[] = {
        {1, u"Error: No internet connection / invalid proxy settings."_s},
        {2, u"Error: Host (totalcmd.net) cannot be found."_s},
        // A host without "www." is still named.
        {3, u"Error: Host (127.0.0.1) cannot be found."_s},
    };
    for (const auto& c : cases) {
        const auto message = ConnectionErrorMessage(c.kind, english, settings);
        ASSERT_TRUE(message.has_value());
        EXPECT_EQ(message->caption, u"Error"_s);
        EXPECT_EQ(message->text, c.text);
    }
    Language german;
    ASSERT_TRUE(german.LoadLanguage(u"1031"_s));
    EXPECT_EQ(ConnectionErrorMessage(1, german, settings)->text,
              u"Fehler: Keine Internetverbindung / ungültige Proxy-Einstellungen."_s);
    EXPECT_EQ(ConnectionErrorMessage(2, german, settings)->text,
              u"Fehler: Der Host (totalcmd.net) wurde nicht gefunden."_s);
}

} // namespace
