// The catalogue's details answer: description and history, and the job against a local server.
#include <gtest/gtest.h>

#include "support/local_http_server.h"
#include "support/test_support.h"
#include "updatecheck/item_details.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(ItemDetails, AnswerSplitAndCleaned) {
    struct Case {
        const char* answer;
        const char* description;
        const char* history;
    };
    const Case cases[] = {
        {"<p>Packs&nbsp;<b>7z</b></p>|<pre>1.1 &lt;fixed&gt;\\n1.0 <b>first</b></pre>",
         "<p>Packs <b>7z</b></p>", "1.1 <fixed>\n1.0 first"},
        {"<p>No history</p>", "<p>No history</p>", ""},
        {"a|b|c", "a", "b|c"},
        {"x|&#65;&#x42;&bogus;&#0;", "x", "AB&bogus;&#0;"},
    };
    for (const Case& k : cases) {
        const ItemDetails d = parseItemDetails(QString::fromUtf8(k.answer));
        EXPECT_EQ(d.descriptionHtml, QString::fromUtf8(k.description)) << k.answer;
        EXPECT_EQ(d.history, QString::fromUtf8(k.history)) << k.answer;
    }
}

TEST(ItemDetails, JobOutcomes) {
    test::LocalHttpServer server;
    server.server().Get("/details", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<b>desc</b>|hist", "text/html");
    });
    server.server().Get("/history.txt", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("25.01.24 Release <10>", "text/plain");
    });
    ASSERT_TRUE(server.start());
    NullProgressSink progress;
    ItemDetailsJob job;
    job.detailsUrl = server.url(u"/details"_s);
    ItemDetailsResult r = fetchItemDetails(job, CancelToken(), progress);
    EXPECT_EQ(r.outcome, ItemDetailsResult::Outcome::Shown);
    EXPECT_EQ(r.details.history, u"hist"_s);

    job.detailsUrl = server.url(u"/missing"_s);
    EXPECT_EQ(fetchItemDetails(job, CancelToken(), progress).outcome, ItemDetailsResult::Outcome::NoAnswer);

    // Total Commander's row: our description as text, the history file kept as written.
    ItemDetailsJob tc;
    tc.tcDescription = u"File manager\n<for Windows>"_s;
    tc.historyUrl = server.url(u"/history.txt"_s);
    r = fetchItemDetails(tc, CancelToken(), progress);
    EXPECT_EQ(r.details.descriptionHtml, u"File manager<br/>&lt;for Windows&gt;"_s);
    EXPECT_EQ(r.details.history, u"25.01.24 Release <10>"_s);
    // Its history page missing: the description still shows, without a history.
    tc.historyUrl = server.url(u"/missing.txt"_s);
    r = fetchItemDetails(tc, CancelToken(), progress);
    EXPECT_EQ(r.outcome, ItemDetailsResult::Outcome::Shown);
    EXPECT_EQ(r.details.descriptionHtml, u"File manager<br/>&lt;for Windows&gt;"_s);
    EXPECT_TRUE(r.details.history.isEmpty());

    CancelToken cancelled;
    cancelled.cancel();
    EXPECT_EQ(fetchItemDetails(job, cancelled, progress).outcome, ItemDetailsResult::Outcome::Cancelled);
}

} // namespace
} // namespace quillon
