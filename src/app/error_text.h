#pragma once
// The text of the error box: the message with a closing full stop where its last character
// comes after "." in character order.
#include <string>

namespace klw {

std::string errorBoxText(std::string message);

}  // namespace klw
