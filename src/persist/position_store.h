#pragma once
// The main window's last top-left corner, per user: "Top" and "Left" under
// HKEY_CURRENT_USER\SOFTWARE\KORVANE\LINKWALKER.
#include <optional>
#include <string_view>

namespace klw {

inline constexpr std::string_view kPositionKeyPath = "\\SOFTWARE\\KORVANE\\LINKWALKER";

struct StoredPosition {
    std::optional<int> top;
    std::optional<int> left;
};

// Reads "Top", then "Left". Every failure is swallowed: what could not be read is empty, and
// "Left" is only read after a good "Top".
StoredPosition readPosition() noexcept;

// Writes "Top" then "Left", creating the key with its parents. A key that cannot be opened is
// skipped silently; a failed write raises ERegistryException.
void savePosition(int top, int left);

}  // namespace klw
