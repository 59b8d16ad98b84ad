#pragma once
// The error report run by every guard, and the application message box it shows.
#include <windows.h>

#include <exception>
#include <optional>
#include <string>

namespace klw {

// Cancels a pending mouse mode, drops EAbort silently, otherwise shows the error box: the
// message with its closing full stop, the application title as caption, a stop icon.
void showErrorReport(std::exception_ptr error) noexcept;
// The message the error carries, without the closing full stop; none for EAbort.
std::optional<std::string> errorMessage(std::exception_ptr error);

// MessageBoxW owned by the application window, with every other window of the program
// disabled while it is up, on the monitor of the active window.
int applicationMessageBox(const std::string& text, const std::string& caption, UINT flags);

// Disables the visible and enabled top-level windows of this thread for the scope.
class DisabledThreadWindows {
public:
    explicit DisabledThreadWindows(HWND except = nullptr);
    ~DisabledThreadWindows();
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;

private:
    static BOOL CALLBACK collect(HWND hwnd, LPARAM self);
    HWND except_;
    HWND windows_[64];
    int count_ = 0;
};

}  // namespace klw
