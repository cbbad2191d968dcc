#include "install/cab_archive.h"

#include "install/libarchive_extract.h"

namespace quillon {

ArchiveResult DecompressCabDisk(const QString& filePath, const QString& extractTo,
                                const UnpackLimits& limits) {
    return ExtractWithLibarchive(filePath, extractTo, LibarchiveFormat::Cab, limits);
}

} // namespace quillon
