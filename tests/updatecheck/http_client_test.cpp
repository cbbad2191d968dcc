#include <gtest/gtest.h>

#include <QUrl>

#include <QBuffer>
#include <QScopeGuard>

#include <curl/curl.h>

#include <atomic>

#include "app/common/urls.h"
#include "app/language.h"
#include "app/scripted_prompter.h"
#include "support/local_http_server.h"
#include "support/test_support.h"
#include "updatecheck/http_client.h"
#include "updatecheck/page_fetcher.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

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

    test::LocalHttpServer server;
    ScriptedPrompter prompter;
    Language language;
};

enum class Site { Catalogue, TotalCommander, Other };

struct FetchCase {
    const char* name;
    const char* path; // "refused": nothing listens; "silent": accepts and never answers
    Site site;        // the role the answering server plays
    bool kindTwoBefore;
    const char* body; // what GetURLAsString gives
    quint8 kindAfter;
    const char* message; // the bare number shown, or nullptr for no message
    const char* reason;  // what the failure's detail says after the host, in words
};

TEST_F(HttpFixture, GetUrlAsStringResultsAndErrorKinds) {
    using enum Site;
    const FetchCase cases[] = {
        {"plain page", "/ok", Catalogue, false, "hello", 0, nullptr, ""},
        {"redirect followed", "/redirect", Catalogue, false, "hello", 0, nullptr, ""},
        {"success keeps an earlier kind", "/ok", Catalogue, true, "hello", 2, nullptr, ""},
        {"endless redirects", "/loop", Catalogue, false, "", 1, "302", "redirects"},
        {"404 from the catalogue", "/missing", Catalogue, false, "", 2, "404", "HTTP 404"},
        {"500 from Total Commander's site", "/status/500", TotalCommander, false, "", 3, "500", "HTTP 500"},
        {"504 is the last site status", "/status/504", TotalCommander, true, "", 3, "504", "HTTP 504"},
        {"404 from another host keeps the kind", "/missing", Other, true, "", 2, "404", "HTTP 404"},
        {"404 from another host sets none", "/missing", Other, false, "", 0, "404", "HTTP 404"},
        {"505 counts as no connection", "/status/505", Catalogue, true, "", 1, "505", "HTTP 505"},
        {"407 is the proxy, not the site", "/status/407", Catalogue, false, "", 1, "407", "HTTP 407"},
        {"body cut off is no page", "/cut", Catalogue, false, "", 1, "200", "remaining"},
        {"connection refused", "refused", Catalogue, false, "", 1, "0", "onnect"},
        {"server never answers", "silent", Catalogue, false, "", 1, "0", "slow"},
    };
    test::LocalHttpServer elsewhere;
    elsewhere.server().Get("/missing",
                           [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
    ASSERT_TRUE(elsewhere.start());
    test::SilentListener silent;
    ASSERT_TRUE(silent.ok());
    const int refusedPort = test::freeLocalPort();
    for (const FetchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = QLatin1String(c.path);
        const QString url = path == "refused"_L1  ? u"http://127.0.0.1:%1/"_s.arg(refusedPort)
                            : path == "silent"_L1 ? u"http://127.0.0.1:%1/"_s.arg(silent.port())
                                                  : server.url(path);
        FetchSettings settings;
        settings.httpTimeOutMs = 1000;
        settings.catalogueBase = c.site == Catalogue ? url : elsewhere.url();
        settings.totalCommanderBase =
            c.site == TotalCommander ? url : u"http://127.0.0.1:%1/"_s.arg(refusedPort);
        PageFetcher fetcher(settings, language);
        if (c.kindTwoBefore) {
            fetcher.GetURLAsString(UrlHost(settings.catalogueBase, UrlHostMode::SchemeAndHost) +
                                   u"missing"_s);
            ASSERT_EQ(fetcher.ConnectionErrorKind(), 2);
            fetcher.takeFailures();
        }
        EXPECT_EQ(fetcher.GetURLAsString(url), QLatin1String(c.body));
        EXPECT_EQ(fetcher.ConnectionErrorKind(), c.kindAfter);
        const QList<FetchFailure> failures = fetcher.takeFailures();
        if (c.message) {
            ASSERT_EQ(failures.size(), 1);
            EXPECT_EQ(failures[0].text, QLatin1String(c.message));
            EXPECT_TRUE(failures[0].caption.isEmpty());
            // Named with its host and in words, not as a bare number.
            EXPECT_TRUE(failures[0].detail.startsWith(QUrl(url).host() + u':'));
            EXPECT_TRUE(failures[0].detail.contains(QLatin1String(c.reason), Qt::CaseInsensitive))
                << failures[0].detail.toStdString();
        } else {
            EXPECT_TRUE(failures.isEmpty());
        }
    }
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

TEST_F(HttpFixture, RequestAsABrowserSendsItDirectly) {
    // A proxy from the environment is not the way: the settings decide.
    qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(test::freeLocalPort()));
    const auto restore = qScopeGuard([] { qunsetenv("http_proxy"); });
    PageFetcher fetcher(FetchSettings{}, language);
    // No charset is honoured: UTF-8 bytes are read one by one as Windows-1252.
    EXPECT_EQ(fetcher.GetURLAsString(server.url(u"/utf8"_s)),
              u"Gr\u00C3\u00BC\u00C3\u0178e \u00E2\u201A\u00AC"_s);

    const HttpResponse echoed = HttpClient::get(server.url(u"/echo-headers"_s));
    EXPECT_EQ(echoed.header("x-seen-agent"), QByteArray(HttpRequest::kBrowserUserAgent));
    EXPECT_EQ(echoed.header("X-SEEN-ENCODING"), "no");

    const HttpResponse redirected = HttpClient::get(server.url(u"/redirect"_s));
    EXPECT_EQ(redirected.finalUrl, server.url(u"/ok"_s));
    EXPECT_TRUE(redirected.header("Location").isEmpty()); // only the last answer's headers

    // A link from a page never reads a local file, directly or by redirect.
    EXPECT_EQ(HttpClient::get(server.url(u"/to-file"_s)).curlCode, CURLE_UNSUPPORTED_PROTOCOL);
    EXPECT_EQ(HttpClient::get(u"file:///etc/hostname"_s).curlCode, CURLE_UNSUPPORTED_PROTOCOL);
}

TEST_F(HttpFixture, PostSinkSizeGuardAndCancel) {
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
    std::atomic_bool cancelNow{true};
    const struct {
        const char* name;
        QIODevice* sink;
        qint64 maxBytes;
        const std::atomic_bool* cancel;
        std::function<bool(qint64, qint64)> progress;
        bool ok, tooLarge, cancelled;
    } cases[] = {
        {"into a sink", &sink, 0, nullptr, {}, true, false, false},
        {"size guard", nullptr, 1000, nullptr, {}, false, true, false},
        {"cancel flag", nullptr, 0, &cancelNow, {}, false, false, true},
        {"progress says stop", nullptr, 0, nullptr, [](qint64, qint64) { return false; }, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HttpRequest request;
        request.url = server.url(u"/big"_s);
        request.sink = c.sink;
        request.maxBodyBytes = c.maxBytes;
        request.cancel = c.cancel;
        request.progress = c.progress;
        const HttpResponse response = HttpClient::perform(request);
        EXPECT_EQ(response.ok(), c.ok);
        EXPECT_EQ(response.tooLarge, c.tooLarge);
        EXPECT_EQ(response.cancelled, c.cancelled);
        if (c.maxBytes > 0) {
            EXPECT_LE(response.body.size(), c.maxBytes);
        }
    }
    EXPECT_EQ(sink.data(), QByteArray(200000, 'b'));
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
