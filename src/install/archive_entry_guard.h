#pragma once
// The one place that decides whether a name stored in an archive may be written below the
// extraction folder. Archives come from the internet: a stored "../x", "/x", "C:\x" or a link
// would otherwise let a package write anywhere the program may write.
#include <QString>

namespace quillon {

enum class ArchiveEntryKind { File, Directory, Link, Other };

struct ArchiveEntryVerdict {
    // The stored name as a relative path with "/" separators, "." and empty parts dropped;
    // empty when refused.
    QString relativePath;
    // Why the entry is refused; empty when it is safe.
    QString refusal;

    bool safe() const { return refusal.isEmpty(); }
};

// Both "\" and "/" separate parts (archives made on Windows use either). Refused: links,
// devices and other special files; empty names; absolute and network paths; drive letters and
// any ":" (a drive or an alternate data stream on Windows); parts made only of dots and spaces
// other than "." (".." and the forms Windows reads as it); NUL and other control characters.
ArchiveEntryVerdict CheckArchiveEntry(const QString& storedName, ArchiveEntryKind kind);

// Whether writing root + "/" + relativePath stays below root: no existing part of the path
// below root is a symbolic link (or, on Windows, a junction). relativePath must come from
// CheckArchiveEntry.
bool StaysBelowRoot(const QString& root, const QString& relativePath);

} // namespace quillon
