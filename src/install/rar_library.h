#pragma once
// Binding to an unrar-compatible library loaded at run time ("UNRAR.DLL" on Windows,
// "libunrar.so" elsewhere). The structures follow the library's published C interface; only
// the fields this program reads are named, the rest stay reserved and zeroed.
#include <QLibrary>
#include <QString>

#include <cstdint>

#ifdef _WIN32
#define QUILLON_RAR_CALL __stdcall
#else
#define QUILLON_RAR_CALL
#endif

namespace quillon::rar {

using LParam = std::intptr_t; // LPARAM: pointer-sized on every platform the library exists for
using Handle = void*;

// Open modes.
inline constexpr unsigned OpenList = 0;
inline constexpr unsigned OpenExtract = 1;
inline constexpr unsigned OpenListIncludingSplit = 2;

// Per-file operations.
inline constexpr int Skip = 0;
inline constexpr int Test = 1;
inline constexpr int Extract = 2;

// Result codes.
enum ErrorCode : int {
    Success = 0,
    EndArchive = 10,
    NoMemory = 11,
    BadData = 12,
    BadArchive = 13,
    UnknownFormat = 14,
    OpenError = 15,
    CreateError = 16,
    CloseError = 17,
    ReadError = 18,
    WriteError = 19,
    SmallBuffer = 20,
    Unknown = 21,
    MissingPassword = 22,
    ReferenceError = 23,
    BadPassword = 24,
};

// Archive flags of the open answer.
inline constexpr unsigned ArchiveVolume = 0x01;
inline constexpr unsigned ArchiveComment = 0x02;
inline constexpr unsigned ArchiveLocked = 0x04;
inline constexpr unsigned ArchiveSolid = 0x08;
inline constexpr unsigned ArchiveSigned = 0x20;
inline constexpr unsigned ArchiveRecovery = 0x40;
inline constexpr unsigned ArchiveEncryptedHeaders = 0x80;

// Entry flags of a header.
inline constexpr unsigned EntrySplitBefore = 0x01;
inline constexpr unsigned EntrySplitAfter = 0x02;
inline constexpr unsigned EntryEncrypted = 0x04;
inline constexpr unsigned EntrySolid = 0x10;
inline constexpr unsigned EntryDirectory = 0x20;

// Host systems of a header; with HostUnix the attributes are Unix mode bits.
inline constexpr unsigned HostUnix = 3;

// Callback messages and volume modes.
inline constexpr unsigned MessageChangeVolume = 0;
inline constexpr unsigned MessageProcessData = 1;
inline constexpr unsigned MessageNeedPassword = 2;
inline constexpr unsigned MessageChangeVolumeWide = 3;
inline constexpr unsigned MessageNeedPasswordWide = 4;
inline constexpr LParam VolumeAsk = 0;
inline constexpr LParam VolumeNotify = 1;

using Callback = int(QUILLON_RAR_CALL*)(unsigned msg, LParam userData, LParam p1, LParam p2);
using ChangeVolumeProc = int(QUILLON_RAR_CALL*)(char* arcName, int mode);
using ProcessDataProc = int(QUILLON_RAR_CALL*)(unsigned char* addr, int size);

struct OpenArchiveData {
    char* arcName;
    unsigned openMode;
    unsigned openResult;
    char* cmtBuf;
    unsigned cmtBufSize;
    unsigned cmtSize;
    unsigned cmtState;
};

struct OpenArchiveDataEx {
    char* arcName;
    wchar_t* arcNameW;
    unsigned openMode;
    unsigned openResult;
    char* cmtBuf;
    unsigned cmtBufSize;
    unsigned cmtSize;
    unsigned cmtState;
    unsigned flags;
    Callback callback;
    LParam userData;
    unsigned opFlags;
    wchar_t* cmtBufW;
    unsigned reserved[25];
};

struct HeaderData {
    char arcName[260];
    char fileName[260];
    unsigned flags;
    unsigned packSize;
    unsigned unpSize;
    unsigned hostOS;
    unsigned fileCRC;
    unsigned fileTime;
    unsigned unpVer;
    unsigned method;
    unsigned fileAttr;
    char* cmtBuf;
    unsigned cmtBufSize;
    unsigned cmtSize;
    unsigned cmtState;
};

struct HeaderDataEx {
    char arcName[1024];
    wchar_t arcNameW[1024];
    char fileName[1024];
    wchar_t fileNameW[1024];
    unsigned flags;
    unsigned packSize;
    unsigned packSizeHigh;
    unsigned unpSize;
    unsigned unpSizeHigh;
    unsigned hostOS;
    unsigned fileCRC;
    unsigned fileTime;
    unsigned unpVer;
    unsigned method;
    unsigned fileAttr;
    char* cmtBuf;
    unsigned cmtBufSize;
    unsigned cmtSize;
    unsigned cmtState;
    unsigned dictSize;
    unsigned hashType;
    char hash[32];
    unsigned redirType; // non-zero: a link or a reference to another entry
    wchar_t* redirName;
    unsigned redirNameSize;
    unsigned dirTarget;
    unsigned mtimeLow;
    unsigned mtimeHigh;
    unsigned ctimeLow;
    unsigned ctimeHigh;
    unsigned atimeLow;
    unsigned atimeHigh;
    unsigned reserved[988];
};

// The library's entry points; all resolved or the library counts as not loaded.
struct Api {
    Handle(QUILLON_RAR_CALL* openArchive)(OpenArchiveData*) = nullptr;
    Handle(QUILLON_RAR_CALL* openArchiveEx)(OpenArchiveDataEx*) = nullptr;
    int(QUILLON_RAR_CALL* closeArchive)(Handle) = nullptr;
    int(QUILLON_RAR_CALL* readHeader)(Handle, HeaderData*) = nullptr;
    int(QUILLON_RAR_CALL* readHeaderEx)(Handle, HeaderDataEx*) = nullptr;
    int(QUILLON_RAR_CALL* processFile)(Handle, int, char*, char*) = nullptr;
    int(QUILLON_RAR_CALL* processFileW)(Handle, int, wchar_t*, wchar_t*) = nullptr;
    void(QUILLON_RAR_CALL* setCallback)(Handle, Callback, LParam) = nullptr;
    void(QUILLON_RAR_CALL* setChangeVolProc)(Handle, ChangeVolumeProc) = nullptr;
    void(QUILLON_RAR_CALL* setProcessDataProc)(Handle, ProcessDataProc) = nullptr;
    void(QUILLON_RAR_CALL* setPassword)(Handle, char*) = nullptr;
    int(QUILLON_RAR_CALL* getDllVersion)() = nullptr;
};

// Oldest interface version whose extended structures match the ones above.
inline constexpr int MinimumDllVersion = 4;

// Outside Windows: the name of the system's unrar library ("libunrar.so.5" as Debian's
// libunrar5 installs it, else "libunrar.so") when the dynamic loader finds one on its own search
// path (LD_LIBRARY_PATH, the loader's cache, the system's library folders); empty otherwise and
// on Windows. Never a path: no folder of a Wine prefix or of a download is searched.
QString SystemLibrary();

class Library {
public:
    Library() = default;
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // Loads the library and resolves every entry point; on any failure the library is unloaded
    // again and errorText says why.
    bool load(const QString& path, QString* errorText);
    void unload();
    bool isLoaded() const { return m_loaded; }
    const Api& api() const { return m_api; }
    QString path() const { return m_library.fileName(); }

private:
    QLibrary m_library;
    Api m_api;
    bool m_loaded = false;
};

} // namespace quillon::rar
