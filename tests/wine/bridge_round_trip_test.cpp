// The bridge against a stand-in for Total Commander's window in a real Wine prefix: every call of
// the platform layer arrives as the message Total Commander expects, and a window that does not
// answer costs no more than the time limit.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/path_mapper_wine.h"
#include "platform/tc_window_wine.h"
#include "support/test_support.h"
#include "wine/wine_prefix.h"

using namespace Qt::StringLiterals;

namespace quillon {
namespace {

class BridgeRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        QUILLON_REQUIRE_WINE();
        const test::WineWorld& world = *test::wineWorld();
        // Its own copy: the update test replaces the installation's executable.
        exe = world.prefix + u"/drive_c/standin/TOTALCMD64.EXE"_s;
        ASSERT_TRUE(QDir().mkpath(world.prefix + u"/drive_c/standin"_s));
        ASSERT_TRUE(QFileInfo::exists(exe) || QFile::copy(world.standIn, exe));
        paths = std::make_unique<platform::WinePathMapper>(world.prefix.toStdString());
        log = m_dir.path() + u"/messages.log"_s;
    }

    platform::WineTcWindow window(std::chrono::milliseconds limit = std::chrono::seconds(30)) const {
        const test::WineWorld& world = *test::wineWorld();
        platform::WineTcWindowSetup setup{world.prefix.toStdString(), world.wine.toStdString(),
                                          world.bridge.toStdString()};
        setup.callLimit = limit;
        return platform::WineTcWindow(setup, *paths);
    }

    QTemporaryDir m_dir;
    QString exe, log;
    std::unique_ptr<platform::WinePathMapper> paths;
};

TEST_F(BridgeRoundTrip, EveryCallReachesTheWindowAsTotalCommanderExpectsIt) {
    test::StandIn standIn(exe, log);
    ASSERT_TRUE(standIn.ready());
    platform::WineTcWindow tc = window();

    const platform::TcWindowState state = tc.state();
    ASSERT_TRUE(state.running) << int(tc.lastProblem());
    EXPECT_FALSE(state.minimized);
    EXPECT_EQ(state.title, "Total Commander 11.03 - Stand-in");
    EXPECT_EQ(state.processPath, std::filesystem::canonical(exe.toStdString()).string());
    EXPECT_EQ(state.rect, (platform::WindowRect{100, 50, 900, 650}));

    const QString folder = test::wineWorld()->prefix + u"/drive_c/standin"_s;
    struct Case {
        const char* name;
        std::function<bool()> call;
        QString logged;
    };
    const Case cases[] = {
        {"cd left", [&] { return tc.sendChangeDir(folder.toStdString(), true); }, u"CD left C:\\standin"_s},
        {"cd right", [&] { return tc.sendChangeDir(exe.toStdString(), false); },
         u"CD right C:\\standin\\TOTALCMD64.EXE"_s},
        {"ask", [&] { return tc.request("a") == "R"; }, u"GA A"_s},
        {"command", [&] { return tc.sendCommand(1006); }, u"COMMAND 1006"_s},
        {"close", [&] { return tc.closeAndWait(); }, u"COMMAND 24340"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = standIn.messages().size();
        EXPECT_TRUE(c.call()) << int(tc.lastProblem());
        const QStringList messages = standIn.messages();
        ASSERT_EQ(messages.size(), before + 1) << messages.join(u" | "_s).toStdString();
        EXPECT_EQ(messages.back(), c.logged);
    }
    EXPECT_TRUE(standIn.waitUntilGone(10000));
    EXPECT_FALSE(tc.state().running);
    EXPECT_EQ(tc.lastProblem(), platform::TcWindowProblem::None);
}

TEST_F(BridgeRoundTrip, MinimizedWindowIsReportedAndBroughtBack) {
    test::StandIn standIn(exe, log, {u"--minimized"_s});
    ASSERT_TRUE(standIn.ready());
    platform::WineTcWindow tc = window();
    EXPECT_TRUE(tc.state().minimized);
    EXPECT_TRUE(tc.bringToFront());
    EXPECT_FALSE(tc.state().minimized);
}

TEST_F(BridgeRoundTrip, WindowThatDoesNotAnswerCostsNoMoreThanTheTimeLimit) {
    constexpr int kStallMs = 20000;
    test::StandIn standIn(exe, log, {u"--stall"_s, QString::number(kStallMs)});
    ASSERT_TRUE(standIn.ready());
    platform::WineTcWindow tc = window(std::chrono::seconds(8));
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(tc.sendCommand(1006));
    // The first message took the window; the next one finds it hung.
    EXPECT_FALSE(tc.sendCommand(1006));
    EXPECT_LT(timer.elapsed(), kStallMs);
}

} // namespace
} // namespace quillon
