#pragma once
// One run of the bridge program in the Wine prefix: its "key value" answer lines, or why there
// are none. The run is bounded in time and ends early when the cancel flag is set.
#include <QProcessEnvironment>

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "platform/tc_window.h"

namespace quillon::platform {

struct BridgeSetup {
    std::string prefix;
    std::string wineProgram; // empty: Wine is missing
    std::string bridgeProgram;
};

struct BridgeReply {
    TcWindowProblem problem = TcWindowProblem::None;
    std::map<std::string, std::string> values;

    bool ok() const { return problem == TcWindowProblem::None; }
    bool flag(const std::string& key) const;
};

// Wine's environment for a bridge run in the prefix.
QProcessEnvironment bridgeEnvironment(const std::string& prefix);

BridgeReply runBridge(const BridgeSetup& setup, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds limit, const std::atomic_bool* cancel);

// The answer lines as the bridge writes them; a reply without its closing "end" line is no reply.
BridgeReply parseBridgeOutput(const std::string& output);

} // namespace quillon::platform
