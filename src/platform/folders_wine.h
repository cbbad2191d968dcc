#pragma once
// Folders on Linux: Quillon's own ones from the XDG layout, the Windows ones inside the prefix.
#include <string>

#include "platform/environment.h"
#include "platform/folders.h"
#include "platform/path_mapper.h"

namespace quillon::platform {

class WineFolders final : public Folders {
public:
    // An empty prefix: no Windows directory and no Windows drive.
    WineFolders(const Environment& own, const PathMapper& paths, std::string prefix);

    std::string specialFolderPath(int csidl) const override;
    std::string knownFolderPath(int csidl, std::string_view knownFolderId) const override;
    std::string tempDirectory() const override;
    std::string windowsDirectory() const override;
    std::string windowsDrive() const override;

private:
    const Environment& m_own;
    const PathMapper& m_paths;
    std::string m_prefix;
};

// XDG_DOWNLOAD_DIR from user-dirs.dirs, else ~/Downloads; without trailing "/".
std::string xdgDownloadDirectory();

} // namespace quillon::platform
