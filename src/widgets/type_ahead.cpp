#include "widgets/type_ahead.h"

namespace klw {
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix, const CodePage& cp) {
    if (prefix.size() > text.size() * 2 + 2) return false;
    const std::u16string t = cp.toUtf16(text);
    const std::u16string p = cp.toUtf16(prefix);
    if (p.size() > t.size()) return false;
    for (size_t i = 0; i < p.size(); ++i)
        if (foldCase(t[i]) != foldCase(p[i])) return false;
    return true;
}

std::optional<int> TypeAheadSearch::type(std::string_view ch, std::uint32_t nowMs,
                                         std::size_t count, const ItemAt& itemAt,
                                         const CodePage& cp) {
    if (!last_ || static_cast<std::uint32_t>(nowMs - *last_) >= kPauseMs) text_.clear();
    last_ = nowMs;
    if (ch == "\b") {
        if (!text_.empty()) text_.resize(lastCharStart(text_, cp));
    } else {
        text_.append(ch);
    }
    // An empty search text selects the first entry (nothing, in an empty list).
    if (text_.empty()) return 0;
    for (std::size_t i = 0; i < count; ++i)
        if (startsWithIgnoringCase(itemAt(i), text_, cp)) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace klw
