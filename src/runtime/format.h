#pragma once
// Message templates with %s and %d, filled in the ANSI code page.
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

// The template (UTF-8 in the source) converted to the ANSI code page, then filled.
std::string formatMessage(std::string_view utf8Pattern, std::initializer_list<FormatArg> args);

}  // namespace klw
