#pragma once
// Whether a file was installed by the system's package manager. Such a file is updated by that
// package manager alone: replacing it from a download would put an unsigned program where the
// system keeps a signed one, and the next upgrade would overwrite it again.
#include <string>

namespace quillon::platform {

// Where dpkg keeps one "<package>.list" of installed paths per package.
inline constexpr char kDpkgInfoDir[] = "/var/lib/dpkg/info";

// The package whose file list names path (as given, resolved through links, or under the other
// half of a merged /usr), or empty when none does or there is no package database (Windows).
std::string PackageOwningFile(const std::string& path, const std::string& infoDir = kDpkgInfoDir);

} // namespace quillon::platform
