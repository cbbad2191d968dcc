// Plugin files loaded by the bridge in the test prefix: each way of not loading is named, and a
// 32-bit file is never called broken for want of a 32-bit Wine.
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "platform/path_mapper_wine.h"
#include "platform/plugin_load_wine.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

using platform::PluginLoadState;

TEST(PluginLoadUnderWine, EachFileIsFoundToLoadOrNamesWhyNot) {
    QUILLON_REQUIRE_WINE();
    const test::WineWorld& world = *test::wineWorld();
    const QString folder = world.prefix + u"/drive_c/loadcheck"_s;
    ASSERT_TRUE(QDir().mkpath(folder));
    const platform::WinePathMapper paths(world.prefix.toStdString());
    const std::string bridge = world.bridge.toStdString();
    platform::WinePluginLoadCheck check(
        world.prefix.toStdString(), [&] { return world.wine.toStdString(); },
        platform::PluginLoadSetup{bridge, platform::bridge32Beside(bridge)}, paths);

    struct Case {
        const char* file;
        PluginLoadState state;
        std::string detail;
    };
    const Case cases[] = {
        {"packer.wcx64", PluginLoadState::Loads, ""},
        {"filesystem.wfx64", PluginLoadState::Loads, ""}, // the wide forms only
        {"lister.wlx64", PluginLoadState::Loads, ""},
        {"content.wdx64", PluginLoadState::Loads, ""},
        {"no_export.wlx64", PluginLoadState::MissingExport, "ListLoad/ListLoadW"},
        {"refuses.wdx64", PluginLoadState::InitFailed, ""},
        {"needs_absent.wcx64", PluginLoadState::MissingDll, "quillon_absent.dll"},
        {"thirty_two.wcx64", PluginLoadState::WrongMachine, "x86"},
        {"text.wlx64", PluginLoadState::NotPe, ""},
    };
    QFile text(folder + u"/text.wlx64"_s);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly) && text.write("not a program") > 0);
    text.close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString target = folder + u'/' + QString::fromLatin1(c.file);
        const QString built = QStringLiteral(QUILLON_LOAD_PLUGIN_DIR "/") + QString::fromLatin1(c.file);
        ASSERT_TRUE(QFile::exists(target) || QFile::copy(built, target));
        const platform::PluginLoadResult result = check.check(target.toStdString());
        EXPECT_EQ(platform::pluginLoadStateName(result.state), platform::pluginLoadStateName(c.state));
        EXPECT_EQ(result.detail, c.detail);
    }

    // With a 32-bit Wine it loads; without one it cannot be checked, and is not broken.
    const QString thirtyTwo = folder + u"/packer.wcx"_s;
    ASSERT_TRUE(QFile::copy(QStringLiteral(QUILLON_LOAD_PLUGIN_DIR "/packer.wcx"), thirtyTwo));
    const platform::PluginLoadResult result = check.check(thirtyTwo.toStdString());
    EXPECT_TRUE(result.state == PluginLoadState::Loads || result.state == PluginLoadState::No32BitWine)
        << platform::pluginLoadStateName(result.state);
}

} // namespace
} // namespace quillon
