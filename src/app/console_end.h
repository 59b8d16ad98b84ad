#pragma once
// Ctrl+C (or Ctrl+Break, or the console closing) in the terminal the program was started from.
// Under Wine the terminal's SIGINT arrives as such a console event, on a thread of its own; left
// to the default it would end the process at once and lose the list. The window is asked to keep
// the list and end as at the end of a session instead.
#include <windows.h>

namespace klw {

// From now on a console event posts `message` to `window`.
void watchConsoleEnd(HWND window, UINT message);
// The window has kept what it must: a console event that waits for it may return.
void consoleEndHandled();

}  // namespace klw
