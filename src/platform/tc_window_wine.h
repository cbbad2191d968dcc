#pragma once
// Total Commander's window under Wine is out of reach from a native process: it never runs.
#include "platform/tc_window.h"

namespace quillon::platform {

class AbsentTcWindow final : public TcWindow {
public:
    bool isRunning() const override { return false; }
    bool isMinimized() const override { return false; }
    std::string title() const override { return {}; }
    std::string processPath() const override { return {}; }
    void sendChangeDir(std::string_view, bool) override {}
    void sendCommand(int) override {}
    bool requestClose() override { return false; }
};

} // namespace quillon::platform
