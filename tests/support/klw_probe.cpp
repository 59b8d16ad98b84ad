// Looks at a running KorLinkWalker from outside, as another program can, and times its start
// and close for tools/bench-startup.sh.
//   klw_probe state OUTFILE        the main window's list, selection, buttons, entry field,
//                                  focus, screen rectangles (the selected row's too) and client
//                                  area, as UTF-8 lines
//   klw_probe bench EXE RUNS [N..] start and save timings in the current directory, each beside
//                                  its floor measured in the same run (default 100,000 and
//                                  1,000,000 entries)
//   klw_probe floor N              the floor of the start: a minimal window program filling a
//                                  bare list box with the benchmark's N entries
//   klw_probe watch OUTFILE MS     for MS milliseconds, each change of the main window's
//                                  selection as a line "UNIX-MS INDEX" (the first line is the
//                                  selection when watching starts); OUTFILE.ready once it watches
//   klw_probe editbench EXE [TODAY_EXE] N..  a Delete, its undo (WM_UNDO), the longest time the
//                                  window does not answer while the save after each starts,
//                                  and the process's peak memory, in a running program with N
//                                  entries; beside the same for another build of it
//   klw_probe gobench LABEL RUNS   the time of one Go in this process, with the shell's handler
//                                  of http as it is, beside a bare ShellExecuteW of the same text
//   klw_probe last OUTFILE         the main window's entry count and its last entry, for a list
//                                  too long to read whole from another process
//   klw_probe clipboard OUTFILE    the clipboard's text formats: "unicode" as UTF-8, "text" and
//                                  "oemtext" as hexadecimal bytes, "locale" with the ANSI code
//                                  page of its locale, and "sequence" the change count
//   klw_probe menu OUTFILE         the popup menu that is up (class #32768): "rect", then each
//                                  item as "item CAPTION" or "grey CAPTION", "-" a separator
//   klw_probe hold OUTFILE MS      a holder of the current directory's list that is slow to
//                                  start: claims the folder as the program does, publishes after
//                                  MS milliseconds a window that answers a later start as the
//                                  program's does, and writes "claimed", "published" and
//                                  "activated" as they happen; ends when activated, or after 20 s
#include <windows.h>
// shellapi.h needs the declarations of windows.h.
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "app/single_instance.h"
#include "persist/background_save.h"
#include "persist/list_file.h"
#include "persist/list_snapshot.h"
#include "persist/memory_list_control.h"
#include "persist/object_stream_writer.h"
#include "runtime/stream.h"
#include "runtime/unicode.h"
#include "ui/main_form.h"

namespace {

std::string toUtf8(const wchar_t* text, int length) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), n, nullptr, nullptr);
    return out;
}

struct Found {
    DWORD pid = 0;  // 0: any process
    HWND main = nullptr;
};

BOOL CALLBACK findMain(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<Found*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (f->pid && pid != f->pid) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) != "TfrmMain") return TRUE;
    f->main = hwnd;
    return FALSE;
}

HWND mainWindowOf(DWORD pid) {
    Found f{pid, nullptr};
    EnumWindows(&findMain, reinterpret_cast<LPARAM>(&f));
    return f.main;
}

struct Children {
    HWND list = nullptr;
    HWND field = nullptr;
    std::vector<HWND> buttons;
};

BOOL CALLBACK collect(HWND hwnd, LPARAM param) {
    auto* c = reinterpret_cast<Children*>(param);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "ListBox") == 0) c->list = hwnd;
    if (lstrcmpiA(cls, "Edit") == 0) c->field = hwnd;
    if (lstrcmpiA(cls, "Button") == 0) c->buttons.push_back(hwnd);
    return TRUE;
}

std::string windowText(HWND hwnd) {
    const auto len = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
    const auto got =
        SendMessageW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return toUtf8(text.data(), static_cast<int>(got < 0 ? 0 : got));
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
           " " + std::to_string(r.bottom);
}

// The program's main window, waited for up to 5 s; nullptr when none appeared.
HWND waitForMainWindow() {
    HWND main = nullptr;
    for (int i = 0; i < 200 && !main; ++i) {
        main = mainWindowOf(0);
        if (!main) Sleep(25);
    }
    return main;
}

Children childrenOf(HWND main) {
    Children c;
    EnumChildWindows(main, &collect, reinterpret_cast<LPARAM>(&c));
    return c;
}

int state(const char* outName) {
    const HWND main = waitForMainWindow();
    if (!main) return 2;
    const Children c = childrenOf(main);
    std::string out;
    if (c.list) {
        const auto count = static_cast<int>(SendMessageW(c.list, LB_GETCOUNT, 0, 0));
        out += "count " + std::to_string(count) + "\n";
        out += "selected " + std::to_string(SendMessageW(c.list, LB_GETCURSEL, 0, 0)) + "\n";
        // Across processes the wide message is the one that arrives intact.
        for (int i = 0; i < count; ++i) {
            const auto len = SendMessageW(c.list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring text(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
            const auto got = SendMessageW(c.list, LB_GETTEXT, static_cast<WPARAM>(i),
                                          reinterpret_cast<LPARAM>(text.data()));
            out += "item " + toUtf8(text.data(), static_cast<int>(got < 0 ? 0 : got)) + "\n";
        }
    }
    for (HWND b : c.buttons) {
        char caption[64] = {};
        GetWindowTextA(b, caption, sizeof caption);
        out += std::string("enabled ") + caption + " " + (IsWindowEnabled(b) ? "1" : "0") + "\n";
    }
    if (c.field) out += "field " + windowText(c.field) + "\n";
    // The focus of the window's thread, by the class of the control that has it.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    char focusClass[64] = "none";
    if (GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &gui) && gui.hwndFocus)
        GetClassNameA(gui.hwndFocus, focusClass, sizeof focusClass);
    out += std::string("focus ") + focusClass + "\n";
    // Screen rectangles: the window's, then those of the list and the field.
    auto rect = [&](const char* name, HWND h) {
        RECT r{};
        GetWindowRect(h, &r);
        out += std::string(name) + " " + rectText(r) + "\n";
    };
    rect("rect", main);
    // The client area: its top-left corner on the screen, then its size.
    RECT client{};
    GetClientRect(main, &client);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    out += "client " + rectText({origin.x, origin.y, client.right, client.bottom}) + "\n";
    if (c.list) rect("list-rect", c.list);
    // The selected entry's row on the screen.
    const LRESULT selected = c.list ? SendMessageW(c.list, LB_GETCURSEL, 0, 0) : LB_ERR;
    RECT row{};
    if (selected >= 0 && SendMessageW(c.list, LB_GETITEMRECT, static_cast<WPARAM>(selected),
                                      reinterpret_cast<LPARAM>(&row)) != LB_ERR) {
        MapWindowPoints(c.list, nullptr, reinterpret_cast<POINT*>(&row), 2);
        out += "selected-row " + rectText(row) + "\n";
    }
    if (c.field) rect("field-rect", c.field);
    for (HWND b : c.buttons) {
        char caption[64] = {};
        GetWindowTextA(b, caption, sizeof caption);
        rect((std::string("button-rect ") + caption).c_str(), b);
    }
    // Whether the window is the one in front, and shown (not minimized with the program).
    out += std::string("foreground ") + (GetForegroundWindow() == main ? "1" : "0") + "\n";
    out += std::string("visible ") + (IsWindowVisible(main) ? "1" : "0") + "\n";
    FILE* f = std::fopen(outName, "wb");
    if (!f) return 3;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return 0;
}

// ---- boxes, windows ----

struct Listing {
    std::string cls;
    std::string out;
};

BOOL CALLBACK collectStatic(HWND hwnd, LPARAM param) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0) {
        const std::string text = windowText(hwnd);
        if (!text.empty()) *reinterpret_cast<std::string*>(param) += "\t" + text;
    }
    return TRUE;
}

// Every visible top-level window of the class, one line each: its caption and, for a message
// box, its texts; for a main window whether it is in front.
BOOL CALLBACK listWindow(HWND hwnd, LPARAM param) {
    auto* l = reinterpret_cast<Listing*>(param);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (l->cls != cls || !IsWindowVisible(hwnd)) return TRUE;
    std::string line = windowText(hwnd);
    if (l->cls == "#32770") EnumChildWindows(hwnd, &collectStatic, reinterpret_cast<LPARAM>(&line));
    if (GetForegroundWindow() == hwnd) line += "\tforeground";
    l->out += line + "\n";
    return TRUE;
}

int countAndLast(const char* outName) {
    const HWND main = waitForMainWindow();
    if (!main) return 2;
    const Children c = childrenOf(main);
    if (!c.list) return 2;
    const auto count = static_cast<int>(SendMessageW(c.list, LB_GETCOUNT, 0, 0));
    std::string out = "count " + std::to_string(count) + "\n";
    if (count > 0) {
        const auto len = SendMessageW(c.list, LB_GETTEXTLEN, static_cast<WPARAM>(count - 1), 0);
        std::wstring text(static_cast<size_t>(len < 0 ? 0 : len) + 1, L'\0');
        const auto got = SendMessageW(c.list, LB_GETTEXT, static_cast<WPARAM>(count - 1),
                                      reinterpret_cast<LPARAM>(text.data()));
        out += "last " + toUtf8(text.data(), static_cast<int>(got < 0 ? 0 : got)) + "\n";
    }
    FILE* f = std::fopen(outName, "wb");
    if (!f) return 3;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return 0;
}

int listWindows(const char* cls, const char* outName) {
    Listing l{cls, ""};
    EnumWindows(&listWindow, reinterpret_cast<LPARAM>(&l));
    FILE* f = std::fopen(outName, "wb");
    if (!f) return 3;
    std::fwrite(l.out.data(), 1, l.out.size(), f);
    std::fclose(f);
    return 0;
}

// ---- watch ----

long long unixMs() {
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    const ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<long long>((t - 116444736000000000ULL) / 10000);
}

int watch(const std::string& outName, int ms) {
    const HWND main = waitForMainWindow();
    if (!main) return 2;
    const Children c = childrenOf(main);
    if (!c.list) return 2;
    FILE* f = std::fopen(outName.c_str(), "wb");
    if (!f) return 3;
    LRESULT last = SendMessageW(c.list, LB_GETCURSEL, 0, 0);
    std::fprintf(f, "%lld %d\n", unixMs(), static_cast<int>(last));
    std::fflush(f);
    if (FILE* ready = std::fopen((outName + ".ready").c_str(), "wb")) std::fclose(ready);
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(ms);
    // A busy machine must not make the watcher miss a move just before the window goes away.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    while (GetTickCount64() < end) {
        // Answered even while Go waits for a handler: the program answers sent messages then.
        // A list that is going away answers nothing that counts.
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(c.list, LB_GETCURSEL, 0, 0, SMTO_BLOCK, 10000, &answer) ||
            !IsWindow(c.list)) {
            // The window may close right after a move, before a look could see it: the time
            // the window was found gone stands for that.
            std::fprintf(f, "%lld gone\n", unixMs());
            break;
        }
        const auto now = static_cast<LRESULT>(answer);
        if (now != last) {
            last = now;
            std::fprintf(f, "%lld %d\n", unixMs(), static_cast<int>(now));
            std::fflush(f);
        }
        Sleep(2);
    }
    std::fclose(f);
    return 0;
}

// ---- bench ----

double now() {
    static LARGE_INTEGER freq{};
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The benchmark's entries: web addresses, one in five with Japanese words, one in seven with an
// accented letter, one in eleven with a character outside the 16-bit range.
std::vector<std::string> benchEntries(int n) {
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const std::string k = std::to_string(i);
        if (i % 5 == 0)
            items.push_back("https://ja.wikipedia.org/wiki/日本語_" + k);
        else if (i % 7 == 0)
            items.push_back("https://fr.wikipedia.org/wiki/Café_" + k);
        else if (i % 11 == 0)
            items.push_back("https://example.com/🍣/" + k);
        else
            items.push_back("http://www.example.com/walk/" + k + "/index.html");
    }
    return items;
}

// ---- The floor of the start: a minimal window program that fills a bare list box ----

LRESULT CALLBACK floorProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CLOSE) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int floorProgram(int n) {
    const std::vector<std::string> items = benchEntries(n);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &floorProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KlwFloor";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassW(&wc);
    HWND main = CreateWindowExW(0, L"KlwFloor", L"floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 330, 220, nullptr, nullptr, wc.hInstance, nullptr);
    HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"LISTBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS, 4,
        4, 267, 133, main, nullptr, wc.hInstance, nullptr);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    std::wstring w;
    for (const std::string& e : items) {
        w = klw::wide(e);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ShowWindow(main, SW_SHOWNORMAL);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}

struct Timing {
    double visible = 0;  // process start to visible main window, ms
    double close = 0;    // WM_CLOSE to process end, ms
    int entries = -1;
};

BOOL CALLBACK findClass(HWND hwnd, LPARAM param) {
    auto* f = reinterpret_cast<std::pair<DWORD, HWND>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(hwnd, cls, 64);
    if (pid != f->first || (std::wstring(cls) != L"TfrmMain" && std::wstring(cls) != L"KlwFloor"))
        return TRUE;
    f->second = hwnd;
    return FALSE;
}

Timing startAndClose(const std::string& commandLine) {
    Timing t;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = commandLine;
    const double t0 = now();
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return t;
    std::pair<DWORD, HWND> found{pi.dwProcessId, nullptr};
    while (now() - t0 < 60000) {
        if (!found.second) EnumWindows(&findClass, reinterpret_cast<LPARAM>(&found));
        if (found.second && IsWindowVisible(found.second)) break;
        Sleep(1);
    }
    t.visible = now() - t0;
    HWND main = found.second;
    if (!main) {
        TerminateProcess(pi.hProcess, 1);
        return t;
    }
    const Children c = childrenOf(main);
    if (c.list) t.entries = static_cast<int>(SendMessageW(c.list, LB_GETCOUNT, 0, 0));
    const double t1 = now();
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    t.close = now() - t1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return t;
}

std::string listImage(int entries) {
    klw::MemoryListControl list;
    list.setEntries(benchEntries(entries));
    klw::MemoryStream image;
    {
        klw::ObjectStreamWriter w(image);
        w.EmitSignature();
        w.EmitObject(list);
        w.flush();
    }
    return image.data();
}

void writeListFile(const std::string& image) {
    FILE* f = std::fopen("korlinkwalker.dat", "wb");
    std::fwrite(image.data(), 1, image.size(), f);
    std::fclose(f);
}

struct Medians {
    double visible, close;
    int entries;
};

Medians runs(const std::string& commandLine, int count) {
    std::vector<double> visible, close;
    int entries = -1;
    for (int i = 0; i < count; ++i) {
        const Timing t = startAndClose(commandLine);
        visible.push_back(t.visible);
        close.push_back(t.close);
        entries = t.entries;
    }
    return {median(visible), median(close), entries};
}

// The floor of the save: the entries read back from a bare list box (as UTF-16), the same bytes
// written to a new file, flushed and renamed into place.
double saveFloor(HWND bare, const std::string& image) {
    const double t0 = now();
    const auto n = static_cast<int>(SendMessageW(bare, LB_GETCOUNT, 0, 0));
    std::wstring text;
    std::size_t units = 0;
    for (int i = 0; i < n; ++i) {
        const auto len = SendMessageW(bare, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        text.resize(static_cast<size_t>(len < 0 ? 0 : len) + 1);
        units += static_cast<size_t>(SendMessageW(bare, LB_GETTEXT, static_cast<WPARAM>(i),
                                                  reinterpret_cast<LPARAM>(text.data())));
    }
    HANDLE f = CreateFileW(L"floor.tmp", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, image.data(), static_cast<DWORD>(image.size()), &written, nullptr);
    FlushFileBuffers(f);
    CloseHandle(f);
    MoveFileExW(L"floor.tmp", L"floor.dat", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    const double t = now() - t0;
    if (units == 0 || written != image.size()) std::printf("(floor read %zu units)\n", units);
    return t;
}

void benchSize(const std::string& exe, int entries, int count) {
    std::printf("\n-- %d entries (1 in 5 Japanese, 1 in 7 accented, 1 in 11 outside 16 bits)\n",
                entries);
    const std::string image = listImage(entries);
    writeListFile(image);
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const Medians program = runs("\"" + exe + "\"", count);
    const Medians floor =
        runs("\"" + std::string(self) + "\" floor " + std::to_string(entries), count);
    std::printf(
        "start to visible window: program %.1f ms (%d entries shown), floor %.1f ms "
        "(minimal window program filling a bare list box)\n",
        program.visible, program.entries, floor.visible);
    std::printf("  ratio program / floor: %.2f (goal: at most 1.2)\n",
                program.visible / floor.visible);
    std::printf("WM_CLOSE to process end: program %.1f ms, floor %.1f ms\n", program.close,
                floor.close);

    // The save of the close handler, inside one process on the real list box, against its floor
    // on a bare list box holding the same entries.
    writeListFile(image);
    klw::Application app;
    klw::TfrmMain form(app);
    HWND bare = CreateWindowExW(0, L"LISTBOX", L"", LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 0, 0,
                                100, 100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(bare, WM_SETREDRAW, FALSE, 0);
    for (const std::string& e : benchEntries(entries)) {
        const std::wstring w = klw::wide(e);
        SendMessageW(bare, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    std::vector<double> saves, floors;
    for (int i = 0; i < count; ++i) {
        const double s0 = now();
        form.listFile().save(form.streamedList());
        saves.push_back(now() - s0);
        floors.push_back(saveFloor(bare, image));
    }
    DestroyWindow(bare);
    DeleteFileW(L"floor.dat");
    WIN32_FILE_ATTRIBUTE_DATA d{};
    GetFileAttributesExA("korlinkwalker.dat", GetFileExInfoStandard, &d);
    const bool same = d.nFileSizeLow == image.size();
    std::printf(
        "list file save: program %.1f ms, floor %.1f ms (bare list box read back, same "
        "%zu bytes written, flushed, renamed)%s\n",
        median(saves), median(floors), image.size(),
        same ? "" : "  [the saved file differs in size!]");
    std::printf("  ratio program / floor: %.2f (goal: at most 1.5)\n",
                median(saves) / median(floors));

    // A save after a change, as the window makes it: on the window's thread only the snapshot
    // of the list and the start of the save's thread; the rest runs there.
    std::vector<double> gui, whole;
    for (int i = 0; i < count; ++i) {
        klw::BackgroundSave saver(
            [&](const klw::ListSnapshot& list) { return form.listFile().save(list); }, {});
        const double s0 = now();
        saver.start(
            std::make_unique<klw::ListSnapshot>(form.streamedList(), form.lbxURL->entries()));
        gui.push_back(now() - s0);
        const bool failed = static_cast<bool>(saver.finish().error);
        whole.push_back(now() - s0);
        if (failed) std::printf("(a save after a change failed)\n");
    }
    std::printf(
        "save after a change: %.1f ms on the window's thread (goal: 16 ms at 10,000 entries, "
        "50 ms at 100,000), %.1f ms in all on its own thread; the close's save above %.1f ms\n",
        median(gui), median(whole), median(saves));
}

int bench(const std::string& exe, int count, const std::vector<int>& sizes) {
    DeleteFileA("korlinkwalker.dat");
    startAndClose("\"" + exe + "\"");  // warms the wineserver and the file cache
    const Medians empty = runs("\"" + exe + "\"", count);
    std::printf("empty list: start to visible window %.1f ms, WM_CLOSE to process end %.1f ms\n",
                empty.visible, empty.close);
    for (const int n : sizes) benchSize(exe, n, n >= 1000000 ? std::min(count, 3) : count);
    return 0;
}

// ---- editbench: the list's changes in a running program, measured from outside ----

struct EditFigures {
    double remove = -1;  // the Delete's click, ms
    double undo = -1;    // WM_UNDO, ms; -1 when the program has no undo
    double stall = -1;   // the longest the window did not answer after the changes, ms
    double peakMb = -1;  // the peak working set
    double privateMb = -1;
    bool ok = false;
};

// The longest a message to the window waits for an answer within `ms`: the window's thread
// busy with the start of a save after a change, among others.
double longestStall(HWND main, double ms) {
    double longest = 0;
    const double end = now() + ms;
    while (now() < end) {
        const double t0 = now();
        DWORD_PTR r = 0;
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &r);
        longest = std::max(longest, now() - t0);
        Sleep(1);
    }
    return longest;
}

EditFigures editRun(const std::string& exe, int entries) {
    EditFigures f;
    writeListFile(listImage(entries));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exe + "\"";
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return f;
    HWND main = nullptr;
    for (const double t0 = now(); now() - t0 < 120000; Sleep(5)) {
        main = mainWindowOf(pi.dwProcessId);
        if (main && IsWindowVisible(main)) break;
    }
    Children c;
    if (main) EnumChildWindows(main, &collect, reinterpret_cast<LPARAM>(&c));
    HWND del = nullptr;
    for (HWND b : c.buttons)
        if (windowText(b) == "Delete") del = b;
    auto count = [&] { return static_cast<int>(SendMessageW(c.list, LB_GETCOUNT, 0, 0)); };
    if (c.list && del && count() == entries) {
        // An entry in the middle selected as a click selects it, then Delete.
        SendMessageW(c.list, LB_SETCURSEL, static_cast<WPARAM>(entries / 2), 0);
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c.list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(c.list));
        Sleep(500);
        double t0 = now();
        SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(del), BN_CLICKED),
                     reinterpret_cast<LPARAM>(del));
        f.remove = now() - t0;
        f.stall = longestStall(main, 2500);
        t0 = now();
        SendMessageW(main, WM_UNDO, 0, 0);
        const double undo = now() - t0;
        if (count() == entries) {
            f.undo = undo;
            f.stall = std::max(f.stall, longestStall(main, 2500));
        }
        // More pairs, on other entries, for medians: one sample is at the mercy of the machine.
        std::vector<double> removes{f.remove}, undos{f.undo};
        const bool undoes = f.undo >= 0;
        for (int k = 1; k < 7; ++k) {
            SendMessageW(c.list, LB_SETCURSEL, static_cast<WPARAM>(entries / 2 - k), 0);
            SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(c.list), LBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(c.list));
            t0 = now();
            SendMessageW(main, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(del), BN_CLICKED),
                         reinterpret_cast<LPARAM>(del));
            removes.push_back(now() - t0);
            if (!undoes) continue;
            t0 = now();
            SendMessageW(main, WM_UNDO, 0, 0);
            undos.push_back(now() - t0);
        }
        f.remove = median(removes);
        if (undoes) f.undo = median(undos);
        PROCESS_MEMORY_COUNTERS m{};
        m.cb = sizeof m;
        if (GetProcessMemoryInfo(pi.hProcess, &m, sizeof m)) {
            f.peakMb = static_cast<double>(m.PeakWorkingSetSize) / 1048576.0;
            f.privateMb = static_cast<double>(m.PeakPagefileUsage) / 1048576.0;
        }
        f.ok = count() == entries - (undoes ? 0 : 7);
    }
    if (main) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 120000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return f;
}

std::string figure(double v, const char* unit) {
    if (v < 0) return "-";
    char b[32];
    std::snprintf(b, sizeof b, "%.1f %s", v, unit);
    return b;
}

int editBench(const std::string& exe, const std::string& today, const std::vector<int>& sizes) {
    std::printf(
        "\n-- The list's changes in the running program: a Delete in the middle of the list, its "
        "undo, the longest the window's thread did not answer in the 2.5 s after each (the save "
        "after a change starts there), the process's peak memory%s\n",
        today.empty() ? "" : "; this build, then today's (origin/main) in the same run");
    for (const int n : sizes) {
        std::printf("%d entries:\n", n);
        for (const bool isToday : {false, true}) {
            const std::string& program = isToday ? today : exe;
            if (program.empty()) continue;
            const EditFigures f = editRun(program, n);
            std::printf(
                "  %-6s Delete %s, undo %s (medians of 7), window's thread held at most %s, peak "
                "working set "
                "%s, peak private %s%s\n",
                isToday ? "today" : "this", figure(f.remove, "ms").c_str(),
                figure(f.undo, "ms").c_str(), figure(f.stall, "ms").c_str(),
                figure(f.peakMb, "MB").c_str(), figure(f.privateMb, "MB").c_str(),
                f.ok ? "" : "  [the list did not end as expected]");
            std::fflush(stdout);
        }
    }
    DeleteFileA("korlinkwalker.dat");
    return 0;
}

// One Go of the real window, the selection on entry i of a list of runs+1 entries, against the
// bare shell call of the same kind of address; a pause after each lets the handlers end.
int goBench(const std::string& label, int count) {
    std::vector<std::string> items;
    for (int i = 0; i <= count; ++i)
        items.push_back("http://example.com/bench/" + std::to_string(i));
    klw::MemoryListControl list;
    list.setEntries(items);
    klw::MemoryStream image;
    {
        klw::ObjectStreamWriter w(image);
        w.EmitSignature();
        w.EmitObject(list);
        w.flush();
    }
    writeListFile(image.data());
    std::vector<double> goes, bare;
    {
        klw::Application app;
        klw::TfrmMain form(app);
        for (int i = 0; i < count; ++i) {
            const double t0 = now();
            form.btnGoClick(*form.btnGo);
            goes.push_back(now() - t0);
            Sleep(300);
            app.processMessages();
        }
        for (int i = 0; i < count; ++i) {
            const std::wstring w = klw::wide(items[static_cast<size_t>(i)]);
            const double t0 = now();
            ShellExecuteW(form.handle(), L"open", w.c_str(), L"", L"", SW_SHOWNORMAL);
            bare.push_back(now() - t0);
            Sleep(300);
            app.processMessages();
        }
    }
    DeleteFileA("korlinkwalker.dat");
    std::printf("one Go, %s as http handler: median %.1f ms of %d (bare ShellExecuteW: %.1f ms)\n",
                label.c_str(), median(goes), count, median(bare));
    return 0;
}

// The holder's window: answers the start's question as the program's application window does.
bool holderActivated = false;
LRESULT CALLBACK holderProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == klw::FolderClaim::activateMessage() && msg != 0) {
        holderActivated = true;
        return klw::FolderClaim::kActivated;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int holdLate(const char* outFile, int delayMs) {
    std::FILE* out = std::fopen(outFile, "wb");
    if (!out) return 2;
    auto say = [&](const char* what) {
        std::fprintf(out, "%s\n", what);
        std::fflush(out);
    };
    klw::FolderClaim claim;
    if (claim.heldElsewhere()) {
        say("held elsewhere");
        return 3;
    }
    say("claimed");
    Sleep(static_cast<DWORD>(delayMs));
    WNDCLASSW wc{};
    wc.lpfnWndProc = &holderProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"KlwProbeHolder";
    RegisterClassW(&wc);
    const HWND window = CreateWindowW(L"KlwProbeHolder", L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                      nullptr, wc.hInstance, nullptr);
    claim.publish(window);
    say("published");
    const DWORD end = GetTickCount() + 20000;
    while (!holderActivated && GetTickCount() < end) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    }
    if (holderActivated) say("activated");
    DestroyWindow(window);
    std::fclose(out);
    return holderActivated ? 0 : 1;
}

// ---- clipboard, menu ----

int writeOut(const char* outName, const std::string& out) {
    FILE* f = std::fopen(outName, "wb");
    if (!f) return 3;
    std::fwrite(out.data(), 1, out.size(), f);
    std::fclose(f);
    return 0;
}

int clipboard(const char* outName) {
    bool opened = false;
    for (int i = 0; i < 20 && !(opened = OpenClipboard(nullptr) != FALSE); ++i) Sleep(25);
    if (!opened) return 2;
    std::string out = "sequence " + std::to_string(GetClipboardSequenceNumber()) + "\n";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        const auto* p = static_cast<const wchar_t*>(GlobalLock(h));
        out += "unicode " + toUtf8(p, lstrlenW(p)) + "\n";
        GlobalUnlock(h);
    }
    for (const auto& [format, name] :
         {std::pair<UINT, const char*>{CF_TEXT, "text"}, {CF_OEMTEXT, "oemtext"}}) {
        if (HANDLE h = GetClipboardData(format)) {
            const auto* p = static_cast<const unsigned char*>(GlobalLock(h));
            out += name;
            for (; *p; ++p) {
                char hex[4];
                std::snprintf(hex, sizeof hex, " %02x", *p);
                out += hex;
            }
            out += "\n";
            GlobalUnlock(h);
        }
    }
    if (HANDLE h = GetClipboardData(CF_LOCALE)) {
        const LCID lcid = *static_cast<const LCID*>(GlobalLock(h));
        GlobalUnlock(h);
        wchar_t acp[8] = {};
        GetLocaleInfoW(lcid, LOCALE_IDEFAULTANSICODEPAGE, acp, 8);
        out += "locale " + toUtf8(acp, lstrlenW(acp)) + "\n";
    }
    CloseClipboard();
    return writeOut(outName, out);
}

int popupMenu(const char* outName) {
    const HWND window = FindWindowW(L"#32768", nullptr);
    if (!window || !IsWindowVisible(window)) return writeOut(outName, "");
    RECT r{};
    GetWindowRect(window, &r);
    std::string out = "rect " + rectText(r) + "\n";
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    const int n = menu ? GetMenuItemCount(menu) : -1;
    if (n < 0) out += "unreadable\n";
    for (int i = 0; i < n; ++i) {
        wchar_t caption[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = 127;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            out += "unreadable\n";
            continue;
        }
        if (info.fType & MFT_SEPARATOR) {
            out += "-\n";
            continue;
        }
        out += std::string((info.fState & MFS_GRAYED) ? "grey " : "item ") +
               toUtf8(caption, lstrlenW(caption)) + "\n";
    }
    return writeOut(outName, out);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "state" && argc == 3) return state(argv[2]);
    if (cmd == "boxes" && argc == 3) return listWindows("#32770", argv[2]);
    if (cmd == "mains" && argc == 3) return listWindows("TfrmMain", argv[2]);
    if (cmd == "tips" && argc == 3) return listWindows("tooltips_class32", argv[2]);
    if (cmd == "minimize" && argc == 2) {
        const HWND main = waitForMainWindow();
        return main && PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0) ? 0 : 2;
    }
    if (cmd == "last" && argc == 3) return countAndLast(argv[2]);
    if (cmd == "clipboard" && argc == 3) return clipboard(argv[2]);
    if (cmd == "menu" && argc == 3) return popupMenu(argv[2]);
    if (cmd == "hold" && argc == 4) return holdLate(argv[2], std::atoi(argv[3]));
    if (cmd == "floor" && argc == 3) return floorProgram(std::atoi(argv[2]));
    if (cmd == "watch" && argc == 4) return watch(argv[2], std::atoi(argv[3]));
    if (cmd == "gobench" && argc == 4) return goBench(argv[2], std::max(1, std::atoi(argv[3])));
    if (cmd == "editbench" && argc >= 4) {
        // The second program is named by its path (ending in .exe); the rest are sizes.
        const bool today = std::string(argv[3]).find(".exe") != std::string::npos;
        std::vector<int> sizes;
        for (int i = today ? 4 : 3; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
        return editBench(argv[2], today ? argv[3] : "", sizes);
    }
    if (cmd == "bench" && argc >= 4) {
        std::vector<int> sizes;
        for (int i = 4; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
        if (sizes.empty()) sizes = {1000, 10000, 100000, 1000000};
        return bench(argv[2], std::max(1, std::atoi(argv[3])), sizes);
    }
    std::fprintf(
        stderr,
        "usage: klw_probe state OUTFILE | klw_probe boxes OUTFILE | klw_probe mains OUTFILE | "
        "klw_probe tips OUTFILE | "
        "klw_probe minimize | klw_probe bench EXE RUNS [ENTRIES...] | "
        "klw_probe floor ENTRIES | klw_probe watch OUTFILE MS | "
        "klw_probe gobench LABEL RUNS | klw_probe editbench EXE [TODAY_EXE] N.. | klw_probe last "
        "OUTFILE | klw_probe hold OUTFILE MS | klw_probe clipboard OUTFILE | klw_probe menu "
        "OUTFILE\n");
    return 1;
}
