// A stand-in for the unrar library with the same C entry points, reading RAR archives through
// libarchive. The tests load it at run time exactly as the program loads the real library.
// Like the real library it writes what the caller asks for, links included: refusing unsafe
// entries is the caller's job, and the tests check that it does.
#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace {

#ifdef FAKE_UNRAR_PLANTED
// What an attacker's library would do first: run code as soon as it is loaded. The mark shows
// the test that it was.
__attribute__((constructor)) void leaveMark() {
    if (const char* mark = std::getenv("QUILLON_PLANTED_MARK")) {
        if (FILE* file = std::fopen(mark, "w"))
            std::fclose(file);
    }
}
#endif

using LParam = std::intptr_t;
using Callback = int (*)(unsigned msg, LParam userData, LParam p1, LParam p2);
using ChangeVolumeProc = int (*)(char*, int);
using ProcessDataProc = int (*)(unsigned char*, int);

constexpr int Success = 0;
constexpr int EndArchive = 10;
constexpr int BadData = 12;
constexpr int BadArchive = 13;
constexpr int OpenError = 15;
constexpr int CreateError = 16;
constexpr int Unknown = 21;
constexpr int Skip = 0;
constexpr int Test = 1;
constexpr int Extract = 2;
constexpr unsigned EntryDirectory = 0x20;
constexpr unsigned MessageProcessData = 1;

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
    unsigned redirType;
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

struct Archive {
    archive* reader = nullptr;
    archive_entry* entry = nullptr;
    std::string name;
    Callback callback = nullptr;
    LParam userData = 0;
};

std::string toUtf8(const wchar_t* text) {
    std::string out;
    for (; text != nullptr && *text != 0; ++text) {
        const auto c = static_cast<std::uint32_t>(*text);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

void copyTruncated(char* target, size_t capacity, const char* source) {
    const size_t count = strnlen(source, capacity - 1);
    std::memcpy(target, source, count);
    target[count] = 0;
}

// Names are UTF-8 inside the library whatever the caller's locale, as with the real one.
class Utf8Locale {
public:
    Utf8Locale() : m_utf8(newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
        if (m_utf8 != static_cast<locale_t>(nullptr))
            m_previous = uselocale(m_utf8);
    }
    ~Utf8Locale() {
        if (m_utf8 != static_cast<locale_t>(nullptr)) {
            uselocale(m_previous);
            freelocale(m_utf8);
        }
    }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

private:
    locale_t m_utf8;
    locale_t m_previous = static_cast<locale_t>(nullptr);
};

Archive* openArchive(const std::string& name, unsigned* result) {
    auto* handle = new Archive;
    handle->name = name;
    handle->reader = archive_read_new();
    archive_read_support_format_rar(handle->reader);
    archive_read_support_format_rar5(handle->reader);
    if (archive_read_open_filename(handle->reader, name.c_str(), 64 * 1024) != ARCHIVE_OK) {
        std::error_code ec;
        *result = std::filesystem::exists(name, ec) ? BadArchive : OpenError;
        archive_read_free(handle->reader);
        delete handle;
        return nullptr;
    }
    *result = Success;
    return handle;
}

int readHeader(Archive* handle, HeaderDataEx* header) {
    const int r = archive_read_next_header(handle->reader, &handle->entry);
    if (r == ARCHIVE_EOF)
        return EndArchive;
    if (r < ARCHIVE_WARN)
        return BadArchive;
    archive_entry* e = handle->entry;
    std::snprintf(header->arcName, sizeof header->arcName, "%s", handle->name.c_str());
    const char* name = archive_entry_pathname(e);
    std::snprintf(header->fileName, sizeof header->fileName, "%s", name != nullptr ? name : "");
    if (const wchar_t* wide = archive_entry_pathname_w(e))
        std::wcsncpy(header->fileNameW, wide, 1023);
    const auto size = static_cast<std::uint64_t>(archive_entry_size(e));
    header->unpSize = static_cast<unsigned>(size & 0xFFFFFFFFu);
    header->unpSizeHigh = static_cast<unsigned>(size >> 32);
    header->packSize = header->unpSize;
    header->hostOS = 3; // attributes are Unix mode bits
    header->fileAttr = archive_entry_mode(e);
    header->method = 0x30;
    header->unpVer = 29;
    if (archive_entry_filetype(e) == AE_IFDIR)
        header->flags |= EntryDirectory;
    if (archive_entry_symlink(e) != nullptr)
        header->redirType = 1;
    return Success;
}

int process(Archive* handle, int operation, const std::string& destination) {
    if (handle->entry == nullptr)
        return Unknown;
    if (operation == Skip)
        return archive_read_data_skip(handle->reader) == ARCHIVE_OK ? Success : BadData;
    archive_entry* e = handle->entry;
    std::error_code ec;
    const std::filesystem::path target(destination);
    if (operation == Extract) {
        if (target.has_parent_path())
            std::filesystem::create_directories(target.parent_path(), ec);
        if (archive_entry_filetype(e) == AE_IFDIR) {
            std::filesystem::create_directories(target, ec);
            return ec ? CreateError : Success;
        }
        if (const char* link = archive_entry_symlink(e)) {
            std::filesystem::create_symlink(link, target, ec);
            return ec ? CreateError : Success;
        }
    }
    std::FILE* out = nullptr;
    if (operation == Extract) {
        out = std::fopen(destination.c_str(), "wb");
        if (out == nullptr)
            return CreateError;
    }
    int result = Success;
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int r = archive_read_data_block(handle->reader, &block, &size, &offset);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_WARN) {
            result = BadData;
            break;
        }
        if (out != nullptr && std::fwrite(block, 1, size, out) != size) {
            result = CreateError;
            break;
        }
        if (handle->callback != nullptr &&
            handle->callback(MessageProcessData, handle->userData, reinterpret_cast<LParam>(block),
                             static_cast<LParam>(size)) == -1) {
            result = Unknown;
            break;
        }
    }
    if (out != nullptr) {
        std::fclose(out);
        if (result != Success)
            std::filesystem::remove(target, ec);
    }
    return result;
}

} // namespace

extern "C" {

void* RAROpenArchiveEx(OpenArchiveDataEx* data) {
    const Utf8Locale utf8;
    const std::string name = data->arcNameW != nullptr ? toUtf8(data->arcNameW) : std::string(data->arcName);
    Archive* handle = openArchive(name, &data->openResult);
    data->flags = 0;
    data->cmtSize = 0;
    data->cmtState = 0;
    if (handle != nullptr) {
        handle->callback = data->callback;
        handle->userData = data->userData;
    }
    return handle;
}

void* RAROpenArchive(OpenArchiveData* data) {
    const Utf8Locale utf8;
    Archive* handle = openArchive(data->arcName, &data->openResult);
    data->cmtSize = 0;
    data->cmtState = 0;
    return handle;
}

int RARCloseArchive(void* handle) {
    const Utf8Locale utf8;
    auto* a = static_cast<Archive*>(handle);
    const int r = archive_read_free(a->reader);
    delete a;
    return r == ARCHIVE_OK ? Success : 17;
}

int RARReadHeaderEx(void* handle, HeaderDataEx* header) {
    const Utf8Locale utf8;
    return readHeader(static_cast<Archive*>(handle), header);
}

int RARReadHeader(void* handle, HeaderData* header) {
    const Utf8Locale utf8;
    auto ex = std::make_unique<HeaderDataEx>();
    std::memset(ex.get(), 0, sizeof(HeaderDataEx));
    const int r = readHeader(static_cast<Archive*>(handle), ex.get());
    if (r == Success) {
        copyTruncated(header->arcName, sizeof header->arcName, ex->arcName);
        copyTruncated(header->fileName, sizeof header->fileName, ex->fileName);
        header->flags = ex->flags;
        header->packSize = ex->packSize;
        header->unpSize = ex->unpSize;
        header->hostOS = ex->hostOS;
        header->fileAttr = ex->fileAttr;
        header->method = ex->method;
        header->unpVer = ex->unpVer;
    }
    return r;
}

int RARProcessFileW(void* handle, int operation, wchar_t* destPath, wchar_t* destName) {
    const Utf8Locale utf8;
    auto* a = static_cast<Archive*>(handle);
    std::string destination;
    if (destName != nullptr)
        destination = toUtf8(destName);
    else if (a->entry != nullptr && destPath != nullptr)
        destination = toUtf8(destPath) + "/" + archive_entry_pathname(a->entry);
    return process(a, operation, destination);
}

int RARProcessFile(void* handle, int operation, char* destPath, char* destName) {
    const Utf8Locale utf8;
    auto* a = static_cast<Archive*>(handle);
    std::string destination;
    if (destName != nullptr)
        destination = destName;
    else if (a->entry != nullptr && destPath != nullptr)
        destination = std::string(destPath) + "/" + archive_entry_pathname(a->entry);
    return process(a, operation, destination);
}

void RARSetCallback(void* handle, Callback callback, LParam userData) {
    auto* a = static_cast<Archive*>(handle);
    a->callback = callback;
    a->userData = userData;
}

void RARSetChangeVolProc(void*, ChangeVolumeProc) {}
void RARSetProcessDataProc(void*, ProcessDataProc) {}

#ifndef FAKE_UNRAR_INCOMPLETE
// libarchive reads no encrypted RAR data, so a password has nothing to unlock here.
void RARSetPassword(void*, char*) {}
#endif

// QUILLON_FAKE_UNRAR_VERSION lets a test pose as an old library.
int RARGetDllVersion() {
    const char* forced = std::getenv("QUILLON_FAKE_UNRAR_VERSION");
    return forced != nullptr ? std::atoi(forced) : 9;
}

} // extern "C"
