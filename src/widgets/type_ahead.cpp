#include "widgets/type_ahead.h"

namespace klw {

std::optional<int> TypeAheadSearch::type(std::string_view ch, std::uint32_t nowMs,
                                         std::size_t count, const ItemAt& itemAt,
                                         const LetterCase& letterCase) {
    if (!last_ || static_cast<std::uint32_t>(nowMs - *last_) >= kPauseMs) text_.clear();
    last_ = nowMs;
    if (ch == "\b") {
        text_.resize(lastCharStart(text_));
    } else {
        text_.append(ch);
    }
    // An empty search text selects the first entry (nothing, in an empty list).
    if (text_.empty()) return 0;
    for (std::size_t i = 0; i < count; ++i)
        if (startsWithIgnoringCase(itemAt(i), text_, letterCase)) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace klw
