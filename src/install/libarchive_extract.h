#pragma once
// Unpacking a whole archive through libarchive with every stored name checked by the entry
// guard. Shared by the ZIP and cabinet unpackers.
#include <QString>

#include "install/archive_result.h"
#include "install/unpack_limits.h"

struct archive;

namespace quillon {

enum class LibarchiveFormat { Zip, Cab };

// Opens filePath for reading in the given format; null with errorText set on failure.
// The caller frees the handle with archive_read_free.
archive* OpenArchiveForReading(const QString& filePath, LibarchiveFormat format, QString* errorText);

// Unpacks every entry into extractTo (created when missing), restoring stored folders. Files
// keep their stored modification time; an existing file is overwritten. Refused entries are
// skipped and listed; the result is then a failure, so the package is not installed, while the
// rest stays in extractTo for inspection. A package over the limits is refused before anything
// is written, by the sizes its entries declare, and again while writing when it declared less.
ArchiveResult ExtractWithLibarchive(const QString& filePath, const QString& extractTo,
                                    LibarchiveFormat format, const UnpackLimits& limits = {});

// Unpacks only the file entry named entryName (letter case ignored, "\" as "/") into target,
// held to the same limits as a whole archive; a failure names why, and a missing entry too.
ArchiveResult ExtractEntryWithLibarchive(const QString& filePath, const QString& entryName,
                                         const QString& target, LibarchiveFormat format,
                                         const UnpackLimits& limits = {});

// While alive, the calling thread converts multibyte names as UTF-8 when the process locale
// does not (a plain "C" locale would lose every non-ASCII name). No effect on Windows.
class Utf8NamesScope {
public:
    Utf8NamesScope();
    ~Utf8NamesScope();
    Utf8NamesScope(const Utf8NamesScope&) = delete;
    Utf8NamesScope& operator=(const Utf8NamesScope&) = delete;

private:
    void* m_previous = nullptr;
    void* m_utf8 = nullptr;
};

} // namespace quillon
