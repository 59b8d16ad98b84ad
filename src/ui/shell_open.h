#pragma once
// The shell's "open" of an entry, returning once the desktop's handler has taken it over.
#include <windows.h>

#include <string>

#include "ui/open_policy.h"

namespace klw {

// Hands `text` unchanged to the shell's "open" on behalf of `owner` and waits, within the
// hand-over bound, until the handler has it. With `handlerClass` (a scheme), only that scheme's
// registered command is run, with the text for its argument: the shell neither tries the text as
// a program or a file nor expands variables in it. The outcome of the open is not examined.
void openWithShell(HWND owner, const std::string& text, const std::string& handlerClass = {});

// The shell's lookups, made with the platform's own path rules and environment.
class PlatformShellLookups : public ShellLookups {
public:
    FileLookup fileFor(const std::string& text) override;
    bool hasVariable(std::string_view name) override;
};

}  // namespace klw
