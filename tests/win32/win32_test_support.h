#pragma once
// Small helpers of the Win32 tests, which run in a Wine prefix without Qt.
#include <windows.h>

#include <string>

namespace quillon::test::win32 {

// A fresh directory under the temporary folder, removed with its files by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::wstring& path() const { return m_path; }
    std::wstring file(const std::wstring& name) const { return m_path + L"\\" + name; }

private:
    std::wstring m_path;
};

bool writeFile(const std::wstring& path, const std::string& bytes);
std::string readFile(const std::wstring& path);
// ASCII letters in lower case: Windows paths compare without regard to case.
std::string lower(std::string text);
// An environment variable of the test run, empty when unset.
std::wstring variable(const wchar_t* name);

} // namespace quillon::test::win32
