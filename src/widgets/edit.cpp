#include "widgets/edit.h"

#include <utility>

#include "runtime/unicode.h"
#include "widgets/clipboard.h"

namespace klw {

Edit::Edit(Form& form, std::string name, RECT b) : Control(form, std::move(name)) {
    // The field reaches this object only once it exists: whatever it notifies while it is being
    // created raises no OnChange.
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

template <class Operation>
void Edit::asOneChange(bool changes, Operation operation) {
    const Notices outer = std::exchange(notices_, changes ? Notices::OneChange : Notices::NoChange);
    const bool outerNotified = std::exchange(notified_, false);
    try {
        operation();
    } catch (...) {
        notices_ = outer;
        notified_ = outerNotified;
        throw;
    }
    const bool raise = changes && !notified_;
    notices_ = outer;
    notified_ = outerNotified;
    if (raise && onChange) onChange(*this);
}

void Edit::setText(const std::string& text) {
    if (text == this->text()) return;
    // Platforms differ in whether a set text notifies.
    asOneChange(true, [&] { SetWindowTextW(handle(), wide(text).c_str()); });
}

void Edit::selectAll() { SendMessageW(handle(), EM_SETSEL, 0, -1); }

void Edit::replaceSelection(const std::string& text) {
    const std::wstring w = wide(text);
    asOneChange(true, [&] {
        SendMessageW(handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(w.c_str()));
    });
}

void Edit::reflectCommand(WORD code) {
    if (code != EN_CHANGE) return;
    switch (notices_) {
        case Notices::EachOne:
            break;
        case Notices::OneChange:
            if (std::exchange(notified_, true)) return;
            break;
        case Notices::NoChange:
            return;
    }
    if (onChange) onChange(*this);
}

void Edit::onEnter() {
    // Entered by the keyboard, the window's activation or a right-click (whose editing menu then
    // offers the whole text): select all. A left click puts the caret where it was clicked.
    if (autoSelect && GetKeyState(VK_LBUTTON) >= 0) selectAll();
}

LRESULT Edit::subclassProc(UINT msg, WPARAM wp, LPARAM lp) {
    // Wine's field pastes on Shift+Insert without sending itself WM_PASTE, as Ctrl+V and the
    // editing menu do: send it here, so that every paste takes the same way.
    if (msg == WM_KEYDOWN && wp == VK_INSERT && GetKeyState(VK_SHIFT) < 0 &&
        GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
        SendMessageW(handle(), WM_PASTE, 0, 0);
        return 0;
    }
    if (msg == WM_PASTE && onPaste) {
        std::optional<std::string> text;
        try {
            text = clipboardText(handle());
        } catch (const EClipboardBusy&) {
            return 0;  // as the field's own paste: a busy clipboard pastes nothing, silently
        }
        if (text && onPaste(*this, *text)) return 0;
    }
    if (msg == WM_UNDO || msg == EM_UNDO) {
        // Ctrl+Z and the editing menu come here too. Wine notifies twice for one undo (the second
        // time after selecting what it restored), and once for an undo with nothing to undo.
        LRESULT result = 0;
        asOneChange(SendMessageW(handle(), EM_CANUNDO, 0, 0) != 0,
                    [&] { result = defaultProc(msg, wp, lp); });
        return result;
    }
    return Control::subclassProc(msg, wp, lp);
}

}  // namespace klw
