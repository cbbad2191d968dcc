// The fixture web server the end-to-end tests stand on: when it cannot start or serve the
// catalogue, this is the failure that says so, rather than a dozen checks that seem to fail on
// their own.
#include <QFileInfo>

#include <gtest/gtest.h>
#include <httplib.h>

#include "support/fixture_server.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(FixtureServer, StartsOnAFreePortAndServesTheCatalogue) {
    ASSERT_TRUE(QFileInfo(test::FixtureServerProcess::program()).isExecutable())
        << "build quillon-fixture-server first";
    test::FixtureServerProcess server;
    ASSERT_TRUE(server.base().startsWith(u"http://127.0.0.1:"_s)) << server.base().toStdString();
    httplib::Client c("127.0.0.1", server.base().section(u':', 2).section(u'/', 0, 0).toInt());
    c.set_connection_timeout(5);
    c.set_read_timeout(10);
    const struct {
        const char* path;
        int status;
        std::string startsWith; // "PK": a ZIP
    } cases[] = {
        {"/get_plugins_list.php", 200, "<HEAD></HEAD><BODY><pre>sampack|"},
        {"/download.php?id=sampack", 200, "PK"},
        {"/fault/404/whatsnew.htm", 404, "<html>"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.path);
        const httplib::Result result = c.Get(k.path);
        ASSERT_TRUE(result) << httplib::to_string(result.error());
        EXPECT_EQ(result->status, k.status);
        EXPECT_EQ(result->body.substr(0, k.startsWith.size()), k.startsWith);
    }
}

} // namespace
} // namespace quillon
