#pragma once
// Total Commander's window under Wine: Total Commander runs in the prefix's wineserver, and the
// bridge program, started with the prefix's Wine, reaches its window with the Win32 calls. Any
// failure leaves the window "not running" and says why in lastProblem().
#include <chrono>
#include <mutex>

#include "platform/path_mapper.h"
#include "platform/tc_window.h"
#include "platform/tc_window_bridge_wine.h"

namespace quillon::platform {

struct WineTcWindowSetup {
    std::string prefix;      // empty: no Wine world, never running
    std::string wineProgram; // as findWineProgram() gives it
    std::string bridgeProgram;
    // A hung wineserver must not hang Quillon. A cold prefix's first run starts its server.
    std::chrono::milliseconds callLimit{15000};
    // Up to 32 close requests, each waited for up to a second, half a second apart.
    std::chrono::milliseconds closeLimit{60000};
};

class WineTcWindow final : public TcWindow {
public:
    WineTcWindow(WineTcWindowSetup setup, const PathMapper& paths);

    TcWindowState state(Cancel cancel = nullptr) override;
    bool sendChangeDir(std::string_view hostPath, bool leftPanel, Cancel cancel = nullptr) override;
    std::optional<std::string> request(std::string_view text, Cancel cancel = nullptr) override;
    bool sendCommand(int command, Cancel cancel = nullptr) override;
    bool bringToFront(Cancel cancel = nullptr) override;
    bool closeAndWait(Cancel cancel = nullptr) override;
    bool launch(std::string_view hostExePath) override;
    TcWindowProblem lastProblem() const override { return m_problem.load(); }

    // The settings may name another Wine program while a job talks to the window: the call
    // under way keeps its program. True when the program changed.
    bool setWineProgram(const std::string& program);
    std::string wineProgram() const;

private:
    BridgeSetup bridgeSetup() const;

    // Nothing is started when no wineserver serves the prefix: Total Commander cannot run then.
    std::optional<BridgeReply> call(const std::vector<std::string>& arguments,
                                    std::chrono::milliseconds limit, Cancel cancel);

    WineTcWindowSetup m_setup;
    const PathMapper& m_paths;
    std::atomic<TcWindowProblem> m_problem{TcWindowProblem::None};
    mutable std::mutex m_programMutex; // guards m_setup.wineProgram
};

} // namespace quillon::platform
