#include "widgets/window.h"

#include "runtime/unicode.h"
#include "widgets/error_sink.h"

namespace klw {

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

Window* Window::fromHandle(HWND hwnd) {
    // Any window may keep something in USERDATA: only one that runs our procedure keeps us there.
    if (!hwnd ||
        reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) != &Window::staticProc)
        return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Window::createWindow(const ClassInfo& cls, DWORD exStyle, std::string_view caption,
                          DWORD style, int x, int y, int width, int height, HWND parent,
                          HMENU menu) {
    HINSTANCE inst = GetModuleHandleW(nullptr);
    const std::wstring className = wide(cls.name);
    WNDCLASSW wc{};
    if (!GetClassInfoW(inst, className.c_str(), &wc)) {
        wc.style = cls.style;
        wc.lpfnWndProc = &Window::staticProc;
        wc.hInstance = inst;
        wc.hIcon = cls.icon;
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
        wc.hbrBackground = cls.background;
        wc.lpszClassName = className.c_str();
        RegisterClassW(&wc);
    }
    CreateWindowExW(exStyle, className.c_str(), wide(caption).c_str(), style, x, y, width, height,
                    parent, menu, inst, this);
}

LRESULT Window::handleMessage(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }

LRESULT CALLBACK Window::staticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->handleMessage(msg, wp, lp);
    } catch (...) {
        reportCurrentError();
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        try {
            self->onDestroyed();
        } catch (...) {
            reportCurrentError();
        }
    }
    return result;
}

}  // namespace klw
