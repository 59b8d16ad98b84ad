#pragma once
// A static text; "&" underlines the next character and "&&" stands for "&".
#include "widgets/control.h"

namespace klw {

class Label : public Control {
public:
    Label(Form& form, std::string name, std::string_view text, RECT bounds, bool wordWrap);
};

}  // namespace klw
