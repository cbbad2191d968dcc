// Files that came from outside are read only when they are disk files: a device or a pipe where
// wincmd.ini belongs must not block or flood the reader.
#include "platform/regular_file.h"

#include <io.h>
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win_services.h"
#include "platform/win_text.h"
#include "win32/win32_test_support.h"

namespace quillon::platform {
namespace {

TEST(Win32RegularFile, OnlyDiskFilesOpen) {
    const test::win32::TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::wstring plain = dir.file(L"wincmd.ini");
    const std::wstring script = dir.file(L"\u00fcbersicht \u6f22.ini");
    ASSERT_TRUE(test::win32::writeFile(plain, "[Configuration]\r\n"));
    ASSERT_TRUE(test::win32::writeFile(script, "x"));
    const HANDLE pipe = CreateNamedPipeW(L"\\\\.\\pipe\\quillon-test-pipe", PIPE_ACCESS_DUPLEX,
                                         PIPE_TYPE_BYTE, 1, 512, 512, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);

    // The host form of a path, as the rest of the program passes it.
    const std::string forward = win::makePathMapper()->toHostPath(win::toUtf8(plain));
    ASSERT_EQ(forward.find('\\'), std::string::npos);
    const struct {
        const char* name;
        std::string path;
        bool opens;
    } cases[] = {
        {"a file", win::toUtf8(plain), true},
        {"a file in another script", win::toUtf8(script), true},
        {"a file by forward slashes", forward, true},
        {"a folder", win::toUtf8(dir.path()), false},
        {"a missing file", win::toUtf8(dir.file(L"missing.ini")), false},
        {"the null device", "NUL", false},
        {"a named pipe", "\\\\.\\pipe\\quillon-test-pipe", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int fd = OpenRegularFileForReading(c.path);
        EXPECT_EQ(fd >= 0, c.opens);
        if (fd >= 0 && c.path == win::toUtf8(plain)) {
            char buffer[32] = {};
            EXPECT_EQ(_read(fd, buffer, sizeof buffer), 17);
        }
        CloseFileDescriptor(fd);
    }
    CloseHandle(pipe);
}

} // namespace
} // namespace quillon::platform
