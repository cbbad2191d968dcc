// The host side of Total Commander's window under Wine, with stand-ins for the Wine program: a
// run that hangs, fails or breaks off its answer leaves the window "not running" in bounded time
// and says why; a missing Wine is reported, not run.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

#include "platform/path_mapper_wine.h"
#include "platform/tc_window_bridge_wine.h"
#include "platform/tc_window_programs_wine.h"
#include "platform/tc_window_wine.h"
#include "scoped_env.h"
#include "support/test_support.h"

namespace quillon::platform {
namespace {

using namespace std::chrono_literals;

class WineBridgeHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        bridge = m_dir.filePath(QStringLiteral("quillon-tcbridge.exe")).toStdString();
        ASSERT_TRUE(test::writeFile(QString::fromStdString(bridge), "MZ"));
    }

    // A Wine program made of a shell script body; it gets the bridge and the verb as arguments.
    std::string fakeWine(const QByteArray& body) {
        const QString path = m_dir.filePath(QStringLiteral("wine%1").arg(++m_count));
        EXPECT_TRUE(test::writeFile(path, "#!/bin/sh\n" + body + "\n"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path.toStdString();
    }

    QTemporaryDir m_dir;
    std::string bridge;
    int m_count = 0;
};

TEST_F(WineBridgeHost, RunEndsWithTheAnswerOrWithWhyThereIsNone) {
    struct Case {
        const char* name;
        QByteArray script;
        TcWindowProblem problem;
        std::string title;
    };
    const Case cases[] = {
        {"answer", "[ \"$2\" = state ] && printf 'running 1\\r\\ntitle T - x y\\r\\nend\\r\\n'",
         TcWindowProblem::None, "T - x y"},
        {"cut short", "printf 'running 1\\ntitle T\\n'", TcWindowProblem::Failed, ""},
        {"crashed", "printf 'running 1\\nend\\n'; exit 3", TcWindowProblem::Failed, ""},
        {"hung", "exec sleep 30", TcWindowProblem::TimedOut, ""},
        // Kept only up to a few pages: an endless answer is cut off, not held in memory.
        {"flooding", "exec yes running", TcWindowProblem::Failed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        const BridgeReply reply =
            runBridge({"/nonexistent", fakeWine(c.script), bridge}, {"state"}, 1500ms, nullptr);
        EXPECT_EQ(reply.problem, c.problem);
        EXPECT_EQ(reply.values.count("title") ? reply.values.at("title") : std::string(), c.title);
        EXPECT_LT(timer.elapsed(), 10000);
    }
}

TEST_F(WineBridgeHost, CancelEndsAHungRunAtOnce) {
    std::atomic_bool cancel{false};
    std::thread canceller([&] {
        std::this_thread::sleep_for(200ms);
        cancel = true;
    });
    QElapsedTimer timer;
    timer.start();
    const BridgeReply reply =
        runBridge({"/nonexistent", fakeWine("exec sleep 30"), bridge}, {"state"}, 60s, &cancel);
    canceller.join();
    EXPECT_EQ(reply.problem, TcWindowProblem::Cancelled);
    EXPECT_LT(timer.elapsed(), 20000);
}

TEST_F(WineBridgeHost, MissingProgramsAreReportedNotRun) {
    EXPECT_EQ(runBridge({"/p", "", bridge}, {"state"}, 1s, nullptr).problem, TcWindowProblem::WineMissing);
    EXPECT_EQ(runBridge({"/p", fakeWine("exit 0"), bridge + ".gone"}, {"state"}, 1s, nullptr).problem,
              TcWindowProblem::BridgeMissing);

    const WinePathMapper paths(m_dir.path().toStdString());
    WineTcWindow window(WineTcWindowSetup{m_dir.path().toStdString(), "", bridge}, paths);
    EXPECT_FALSE(window.state().running);
    EXPECT_EQ(window.lastProblem(), TcWindowProblem::WineMissing);
    EXPECT_TRUE(window.closeAndWait());
}

TEST_F(WineBridgeHost, WineProgramComesFromTheLoaderVariableThenTheSettingThenThePath) {
    const std::string onPath = fakeWine("exit 0");
    const std::string pathDir = m_dir.path().toStdString() + "/bin";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(pathDir)));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(onPath), QString::fromStdString(pathDir + "/wine64")));
    const std::string missing = m_dir.path().toStdString() + "/missing/wine";
    struct Case {
        const char* name;
        std::optional<std::string> loader;
        std::string setting;
        std::string found;
    };
    const Case cases[] = {
        {"loader", onPath, missing, onPath},
        {"missing loader decides", missing, onPath, ""},
        {"setting", std::nullopt, onPath, onPath},
        {"missing setting decides", std::nullopt, missing, ""},
        {"path", std::nullopt, "", pathDir + "/wine64"},
    };
    test::ScopedEnv env;
    env.set("PATH", pathDir);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        env.set("WINELOADER", c.loader);
        EXPECT_EQ(findWineProgram(c.setting), c.found);
    }
}

} // namespace
} // namespace quillon::platform
