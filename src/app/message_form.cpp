#include "app/message_form.h"

#include <algorithm>
#include <cstring>

#include "app/application.h"
#include "app/error_report.h"
#include "app/message_box_layout.h"
#include "runtime/exceptions.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;
constexpr std::string_view kDivider = "---------------------------";  // 27 dashes

int g_buttonCaptionWidth = -1;  // measured once per process

}  // namespace

MessageForm::MessageForm(const std::string& text) : text_(text) {
    Application* app = Application::instance();
    const std::string caption = app ? app->currentTitle() : std::string();
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_CLIPSIBLINGS;
    const DWORD exStyle = WS_EX_DLGMODALFRAME;
    createWindow({"TMessageForm", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)}, exStyle,
                 caption, style, 0, 0, 100, 100, app ? app->handle() : nullptr, nullptr);
    HMENU sys = GetSystemMenu(handle(), FALSE);
    DeleteMenu(sys, SC_MAXIMIZE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(sys, SC_RESTORE, MF_BYCOMMAND);

    // The system's message font; without one, the stock GUI font.
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        font_.reset(CreateFontIndirectW(&ncm.lfMessageFont));
    HFONT font = font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    setFont(font);

    ScreenDC dc;
    SelectedObject selected(dc.get(), font);
    static const wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE size{};
    GetTextExtentPointW(dc.get(), kLetters, 52, &size);
    const int x = size.cx / 52;
    const int y = size.cy;
    if (g_buttonCaptionWidth < 0) {
        RECT r{0, 0, 0, 0};
        DrawTextW(dc.get(), L"OK", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_LEFT);
        g_buttonCaptionWidth = r.right - r.left;
    }
    const MessageBoxMetrics metrics = messageBoxMetrics(x, y, g_buttonCaptionWidth);
    RECT textRect{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    std::wstring wideText = wide(text_);
    DrawTextW(dc.get(), wideText.data(), static_cast<int>(wideText.size()), &textRect,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    const MessageBoxLayout layout =
        layoutMessageBox(metrics, textRect.right - textRect.left, textRect.bottom - textRect.top);

    RECT frame{0, 0, layout.clientWidth, layout.clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    const Box& l = layout.label;
    message_ = std::make_unique<Label>(
        *this, "Message", text_, RECT{l.left, l.top, l.left + l.width, l.top + l.height}, true);
    message_->setFont(font);
    const Box& b = layout.button;
    ok_ = std::make_unique<Button>(*this, "OK", "OK",
                                   RECT{b.left, b.top, b.left + b.width, b.top + b.height},
                                   Button::Options{.isDefault = true, .isCancel = true});
    ok_->setFont(font);
    ok_->onClick = [this](Control&) { modalResult_ = kModalOk; };
}

MessageForm::~MessageForm() {
    // Controls go before the form's window.
    ok_.reset();
    message_.reset();
}

void MessageForm::show(const std::string& text) {
    MessageForm form(text);
    form.showModal();
}

int MessageForm::showModal() {
    RECT wr{};
    GetWindowRect(handle(), &wr);
    const int w = wr.right - wr.left;
    const int h = wr.bottom - wr.top;
    HWND previous = GetActiveWindow();
    Point p = centreIn(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), w, h);
    if (GetSystemMetrics(SM_CMONITORS) > 1 && previous) {
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (GetMonitorInfoW(MonitorFromWindow(previous, MONITOR_DEFAULTTONEAREST), &mi))
            p = centreIn(mi.rcMonitor.left, mi.rcMonitor.top,
                         mi.rcMonitor.right - mi.rcMonitor.left,
                         mi.rcMonitor.bottom - mi.rcMonitor.top, w, h);
    }
    SetWindowPos(handle(), nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ReleaseCapture();
    Application* app = Application::instance();
    {
        DisabledThreadWindows disabled(handle());
        ShowWindow(handle(), SW_SHOW);
        SetActiveWindow(handle());
        modalResult_ = 0;
        while (modalResult_ == 0) {
            if (!app) break;
            app->handleMessage();
            if (app->terminated()) modalResult_ = kModalCancel;
        }
        ShowWindow(handle(), SW_HIDE);
    }
    if (previous && IsWindow(previous)) SetActiveWindow(previous);
    return modalResult_;
}

void MessageForm::closeConfirmed(CloseAction) { modalResult_ = kModalCancel; }

std::string MessageForm::clipboardText() const {
    const int length = GetWindowTextLengthW(handle());
    std::wstring caption(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    caption.resize(static_cast<size_t>(
        std::max(0, GetWindowTextW(handle(), caption.data(), static_cast<int>(caption.size())))));
    const std::string title = narrow(caption);
    std::string s;
    for (const std::string_view line :
         {kDivider, std::string_view(title), kDivider, std::string_view(text_), kDivider,
          std::string_view("OK   "), kDivider}) {
        s += line;
        s += "\r\n";
    }
    return s;
}

void MessageForm::copyToClipboard() const {
    if (!OpenClipboard(nullptr)) throw Exception(std::string(texts::kCannotOpenClipboard));
    // As Unicode text; the system offers it as CF_TEXT in the ANSI code page as well.
    const std::wstring s = wide(clipboardText());
    EmptyClipboard();
    const size_t bytes = (s.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, bytes)) {
        if (void* p = GlobalLock(mem)) {
            std::memcpy(p, s.c_str(), bytes);
            GlobalUnlock(mem);
            if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
        } else {
            GlobalFree(mem);
        }
    }
    CloseClipboard();
}

bool MessageForm::previewKey(UINT keyMsg, WPARAM vk, LPARAM) {
    if (keyMsg == WM_KEYDOWN && vk == 'C' && GetKeyState(VK_CONTROL) < 0 &&
        GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_MENU) >= 0) {
        MessageBeep(0);
        copyToClipboard();
        return true;
    }
    return false;
}

}  // namespace klw
