#include "widgets/window.h"

#include "widgets/error_sink.h"

namespace klw {

Window::~Window() {
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

Window* Window::fromHandle(HWND hwnd) {
    return reinterpret_cast<Window*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

void Window::createWindow(const ClassInfo& cls, DWORD exStyle, const char* caption, DWORD style,
                          int x, int y, int width, int height, HWND parent, HMENU menu) {
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(inst, cls.name, &wc)) {
        wc.style = cls.style;
        wc.lpfnWndProc = &Window::staticProc;
        wc.hInstance = inst;
        wc.hIcon = cls.icon;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = cls.background;
        wc.lpszClassName = cls.name;
        RegisterClassA(&wc);
    }
    CreateWindowExA(exStyle, cls.name, caption, style, x, y, width, height, parent, menu, inst,
                    this);
}

LRESULT Window::handleMessage(UINT msg, WPARAM wp, LPARAM lp) { return defaultProc(msg, wp, lp); }

LRESULT CALLBACK Window::staticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = fromHandle(hwnd);
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    LRESULT result = 0;
    try {
        result = self->handleMessage(msg, wp, lp);
    } catch (...) {
        reportCurrentError();
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
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
