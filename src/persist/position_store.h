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

// A window's outer top-left corner in screen coordinates.
struct WindowPlace {
    int left = 0;
    int top = 0;
    bool operator==(const WindowPlace&) const = default;
};

// Writes "Top" then "Left", creating the key with its parents. A key that cannot be opened is
// skipped silently; a failed write raises ERegistryException.
void savePosition(const WindowPlace& place);

}  // namespace klw
