#pragma once
// Reading the clipboard's text.
#include <windows.h>

#include <optional>
#include <string>

namespace klw {

// The clipboard's Unicode text (CF_UNICODETEXT), taken at its block's real size; nothing when
// it holds no text. Fails with the program's error when the clipboard cannot be opened.
std::optional<std::string> clipboardText(HWND owner);

}  // namespace klw
