#pragma once
// The application title: the executable's file name without folder and without everything from
// its first ".", lower-cased from the second character on.
#include <string>
#include <string_view>

#include "runtime/unicode.h"

namespace klw {

// `path` is the module's full path in the program's text form.
std::string deriveTitle(std::string_view path, const LetterCase& letterCase = platformLetterCase());

}  // namespace klw
