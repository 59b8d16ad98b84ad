#pragma once
// Message templates with %s and %d, filled in the program's text form (UTF-8).
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace klw {

using FormatArg = std::variant<std::string_view, std::int64_t>;

// Replaces each %s or %d of `pattern` (in order) by the next argument; "%%" is one "%".
// A missing argument leaves the placeholder as it stands.
std::string formatText(std::string_view pattern, std::initializer_list<FormatArg> args);

}  // namespace klw
