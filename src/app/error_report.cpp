#include "app/error_report.h"

#include "app/application.h"
#include "app/error_text.h"
#include "runtime/exceptions.h"
#include "runtime/unicode.h"

namespace klw {

DisabledThreadWindows::DisabledThreadWindows(HWND except) : except_(except) {
    EnumThreadWindows(GetCurrentThreadId(), &DisabledThreadWindows::collect,
                      reinterpret_cast<LPARAM>(this));
    for (int i = 0; i < count_; ++i) EnableWindow(windows_[i], FALSE);
}

DisabledThreadWindows::~DisabledThreadWindows() {
    for (int i = 0; i < count_; ++i)
        if (IsWindow(windows_[i])) EnableWindow(windows_[i], TRUE);
}

BOOL CALLBACK DisabledThreadWindows::collect(HWND hwnd, LPARAM param) {
    auto* self = reinterpret_cast<DisabledThreadWindows*>(param);
    if (hwnd != self->except_ && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) &&
        self->count_ < static_cast<int>(std::size(self->windows_)))
        self->windows_[self->count_++] = hwnd;
    return TRUE;
}

int applicationMessageBox(const std::string& text, const std::string& caption, UINT flags) {
    Application* app = Application::instance();
    HWND owner = app ? app->handle() : nullptr;
    HWND active = GetActiveWindow();
    RECT oldRect{};
    bool moved = false;
    if (owner && active) {
        HMONITOR activeMonitor = MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
        if (activeMonitor != MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)) {
            MONITORINFO mi{};
            mi.cbSize = sizeof mi;
            GetMonitorInfoW(activeMonitor, &mi);
            GetWindowRect(owner, &oldRect);
            const int w = oldRect.right - oldRect.left;
            const int h = oldRect.bottom - oldRect.top;
            SetWindowPos(owner, nullptr, (mi.rcMonitor.left + mi.rcMonitor.right - w) / 2,
                         (mi.rcMonitor.top + mi.rcMonitor.bottom - h) / 2, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            moved = true;
        }
    }
    HWND focus = GetFocus();
    int result = 0;
    {
        DisabledThreadWindows disabled;
        result = MessageBoxW(owner, wide(text).c_str(), wide(caption).c_str(), flags);
    }
    if (moved)
        SetWindowPos(owner, nullptr, oldRect.left, oldRect.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (active && IsWindow(active)) SetActiveWindow(active);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return result;
}

std::optional<std::string> errorMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return std::nullopt;
    } catch (const Exception& e) {
        return e.message();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

void showErrorReport(std::exception_ptr error) noexcept {
    try {
        if (HWND capture = GetCapture()) SendMessageW(capture, WM_CANCELMODE, 0, 0);
        const std::optional<std::string> message = errorMessage(error);
        if (!message) return;
        Application* app = Application::instance();
        applicationMessageBox(errorBoxText(*message), app ? app->currentTitle() : std::string(),
                              MB_OK | MB_ICONSTOP);
    } catch (...) {
        // The report itself has nowhere to go.
    }
}

}  // namespace klw
