#include "widgets/control.h"

#include <commctrl.h>

#include "runtime/unicode.h"
#include "widgets/error_sink.h"
#include "widgets/form.h"

namespace klw {
namespace {
constexpr UINT_PTR kSubclassId = 0x4B4C57;  // "KLW"
// Finding the object from a handle goes through a window property: the import libraries of
// some toolchains lack GetWindowSubclass.
constexpr const wchar_t kControlProp[] = L"KorLinkWalker.Control";
}  // namespace

Control::Control(Form& form, std::string name) : form_(form), name_(std::move(name)) {}

Control::~Control() {
    form_.removeControl(*this);
    destroyHandle();
}

void Control::destroyHandle() {
    if (hwnd_) {
        RemoveWindowSubclass(hwnd_, &Control::thunk, kSubclassId);
        RemovePropW(hwnd_, kControlProp);
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

void Control::skipNativeTeardown() {
    if (!hwnd_) return;
    RemoveWindowSubclass(hwnd_, &Control::thunk, kSubclassId);
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
}

void Control::createControl(const wchar_t* className, DWORD style, DWORD exStyle,
                            std::string_view text, int left, int top, int width, int height) {
    tabStop_ = (style & WS_TABSTOP) != 0;
    className_ = className;
    hwnd_ =
        CreateWindowExW(exStyle, className, wide(text).c_str(), style | WS_CHILD, left, top, width,
                        height, form_.handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd_) return;
    nativeProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
    SetWindowSubclass(hwnd_, &Control::thunk, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetPropW(hwnd_, kControlProp, this);
    form_.addControl(*this);
}

void Control::recreateHandle() {
    const RECT r = bounds();
    const auto style = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE));
    const auto font = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    const bool hadFocus = focused();
    HWND old = hwnd_;
    HWND fresh = CreateWindowExW(exStyle, className_.c_str(), L"", style, r.left, r.top,
                                 r.right - r.left, r.bottom - r.top, form_.handle(), nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (!fresh) return;
    SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RemoveWindowSubclass(old, &Control::thunk, kSubclassId);
    hwnd_ = fresh;
    nativeProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(fresh, GWLP_WNDPROC));
    SetWindowSubclass(fresh, &Control::thunk, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    SetPropW(fresh, kControlProp, this);
    RemovePropW(old, kControlProp);
    SendMessageW(fresh, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    DestroyWindow(old);
    if (hadFocus) SetFocus(fresh);
}

Control* Control::fromHandle(HWND hwnd) {
    return hwnd ? static_cast<Control*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

bool Control::isEnabled() const { return IsWindowEnabled(hwnd_) != FALSE; }

void Control::setEnabled(bool enabled) {
    if (enabled == isEnabled()) return;
    if (!enabled && focused()) form_.focusFormItself();
    EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Control::isVisible() const { return (GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT Control::bounds() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    MapWindowPoints(nullptr, GetParent(hwnd_), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void Control::setBounds(int left, int top, int width, int height) {
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::setFont(HFONT font) {
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

LRESULT Control::subclassProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETFOCUS: {
            const LRESULT r = defaultProc(msg, wp, lp);
            form_.controlFocused(*this);
            return r;
        }
        case kKeyNotifyBase + WM_KEYDOWN:
        case kKeyNotifyBase + WM_SYSKEYDOWN:
            return form_.dialogKey(this, msg - kKeyNotifyBase, wp, lp) ? 1 : 0;
        default:
            if (msg >= kKeyNotifyBase + WM_KEYFIRST && msg <= kKeyNotifyBase + WM_KEYLAST) return 0;
            return defaultProc(msg, wp, lp);
    }
}

LRESULT CALLBACK Control::thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                DWORD_PTR ref) noexcept {
    auto* self = reinterpret_cast<Control*>(ref);
    try {
        if (msg == WM_NCDESTROY) {
            RemoveWindowSubclass(hwnd, &Control::thunk, kSubclassId);
            RemovePropW(hwnd, kControlProp);
            self->hwnd_ = nullptr;
            return DefSubclassProc(hwnd, msg, wp, lp);
        }
        return self->subclassProc(msg, wp, lp);
    } catch (...) {
        reportCurrentError();
        return 0;
    }
}

}  // namespace klw
