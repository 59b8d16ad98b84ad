#include "widgets/edit.h"

#include "runtime/unicode.h"
#include "widgets/clipboard.h"

namespace klw {

Edit::Edit(Form& form, std::string name, RECT b) : Control(form, std::move(name)) {
    createControl(L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT, WS_EX_CLIENTEDGE, "",
                  b.left, b.top, b.right - b.left, b.bottom - b.top);
    // No limit of our own: the platform's maximum for a one-line field.
    SendMessageW(handle(), EM_LIMITTEXT, 0, 0);
}

std::string Edit::text() const {
    const int n = GetWindowTextLengthW(handle());
    std::wstring s(static_cast<size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(handle(), s.data(), n + 1);
    s.resize(static_cast<size_t>(got < 0 ? 0 : got));
    return narrow(s);
}

void Edit::setText(const std::string& text) {
    if (text == this->text()) return;
    SetWindowTextW(handle(), wide(text).c_str());
    // Platforms differ in whether a set text notifies: raise the event here when it did not.
    changed();
}

void Edit::selectAll() { SendMessageW(handle(), EM_SETSEL, 0, -1); }

void Edit::changed() {
    // Some edits (undo under Wine) notify twice for one change; the second sees no change.
    std::string now = text();
    if (now == reported_) return;
    reported_ = std::move(now);
    if (onChange) onChange(*this);
}

void Edit::reflectCommand(WORD code) {
    if (code == EN_CHANGE) changed();
}

void Edit::onEnter() {
    // Entered by the keyboard, the window's activation or a right-click (whose editing menu then
    // offers the whole text): select all. A left click puts the caret where it was clicked.
    if (autoSelect && GetKeyState(VK_LBUTTON) >= 0) selectAll();
}

HBRUSH Edit::reflectColor(HDC) { return nullptr; }

LRESULT Edit::subclassProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Wine's field pastes on Shift+Insert without sending itself WM_PASTE, as Ctrl+V and the
    // editing menu do: send it here, so that every paste takes the same way.
    if (msg == WM_KEYDOWN && wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        SendMessageW(handle(), WM_PASTE, 0, 0);
        return 0;
    }
    if (msg == WM_PASTE && onPaste) {
        const std::optional<std::string> text = clipboardText(handle());
        if (text && onPaste(*this, *text)) return 0;
    }
    return Control::subclassProc(msg, wp, lp);
}

}  // namespace klw
