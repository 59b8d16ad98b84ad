#include "support/gui_test.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/application.h"
#include "runtime/unicode.h"

namespace klw::test {

void pump(Application& app, int quietMs) {
    DWORD quietSince = GetTickCount();
    while (GetTickCount() - quietSince < static_cast<DWORD>(quietMs)) {
        if (app.processMessage()) {
            quietSince = GetTickCount();
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
}

namespace {

void sendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME ||
        vk == VK_END || vk == VK_PRIOR || vk == VK_NEXT || vk == VK_DELETE)
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    SendInput(1, &in, sizeof in);
}

void modifiers(unsigned mods, bool up) {
    if (mods & kCtrl) sendKey(VK_CONTROL, up);
    if (mods & kShift) sendKey(VK_SHIFT, up);
    if (mods & kAlt) sendKey(VK_MENU, up);
}

void sendMouse(DWORD flags, int sx, int sy) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = MulDiv(sx, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    in.mi.dy = MulDiv(sy, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

}  // namespace

void key(WORD vk, unsigned mods) {
    modifiers(mods, false);
    sendKey(vk, false);
    sendKey(vk, true);
    modifiers(mods, true);
}

void holdKey(WORD vk, int repeats) {
    for (int i = 0; i < repeats; ++i) sendKey(vk, false);
    sendKey(vk, true);
}

void typeText(const std::string& ascii) {
    for (char c : ascii) {
        const SHORT code = VkKeyScanA(c);
        const WORD vk = LOBYTE(code);
        const unsigned mods = (HIBYTE(code) & 1) ? kShift : kNone;
        key(vk, mods);
    }
}

void typeUnicode(std::string_view text) {
    for (const char16_t c : utf8ToUtf16(text)) {
        INPUT in[2]{};
        in[0].type = INPUT_KEYBOARD;
        in[0].ki.wScan = static_cast<WORD>(c);
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1] = in[0];
        in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

void click(HWND hwnd, int x, int y, bool doubleClick) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    sendMouse(MOUSEEVENTF_MOVE, p.x, p.y);
    for (int i = 0; i < (doubleClick ? 2 : 1); ++i) {
        sendMouse(MOUSEEVENTF_LEFTDOWN, p.x, p.y);
        sendMouse(MOUSEEVENTF_LEFTUP, p.x, p.y);
    }
}

void rightClick(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    sendMouse(MOUSEEVENTF_MOVE, p.x, p.y);
    sendMouse(MOUSEEVENTF_RIGHTDOWN, p.x, p.y);
    sendMouse(MOUSEEVENTF_RIGHTUP, p.x, p.y);
}

void activate(Application& app, HWND hwnd) {
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    pump(app);
}

std::string clipboardText(UINT format) {
    std::string out;
    if (!OpenClipboard(nullptr)) return out;
    if (HANDLE h = GetClipboardData(format)) {
        if (const void* p = GlobalLock(h)) {
            if (format == CF_UNICODETEXT)
                out = narrow(static_cast<const wchar_t*>(p));
            else
                out = static_cast<const char*>(p);
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

bool setClipboardText(std::string_view text) {
    const std::wstring w = wide(text);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (w.size() + 1) * sizeof(wchar_t));
    if (!h) return false;
    if (void* p = GlobalLock(h)) {
        std::memcpy(p, w.c_str(), (w.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(h);
    }
    bool done = false;
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        done = SetClipboardData(CF_UNICODETEXT, h) != nullptr;
        CloseClipboard();
    }
    if (!done) GlobalFree(h);
    return done;
}

std::string windowText(HWND hwnd) {
    wchar_t buf[4096] = {};
    const int n = GetWindowTextW(hwnd, buf, static_cast<int>(std::size(buf)));
    return narrow(std::wstring_view(buf, static_cast<size_t>(n > 0 ? n : 0)));
}

RECT childRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT clientRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

DialogWatcher::DialogWatcher() : thread_([this] { loop(); }) {}

DialogWatcher::~DialogWatcher() {
    stop_ = true;
    thread_.join();
}

std::vector<SeenDialog> DialogWatcher::seen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

void DialogWatcher::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    seen_.clear();
}

BOOL CALLBACK DialogWatcher::visit(HWND hwnd, LPARAM param) {
    auto* self = reinterpret_cast<DialogWatcher*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    const std::string c = cls;
    if (c != "#32770" && c != "TMessageForm") return TRUE;
    {
        std::lock_guard<std::mutex> lock(self->mutex_);
        for (HWND h : self->handled_)
            if (h == hwnd) return TRUE;
        self->handled_.push_back(hwnd);
    }
    SeenDialog d;
    d.windowClass = c;
    d.caption = windowText(hwnd);
    d.iconStyle = 0;
    if (c == "#32770") {
        wchar_t text[4096] = {};
        GetDlgItemTextW(hwnd, 0xFFFF, text, static_cast<int>(std::size(text)));
        d.text = narrow(text);
        // The icon sits in a static control with SS_ICON.
        for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char childClass[32] = {};
            GetClassNameA(child, childClass, sizeof childClass);
            if (std::string(childClass) == "Static" &&
                (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                d.iconStyle = 1;
            const int id = GetDlgCtrlID(child);
            if (std::string(childClass) == "Button") {
                d.buttons.push_back(id);
                if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                    d.defaultButton = id;
            }
        }
        d.owner = GetWindow(hwnd, GW_OWNER);

    } else {
        HWND label = FindWindowExA(hwnd, nullptr, "STATIC", nullptr);
        d.text = label ? windowText(label) : std::string();
    }
    {
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->seen_.push_back(d);
    }
    self->openBox = hwnd;
    if (self->answer) {
        self->answer(hwnd);
    } else if (self->dismiss) {
        if (c == "#32770") {
            PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
        } else if (self->clickOk) {
            HWND ok = FindWindowExA(hwnd, nullptr, "BUTTON", nullptr);
            PostMessageA(ok, BM_CLICK, 0, 0);
        } else {
            PostMessageA(hwnd, WM_CLOSE, 0, 0);
        }
    }
    return TRUE;
}

void DialogWatcher::loop() {
    while (!stop_) {
        EnumWindows(&DialogWatcher::visit, reinterpret_cast<LPARAM>(this));
        Sleep(20);
    }
}

TempCurrentDirectory::TempCurrentDirectory() {
    char tmp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, tmp);
    char name[MAX_PATH] = {};
    GetTempFileNameA(tmp, "klw", 0, name);
    DeleteFileA(name);
    CreateDirectoryA(name, nullptr);
    path_ = name;
    char cur[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cur);
    previous_ = cur;
    SetCurrentDirectoryA(path_.c_str());
}

TempCurrentDirectory::~TempCurrentDirectory() {
    SetCurrentDirectoryA(previous_.c_str());
    // Remove what the test left, read-only files and folders included.
    std::string pattern = path_ + "\\*";
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern.c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            const std::string full = path_ + "\\" + n;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveDirectoryA(full.c_str());
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path_.c_str());
}

std::string readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace klw::test
