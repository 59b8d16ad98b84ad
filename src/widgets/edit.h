#pragma once
// A one-line entry field. OnChange is raised synchronously for every change of the text,
// including one made by the program.
#include "widgets/control.h"

namespace klw {

class Edit : public Control {
public:
    Edit(Form& form, std::string name, RECT bounds);

    std::string text() const;
    void setText(const std::string& text);
    void clear() { setText(std::string()); }
    void selectAll();
    bool autoSelect = true;

    NotifyEvent onChange;

    void reflectCommand(WORD code) override;
    void onEnter() override;
    HBRUSH reflectColor(HDC dc) override;

private:
    void changed();
    bool settingText_ = false;
    bool changeSeen_ = false;
};

}  // namespace klw
