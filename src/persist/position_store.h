#pragma once
// The main window's last top-left corner, per user: "Top" and "Left" under
// HKEY_CURRENT_USER\SOFTWARE\KORVANE\LINKWALKER.
#include <windows.h>

#include <functional>
#include <string_view>

namespace klw {

inline constexpr std::string_view kPositionKeyPath = "\\SOFTWARE\\KORVANE\\LINKWALKER";

// Moves `window` to the stored top, then to the stored left, through the setters. Every failure
// is swallowed: a bad "Left" keeps a good "Top". A restored window that lies on no monitor is
// then moved, by the least distance, into the work area of the nearest one.
void restorePosition(HWND window, const std::function<void(int)>& setTop,
                     const std::function<void(int)>& setLeft) noexcept;

// Writes "Top" then "Left", creating the key with its parents. A key that cannot be opened is
// skipped silently; a failed write raises ERegistryException.
void savePosition(int top, int left);

// Moves `window` into the work area of the nearest monitor when its rectangle meets none;
// returns whether it moved.
bool bringOntoMonitor(HWND window, const std::function<void(int)>& setTop,
                      const std::function<void(int)>& setLeft);

}  // namespace klw
