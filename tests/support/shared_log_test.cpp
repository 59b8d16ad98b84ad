// Two processes append to one log at the same time, as racing handlers do: every line arrives
// whole, and none is lost.
#include "support/shared_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr int kLines = 3000;
constexpr wchar_t kChildVariable[] = L"KLW_SHARED_LOG_CHILD";

std::string lineOf(char writer, int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c-%05d-............\n", writer, i);
    return buf;
}

// Signals the named event, then appends kLines lines; returns the failures.
int appendLines(const std::wstring& path, char writer, const wchar_t* ready) {
    if (ready) {
        HANDLE e = OpenEventW(EVENT_MODIFY_STATE, FALSE, ready);
        if (e) {
            SetEvent(e);
            CloseHandle(e);
        }
    }
    int failures = 0;
    for (int i = 0; i < kLines; ++i)
        if (klw::test::appendToSharedLog(path, lineOf(writer, i)) != ERROR_SUCCESS) ++failures;
    return failures;
}

// Started again by the test with the variable set ("PATH|EVENT"), this executable is the
// second writer and ends before any test runs.
[[maybe_unused]] const bool kIsChild = [] {
    wchar_t value[MAX_PATH * 2] = {};
    if (!GetEnvironmentVariableW(kChildVariable, value, MAX_PATH * 2)) return false;
    const std::wstring v = value;
    const size_t bar = v.find(L'|');
    const std::wstring event = v.substr(bar + 1);
    ExitProcess(static_cast<UINT>(appendLines(v.substr(0, bar), 'c', event.c_str())));
}();

TEST(SharedLog, TwoWritersAtOnceLoseNoLine) {
    wchar_t dir[MAX_PATH] = {};
    ASSERT_NE(GetTempPathW(MAX_PATH, dir), 0u);
    const std::wstring path =
        std::wstring(dir) + L"klw-shared-log-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    DeleteFileW(path.c_str());
    const std::wstring event = L"klw-shared-log-ready-" + std::to_wstring(GetCurrentProcessId());
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, event.c_str());
    ASSERT_NE(ready, nullptr);

    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring cmd = L"\"" + std::wstring(exe) + L"\"";
    SetEnvironmentVariableW(kChildVariable, (path + L"|" + event).c_str());
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableW(kChildVariable, nullptr);
    ASSERT_TRUE(started) << GetLastError();
    // Both write from the same moment on.
    ASSERT_EQ(WaitForSingleObject(ready, 30000), WAIT_OBJECT_0);
    CloseHandle(ready);
    EXPECT_EQ(appendLines(path, 'p', nullptr), 0);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD childFailures = 1;
    GetExitCodeProcess(pi.hProcess, &childFailures);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(childFailures, 0u);

    std::map<std::string, int> seen;
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    std::string line;
    int lines = 0;
    while (std::getline(in, line)) {
        ++lines;
        ++seen[line + "\n"];
    }
    in.close();
    DeleteFileW(path.c_str());
    EXPECT_EQ(lines, 2 * kLines);
    int missing = 0;
    for (char writer : {'p', 'c'})
        for (int i = 0; i < kLines; ++i)
            if (seen[lineOf(writer, i)] != 1) ++missing;
    EXPECT_EQ(missing, 0);
}

}  // namespace
