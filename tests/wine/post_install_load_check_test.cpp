// An installed plugin that does not load is put back to its previous file when that one loads,
// and kept when the previous one did not load either (checked in the test prefix).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "install/post_install_load_check.h"
#include "platform/path_mapper_wine.h"
#include "platform/plugin_load_wine.h"
#include "support/test_support.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

QByteArray built(const char* file) {
    QFile f(QStringLiteral(QUILLON_LOAD_PLUGIN_DIR "/") + QString::fromLatin1(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(PostInstallLoadCheck, PutsBackOnlyWhatLoadedBefore) {
    QUILLON_REQUIRE_WINE();
    const test::WineWorld& world = *test::wineWorld();
    const platform::WinePathMapper paths(world.prefix.toStdString());
    const std::string bridge = world.bridge.toStdString();
    platform::WinePluginLoadCheck check(
        world.prefix.toStdString(), [&] { return world.wine.toStdString(); },
        platform::PluginLoadSetup{bridge, platform::bridge32Beside(bridge)}, paths);
    ASSERT_TRUE(check.live()) << "the test prefix's wineserver runs for the whole program";

    struct Case {
        const char* name;
        const char* previous; // built file that was installed
        const char* fresh;    // built file the update brings
        bool putBack;
    };
    const Case cases[] = {
        {"broken update of a working plugin", "lister.wlx64", "no_export.wlx64", true},
        {"broken update of a broken plugin", "refuses.wdx64", "no_export.wlx64", false},
        {"working update", "lister.wlx64", "lister.wlx64", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString folder =
            world.prefix + u"/drive_c/updated/"_s + QString::fromLatin1(c.name).replace(u' ', u'_');
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString target = folder + u"/viewer.wlx64"_s;
        const QByteArray previous = built(c.previous);
        const QByteArray fresh = built(c.fresh);
        ASSERT_FALSE(previous.isEmpty());
        ASSERT_TRUE(test::writeFile(target, previous));

        QTemporaryDir scratch;
        PostInstallLoadCheck loadCheck(&check, scratch.path() + u"/loads"_s);
        ASSERT_TRUE(loadCheck.active());
        loadCheck.keepPrevious({target});
        ASSERT_TRUE(test::writeFile(target, fresh)); // the package's copy
        const QList<LoadRollback> back = loadCheck.verify({target}, nullptr);

        EXPECT_EQ(back.size(), c.putBack ? 1 : 0);
        QFile now(target);
        ASSERT_TRUE(now.open(QIODevice::ReadOnly));
        EXPECT_EQ(now.readAll(), c.putBack ? previous : fresh);
        if (c.putBack) {
            EXPECT_EQ(back.front().newFile.state, platform::PluginLoadState::MissingExport);
        }
    }
}

} // namespace
} // namespace quillon
