#include <gtest/gtest.h>

#include "support/local_http_server.h"
#include "support/test_support.h"
#include "updatecheck/page_links.h"

using namespace Qt::StringLiterals;
using namespace quillon;

namespace {

TEST(PageLinks, AbsoluteTargetsInDocumentOrder) {
    const struct {
        const char* name;
        const char* page;
        QByteArray html;
        QStringList links;
    } cases[] = {
        {"relative to the page's folder",
         "http://www.example.com/dl/page.htm",
         R"(<a href="tc1100x32_64.exe">x</a><a href="sub/a.zip">y</a><a href="../up.exe">z</a>)",
         {u"http://www.example.com/dl/tc1100x32_64.exe"_s, u"http://www.example.com/dl/sub/a.zip"_s,
          u"http://www.example.com/up.exe"_s}},
        {"rooted links take scheme and host only",
         "https://example.com:8443/dl/page.htm",
         R"(<a href="/x/y.exe">x</a><a href="//cdn.example.net/z.exe">z</a>)",
         {u"https://example.com:8443/x/y.exe"_s, u"https://cdn.example.net/z.exe"_s}},
        {"absolute links stay",
         "http://example.com/",
         R"(<A HREF="https://other.example.org/A.EXE">a</A><a href="mailto:me@example.com">m</a>)",
         {u"https://other.example.org/A.EXE"_s, u"mailto:me@example.com"_s}},
        {"site root page",
         "http://example.com",
         R"(<a href="file.exe">f</a>)",
         {u"http://example.com/file.exe"_s}},
        {"nesting, unclosed tags and anchors without target",
         "http://example.com/a/",
         R"(<table><tr><td><a name="top">t<div><a href="1.exe">1</div><p><a href=2.exe>2<a
            href=" 3.exe ">3</table><template><a href="4.exe"></a></template>)",
         {u"http://example.com/a/1.exe"_s, u"http://example.com/a/2.exe"_s, u"http://example.com/a/3.exe"_s,
          u"http://example.com/a/4.exe"_s}},
        {"query, fragment and blanks",
         "http://example.com/a/b.php?id=1",
         R"(<a href="?id=2">q</a><a href="#top">f</a><a href="my file.exe">s</a><a href="">self</a>)",
         {u"http://example.com/a/b.php?id=2"_s, u"http://example.com/a/b.php?id=1#top"_s,
          u"http://example.com/a/my%20file.exe"_s, u"http://example.com/a/b.php?id=1"_s}},
        {"entities and Windows-1252 text",
         "http://example.com/",
         "<a href=\"get.php?a=1&amp;b=2\">e</a><a href=\"caf\xE9.exe\">c</a>",
         {u"http://example.com/get.php?a=1&b=2"_s, u"http://example.com/caf%C3%A9.exe"_s}},
        {"no links, no markup", "http://example.com/", "just text", {}},
        {"empty page", "http://example.com/", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetPageLinks(QLatin1String(c.page), c.html), c.links);
    }
}

TEST(PageLinks, FetchedPageResolvesAgainstWhereItCameFrom) {
    test::LocalHttpServer server;
    server.server().Get(
        "/old", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/new/list.htm"); });
    server.server().Get("/new/list.htm", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"(<a href="a.exe">a</a><a href="/b.exe">b</a>)", "text/html");
    });
    ASSERT_TRUE(server.start());
    // A proxy in the environment is not the way to the page.
    qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(test::freeLocalPort()));
    QString error;
    EXPECT_EQ(GetPageLinks(server.url(u"/old"_s), 5000, &error),
              (QStringList{server.url(u"/new/a.exe"_s), server.url(u"/b.exe"_s)}));
    EXPECT_TRUE(error.isEmpty());
    qunsetenv("http_proxy");

    EXPECT_TRUE(GetPageLinks(server.url(u"/none"_s), 5000, &error).isEmpty());
    EXPECT_EQ(error, u"HTTP 404"_s);
}

} // namespace
