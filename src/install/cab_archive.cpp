#include "install/cab_archive.h"

#include "install/libarchive_extract.h"

namespace quillon {

ArchiveResult DecompressCabDisk(const QString& filePath, const QString& extractTo) {
    return ExtractWithLibarchive(filePath, extractTo, LibarchiveFormat::Cab);
}

} // namespace quillon
