#include "app/console_end.h"

#include <atomic>

#include "app/application.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

std::atomic<HWND> endWindow{nullptr};
std::atomic<UINT> endMessage{0};
// The save of the last request failed: the user was told, and the next Ctrl+C ends at once.
std::atomic<bool> endFailed{false};
HANDLE answered = nullptr;  // set once the window has carried out a request
std::string title;          // read before the console thread can need it

BOOL WINAPI onConsoleEvent(DWORD event) {
    const bool interrupt = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT;
    if (interrupt && endFailed.load()) TerminateProcess(GetCurrentProcess(), kUnsavedExitCode);
    const HWND window = endWindow.load();
    if (!window || !IsWindow(window)) return FALSE;
    if (answered) ResetEvent(answered);
    PostMessageW(window, endMessage.load(), 0, 0);
    // Ctrl+C and Ctrl+Break: the process goes on; the window ends it once the list is kept.
    // Closing the console, logging off, shutting down: the process ends when this returns, so
    // wait (within the system's grace time) for the save.
    if (!interrupt && answered) WaitForSingleObject(answered, 4000);
    return TRUE;
}

// To the terminal's standard error: as characters to a console, as UTF-8 to a file or pipe.
void writeError(const std::string& text) {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (!err || err == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0, written = 0;
    if (GetConsoleMode(err, &mode)) {
        const std::wstring w = wide(text);
        WriteConsoleW(err, w.data(), static_cast<DWORD>(w.size()), &written, nullptr);
    } else {
        WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
}

}  // namespace

void watchConsoleEnd(HWND window, UINT message) {
    if (!answered) answered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    title = Application::moduleTitle();
    endMessage = message;
    endWindow = window;
    SetConsoleCtrlHandler(&onConsoleEvent, TRUE);
}

void consoleEndAnswered(const std::string& error) {
    if (!error.empty()) writeError(title + ": " + error + "\n");
    endFailed = !error.empty();
    if (answered) SetEvent(answered);
}

}  // namespace klw
