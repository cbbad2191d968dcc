#pragma once
// File and directory operations. Paths are host paths in Qt form ("/" separators); routines
// that take a Windows-form path say so.
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

namespace quillon {

// File name without directory and extension; "\" and "/" both separate directories.
QString FileBaseName(const QString& path);

// Deletes a file (also a read-only one, also a symbolic link, never what it points to).
// A missing file is success. On failure the file's permissions are restored.
bool ForceDeleteFile(const QString& path, QString* errorText = nullptr);

// Renames source to target, copying and deleting when they are on different file systems.
// An existing target is replaced only when replace is true; otherwise the move fails.
bool MoveFileReplacing(const QString& source, const QString& target, bool replace,
                       QString* errorText = nullptr);

// Removes the directory with everything in it. Symbolic links inside are removed as links;
// what they point to is never touched. True when nothing is left.
bool DeleteDirectoryTree(const QString& directory);

// Appends the full paths of the files in directory matching the Windows-style mask ("*.wcx",
// "*.*", case-insensitive); with withDates each entry is "yyyyMMdd|path" (modification date).
// With recurse, subdirectories too, but never through a symbolic link and never twice.
void FindFilesRecursive(const QString& directory, const QString& mask, bool recurse, QStringList& list,
                        bool withDates = false);

// The files FindFilesRecursive visits below one directory, read once: many masks can then be
// matched without going to the disk again. A snapshot; it does not see later changes (except in
// the rare tree whose names differ only in letter case, which is searched on the disk each time).
class FileTreeListing {
public:
    explicit FileTreeListing(const QString& directory);
    // The listing of a directory this walk went through, cut from this snapshot instead of a
    // second walk of the disk; none when the walk did not go through it whole (not below the
    // root, reached only through a link, a folder seen twice inside it, or a tree searched on
    // the disk). The directory is compared as spelled, without trailing separators.
    std::optional<FileTreeListing> subtree(const QString& directory) const;
    // The names of the folders (links to folders included, hidden ones left out) right inside a
    // directory the walk read, as spelled there and in no order; none for a directory it did
    // not read.
    std::optional<QStringList> folderNames(const QString& directory) const;
    // Appends what FindFilesRecursive(directory, mask, true, list, withDates) would append.
    void findFiles(const QString& mask, QStringList& list, bool withDates = false) const;

    struct Entry {
        QString name;
        QString path; // its time is asked only when a dated entry needs it
    };

private:
    FileTreeListing() = default;
    // Most masks end in a literal extension (".txt"): the names with that extension are found
    // by one look-up instead of a comparison with every name of the tree.
    void indexExtensions();
    // For a mask whose tail is a plain extension: the entries with it and the names a plain
    // comparison cannot judge, in walk order.
    QList<qsizetype> candidatesFor(QStringView tail) const;

    QString m_directory;
    QList<Entry> m_entries;      // in the order of the recursive search
    bool m_searchOnDisk = false; // names differing only in case: their order is the disk search's
    // Each directory the walk went through whole: the range of m_entries below it.
    QHash<QString, std::pair<qsizetype, qsizetype>> m_ranges;
    QHash<QString, QStringList> m_folderNames;      // per directory read
    QHash<QString, QList<qsizetype>> m_byExtension; // lower-case last extension of ASCII names
    QList<qsizetype> m_notAscii;                    // names matched by the pattern instead
};

// Appends the full paths of the immediate subdirectories.
void ListSubdirectories(const QString& directory, QStringList& list);

// Whether a new file "chk.tmp" can be created in directory (it is removed again). An existing
// "chk.tmp" gives false and is left alone.
bool IsDirectoryWritable(const QString& directory);

// True for an existing directory without entries.
bool IsDirectoryEmpty(const QString& directory);

// Windows form ("C:\Tools", "\\server\share"): drive or network prefix, every segment non-empty
// and free of \ / : * ? " < > |. Host form ("/opt/tc"): absolute and free of NUL.
bool IsValidDirectoryPath(const QString& path);

// The file-name part holds no character that is invalid in a Windows file name (nor wildcards).
bool HasValidFileNameChars(const QString& path);

// The normalised parent of directory ("/a/b/" and "/a/b" both give "/a").
QString ParentDirectory(const QString& directory);

// Path of toPath relative to fromDirectory ("../x/y.dll").
QString RelativePath(const QString& fromDirectory, const QString& toPath);

// The longest common leading directory of a and b compared without regard to case, in a's
// spelling, up to and including its last separator ("\", "/" or a drive's ":").
QString CommonPathPrefix(const QString& a, const QString& b);

// The whole file as text: a byte-order mark decides the encoding, otherwise Windows-1252.
// Lines are joined with CR LF. Empty (and ok false) when the file cannot be read.
QString ReadTextFile(const QString& path, bool* ok = nullptr);

// False when the file cannot be read; otherwise whether no byte of it is zero.
bool FileHasNoNullBytes(const QString& path);

// "UNRAR.DLL" in directory on Windows, or empty when it is not there. Elsewhere always empty:
// native code is loaded only from the system's library paths.
QString FindUnrarLibrary(const QString& directory);

// The path without trailing "/" separators; the root "/" stays.
QString WithoutTrailingSlash(QString path);

} // namespace quillon
