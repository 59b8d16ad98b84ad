#include "app/console_end.h"

#include <atomic>

namespace klw {
namespace {

std::atomic<HWND> endWindow{nullptr};
std::atomic<UINT> endMessage{0};
HANDLE handled = nullptr;  // set once the window has saved

BOOL WINAPI onConsoleEvent(DWORD event) {
    const HWND window = endWindow.load();
    if (!window || !IsWindow(window)) return FALSE;
    PostMessageW(window, endMessage.load(), 0, 0);
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
            // The process goes on; the window ends it once the list is kept.
            return TRUE;
        default:
            // Closing the console, logging off, shutting down: the process ends when this
            // returns, so wait (within the system's grace time) for the save.
            if (handled) WaitForSingleObject(handled, 4000);
            return TRUE;
    }
}

}  // namespace

void watchConsoleEnd(HWND window, UINT message) {
    if (!handled) handled = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    endMessage = message;
    endWindow = window;
    SetConsoleCtrlHandler(&onConsoleEvent, TRUE);
}

void consoleEndHandled() {
    if (handled) SetEvent(handled);
}

}  // namespace klw
