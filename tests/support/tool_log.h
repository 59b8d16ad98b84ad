#pragma once
// The log of the small test tools (drop logger, drag source): UTF-8 lines appended to a file that
// another process may read meanwhile.
#include <windows.h>

#include <cstdio>
#include <string>

namespace klw::test {

inline std::wstring& toolLogPath() {
    static std::wstring path;
    return path;
}

inline void logLine(const std::string& line) {
    HANDLE f =
        CreateFileW(toolLogPath().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    const std::string text = line + "\n";
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

inline std::string hresult(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08lx", static_cast<unsigned long>(hr));
    return buf;
}

}  // namespace klw::test
