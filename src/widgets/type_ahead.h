#pragma once
// The list's own incremental search: characters typed in quick succession build a search
// text, and the first entry that begins with it (ignoring letter case) is selected.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/unicode.h"

namespace klw {

class TypeAheadSearch {
public:
    static constexpr std::uint32_t kPauseMs = 500;
    using ItemAt = std::function<std::string(std::size_t)>;

    // One typed character (UTF-8, a character outside the 16-bit range whole; "\b" is
    // Backspace) at `nowMs`. Returns the entry to select, or nothing when the selection stays as
    // it is. The caller raises OnClick whenever an entry is returned.
    std::optional<int> type(std::string_view ch, std::uint32_t nowMs, std::size_t count,
                            const ItemAt& itemAt,
                            const LetterCase& letterCase = platformLetterCase());
    const std::string& text() const { return text_; }

private:
    std::string text_;
    std::optional<std::uint32_t> last_;
};

}  // namespace klw
