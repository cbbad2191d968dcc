#include "tcbridge/plugin_load.h"

#include "platform/win_text.h"

#include <cwctype>
#include <string>
#include <vector>

namespace quillon::bridge {
namespace {

namespace win = quillon::platform::win;

// Each entry lists the names Total Commander accepts for one function; one of them must exist.
using ExportGroup = std::vector<const char*>;

struct Kind {
    const wchar_t* extension;
    std::vector<ExportGroup> exports;
};

const std::vector<Kind>& kinds() {
    static const std::vector<Kind> table{
        {L"wcx",
         {{"OpenArchive", "OpenArchiveW"},
          {"ReadHeader", "ReadHeaderEx", "ReadHeaderExW"},
          {"ProcessFile", "ProcessFileW"},
          {"CloseArchive"}}},
        {L"wfx",
         {{"FsInit", "FsInitW"},
          {"FsFindFirst", "FsFindFirstW"},
          {"FsFindNext", "FsFindNextW"},
          {"FsFindClose"}}},
        {L"wlx", {{"ListLoad", "ListLoadW"}}},
        {L"wdx", {{"ContentGetSupportedField"}, {"ContentGetValue", "ContentGetValueW"}}},
    };
    return table;
}

std::wstring lowerExtension(const std::wstring& path) {
    const std::size_t dot = path.find_last_of(L'.');
    const std::size_t slash = path.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash))
        return {};
    std::wstring extension = path.substr(dot + 1);
    for (wchar_t& c : extension)
        c = static_cast<wchar_t>(std::towlower(c));
    return extension;
}

std::string machineName(WORD machine) {
    switch (machine) {
    case IMAGE_FILE_MACHINE_I386:
        return "x86";
    case IMAGE_FILE_MACHINE_AMD64:
        return "x64";
    case 0xAA64:
        return "arm64";
    default: {
        char text[16];
        wsprintfA(text, "0x%04x", machine);
        return text;
    }
    }
}

bool readAt(HANDLE file, LONG offset, void* buffer, DWORD size) {
    DWORD read = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

// The machine from the PE header; empty verdict when the header is sound.
LoadVerdict checkHeader(const std::wstring& path, WORD expected) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {"unreadable", "error " + std::to_string(GetLastError())};
    IMAGE_DOS_HEADER dos{};
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    const bool pe = readAt(file, 0, &dos, sizeof dos) && dos.e_magic == IMAGE_DOS_SIGNATURE &&
                    dos.e_lfanew > 0 && readAt(file, dos.e_lfanew, &signature, sizeof signature) &&
                    signature == IMAGE_NT_SIGNATURE &&
                    readAt(file, dos.e_lfanew + LONG(sizeof signature), &header, sizeof header);
    CloseHandle(file);
    if (!pe)
        return {"not-pe", ""};
    if (header.Machine != expected)
        return {"wrong-machine", machineName(header.Machine)};
    return {};
}

std::string systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = length ? win::toUtf8(std::wstring_view(text, length)) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return "error " + std::to_string(error) + (message.empty() ? "" : ": " + message);
}

// The loader says only that a module was not found; the import table says which one. Mapping
// without resolving runs no code of the plugin.
std::string firstMissingImport(const std::wstring& path) {
    const HMODULE image = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    if (!image)
        return {};
    const auto* base = reinterpret_cast<const BYTE*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    std::string missing;
    if (directory.VirtualAddress && directory.Size) {
        for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             entry->Name && missing.empty(); ++entry) {
            const char* name = reinterpret_cast<const char*>(base + entry->Name);
            if (const HMODULE found = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_AS_DATAFILE))
                FreeLibrary(found);
            else
                missing = name;
        }
    }
    FreeLibrary(image);
    return missing;
}

} // namespace

LoadVerdict checkPluginLoads(const std::wstring& path) {
    const std::wstring extension = lowerExtension(path);
    const bool named64 = extension.size() == 5 && extension.ends_with(L"64");
    const std::wstring base = named64 ? extension.substr(0, 3) : extension;
    const Kind* kind = nullptr;
    for (const Kind& candidate : kinds())
        if (base == candidate.extension)
            kind = &candidate;
    if (!kind)
        return {"not-plugin", ""};
    if (LoadVerdict header = checkHeader(path, named64 ? IMAGE_FILE_MACHINE_AMD64 : IMAGE_FILE_MACHINE_I386);
        !header.result.empty())
        return header;

    // A missing DLL must not stop the run with a message box; the plugin's own folder is searched
    // for the DLLs it brings along, as Total Commander does.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        SetDllDirectoryW(path.substr(0, slash).c_str());
    const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        const DWORD error = GetLastError();
        if (error == ERROR_MOD_NOT_FOUND)
            return {"missing-dll", firstMissingImport(path)};
        if (error == ERROR_DLL_INIT_FAILED)
            return {"init-failed", ""};
        return {"load-failed", systemMessage(error)};
    }
    LoadVerdict verdict{"loads", ""};
    for (const ExportGroup& group : kind->exports) {
        bool found = false;
        for (const char* name : group)
            found = found || GetProcAddress(module, name) != nullptr;
        if (!found) {
            for (const char* name : group)
                verdict.detail += (verdict.detail.empty() ? "" : "/") + std::string(name);
            verdict.result = "missing-export";
            break;
        }
    }
    FreeLibrary(module);
    return verdict;
}

} // namespace quillon::bridge
