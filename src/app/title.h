#pragma once
// The application title: the executable's file name without folder and without everything from
// its first ".", lower-cased from the second byte on.
#include <functional>
#include <string>
#include <string_view>

#include "runtime/codepage.h"

namespace klw {

using LowerCase = std::function<std::string(std::string_view)>;

// `path` is the module path already in the ANSI code page. The searches for "\" and "." skip
// the trail bytes of double-byte characters.
std::string deriveTitle(std::string_view path, const CodePage& cp, const LowerCase& lower);

}  // namespace klw
