#include "platform/shell_wine.h"

#include <QFileInfo>
#include <QUrl>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

namespace quillon::platform {
namespace {

// Long enough for a file manager to answer a D-Bus call, short enough not to freeze the window.
constexpr auto kShowItemsWait = std::chrono::seconds(3);

pid_t spawnQuiet(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::vector<std::string> storage;
    storage.push_back(program);
    storage.insert(storage.end(), arguments.begin(), arguments.end());
    for (std::string& item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// True when the child ended with status 0 within the wait; a child still running is killed.
bool waitForSuccess(pid_t pid, std::chrono::steady_clock::duration limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid)
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0)
            return false;
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

std::string findInPath(std::string_view name) {
    if (name.find('/') != std::string_view::npos)
        return access(std::string(name).c_str(), X_OK) == 0 ? std::string(name) : std::string();
    const char* path = std::getenv("PATH");
    std::string_view rest = path ? path : "/usr/local/bin:/usr/bin:/bin";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        std::string candidate(dir.empty() ? std::string_view(".") : dir);
        candidate += '/';
        candidate.append(name);
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

bool DesktopShell::showFileInFileManager(std::string_view hostPath) {
    const QString path = QString::fromUtf8(hostPath.data(), static_cast<qsizetype>(hostPath.size()));
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);

    const std::string gdbus = findInPath("gdbus");
    if (!gdbus.empty()) {
        const std::string uri = QUrl::fromLocalFile(info.absoluteFilePath()).toEncoded().toStdString();
        // A GVariant string literal: the URI is percent-encoded, so it holds no quote or backslash.
        const pid_t pid = spawnQuiet(
            gdbus, {"call", "--session", "--timeout", "2", "--dest", "org.freedesktop.FileManager1",
                    "--object-path", "/org/freedesktop/FileManager1", "--method",
                    "org.freedesktop.FileManager1.ShowItems", "['" + uri + "']", ""});
        if (pid > 0 && waitForSuccess(pid, kShowItemsWait))
            return true;
    }

    const std::string xdgOpen = findInPath("xdg-open");
    if (xdgOpen.empty())
        return false;
    const std::string folder = (info.isDir() ? info.absoluteFilePath() : info.absolutePath()).toStdString();
    // Through a shell that puts xdg-open in the background, so nothing waits for the file manager
    // and no zombie is left behind.
    const pid_t pid =
        spawnQuiet("/bin/sh", {"-c", "\"$0\" \"$1\" </dev/null >/dev/null 2>&1 &", xdgOpen, folder});
    return pid > 0 && waitForSuccess(pid, kShowItemsWait);
}

} // namespace quillon::platform
