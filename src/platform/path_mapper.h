#pragma once
// Maps paths of Total Commander's world (drive letters, backslashes) to host paths and back.
// On Windows both directions are the identity apart from separators.
#include <string>
#include <string_view>

namespace quillon::platform {

class PathMapper {
public:
    virtual ~PathMapper() = default;
    // "C:\TotalCmd\wincmd.ini" -> "/home/u/.wine/drive_c/totalcmd/wincmd.ini", each component
    // resolved without regard to case against what exists. A host path is returned as it is.
    // Empty when the drive is unknown.
    virtual std::string toHostPath(std::string_view windowsPath) const = 0;
    // The inverse, for showing a host path to Total Commander: "/home/u/.wine/drive_c/x" -> "C:\x".
    // Empty when no drive covers the path.
    virtual std::string toWindowsPath(std::string_view hostPath) const = 0;
};

} // namespace quillon::platform
