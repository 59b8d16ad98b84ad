#pragma once
// A push button. `Default` buttons take Enter while no button has the focus; the Enter flag
// is drawn as the platform's default-button emphasis.
#include "widgets/control.h"

namespace klw {

class Button : public Control {
public:
    struct Options {
        bool isDefault = false;
        bool isCancel = false;
        bool enabled = true;
    };
    Button(Form& form, std::string name, std::string_view caption, RECT bounds, Options options);

    bool isButton() const override { return true; }
    bool isDefault() const { return default_; }
    bool isCancel() const { return cancel_; }
    bool enterFlag() const { return enterFlag_; }
    void setEnterFlag(bool on);

    // Raises OnClick, exactly as a click with the mouse.
    void click();
    NotifyEvent onClick;

    void reflectCommand(WORD code) override;

protected:
    LRESULT subclassProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool default_;
    bool cancel_;
    bool enterFlag_;
};

}  // namespace klw
