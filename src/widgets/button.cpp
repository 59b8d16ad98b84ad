#include "widgets/button.h"

namespace klw {

Button::Button(Form& form, std::string name, std::string_view caption, RECT b, Options o)
    : Control(form, std::move(name)),
      default_(o.isDefault),
      cancel_(o.isCancel),
      enterFlag_(o.isDefault) {
    DWORD style = WS_VISIBLE | WS_TABSTOP | (o.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    if (!o.enabled) style |= WS_DISABLED;
    createControl(L"BUTTON", style, 0, caption, b.left, b.top, b.right - b.left, b.bottom - b.top);
}

void Button::setEnterFlag(bool on) {
    if (on == enterFlag_) return;
    enterFlag_ = on;
    SendMessageW(handle(), BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void Button::click() {
    if (onClick) onClick(*this);
}

void Button::reflectCommand(WORD code) {
    if (code == BN_CLICKED) click();
}

LRESULT Button::subclassProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) {
        // The press gives the button the focus first; a button that cannot keep it drops the
        // click (a handler run by the focus change may have disabled it).
        if (!focused()) {
            SetFocus(handle());
            if (!focused()) return 0;
        }
        // Each press of a double-click is a click of its own.
        return defaultProc(WM_LBUTTONDOWN, wp, lp);
    }
    return Control::subclassProc(msg, wp, lp);
}

}  // namespace klw
