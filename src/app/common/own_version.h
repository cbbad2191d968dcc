#pragma once
// The program's version written into its own executable as plain text, so that any copy of the
// file tells which version it is, also where the format has no version resource (ELF on Linux).
#include <QString>

namespace quillon {

// "QUILLON-VERSION:" followed by this build's version, as it lies in the executable.
const char* OwnVersionMarker();

// The version after the first well-formed marker in the file; empty when the file holds none
// or cannot be read.
QString ReadOwnVersionMarker(const QString& path);

} // namespace quillon
