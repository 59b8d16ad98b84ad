// Scrolling a list of 1,000,000 entries page by page: the program's list (rows drawn by the
// program) beside the platform's plain list box with the same entries, font and place, which is
// how the list drew before. Prints milliseconds per page and the time to fill, to empty and to
// destroy each; and microseconds per row for a row drawn alone in the list's font: as the plain
// list draws it, through the platform's string shaping on every row, and as the program's list
// draws it, with what the rows before learnt kept.
//   klw_scroll_bench [PAGES]   (default 2000; 0 for the figures per row only)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/application.h"
#include "ui/main_form.h"
#include "widgets/entry_text.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Every fourth entry (with `mixed`) ends in a word that needs shaping, Hebrew or Arabic.
std::string entry(int i, bool mixed) {
    std::string s = "https://example.com/page/" + std::to_string(i) + "?sort=new";
    if (mixed && i % 4 == 1) s += "&q=\xd7\xa2\xd7\x91\xd7\xa8\xd7\x99\xd7\xaa";
    if (mixed && i % 4 == 3) s += "&q=\xd8\xa7\xd9\x84\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a\xd8\xa9";
    return s;
}

void fillPlain(HWND plain, int count, bool mixed) {
    SendMessageW(plain, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < count; ++i) {
        const std::string e = entry(i, mixed);
        std::wstring w(e.size(), L'\0');
        w.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, e.data(),
                                                         static_cast<int>(e.size()), w.data(),
                                                         static_cast<int>(w.size()))));
        SendMessageW(plain, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    SendMessageW(plain, WM_SETREDRAW, TRUE, 0);
}

void fillOwn(klw::ListBox& list, int count, bool mixed) {
    list.beginUpdate();
    for (int i = 0; i < count; ++i) list.append(entry(i, mixed));
    list.endUpdate();
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double pages(HWND list, int count) {
    SendMessageW(list, LB_SETTOPINDEX, 0, 0);
    UpdateWindow(list);
    const auto start = Clock::now();
    for (int p = 0; p < count; ++p) {
        SendMessageW(list, WM_KEYDOWN, VK_NEXT, 0);
        SendMessageW(list, WM_KEYUP, VK_NEXT, 0);
        UpdateWindow(list);
    }
    GdiFlush();
    return msSince(start) / count;
}

std::u16string units(const std::string& text) {
    std::u16string u(text.size(), u'\0');
    u.resize(static_cast<size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                            reinterpret_cast<wchar_t*>(u.data()), static_cast<int>(u.size()))));
    return u;
}

// Microseconds per row for `rows` rows with a Hebrew or Arabic word, drawn into `list`'s DC by
// `draw`, best of three turns.
template <class Draw>
double perRow(HWND list, int rows, Draw draw) {
    HDC dc = GetDC(list);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    double best = 1e9;
    for (int turn = 0; turn < 3; ++turn) {
        const auto start = Clock::now();
        for (int i = 0; i < rows; ++i) {
            const std::u16string text = units(entry(2 * i + 1, true));
            const RECT row{0, 0, 300, 16};
            draw(dc, row, text);
        }
        GdiFlush();
        best = std::min(best, msSince(start) * 1000 / rows);
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return best;
}

void printRowCosts(HWND list) {
    constexpr int kRows = 2000;
    const double plain = perRow(list, kRows, [](HDC dc, const RECT& row, const std::u16string& t) {
        ExtTextOutW(dc, row.left + 1, row.top, ETO_CLIPPED | ETO_OPAQUE, &row,
                    reinterpret_cast<const wchar_t*>(t.data()), static_cast<UINT>(t.size()),
                    nullptr);
    });
    const double everyRow =
        perRow(list, kRows, [](HDC dc, const RECT& row, const std::u16string& t) {
            const klw::EntryText text(dc, t);
            text.draw(row.left + 1, row.top, row, true);
        });
    klw::ShapingCache cache;
    const double kept =
        perRow(list, kRows, [&cache](HDC dc, const RECT& row, const std::u16string& t) {
            klw::drawEntryRow(dc, row, t, cache);
        });
    std::printf(
        "a row with a Hebrew or Arabic word, drawn alone: plain list box's way %.0f us,\n"
        "  shaped with the platform's string functions %.0f us, program's list %.0f us\n",
        plain, everyRow, kept);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    // 0 pages: only the figures per row.
    const int pageCount = argc > 1 ? std::atoi(argv[1]) : 2000;
    constexpr int kEntries = 1000000;
    klw::Application app;
    auto owned = std::make_unique<klw::TfrmMain>(app);
    klw::TfrmMain& form = *owned;
    ShowWindow(form.handle(), SW_SHOWNORMAL);
    pump();
    klw::ListBox& list = *form.lbxURL;
    const RECT at = list.bounds();
    const auto font = static_cast<WPARAM>(SendMessageW(list.handle(), WM_GETFONT, 0, 0));
    HWND plain =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                        WS_CHILD | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
                        at.left, at.top, at.right - at.left, at.bottom - at.top, form.handle(),
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(plain, WM_SETFONT, font, FALSE);
    printRowCosts(list.handle());
    if (pageCount <= 0) return 0;
    for (const bool mixed : {false, true}) {
        auto start = Clock::now();
        fillOwn(list, kEntries, mixed);
        const double filledOwn = msSince(start);
        start = Clock::now();
        fillPlain(plain, kEntries, mixed);
        const double filledPlain = msSince(start);

        // Each list three times, in turns, the best figure kept: other work on the machine varies.
        double own = 1e9;
        double before = 1e9;
        for (int round = 0; round < 3; ++round) {
            ShowWindow(plain, SW_HIDE);
            ShowWindow(list.handle(), SW_SHOW);
            pump();
            own = std::min(own, pages(list.handle(), pageCount));
            ShowWindow(list.handle(), SW_HIDE);
            ShowWindow(plain, SW_SHOW);
            pump();
            before = std::min(before, pages(plain, pageCount));
        }
        ShowWindow(plain, SW_HIDE);
        ShowWindow(list.handle(), SW_SHOW);

        start = Clock::now();
        list.clear();
        const double clearOwn = msSince(start);
        start = Clock::now();
        SendMessageW(plain, LB_RESETCONTENT, 0, 0);
        const double clearPlain = msSince(start);
        std::printf("%d entries%s, %d pages down from the top:\n", kEntries,
                    mixed ? " (every 2nd with a Hebrew or Arabic word)" : "", pageCount);
        std::printf("  per page: program's list %.3f ms, plain list box %.3f ms\n", own, before);
        std::printf("  fill: program's list %.0f ms, plain list box %.0f ms\n", filledOwn,
                    filledPlain);
        std::printf("  empty: program's list %.0f ms, plain list box %.0f ms\n", clearOwn,
                    clearPlain);
        std::fflush(stdout);
    }
    // Both full when they go, as at the program's end.
    fillOwn(list, kEntries, false);
    fillPlain(plain, kEntries, false);
    // The plain list first: it is a child of the program's window.
    auto start = Clock::now();
    DestroyWindow(plain);
    const double destroyPlain = msSince(start);
    start = Clock::now();
    owned.reset();
    const double destroyOwn = msSince(start);
    std::printf("destroyed with %d entries: program's window %.0f ms, plain list box %.0f ms\n",
                kEntries, destroyOwn, destroyPlain);
    return 0;
}
