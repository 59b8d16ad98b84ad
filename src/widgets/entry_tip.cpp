#include "widgets/entry_tip.h"

#include <commctrl.h>

#include <algorithm>

#include "widgets/entry_text.h"
#include "widgets/error_sink.h"

namespace klw {
namespace {

constexpr UINT_PTR kTipSubclassId = 0x4B4C54;  // "KLT"
constexpr int kMargin = 2;                     // between the border and the text

}  // namespace

EntryTip::EntryTip(HWND list) : list_(list) {
    tip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TRANSPARENT, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, list, nullptr, GetModuleHandleW(nullptr),
                           nullptr);
    if (!tip_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
    tool.hwnd = list_;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetWindowSubclass(tip_, &EntryTip::tipProc, kTipSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

EntryTip::~EntryTip() {
    if (tip_) {
        RemoveWindowSubclass(tip_, &EntryTip::tipProc, kTipSubclassId);
        DestroyWindow(tip_);
    }
}

bool EntryTip::show(const RECT& row, const std::u16string& text) {
    if (!tip_) return false;
    RECT client{};
    GetClientRect(list_, &client);
    HDC dc = GetDC(list_);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    const EntryText whole(dc, text);
    const int width = whole.width();
    if (width + 1 <= client.right - client.left) {
        SelectObject(dc, old);
        ReleaseDC(list_, dc);
        hide();
        return false;
    }
    // The tip's text lies where the row's text lies; a tip wider than the work area is wrapped
    // to its width and moved into it.
    POINT at{row.left + 1, row.top};
    ClientToScreen(list_, &at);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(list_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const auto style = static_cast<DWORD>(GetWindowLongW(tip_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(tip_, GWL_EXSTYLE));
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int chrome = (frame.right - frame.left) + 2 * kMargin;
    text_ = text;
    lines_ = whole.lineStarts(std::max(1, static_cast<int>(work.right - work.left) - chrome));
    int textWidth = width;
    if (lines_.size() > 1) {
        textWidth = 0;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const std::size_t end = i + 1 < lines_.size() ? lines_[i + 1] : text_.size();
            const EntryText line(dc, std::u16string_view(text_).substr(lines_[i], end - lines_[i]));
            textWidth = std::max(textWidth, line.width());
        }
    }
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    lineHeight_ = static_cast<int>(tm.tmHeight);
    SelectObject(dc, old);
    ReleaseDC(list_, dc);

    const int w = textWidth + chrome;
    const int h =
        lineHeight_ * static_cast<int>(lines_.size()) + (frame.bottom - frame.top) + 2 * kMargin;
    int left = at.x + frame.left - kMargin;
    int top = at.y + frame.top - kMargin;
    left = std::max(static_cast<int>(work.left), std::min(left, static_cast<int>(work.right) - w));
    top = std::max(static_cast<int>(work.top), std::min(top, static_cast<int>(work.bottom) - h));

    SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = list_;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(text_.c_str()));
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(left, top));
    if (!shown_) SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    shown_ = true;
    // The tooltip measured the text its own way; the size is that of the text as drawn here.
    SetWindowPos(tip_, HWND_TOPMOST, left, top, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(tip_, nullptr, TRUE);
    return true;
}

void EntryTip::hide() {
    if (!tip_ || !shown_) return;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = list_;
    tool.uId = 1;
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    shown_ = false;
}

void EntryTip::paint(HDC dc) const {
    RECT client{};
    GetClientRect(tip_, &client);
    SetBkColor(dc, GetSysColor(COLOR_INFOBK));
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    SetBkMode(dc, OPAQUE);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
    const HGDIOBJ old = SelectObject(dc, font);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::size_t end = i + 1 < lines_.size() ? lines_[i + 1] : text_.size();
        const EntryText line(dc, std::u16string_view(text_).substr(lines_[i], end - lines_[i]));
        line.draw(kMargin, kMargin + static_cast<int>(i) * lineHeight_, client, false);
    }
    SelectObject(dc, old);
}

LRESULT CALLBACK EntryTip::tipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                   DWORD_PTR ref) noexcept {
    auto* self = reinterpret_cast<EntryTip*>(ref);
    try {
        switch (msg) {
            case WM_PAINT: {
                PAINTSTRUCT ps;
                HDC dc = BeginPaint(hwnd, &ps);
                self->paint(dc);
                EndPaint(hwnd, &ps);
                return 0;
            }
            case WM_PRINTCLIENT:
                self->paint(reinterpret_cast<HDC>(wp));
                return 0;
            case WM_ERASEBKGND:
                return 1;
            case WM_NCHITTEST:
                // The pointer stays on the list below.
                return HTTRANSPARENT;
            case WM_NCDESTROY:
                RemoveWindowSubclass(hwnd, &EntryTip::tipProc, kTipSubclassId);
                self->tip_ = nullptr;
                break;
            default:
                break;
        }
        return DefSubclassProc(hwnd, msg, wp, lp);
    } catch (...) {
        reportCurrentError();
        return 0;
    }
}

}  // namespace klw
