#pragma once
// The text of the error box: the message with a closing full stop where its last character
// compares greater than "." as an unsigned byte string.
#include <string>

#include "runtime/codepage.h"

namespace klw {

std::string errorBoxText(std::string message, const CodePage& cp = ansiCodePage());

}  // namespace klw
