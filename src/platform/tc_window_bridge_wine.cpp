#include "platform/tc_window_bridge_wine.h"

#include "platform/bounded_process.h"

#include <QProcessEnvironment>

#include <filesystem>
#include <sstream>

namespace quillon::platform {

QProcessEnvironment bridgeEnvironment(const std::string& prefix) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), QString::fromStdString(prefix));
    // Wine's diagnostics would only slow each run down, and a prefix that Wine updates on the
    // way must not create menu entries on the desktop.
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    if (!environment.contains(QStringLiteral("WINEDLLOVERRIDES")))
        environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("winemenubuilder.exe=d"));
    return environment;
}

bool BridgeReply::flag(const std::string& key) const {
    const auto found = values.find(key);
    return found != values.end() && found->second == "1";
}

BridgeReply parseBridgeOutput(const std::string& output) {
    BridgeReply reply;
    std::istringstream lines(output);
    std::string line;
    bool ended = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line == "end") {
            ended = true;
            break;
        }
        const std::size_t space = line.find(' ');
        if (space != std::string::npos)
            reply.values[line.substr(0, space)] = line.substr(space + 1);
    }
    if (!ended) {
        reply.problem = TcWindowProblem::Failed;
        reply.values.clear();
    }
    return reply;
}

BridgeReply runBridge(const BridgeSetup& setup, const std::vector<std::string>& arguments,
                      std::chrono::milliseconds limit, const std::atomic_bool* cancel) {
    BridgeReply failed;
    if (setup.wineProgram.empty()) {
        failed.problem = TcWindowProblem::WineMissing;
        return failed;
    }
    std::error_code ec;
    if (setup.bridgeProgram.empty() || !std::filesystem::is_regular_file(setup.bridgeProgram, ec)) {
        failed.problem = TcWindowProblem::BridgeMissing;
        return failed;
    }
    QStringList qtArguments{QString::fromStdString(setup.bridgeProgram)};
    for (const std::string& argument : arguments)
        qtArguments.append(QString::fromStdString(argument));
    const BoundedRun run = runBounded(QString::fromStdString(setup.wineProgram), qtArguments,
                                      bridgeEnvironment(setup.prefix), limit, cancel);
    if (run.problem != TcWindowProblem::None || !run.exitedNormally || run.exitCode != 0) {
        failed.problem = run.problem != TcWindowProblem::None ? run.problem : TcWindowProblem::Failed;
        return failed;
    }
    return parseBridgeOutput(run.output.toStdString());
}

} // namespace quillon::platform
