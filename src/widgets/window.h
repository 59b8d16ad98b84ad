#pragma once
// Base of our own window classes: the object travels in lpCreateParams and lives in
// GWLP_USERDATA; every message runs inside one guard that reports an escaping error.
#include <windows.h>

#include <string_view>

namespace klw {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND handle() const { return hwnd_; }
    // The object of one of our windows; nullptr for any other window, a control included.
    static Window* fromHandle(HWND hwnd);

protected:
    struct ClassInfo {
        const char* name;
        UINT style = 0;
        HICON icon = nullptr;
        HBRUSH background = nullptr;
    };
    // Registers the class when first needed, then creates the window. The window is a Unicode
    // one: its messages carry UTF-16 text.
    void createWindow(const ClassInfo& cls, DWORD exStyle, std::string_view caption, DWORD style,
                      int x, int y, int width, int height, HWND parent, HMENU menu);
    virtual LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
        return DefWindowProcW(hwnd_, msg, wp, lp);
    }
    // Called once the window has been destroyed (the handle is already gone).
    virtual void onDestroyed() {}

private:
    static LRESULT CALLBACK staticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    HWND hwnd_ = nullptr;
};

}  // namespace klw
