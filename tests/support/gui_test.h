#pragma once
// Helpers for tests that drive real windows under Wine: real input through SendInput, the
// application's own loop to process it, and a watcher that reads and dismisses message boxes.
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace klw {
class Application;
}

namespace klw::test {

// Runs the application's one-message step until nothing has arrived for `quietMs`.
void pump(Application& app, int quietMs = 60);

// Keyboard input with modifiers held around it.
enum Mod : unsigned { kNone = 0, kShift = 1, kCtrl = 2, kAlt = 4 };
void key(WORD vk, unsigned mods = kNone);
// Presses a key down `repeats` times (auto-repeat) before releasing it.
void holdKey(WORD vk, int repeats);
void typeText(const std::string& ascii);
// Characters typed as such (VK_PACKET, one UTF-16 unit per key), whatever the keyboard layout:
// any text, in the program's form (UTF-8).
void typeUnicode(std::string_view text);
// Mouse input at a point of a window's client area.
void click(HWND hwnd, int x, int y, bool doubleClick = false);
void rightClick(HWND hwnd, int x, int y);

// Brings the window to the foreground so that it receives keyboard input.
void activate(Application& app, HWND hwnd);

// The clipboard's text: for CF_UNICODETEXT as UTF-8, for CF_TEXT its bytes as they are; empty
// when the clipboard holds none or cannot be opened.
std::string clipboardText(UINT format);
// Puts the text (UTF-8) on the clipboard as CF_UNICODETEXT; false when that failed.
bool setClipboardText(std::string_view text);

// The text of a window (caption or control text), read with the Unicode call, as UTF-8.
std::string windowText(HWND hwnd);
// A window's rectangle in its parent's client coordinates.
RECT childRect(HWND hwnd);
RECT clientRect(HWND hwnd);

struct SeenDialog {
    std::string windowClass;
    std::string caption;
    std::string text;
    UINT iconStyle = 0;  // the MessageBox's icon, from its static icon control (0 when none)
    HWND owner = nullptr;
    // The standard box's buttons by their command ids, and the one drawn as the default.
    std::vector<int> buttons;
    int defaultButton = 0;
};

// Watches this process's windows from a second thread and dismisses every message box
// (standard "#32770" and the program's own "TMessageForm"), recording what it showed.
class DialogWatcher {
public:
    DialogWatcher();
    ~DialogWatcher();
    std::vector<SeenDialog> seen();
    void clear();
    // When false, the watcher only records and leaves the box open.
    std::atomic<bool> dismiss{true};
    // What dismisses the plain message box: WM_CLOSE when false, a click on OK when true.
    std::atomic<bool> clickOk{true};
    std::atomic<HWND> openBox{nullptr};
    // Set before the first box: answers each box instead of dismissing it, on the watcher's
    // thread, once it has been recorded.
    std::function<void(HWND box)> answer;

private:
    void loop();
    static BOOL CALLBACK visit(HWND hwnd, LPARAM self);
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> handled_;
    std::thread thread_;
};

// A fresh empty folder below the system's temporary folder, made the current directory for the
// scope and removed with its content afterwards.
class TempCurrentDirectory {
public:
    TempCurrentDirectory();
    ~TempCurrentDirectory();
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string previous_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace klw::test
