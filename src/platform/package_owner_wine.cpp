#include "platform/package_owner.h"

#include <filesystem>
#include <fstream>
#include <set>

namespace quillon::platform {

namespace {

// The spellings a package list may use for the file: Debian's merged /usr lists "/bin/x" for
// what lies at "/usr/bin/x" and the other way round.
std::set<std::string> spellings(const std::string& path) {
    namespace fs = std::filesystem;
    std::set<std::string> names{fs::path(path).lexically_normal().string()};
    std::error_code ec;
    const fs::path canonical = fs::canonical(path, ec);
    if (!ec)
        names.insert(canonical.string());
    for (const std::string& name : std::set<std::string>(names)) {
        for (const char* top : {"/bin/", "/sbin/", "/lib/"}) {
            const std::string usr = std::string("/usr") + top;
            if (name.rfind(top, 0) == 0)
                names.insert("/usr" + name);
            else if (name.rfind(usr, 0) == 0)
                names.insert(name.substr(4));
        }
    }
    return names;
}

} // namespace

std::string PackageOwningFile(const std::string& path, const std::string& infoDir) {
    namespace fs = std::filesystem;
    const std::set<std::string> names = spellings(path);
    std::error_code ec;
    for (fs::directory_iterator it(infoDir, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path list = it->path();
        if (list.extension() != ".list" || !it->is_regular_file(ec))
            continue;
        std::ifstream in(list);
        for (std::string line; std::getline(in, line);) {
            if (names.count(line) != 0)
                return list.stem().string();
        }
    }
    return {};
}

} // namespace quillon::platform
