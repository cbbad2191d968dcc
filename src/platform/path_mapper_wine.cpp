#include "platform/path_mapper_wine.h"

#include <QString>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace quillon::platform {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isDriveLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

// The entry of dir that Windows would open for name: the exact spelling when it exists, else the
// first that differs only in letter case. Empty when none.
std::string matchEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    if (fs::symlink_status(dir / name, ec).type() != fs::file_type::not_found && !ec)
        return name;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (sameNameIgnoringCase(entry, name))
            return entry;
    }
    return {};
}

std::string joinHost(const std::string& root, const std::vector<std::string>& parts) {
    std::string result = root;
    for (const std::string& part : parts) {
        if (result.empty() || result.back() != '/')
            result += '/';
        result += part;
    }
    return result;
}

} // namespace

WinePathMapper::WinePathMapper(std::string prefix) : m_prefix(std::move(prefix)) {}

std::string WinePathMapper::driveRoot(char letter) const {
    if (m_prefix.empty())
        return {};
    std::error_code ec;
    const fs::path link = fs::path(m_prefix) / "dosdevices" / std::string{lower(letter), ':'};
    // canonical() fails with ELOOP on a link cycle instead of spinning.
    const fs::path root = fs::canonical(link, ec);
    if (ec || !fs::is_directory(root, ec))
        return {};
    return root.string();
}

std::vector<WinePathMapper::Drive> WinePathMapper::drives() const {
    std::vector<Drive> result;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        std::string root = driveRoot(letter);
        if (!root.empty())
            result.push_back({letter, std::move(root)});
    }
    return result;
}

std::string WinePathMapper::toHostPath(std::string_view windowsPath) const {
    std::string_view path = windowsPath;
    if (path.empty())
        return {};
    if (path.front() == '/')
        return std::string(path);
    if (path.size() >= 6 && path.substr(0, 4) == "\\\\?\\" && path[5] == ':')
        path.remove_prefix(4);
    if (path.size() < 2 || !isDriveLetter(path[0]) || path[1] != ':')
        return {}; // UNC, relative or garbage
    const std::string root = driveRoot(path[0]);
    if (root.empty())
        return {};

    std::vector<std::string> parts;
    bool resolving = true;
    std::size_t pos = 2;
    while (pos < path.size()) {
        while (pos < path.size() && isSeparator(path[pos]))
            ++pos;
        std::size_t end = pos;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        const std::string part(path.substr(pos, end - pos));
        pos = end;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
            continue;
        }
        if (resolving) {
            const std::string found = matchEntry(joinHost(root, parts), part);
            if (!found.empty()) {
                parts.push_back(found);
                continue;
            }
            resolving = false; // nothing below a missing folder exists either
        }
        parts.push_back(part);
    }
    std::string result = joinHost(root, parts);
    if (!parts.empty() && isSeparator(path.back()))
        result += '/';
    return result;
}

std::string WinePathMapper::toWindowsPath(std::string_view hostPath) const {
    if (hostPath.size() >= 2 && isDriveLetter(hostPath[0]) && hostPath[1] == ':')
        return std::string(hostPath);
    if (hostPath.empty() || hostPath.front() != '/')
        return {};
    std::error_code ec;
    std::string host = fs::weakly_canonical(fs::path(hostPath), ec).string();
    if (ec)
        host = fs::path(hostPath).lexically_normal().string();
    const bool trailing = hostPath.back() == '/' && host != "/";

    const Drive* best = nullptr;
    const std::vector<Drive> all = drives();
    for (const Drive& drive : all) {
        const std::string& root = drive.root;
        const bool covers = root == "/" || host == root ||
                            (host.size() > root.size() && host.compare(0, root.size(), root) == 0 &&
                             host[root.size()] == '/');
        if (covers && (!best || root.size() > best->root.size()))
            best = &drive;
    }
    if (!best)
        return {};
    std::string rest = host.substr(best->root == "/" ? 0 : best->root.size());
    while (!rest.empty() && rest.front() == '/')
        rest.erase(0, 1);
    while (!rest.empty() && rest.back() == '/')
        rest.pop_back();
    for (char& c : rest)
        if (c == '/')
            c = '\\';
    std::string result{best->letter, ':', '\\'};
    result += rest;
    if (trailing && !rest.empty())
        result += '\\';
    return result;
}

} // namespace quillon::platform
