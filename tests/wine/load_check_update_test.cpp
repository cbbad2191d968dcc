// quillon-cli updating a plugin in the test prefix, whose wineserver runs: an update whose
// plugin does not load is put back to the file that did, one that loads is kept.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "wine/load_checked_update.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(LoadCheckedUpdateByCli, ABrokenPluginIsPutBackAndAWorkingOneKept) {
    QUILLON_REQUIRE_WINE();
    struct Case {
        const char* name;
        QString packaged; // the built test plugin the package brings as sampack.wcx64
        int exitCode;
        QString result;
        QString reason; // how the reason starts
        bool putBack;
    };
    const Case cases[] = {
        {"lister named as a packer", u"lister.wlx64"_s, 1, u"failed"_s,
         u"Update failed: does not load (the function OpenArchive/OpenArchiveW is missing)"_s, true},
        {"packer", u"packer.wcx64"_s, 0, u"installed"_s, QString(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::LoadCheckedUpdate update;
        const QByteArray packaged = test::builtLoadPlugin(c.packaged);
        ASSERT_TRUE(update.prepare(packaged));
        const QString ini =
            test::wineWorld()->prefix + u"/drive_c/users/quillon/AppData/Roaming/GHISLER/wincmd.ini"_s;
        const test::CliResult run = test::runCli(
            {u"--wine-prefix"_s, test::wineWorld()->prefix, u"--settings-dir"_s, update.settings,
             u"/i="_s + ini, u"update"_s, u"--install"_s, u"--yes"_s, u"--json"_s, u"sampack.wcx64"_s},
            {}, 180000);
        const QJsonArray requests = QJsonDocument::fromJson(run.out).object().value(u"requests"_s).toArray();
        ASSERT_EQ(requests.size(), 1) << run.out.toStdString() << run.err.toStdString();
        const QJsonObject request = requests.first().toObject();
        EXPECT_EQ(request.value(u"result"_s).toString(), c.result) << run.out.toStdString();
        EXPECT_TRUE(request.value(u"reason"_s).toString().startsWith(c.reason)) << run.out.toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_EQ(test::readFile(update.plugin), c.putBack ? update.previous : packaged);
        EXPECT_EQ(run.err.contains("was put back because the new one does not load."), c.putBack)
            << run.err.toStdString();
    }
}

} // namespace
} // namespace quillon
