// The Win32 implementations of the platform layer, built with MinGW-w64 with their own tests,
// run in the prefix that the other Wine tests share.
#include <QProcess>

#include <gtest/gtest.h>

#include "platform/path_mapper_wine.h"
#include "support/test_support.h"
#include "wine/wine_prefix.h"

namespace quillon {
namespace {

TEST(Win32Platform, ItsTestsPassInTheWinePrefix) {
    QUILLON_REQUIRE_WINE();
    const QString program = QStringLiteral(QUILLON_WIN32_TESTS_PATH);
    QUILLON_SKIP_UNLESS(
        !program.isEmpty(),
        "the Win32 platform tests were not built (tools/install-deps.sh installs what they need)");
    const test::WineWorld& world = *test::wineWorld();
    const platform::WinePathMapper paths(world.prefix.toStdString());
    QProcessEnvironment environment = test::wineEnvironment(world.prefix);
    environment.insert(QStringLiteral("QUILLON_TC_STANDIN"),
                       QString::fromStdString(paths.toWindowsPath(world.standIn.toStdString())));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(world.wine, {program, QStringLiteral("--gtest_brief=1")});
    ASSERT_TRUE(process.waitForFinished(180000)) << "the Win32 platform tests did not finish";
    const QString output = QString::fromUtf8(process.readAll());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ]"))) << output.toStdString();
    EXPECT_FALSE(output.contains(QStringLiteral("[  SKIPPED ]"))) << output.toStdString();
}

} // namespace
} // namespace quillon
