#include "platform/package_owner.h"

namespace quillon::platform {

// Windows has no package database that owns program files; an installer's files are the
// user's to replace.
std::string PackageOwningFile(const std::string&, const std::string&) {
    return {};
}

} // namespace quillon::platform
