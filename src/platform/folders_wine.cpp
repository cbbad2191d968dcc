#include "platform/folders_wine.h"

#include "platform/environment_wine.h"

#include <fstream>

namespace quillon::platform {
namespace {

constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_LOCAL_APPDATA = 28;
constexpr int CSIDL_PROFILE = 40;

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// One entry of user-dirs.dirs: NAME="$HOME/rel" or NAME="/abs"; empty when absent or odd.
std::string userDir(std::string_view name) {
    std::ifstream in(hostConfigHome() + "/user-dirs.dirs");
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#')
            continue;
        const std::string_view item = std::string_view(line).substr(start);
        if (item.substr(0, name.size()) != name || item.substr(name.size(), 2) != "=\"")
            continue;
        const std::size_t close = item.rfind('"');
        if (close <= name.size() + 1)
            continue;
        std::string value(item.substr(name.size() + 2, close - name.size() - 2));
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            value = hostHomeDirectory() + value.substr(5);
        if (!value.empty() && value.front() == '/')
            found = value; // the last assignment wins, as in the shell
    }
    while (found.size() > 1 && found.back() == '/')
        found.pop_back();
    return found;
}

} // namespace

std::string xdgDownloadDirectory() {
    const std::string configured = userDir("XDG_DOWNLOAD_DIR");
    // xdg-user-dirs sets a disabled folder to $HOME itself; Windows would still have Downloads.
    if (!configured.empty() && configured != hostHomeDirectory())
        return configured;
    return hostHomeDirectory() + "/Downloads";
}

WineFolders::WineFolders(const Environment& own, const PathMapper& paths, std::string prefix)
    : m_own(own), m_paths(paths), m_prefix(std::move(prefix)) {}

std::string WineFolders::specialFolderPath(int csidl) const {
    switch (csidl) {
    case CSIDL_APPDATA:
        return m_own.variable("APPDATA").value_or(std::string());
    case CSIDL_LOCAL_APPDATA:
        return m_own.variable("LOCALAPPDATA").value_or(std::string());
    case CSIDL_PROFILE:
        return hostHomeDirectory();
    case CSIDL_PERSONAL: {
        const std::string documents = userDir("XDG_DOCUMENTS_DIR");
        return documents.empty() ? hostHomeDirectory() : documents;
    }
    default:
        return {};
    }
}

std::string WineFolders::knownFolderPath(int csidl, std::string_view knownFolderId) const {
    if (equalsIgnoringAsciiCase(knownFolderId, FOLDERID_Downloads))
        return withSlash(xdgDownloadDirectory());
    if (csidl >= 0)
        return withSlash(specialFolderPath(csidl));
    return {};
}

std::string WineFolders::tempDirectory() const {
    return withSlash(hostTempDirectory());
}

std::string WineFolders::windowsDirectory() const {
    if (m_prefix.empty())
        return {};
    return withSlash(m_paths.toHostPath("C:\\windows"));
}

std::string WineFolders::windowsDrive() const {
    if (m_prefix.empty())
        return {};
    std::string drive = m_paths.toHostPath("C:\\");
    while (drive.size() > 1 && drive.back() == '/')
        drive.pop_back();
    return drive == "/" ? std::string() : drive;
}

} // namespace quillon::platform
