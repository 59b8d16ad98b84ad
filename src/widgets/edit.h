#pragma once
// A one-line entry field. OnChange is raised synchronously for every change of the text,
// including one made by the program and one that leaves the same text. Its text is the
// program's (UTF-8); the platform's field holds it as UTF-16, whatever is typed or pasted.
#include "widgets/control.h"

namespace klw {

class Edit : public Control {
public:
    Edit(Form& form, std::string name, RECT bounds);

    std::string text() const;
    void setText(const std::string& text);
    void clear() { setText(std::string()); }
    void selectAll();
    // Puts `text` in place of the selection, as a paste does: one change, which can be undone.
    void replaceSelection(const std::string& text);
    bool autoSelect = true;

    NotifyEvent onChange;
    // A paste (Ctrl+V, Shift+Insert and the editing menu's Paste all send WM_PASTE); when the
    // handler takes the text, the field's own paste does not run and its text stays.
    PasteEvent onPaste;

    void reflectCommand(WORD code) override;
    void onEnter() override;

protected:
    LRESULT subclassProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // What the platform's change notifications stand for while an operation runs: each one a
    // change (typing, cutting, pasting), all of them together one change, or none.
    enum class Notices { EachOne, OneChange, NoChange };
    // Runs `operation`, which changes the text once or, unless `changes`, not at all: OnChange is
    // raised at its first notification, or after it when the platform sent none.
    template <class Operation>
    void asOneChange(bool changes, Operation operation);
    Notices notices_ = Notices::EachOne;
    bool notified_ = false;
};

}  // namespace klw
