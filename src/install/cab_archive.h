#pragma once
// Microsoft Cabinet files: Total Commander's installer carries its files in "INSTALL.CAB".
#include <QString>

#include "install/archive_result.h"

namespace quillon {

// Unpacks every entry of the cabinet into extractTo, restoring stored folders. Unsafe entry
// names are refused (see CheckArchiveEntry) and make the result a failure.
ArchiveResult DecompressCabDisk(const QString& filePath, const QString& extractTo);

} // namespace quillon
