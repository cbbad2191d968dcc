#pragma once
// Microsoft Cabinet files: Total Commander's installer carries its files in "INSTALL.CAB".
#include <QString>

#include "install/archive_result.h"
#include "install/unpack_limits.h"

namespace quillon {

// Unpacks every entry of the cabinet into extractTo, restoring stored folders. Unsafe entry
// names are refused (see CheckArchiveEntry) and make the result a failure, as does a cabinet
// over the limits.
ArchiveResult DecompressCabDisk(const QString& filePath, const QString& extractTo,
                                const UnpackLimits& limits = {});

} // namespace quillon
