#include <gtest/gtest.h>

#include "install/download_request.h"
#include "install/install_order.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

TEST(InstallOrder, EachFolderInRequestOrderOthersAtOnce) {
    // Folders of requests 0..3: a, b, a, a. Transfers end in the order given; each ending
    // hands on what the steps say.
    const struct {
        const char* name;
        QList<QPair<int, bool>> endings; // request, left a file
        QList<QList<int>> handed;        // after each ending
    } cases[] = {
        {"a later small package waits for the earlier one of its folder",
         {{2, true}, {1, true}, {0, true}, {3, true}},
         {{}, {1}, {0, 2}, {3}}},
        {"an earlier request that failed lets the later ones go",
         {{3, true}, {2, true}, {0, false}, {1, true}},
         {{}, {}, {2, 3}, {1}}},
        {"in request order, each once", {{0, true}, {1, true}, {2, true}, {3, true}}, {{0}, {1}, {2}, {3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InstallOrder order({u"a"_s, u"b"_s, u"a"_s, u"a"_s});
        for (int step = 0; step < c.endings.size(); ++step) {
            order.finish(c.endings[step].first, c.endings[step].second);
            EXPECT_EQ(order.takeReady(), c.handed[step]) << "step " << step;
        }
    }
}

TEST(InstallOrder, FolderKeyIgnoresSeparatorsAndLetterCase) {
    auto key = [](const char* itemPath) {
        DownloadRequest request;
        request.ItemPath = QString::fromUtf8(itemPath);
        return InstallFolderKey(request);
    };
    EXPECT_EQ(key("%COMMANDER_PATH%\\Plugins\\WCX\\Zip\\zip.wcx"),
              key("%commander_path%/plugins/wcx/zip/x.wcx"));
    EXPECT_NE(key("/tc/plugins/a/a.wcx"), key("/tc/plugins/b/a.wcx"));
    EXPECT_EQ(key(""), QString());
}

} // namespace
} // namespace quillon
