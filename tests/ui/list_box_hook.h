#pragma once
// The platform list with a hook in front of it, for the window tests under Wine.
#include <windows.h>

#include <string>
#include <vector>

namespace klw::test {

// The platform list in front of every list box created after install(): it can refuse entries
// and logs what suspends and resumes its drawing, and how many entries it took in between.
struct ListBoxHook {
    static inline WNDPROC system = nullptr;
    static inline int refuseAfter = -1;  // entries taken before it refuses (-1: never)
    static inline std::vector<std::string> log;
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == LB_ADDSTRING || msg == LB_INSERTSTRING) {
            if (refuseAfter == 0) return LB_ERRSPACE;
            if (refuseAfter > 0) --refuseAfter;
            if (log.empty() || log.back().rfind("add ", 0) != 0) log.push_back("add 0");
            log.back() = "add " + std::to_string(std::stoi(log.back().substr(4)) + 1);
        }
        if (msg == WM_SETREDRAW) log.push_back(wp ? "redraw on" : "redraw off");
        return CallWindowProcW(system, hwnd, msg, wp, lp);
    }
    static void install() {
        if (system) return;
        HWND probe = CreateWindowExW(0, L"LISTBOX", L"", 0, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        system = reinterpret_cast<WNDPROC>(
            SetClassLongPtrW(probe, GCLP_WNDPROC, reinterpret_cast<LONG_PTR>(&proc)));
        DestroyWindow(probe);
    }
};

}  // namespace klw::test
