#include "platform/win_services.h"

#include "platform/win_text.h"

#include <shlobj.h>

namespace quillon::platform::win {
namespace {

constexpr DWORD KF_FLAG_DONT_VERIFY_VALUE = 0x4000;

// Host form of a path: "/" separators, as everything leaving the platform layer.
std::string hostForm(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" without ole32's parser.
bool parseGuid(std::string_view text, GUID& guid) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}')
        return false;
    unsigned char bytes[16] = {};
    int count = 0;
    for (std::size_t i = 1; i + 1 < text.size();) {
        if (text[i] == '-') {
            if (i != 9 && i != 14 && i != 19 && i != 24)
                return false;
            ++i;
            continue;
        }
        const int high = hexValue(text[i]);
        const int low = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
        if (high < 0 || low < 0 || count == 16)
            return false;
        bytes[count++] = static_cast<unsigned char>(high * 16 + low);
        i += 2;
    }
    if (count != 16)
        return false;
    guid.Data1 = (DWORD(bytes[0]) << 24) | (DWORD(bytes[1]) << 16) | (DWORD(bytes[2]) << 8) | bytes[3];
    guid.Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
    guid.Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = bytes[8 + i];
    return true;
}

// Known folders exist from Vista on; look the call up so older systems still start.
std::string knownFolder(const GUID& id) {
    using GetKnownFolderPath = HRESULT(WINAPI*)(REFGUID, DWORD, HANDLE, PWSTR*);
    using TaskMemFree = void(WINAPI*)(LPVOID);
    HMODULE shell32 = GetModuleHandleW(L"shell32.dll");
    if (!shell32)
        shell32 = LoadLibraryW(L"shell32.dll");
    HMODULE ole32 = GetModuleHandleW(L"ole32.dll");
    if (!ole32)
        ole32 = LoadLibraryW(L"ole32.dll");
    if (!shell32 || !ole32)
        return {};
    const auto get = reinterpret_cast<GetKnownFolderPath>(
        reinterpret_cast<void*>(GetProcAddress(shell32, "SHGetKnownFolderPath")));
    const auto release =
        reinterpret_cast<TaskMemFree>(reinterpret_cast<void*>(GetProcAddress(ole32, "CoTaskMemFree")));
    if (!get || !release)
        return {};
    PWSTR path = nullptr;
    std::string result;
    if (SUCCEEDED(get(id, KF_FLAG_DONT_VERIFY_VALUE, nullptr, &path)) && path)
        result = toUtf8(path);
    release(path);
    return result;
}

class Win32Folders final : public Folders {
public:
    std::string specialFolderPath(int csidl) const override {
        wchar_t buffer[MAX_PATH] = {};
        if (csidl < 0 || FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, 0, buffer)))
            return {};
        return hostForm(toUtf8(buffer));
    }

    std::string knownFolderPath(int csidl, std::string_view knownFolderId) const override {
        GUID id{};
        const GUID none{};
        std::string path;
        if (parseGuid(knownFolderId, id) && !IsEqualGUID(id, none))
            path = knownFolder(id);
        if (path.empty() && csidl >= 0)
            path = specialFolderPath(csidl);
        return withSlash(hostForm(path));
    }

    std::string tempDirectory() const override {
        wchar_t buffer[MAX_PATH + 1] = {};
        const DWORD size = GetTempPathW(MAX_PATH + 1, buffer);
        if (size == 0 || size > MAX_PATH + 1)
            return {};
        return withSlash(hostForm(toUtf8(std::wstring_view(buffer, size))));
    }

    std::string windowsDirectory() const override {
        wchar_t buffer[MAX_PATH] = {};
        const UINT size = GetWindowsDirectoryW(buffer, MAX_PATH);
        if (size == 0 || size >= MAX_PATH)
            return {};
        return withSlash(hostForm(toUtf8(std::wstring_view(buffer, size))));
    }

    std::string windowsDrive() const override {
        const std::string dir = windowsDirectory();
        return dir.size() >= 2 && dir[1] == ':' ? dir.substr(0, 2) : std::string();
    }
};

} // namespace

std::unique_ptr<Folders> makeFolders() {
    return std::make_unique<Win32Folders>();
}

} // namespace quillon::platform::win
