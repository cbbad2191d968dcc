#include "platform/tc_window_wine.h"

#include "platform/tc_window_programs_wine.h"

#include <QProcess>

#include <filesystem>
#include <sstream>

namespace quillon::platform {
namespace {

std::optional<WindowRect> parseRect(const std::string& text) {
    std::istringstream numbers(text);
    WindowRect rect;
    if (numbers >> rect.left >> rect.top >> rect.right >> rect.bottom)
        return rect;
    return std::nullopt;
}

} // namespace

WineTcWindow::WineTcWindow(WineTcWindowSetup setup, const PathMapper& paths)
    : m_setup(std::move(setup)), m_paths(paths) {}

bool WineTcWindow::setWineProgram(const std::string& program) {
    const std::lock_guard lock(m_programMutex);
    if (program == m_setup.wineProgram)
        return false;
    m_setup.wineProgram = program;
    m_problem = TcWindowProblem::None; // said of the program before
    return true;
}

std::string WineTcWindow::wineProgram() const {
    const std::lock_guard lock(m_programMutex);
    return m_setup.wineProgram;
}

BridgeSetup WineTcWindow::bridgeSetup() const {
    return BridgeSetup{m_setup.prefix, wineProgram(), m_setup.bridgeProgram};
}

std::optional<BridgeReply> WineTcWindow::call(const std::vector<std::string>& arguments,
                                              std::chrono::milliseconds limit, Cancel cancel) {
    if (m_setup.prefix.empty()) {
        m_problem = TcWindowProblem::None;
        return std::nullopt;
    }
    const BridgeSetup setup = bridgeSetup();
    if (setup.wineProgram.empty()) {
        m_problem = TcWindowProblem::WineMissing;
        return std::nullopt;
    }
    if (!wineServerRunning(m_setup.prefix)) {
        m_problem = TcWindowProblem::None;
        return std::nullopt;
    }
    BridgeReply reply = runBridge(setup, arguments, limit, cancel);
    m_problem = reply.problem;
    if (!reply.ok() || !reply.flag("running"))
        return std::nullopt;
    return reply;
}

TcWindowState WineTcWindow::state(Cancel cancel) {
    TcWindowState state;
    const std::optional<BridgeReply> reply = call({"state"}, m_setup.callLimit, cancel);
    if (!reply)
        return state;
    state.running = true;
    state.minimized = reply->flag("minimized");
    const auto value = [&](const char* key) {
        const auto found = reply->values.find(key);
        return found == reply->values.end() ? std::string() : found->second;
    };
    state.title = value("title");
    const std::string exe = value("exe");
    state.processPath = exe.empty() ? std::string() : m_paths.toHostPath(exe);
    state.rect = parseRect(value("rect"));
    return state;
}

bool WineTcWindow::sendChangeDir(std::string_view hostPath, bool leftPanel, Cancel cancel) {
    const std::string windowsPath = m_paths.toWindowsPath(hostPath);
    if (windowsPath.empty())
        return false;
    const auto reply = call({"cd", leftPanel ? "left" : "right", windowsPath}, m_setup.callLimit, cancel);
    return reply && reply->flag("sent");
}

std::optional<std::string> WineTcWindow::request(std::string_view text, Cancel cancel) {
    const auto reply = call({"ask", std::string(text)}, m_setup.callLimit, cancel);
    if (!reply)
        return std::nullopt;
    const auto found = reply->values.find("answer");
    return found == reply->values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

bool WineTcWindow::sendCommand(int command, Cancel cancel) {
    const auto reply = call({"command", std::to_string(command)}, m_setup.callLimit, cancel);
    return reply && reply->flag("sent");
}

bool WineTcWindow::bringToFront(Cancel cancel) {
    const auto reply = call({"foreground"}, m_setup.callLimit, cancel);
    return reply && reply->flag("foreground");
}

bool WineTcWindow::closeAndWait(Cancel cancel) {
    // Where the window cannot be reached it counts as not running, so there is nothing to close.
    if (!call({"state"}, m_setup.callLimit, cancel))
        return true;
    const BridgeReply reply = runBridge(bridgeSetup(), {"close"}, m_setup.closeLimit, cancel);
    m_problem = reply.problem;
    return reply.ok() && reply.flag("closed");
}

bool WineTcWindow::launch(std::string_view hostExePath) {
    const std::string wine = wineProgram();
    if (m_setup.prefix.empty() || wine.empty()) {
        m_problem = m_setup.prefix.empty() ? TcWindowProblem::None : TcWindowProblem::WineMissing;
        return false;
    }
    const std::filesystem::path exe(hostExePath);
    QProcess process;
    process.setProgram(QString::fromStdString(wine));
    process.setArguments({QString::fromStdString(exe.string())});
    process.setWorkingDirectory(QString::fromStdString(exe.parent_path().string()));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), QString::fromStdString(m_setup.prefix));
    process.setProcessEnvironment(environment);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

} // namespace quillon::platform
