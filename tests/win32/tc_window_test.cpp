// Total Commander's window as the Windows build reaches it, against the stand-in window that
// logs every message it gets. The stand-in's path comes from the test run (QUILLON_TC_STANDIN).
#include "platform/win_services.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

#include "platform/win_text.h"
#include "win32/win32_test_support.h"

namespace quillon::platform {
namespace {

// The stand-in as a process of its own, ended with the test.
class StandIn {
public:
    StandIn(const std::wstring& exe, const std::wstring& log) : m_log(log) {
        std::wstring commandLine = L"\"" + exe + L"\" \"" + log + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &m_process))
            m_process = {};
        else
            CloseHandle(m_process.hThread);
    }
    ~StandIn() {
        if (!m_process.hProcess)
            return;
        if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
            TerminateProcess(m_process.hProcess, 1);
        WaitForSingleObject(m_process.hProcess, 10000);
        CloseHandle(m_process.hProcess);
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    bool ready() const {
        for (int i = 0; i < 600 && m_process.hProcess; ++i) {
            if (test::win32::readFile(m_log).rfind("READY", 0) == 0)
                return true;
            if (WaitForSingleObject(m_process.hProcess, 50) != WAIT_TIMEOUT)
                return false;
        }
        return false;
    }
    std::vector<std::string> messages() const {
        std::vector<std::string> lines;
        std::istringstream text(test::win32::readFile(m_log));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        if (!lines.empty())
            lines.erase(lines.begin()); // "READY"
        return lines;
    }
    bool waitUntilGone(DWORD milliseconds) const {
        return WaitForSingleObject(m_process.hProcess, milliseconds) == WAIT_OBJECT_0;
    }

private:
    std::wstring m_log;
    PROCESS_INFORMATION m_process{};
};

TEST(Win32TcWindow, NoWindowIsNotRunning) {
    const std::unique_ptr<TcWindow> tc = win::makeTcWindow();
    const TcWindowState state = tc->state();
    EXPECT_FALSE(state.running);
    EXPECT_TRUE(state.title.empty());
    EXPECT_FALSE(tc->request("A").has_value());
    EXPECT_FALSE(tc->sendCommand(1006));
    EXPECT_FALSE(tc->sendChangeDir("C:/", true));
    EXPECT_FALSE(tc->bringToFront());
    EXPECT_TRUE(tc->closeAndWait()); // nothing to close
    EXPECT_EQ(tc->lastProblem(), TcWindowProblem::None);
}

TEST(Win32TcWindow, EveryCallReachesTheWindow) {
    const std::wstring exe = test::win32::variable(L"QUILLON_TC_STANDIN");
    if (exe.empty())
        GTEST_SKIP() << "QUILLON_TC_STANDIN names no stand-in window program";
    const test::win32::TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const StandIn standIn(exe, dir.file(L"messages.log"));
    ASSERT_TRUE(standIn.ready());
    const std::unique_ptr<TcWindow> tc = win::makeTcWindow();

    const TcWindowState state = tc->state();
    ASSERT_TRUE(state.running);
    EXPECT_FALSE(state.minimized);
    EXPECT_EQ(state.title, "Total Commander 11.03 - Stand-in");
    EXPECT_EQ(state.rect, (WindowRect{100, 50, 900, 650}));
    // Host form, as every path that leaves the platform layer.
    std::string expectedPath = win::toUtf8(exe);
    for (char& c : expectedPath)
        if (c == '\\')
            c = '/';
    EXPECT_EQ(test::win32::lower(state.processPath), test::win32::lower(expectedPath));

    const struct {
        const char* name;
        std::function<bool()> call;
        std::string logged;
    } cases[] = {
        {"cd left", [&] { return tc->sendChangeDir("C:/standin/", true); }, "CD left C:\\standin\\"},
        {"cd right", [&] { return tc->sendChangeDir("C:/standin/TOTALCMD64.EXE", false); },
         "CD right C:\\standin\\TOTALCMD64.EXE"},
        {"ask", [&] { return tc->request("A") == "R"; }, "GA A"},
        {"command", [&] { return tc->sendCommand(1006); }, "COMMAND 1006"},
        {"close", [&] { return tc->closeAndWait(); }, "COMMAND 24340"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t before = standIn.messages().size();
        EXPECT_TRUE(c.call());
        const std::vector<std::string> messages = standIn.messages();
        ASSERT_EQ(messages.size(), before + 1);
        EXPECT_EQ(messages.back(), c.logged);
    }
    EXPECT_TRUE(standIn.waitUntilGone(10000));
    EXPECT_FALSE(tc->state().running);
}

} // namespace
} // namespace quillon::platform
