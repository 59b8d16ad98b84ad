#include "widgets/label.h"

namespace klw {

Label::Label(Form& form, std::string name, std::string_view text, RECT b, bool wordWrap)
    : Control(form, std::move(name)) {
    // SS_LEFT wraps words; SS_LEFTNOWORDWRAP keeps one line.
    createControl(L"STATIC", WS_VISIBLE | (wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP), 0, text, b.left,
                  b.top, b.right - b.left, b.bottom - b.top);
}

}  // namespace klw
