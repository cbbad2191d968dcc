#pragma once
// Known and special folders, the temporary and the Windows directory. Results are host paths.
#include <string>
#include <string_view>

namespace quillon::platform {

inline constexpr int CSIDL_APPDATA = 26;
inline constexpr std::string_view FOLDERID_Downloads = "{374DE290-123F-4565-9164-39C4925E467B}";

class Folders {
public:
    virtual ~Folders() = default;
    // Without trailing separator; empty on failure.
    virtual std::string specialFolderPath(int csidl) const = 0;
    // With trailing separator; empty on failure. csidl may be -1 (none).
    virtual std::string knownFolderPath(int csidl, std::string_view knownFolderId) const = 0;
    // With trailing separator.
    virtual std::string tempDirectory() const = 0;
    virtual std::string windowsDirectory() const = 0;
    // "C:" on Windows; on Linux the host path of the prefix's C: drive (empty without a prefix).
    virtual std::string windowsDrive() const = 0;
};

} // namespace quillon::platform
