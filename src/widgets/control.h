#pragma once
// Base of the wrappers around the stock controls. The object is tied to its window through
// SetWindowSubclass; the form reflects WM_COMMAND and WM_CTLCOLOR* back to it, so that each
// control raises its own events and the form never looks at control IDs.
#include <windows.h>
// commctrl.h needs the declarations of windows.h.
#include <commctrl.h>

#include <functional>
#include <string>
#include <string_view>

#include "widgets/messages.h"

namespace klw {

class Form;
class Control;

// An event handler; the sender is the control that raised the event.
using NotifyEvent = std::function<void(Control& sender)>;
// A paste with the clipboard's text; true when the handler has taken it.
using PasteEvent = std::function<bool(Control& sender, const std::string& text)>;
// A context menu asked for at a point of the screen, for an item of the control (-1: none).
using ContextMenuEvent = std::function<void(Control& sender, POINT screen, int index)>;

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND handle() const { return hwnd_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    bool isEnabled() const;
    // Disabling the control that has the focus first moves the focus to the form itself.
    void setEnabled(bool enabled);
    bool isVisible() const;
    bool isTabStop() const { return tabStop_; }
    bool focused() const { return GetFocus() == hwnd_; }

    // Position and size in the parent's client area.
    RECT bounds() const;
    void setBounds(int left, int top, int width, int height);
    void setFont(HFONT font);

    virtual bool isButton() const { return false; }
    virtual void reflectCommand(WORD code) { (void)code; }
    virtual HBRUSH reflectColor(HDC dc) {
        (void)dc;
        return nullptr;
    }
    // An owner-drawn control's item; true when it was drawn.
    virtual bool reflectDrawItem(const DRAWITEMSTRUCT& item) {
        (void)item;
        return false;
    }
    // The focus arrives from another control or the form (or leaves to one).
    virtual void onEnter() {}
    virtual void onExit() {}

    // The object wrapping this control; nullptr for any other window.
    static Control* fromHandle(HWND hwnd);

protected:
    Control(Form& form, std::string name);
    // A stock control of the platform's class, as a Unicode window.
    void createControl(const wchar_t* className, DWORD style, DWORD exStyle, std::string_view text,
                       int left, int top, int width, int height);
    virtual LRESULT subclassProc(UINT msg, WPARAM wp, LPARAM lp);
    // The window, when destroyed, no longer runs its class's own procedure: what the platform
    // control holds stays allocated until the process ends.
    void skipNativeTeardown();
    LRESULT defaultProc(UINT msg, WPARAM wp, LPARAM lp) {
        return DefSubclassProc(hwnd_, msg, wp, lp);
    }
    void destroyHandle();
    // The window's own procedure as it was created, before our subclass.
    WNDPROC nativeProc() const { return nativeProc_; }
    // Replaces the native window by a new one of the same class, style, place, font and
    // enabled state; the caller restores the content.
    void recreateHandle();

private:
    static LRESULT CALLBACK thunk(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                  DWORD_PTR ref) noexcept;
    Form& form_;
    std::string name_;
    HWND hwnd_ = nullptr;
    WNDPROC nativeProc_ = nullptr;
    bool tabStop_ = true;
    std::wstring className_;
};

}  // namespace klw
