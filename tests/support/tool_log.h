#pragma once
// The log of the small test tools (drop logger, drag source): UTF-8 lines appended to a file that
// another process may read meanwhile.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/shared_log.h"

namespace klw::test {

inline std::wstring& toolLogPath() {
    static std::wstring path;
    return path;
}

inline void logLine(const std::string& line) { appendToSharedLog(toolLogPath(), line + "\n"); }

inline std::string hresult(HRESULT hr) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08lx", static_cast<unsigned long>(hr));
    return buf;
}

}  // namespace klw::test
