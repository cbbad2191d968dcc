#include "platform/tc_window_programs_wine.h"

#include <QFile>
#include <QStandardPaths>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/regular_file.h"

namespace quillon::platform {
namespace {

namespace fs = std::filesystem;

constexpr char kDebianWineLoader[] = "/usr/lib/wine/wine64";

bool isExecutable(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

std::string onPath(const std::string& name) {
    return QStandardPaths::findExecutable(QString::fromStdString(name)).toStdString();
}

std::string explicitProgram(const std::string& named) {
    if (named.find('/') == std::string::npos)
        return onPath(named);
    return isExecutable(named) ? named : std::string();
}

} // namespace

std::string findWineProgram(const std::string& setting) {
    if (const char* loader = std::getenv("WINELOADER"); loader && *loader)
        return explicitProgram(loader);
    if (!setting.empty())
        return explicitProgram(setting);
    for (const char* name : {"wine", "wine64"})
        if (std::string found = onPath(name); !found.empty())
            return found;
    return isExecutable(kDebianWineLoader) ? kDebianWineLoader : std::string();
}

std::string defaultTcBridgeProgram() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : (self.parent_path() / "quillon-tcbridge.exe").string();
}

bool wineServerRunning(const std::string& prefix) {
    struct stat info {};
    if (prefix.empty() || ::stat(prefix.c_str(), &info) != 0)
        return false;
    char serverName[64];
    std::snprintf(serverName, sizeof serverName, "server-%llx-%llx",
                  static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino));
    // Upstream Wine keeps the server's socket under /tmp/.wine-<uid>; Debian's under a random
    // folder in the temporary directory that the prefix's "wineserver" file names.
    std::vector<std::string> folders{"/tmp/.wine-" + std::to_string(::getuid())};
    // Opened only as a regular file: a FIFO planted there would block every command for ever.
    QFile pointer;
    if (const int fd = OpenRegularFileForReading(prefix + "/wineserver");
        fd >= 0 && !pointer.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        CloseFileDescriptor(fd);
    if (pointer.isOpen()) {
        const std::string name = pointer.read(256).trimmed().toStdString();
        if (!name.empty() && name.find('/') == std::string::npos) {
            folders.push_back("/tmp/" + name);
            if (const char* tmp = std::getenv("TMPDIR"); tmp && *tmp)
                folders.push_back(std::string(tmp) + '/' + name);
        }
    }
    std::error_code ec;
    for (const std::string& folder : folders)
        if (fs::exists(fs::path(folder) / serverName / "socket", ec))
            return true;
    return false;
}

} // namespace quillon::platform
