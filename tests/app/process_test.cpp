// The real executable, started as a user would start it: its windows, its title, its show
// state and its exit code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/gui_test.h"

namespace klw {
namespace {

struct Started {
    PROCESS_INFORMATION pi{};
    HWND main = nullptr;
    HWND app = nullptr;
};

BOOL CALLBACK findWindows(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Started*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pi.dwProcessId) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "TfrmMain") s->main = hwnd;
    if (std::string(cls) == "TApplication") s->app = hwnd;
    return TRUE;
}

Started start(const std::string& exe, int showCommand = -1) {
    Started s;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (showCommand >= 0) {
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(showCommand);
    }
    std::string cmd = "\"" + exe + "\"";
    if (!CreateProcessA(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &s.pi))
        return s;
    WaitForInputIdle(s.pi.hProcess, 10000);
    for (int i = 0; i < 200 && (!s.main || !s.app); ++i) {
        EnumWindows(&findWindows, reinterpret_cast<LPARAM>(&s));
        if (!s.main || !s.app) Sleep(25);
    }
    return s;
}

DWORD closeAndWait(Started& s, HWND target) {
    PostMessageA(target, WM_CLOSE, 0, 0);
    DWORD code = 999;
    if (WaitForSingleObject(s.pi.hProcess, 15000) == WAIT_OBJECT_0)
        GetExitCodeProcess(s.pi.hProcess, &code);
    else
        TerminateProcess(s.pi.hProcess, 998);
    CloseHandle(s.pi.hThread);
    CloseHandle(s.pi.hProcess);
    return code;
}

std::string exePath() {
    const char* p = std::getenv("KLW_EXE");
    return p ? p : "";
}

class Process : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(exePath().empty()) << "KLW_EXE names the program"; }
    test::TempCurrentDirectory dir;
};

TEST_F(Process, ShowsItsWindowAndEndsWithCodeZero) {
    Started s = start(exePath());
    ASSERT_NE(s.main, nullptr);
    EXPECT_EQ(test::windowText(s.main), "KORVANE LINKWALKER");
    EXPECT_EQ(test::windowText(s.app), "Korlinkwalker");
    EXPECT_TRUE(IsWindowVisible(s.main));
    EXPECT_TRUE(IsWindowVisible(s.app));
    EXPECT_EQ(GetWindow(s.main, GW_OWNER), s.app);
    EXPECT_EQ(closeAndWait(s, s.main), 0u);
}

TEST_F(Process, IdleLoopWaitsInsteadOfPolling) {
    Started s = start(exePath());
    ASSERT_NE(s.main, nullptr);
    auto cpu = [&] {
        FILETIME created, exited, kernel, user;
        GetProcessTimes(s.pi.hProcess, &created, &exited, &kernel, &user);
        auto ticks = [](FILETIME f) {
            return (static_cast<unsigned long long>(f.dwHighDateTime) << 32) | f.dwLowDateTime;
        };
        return ticks(kernel) + ticks(user);  // 100 ns units
    };
    Sleep(300);
    const auto before = cpu();
    Sleep(1500);
    const auto used = cpu() - before;
    EXPECT_LT(used, 1000000ull) << "more than 100 ms of processor time in 1.5 s of idling";
    EXPECT_EQ(closeAndWait(s, s.main), 0u);
}

TEST_F(Process, ClosingTheTaskbarEntryEndsTheProgram) {
    Started s = start(exePath());
    ASSERT_NE(s.app, nullptr);
    EXPECT_EQ(closeAndWait(s, s.app), 0u);
}

TEST_F(Process, TitleComesFromTheExecutableName) {
    const std::string copy = dir.path() + "\\MyLinks.Tool.EXE";
    ASSERT_TRUE(CopyFileA(exePath().c_str(), copy.c_str(), FALSE));
    Started s = start(copy);
    ASSERT_NE(s.app, nullptr);
    EXPECT_EQ(test::windowText(s.app), "Mylinks");
    EXPECT_EQ(test::windowText(s.main), "KORVANE LINKWALKER");
    EXPECT_EQ(closeAndWait(s, s.main), 0u);
}

TEST_F(Process, StartsMaximizedWhenAskedTo) {
    Started s = start(exePath(), SW_SHOWMAXIMIZED);
    ASSERT_NE(s.main, nullptr);
    Sleep(200);
    EXPECT_TRUE(IsZoomed(s.main));
    EXPECT_EQ(closeAndWait(s, s.main), 0u);
}

TEST_F(Process, StartsAsATaskbarEntryOnlyWhenMinimized) {
    Started s = start(exePath(), SW_SHOWMINNOACTIVE);
    ASSERT_NE(s.main, nullptr);
    Sleep(200);
    EXPECT_TRUE(IsIconic(s.app));
    EXPECT_FALSE(IsWindowVisible(s.main));
    // Restoring the entry shows the window.
    PostMessageA(s.app, WM_SYSCOMMAND, SC_RESTORE, 0);
    for (int i = 0; i < 100 && !IsWindowVisible(s.main); ++i) Sleep(20);
    EXPECT_TRUE(IsWindowVisible(s.main));
    EXPECT_FALSE(IsIconic(s.app));
    EXPECT_EQ(closeAndWait(s, s.main), 0u);
}

TEST_F(Process, MinimizeAndRestoreTheApplicationAsAWhole) {
    Started s = start(exePath());
    ASSERT_NE(s.main, nullptr);
    RECT before{};
    GetWindowRect(s.main, &before);
    PostMessageA(s.main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    // The other process hides the window and minimizes its taskbar entry one after the other.
    for (int i = 0; i < 100 && (IsWindowVisible(s.main) || !IsIconic(s.app)); ++i) Sleep(20);
    EXPECT_FALSE(IsWindowVisible(s.main));
    EXPECT_TRUE(IsIconic(s.app));
    PostMessageA(s.app, WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT app{};
    for (int i = 0; i < 100; ++i) {
        GetWindowRect(s.app, &app);
        if (IsWindowVisible(s.main) && app.right == app.left) break;
        Sleep(20);
    }
    EXPECT_TRUE(IsWindowVisible(s.main));
    RECT after{};
    GetWindowRect(s.main, &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
    EXPECT_EQ(app.right - app.left, 0);
    EXPECT_EQ(app.left, GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ(closeAndWait(s, s.main), 0u);
}

}  // namespace
}  // namespace klw
