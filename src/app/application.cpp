#include "app/application.h"

#include "app/error_report.h"
#include "app/single_instance.h"
#include "app/title.h"
#include "runtime/unicode.h"
#include "widgets/control.h"
#include "widgets/error_sink.h"
#include "widgets/form.h"

namespace klw {

Application* Application::instance_ = nullptr;

std::string Application::moduleTitle() {
    // The whole path, however long: a cut-off path would give the title of another name.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return deriveTitle(narrow(path));
}

Application::Application() : title_(moduleTitle()) {
    instance_ = this;
    setErrorReporter(&Application::reportError);
    icon_ = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
    if (!icon_) icon_ = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    const int x = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int y = GetSystemMetrics(SM_CYSCREEN) / 2;
    createWindow({"TApplication", 0, icon_, nullptr}, 0, title_,
                 WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0, 0,
                 nullptr, nullptr);
    SendMessageW(handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    SetClassLongPtrW(handle(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icon_));
    HMENU sys = GetSystemMenu(handle(), FALSE);
    DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_MOVE, MF_BYCOMMAND);
}

Application::~Application() {
    setErrorReporter(nullptr);
    if (instance_ == this) instance_ = nullptr;
}

std::string Application::currentTitle() const {
    if (!handle()) return title_;
    const int length = GetWindowTextLengthW(handle());
    std::wstring buf(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int n = GetWindowTextW(handle(), buf.data(), static_cast<int>(buf.size()));
    buf.resize(static_cast<size_t>(n > 0 ? n : 0));
    return narrow(buf);
}

void Application::setMainForm(Form& form) {
    if (!mainForm_) mainForm_ = &form;
}

int Application::startupShowCommand() {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    GetStartupInfoW(&si);
    return (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
}

void Application::run() {
    if (mainForm_) {
        const int show = startupShowCommand();
        if (show == SW_SHOWMINNOACTIVE) {
            minimize();
        } else {
            ShowWindow(mainForm_->handle(),
                       show == SW_SHOWMAXIMIZED ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
            updateVisible();
        }
    }
    while (!terminated_) {
        try {
            handleMessage();
        } catch (...) {
            reportCurrentError();
        }
    }
}

void Application::handleMessage() {
    if (!processMessage()) idle();
}

bool Application::processMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        // Keyboard pre-translation: offered first to the window holding the capture, when it
        // is ours, else to the nearest of our controls from the target up.
        HWND target = GetCapture();
        if (target) {
            DWORD pid = 0;
            GetWindowThreadProcessId(target, &pid);
            if (pid != GetCurrentProcessId()) target = nullptr;
        }
        if (!target) {
            target = msg.hwnd;
            for (HWND h = msg.hwnd; h; h = GetParent(h)) {
                if (Control::fromHandle(h) || Window::fromHandle(h)) {
                    target = h;
                    break;
                }
            }
        }
        if (target && SendMessageW(target, kKeyNotifyBase + msg.message, msg.wParam, msg.lParam))
            return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void Application::idle() { WaitMessage(); }

void Application::processMessages() {
    while (processMessage()) {
    }
}

void Application::terminate() { PostQuitMessage(0); }

void Application::setClosing(bool closing) {
    closing_ = closing;
    if (claim_) claim_->setClosing(closing);
}

void Application::updateVisible() {
    const bool anyVisible = mainForm_ && IsWindowVisible(mainForm_->handle());
    if (anyVisible == (IsWindowVisible(handle()) != FALSE)) return;
    SetWindowPos(handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (anyVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void Application::minimize() {
    if (IsIconic(handle())) return;
    focusBeforeMinimize_ = GetFocus();
    if (mainForm_) {
        RECT r{};
        GetWindowRect(mainForm_->handle(), &r);
        SetWindowPos(handle(), nullptr, r.left, r.top, r.right - r.left, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        ShowWindow(handle(), SW_SHOWNOACTIVATE);
    }
    DefWindowProcW(handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    // Owned windows go with their owner; make sure the main form is out of sight.
    if (mainForm_ && IsWindowVisible(mainForm_->handle())) ShowOwnedPopups(handle(), FALSE);
}

void Application::restore() {
    if (!IsIconic(handle())) return;
    DefWindowProcW(handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    SetWindowPos(handle(), nullptr, GetSystemMetrics(SM_CXSCREEN) / 2,
                 GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE);
    if (mainForm_) {
        if (!IsWindowVisible(mainForm_->handle())) {
            ShowOwnedPopups(handle(), TRUE);
            if (!IsWindowVisible(mainForm_->handle()))
                ShowWindow(mainForm_->handle(), SW_SHOWNORMAL);
        }
        SetActiveWindow(mainForm_->handle());
        if (focusBeforeMinimize_ && IsWindow(focusBeforeMinimize_)) SetFocus(focusBeforeMinimize_);
    }
    updateVisible();
}

void Application::reportError(std::exception_ptr error) noexcept { showErrorReport(error); }

void Application::bringToFront() {
    restore();
    if (mainForm_ && IsWindowVisible(mainForm_->handle())) {
        SetForegroundWindow(mainForm_->handle());
        SetActiveWindow(mainForm_->handle());
    }
}

LRESULT Application::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A second start in the folder whose list is open here.
    if (msg == FolderClaim::activateMessage() && msg != 0) {
        // A window that is about to go would leave that start with nothing.
        if (closing_) return FolderClaim::kClosing;
        bringToFront();
        return FolderClaim::kActivated;
    }
    switch (msg) {
        case WM_CLOSE:
            // Disabled, a box of the program is up: the close route waits for its answer.
            if (mainForm_ && IsWindowEnabled(handle())) mainForm_->close();
            return 0;
        case WM_SYSCOMMAND:
            switch (wp & 0xFFF0) {
                case SC_MINIMIZE:
                    minimize();
                    return 0;
                case SC_RESTORE:
                    restore();
                    return 0;
                case SC_CLOSE:
                    if (mainForm_ && IsWindowEnabled(handle())) mainForm_->close();
                    return 0;
                default:
                    return defaultProc(msg, wp, lp);
            }
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp) {
                setClosing(true);
                // The loop may end before the main form hears of the ending itself.
                if (mainForm_) mainForm_->sessionEnding();
                terminated_ = true;
            }
            return 0;
        case WM_SETFOCUS:
            // The taskbar entry stands for the main form: pass the focus on to it.
            if (mainForm_ && IsWindowVisible(mainForm_->handle()) &&
                IsWindowEnabled(mainForm_->handle())) {
                SetActiveWindow(mainForm_->handle());
                return 0;
            }
            return defaultProc(msg, wp, lp);
        default:
            return defaultProc(msg, wp, lp);
    }
}

}  // namespace klw
