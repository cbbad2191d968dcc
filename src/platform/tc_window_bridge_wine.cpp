#include "platform/tc_window_bridge_wine.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <filesystem>
#include <sstream>

namespace quillon::platform {
namespace {

constexpr int kPollMs = 50;

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

} // namespace

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
    QProcess process;
    process.setProcessEnvironment(bridgeEnvironment(setup.prefix));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QString::fromStdString(setup.wineProgram), qtArguments, QIODevice::ReadOnly);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    if (!process.waitForStarted(static_cast<int>(limit.count()))) {
        failed.problem = TcWindowProblem::Failed;
        return failed;
    }
    // Read as it comes and only so much: a Wine program that floods its output must not take
    // the memory with it. The bridge's answer is a few lines.
    constexpr qsizetype kMostOutput = 64 * 1024;
    QByteArray output;
    while (process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(kPollMs);
        output += process.readAllStandardOutput();
        const bool cancelled = cancel && cancel->load();
        const bool flooding = output.size() > kMostOutput;
        if (cancelled || flooding || std::chrono::steady_clock::now() >= deadline) {
            process.kill();
            process.waitForFinished(1000);
            failed.problem = cancelled  ? TcWindowProblem::Cancelled
                             : flooding ? TcWindowProblem::Failed
                                        : TcWindowProblem::TimedOut;
            return failed;
        }
    }
    output += process.readAllStandardOutput();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
        output.size() > kMostOutput) {
        failed.problem = TcWindowProblem::Failed;
        return failed;
    }
    return parseBridgeOutput(output.toStdString());
}

} // namespace quillon::platform
