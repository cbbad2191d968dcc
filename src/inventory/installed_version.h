#pragma once
// The installed version of one item from its sources in their fixed order: an embedded script,
// the version resource, the checksum database, text files next to the file, the file's date,
// and a version the user confirmed earlier.
#include <QString>

#include <optional>

#include "app/common/checksums.h"
#include "inventory/item_identification.h"

namespace quillon {

struct ExecutableFacts;

class TextFileSearchCache;

// Which of the two callers asks: they differ in the script rule and where a confirmed version
// may still be replaced.
enum class VersionPass {
    Identification, // a confirmed version is the last word
    Refresh,        // a confirmed version may still be replaced by the checksum database or a text file
};

// The file whose version information stands for path: the media-information plugin is versioned
// through the library beside it. Any other path stands for itself.
QString versionPathFor(const QString& path);

// The "version=" noted in an executable compiled from a script (the last such line wins), lower
// case; empty when it notes none; no value when the file cannot be read.
std::optional<QString> ScriptVersion(const QString& path);

// The build date as a version: the link time stamp when it is a plausible release date (the
// modification date instead when that falls on the next day), else the modification date.
// "dd.mm.yyyy"; empty when the file does not exist.
QString DateVersion(const QString& path);

struct InstalledVersion {
    QString version; // empty: no source gave one
    // A text file gave the version: the caller remembers it in upluginfo.ini
    // ([versionFileEntry] VersionFile=versionFileValue) when it keeps the result.
    QString versionFileEntry;
    QString versionFileValue;
    bool confirmed = false; // the version confirmed earlier for this very file was taken
    QString productName;    // of the version path, for the name
    QString internalName;
    QString error; // set when reading failed (the file vanished, a checksum failed)
};

// The text file that gave found's version, remembered in the per-file memory.
void rememberVersionFile(const IdentificationStores& stores, const InstalledVersion& found);

class InstalledVersionFinder {
public:
    // textFiles: the pass's search results, or null to look at the disk.
    InstalledVersionFinder(const IdentificationStores& stores, const IdentificationOptions& options,
                           const PathForms& paths, const QString& ownExecutable,
                           TextFileSearchCache* textFiles = nullptr)
        : m_stores(stores), m_options(options), m_paths(paths), m_ownExecutable(ownExecutable),
          m_textFiles(textFiles) {}

    // path: the row's file or a database key word. Reads only: what is to be remembered comes
    // back in the result (versionFileEntry), for the caller to write where it keeps its state.
    // pathFacts: what the caller already read from path itself, or null.
    InstalledVersion find(const QString& path, VersionPass pass,
                          const ExecutableFacts* pathFacts = nullptr) const;

    // Version of the checksum database for the file, by its CRC; empty when it has none.
    // Nullopt when the database names the file but its CRC cannot be computed.
    std::optional<QString> checksumDbVersion(const QString& versionPath) const;

    // The confirmed version of path (section OverridePlugVer) when it still applies to the file
    // as it is now; checksumPath names the checksum database section that may forbid it.
    std::optional<QString> confirmedVersion(const QString& path, const QString& checksumPath) const;

    // The checksum database marks the file so that the version comparison decides alone and
    // remembered versions are ignored: OverrideUserVal, or "<crc>_OverrideUserVal" for crc.
    bool overrideUserVal(const QString& fileName, const QString& crcText) const;

private:
    QString presetVersion(const QString& path, VersionPass pass) const;

    const IdentificationStores& m_stores;
    const IdentificationOptions& m_options;
    const PathForms& m_paths;
    const QString& m_ownExecutable;
    TextFileSearchCache* m_textFiles;
};

} // namespace quillon
