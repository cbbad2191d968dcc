// Known and special folders as the rest of the program gets them: host form, the promised
// trailing separator, and the fallback from a known folder that cannot be named.
#include "platform/folders.h"
#include "platform/win_services.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win_text.h"
#include "win32/win32_test_support.h"

namespace quillon::platform {
namespace {

constexpr int kNoCsidl = -1;
constexpr std::string_view kRoamingAppData = "{3EB685DB-65F9-4CF6-A03A-E3EF65729F3D}";

bool isDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(win::toWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Win32Folders, KnownFoldersAndTheirFallback) {
    const std::unique_ptr<Folders> folders = win::makeFolders();
    const std::string appData = folders->specialFolderPath(CSIDL_APPDATA);
    ASSERT_FALSE(appData.empty());
    EXPECT_EQ(appData.find('\\'), std::string::npos);
    EXPECT_NE(appData.back(), '/');
    EXPECT_TRUE(isDirectory(appData)) << appData;

    const std::string lowerGuid = test::win32::lower(std::string(kRoamingAppData));
    const struct {
        const char* name;
        int csidl;
        std::string id;
        std::string expected;
    } cases[] = {
        {"by id", kNoCsidl, std::string(kRoamingAppData), appData + "/"},
        {"by id in lower case", kNoCsidl, lowerGuid, appData + "/"},
        {"id and csidl agree", CSIDL_APPDATA, std::string(kRoamingAppData), appData + "/"},
        {"no id", CSIDL_APPDATA, "", appData + "/"},
        {"null id", CSIDL_APPDATA, "{00000000-0000-0000-0000-000000000000}", appData + "/"},
        {"short id", CSIDL_APPDATA, "{3EB685DB-65F9-4CF6-A03A-E3EF65729F3}", appData + "/"},
        {"no braces", CSIDL_APPDATA, "3EB685DB-65F9-4CF6-A03A-E3EF65729F3D00", appData + "/"},
        {"dash misplaced", CSIDL_APPDATA, "{3EB685D-B65F9-4CF6-A03A-E3EF65729F3D}", appData + "/"},
        {"not hex", CSIDL_APPDATA, "{3EB685DB-65F9-4CF6-A03A-E3EF65729FZD}", appData + "/"},
        {"bad id, no csidl", kNoCsidl, "{not a guid}", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(folders->knownFolderPath(c.csidl, c.id), c.expected);
    }
    const std::string downloads = folders->knownFolderPath(kNoCsidl, FOLDERID_Downloads);
    ASSERT_FALSE(downloads.empty());
    EXPECT_EQ(downloads.back(), '/');
    EXPECT_EQ(downloads.find('\\'), std::string::npos);
}

TEST(Win32Folders, SystemDirectories) {
    const std::unique_ptr<Folders> folders = win::makeFolders();
    const std::string temp = folders->tempDirectory();
    const std::string windows = folders->windowsDirectory();
    for (const std::string& dir : {temp, windows}) {
        SCOPED_TRACE(dir);
        ASSERT_GE(dir.size(), 4u);
        EXPECT_EQ(dir.back(), '/');
        EXPECT_EQ(dir.find('\\'), std::string::npos);
    }
    EXPECT_TRUE(isDirectory(windows));
    EXPECT_EQ(test::win32::lower(windows), "c:/windows/");
    EXPECT_EQ(folders->windowsDrive(), "C:");
}

} // namespace
} // namespace quillon::platform
