#pragma once
// The shell's "open" of an entry, returning once the desktop's handler has taken it over.
#include <windows.h>

#include <string>

namespace klw {

// Hands `text` unchanged to the shell's "open" on behalf of `owner` and waits, within the
// hand-over bound, until the handler has it. The outcome of the open is not examined.
void openWithShell(HWND owner, const std::string& text);

// True when the shell's "open" of `text` would find a file of that name, as it is or with a
// program extension, in the current folder or on the program path.
bool shellFindsFile(const std::string& text);

}  // namespace klw
