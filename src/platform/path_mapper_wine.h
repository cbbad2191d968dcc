#pragma once
// Drive letters of a Wine prefix: <prefix>/dosdevices/<letter>: links name each drive's folder.
#include <string>
#include <vector>

#include "platform/path_mapper.h"

namespace quillon::platform {

class WinePathMapper final : public PathMapper {
public:
    // An empty prefix knows no drives: only host paths pass.
    explicit WinePathMapper(std::string prefix);

    std::string toHostPath(std::string_view windowsPath) const override;
    std::string toWindowsPath(std::string_view hostPath) const override;

private:
    struct Drive {
        char letter;      // upper case
        std::string root; // canonical host path of the drive's folder
    };
    std::vector<Drive> drives() const;
    std::string driveRoot(char letter) const;

    std::string m_prefix;
};

} // namespace quillon::platform
