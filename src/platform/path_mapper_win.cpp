#include "platform/win_services.h"

#include <string>

namespace quillon::platform::win {
namespace {

std::string replaced(std::string_view path, char from, char to) {
    std::string result(path);
    for (char& c : result)
        if (c == from)
            c = to;
    return result;
}

// On Windows both worlds share the file system; only the separators differ between them.
class Win32PathMapper final : public PathMapper {
public:
    std::string toHostPath(std::string_view windowsPath) const override {
        return replaced(windowsPath, '\\', '/');
    }
    std::string toWindowsPath(std::string_view hostPath) const override {
        return replaced(hostPath, '/', '\\');
    }
};

} // namespace

std::unique_ptr<PathMapper> makePathMapper() {
    return std::make_unique<Win32PathMapper>();
}

} // namespace quillon::platform::win
