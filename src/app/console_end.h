#pragma once
// Ctrl+C (or Ctrl+Break, or the console closing) in the terminal the program was started from.
// Under Wine the terminal's SIGINT arrives as such a console event, on a thread of its own; left
// to the default it would end the process at once and lose the list. The window is asked to save
// the list and end as the close does instead; when that save fails the error goes to the
// terminal too, and the next Ctrl+C ends the program at once with code 1.
#include <windows.h>

#include <string>

namespace klw {

// From now on a console event posts `message` to `window`.
void watchConsoleEnd(HWND window, UINT message);
// The window has carried out the request: saved (an empty `error`) or not, with the error box's
// text. A console event that waits for the answer may return.
void consoleEndAnswered(const std::string& error);

// Exit code of the process that a second Ctrl+C ends after a save that failed.
inline constexpr UINT kUnsavedExitCode = 1;

}  // namespace klw
