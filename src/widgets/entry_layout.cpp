#include "widgets/entry_layout.h"

namespace klw {
namespace {

bool shapedUnit(char16_t c) {
    if (c >= 0xD800 && c < 0xE000) return true;  // a half of a character beyond U+FFFF
    if (c >= 0x0590 && c < 0x0900) return true;  // Hebrew, Arabic, Syriac, Thaana, N'Ko, ...
    if (c >= 0x0900 && c < 0x1100) return true;  // Indic, Sinhala, Thai, Lao, Tibetan, Myanmar
    if (c >= 0x1700 && c < 0x18B0) return true;  // Philippine scripts, Khmer, Mongolian
    if (c >= 0x1900 && c < 0x1C50) return true;  // Limbu, Tai Le, Buginese, Balinese, ...
    if (c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069))
        return true;                             // direction marks and overrides
    if (c >= 0xA800 && c < 0xAB00) return true;  // Syloti Nagri ... Tai Viet
    if (c >= 0xFB1D && c < 0xFE00) return true;  // Hebrew and Arabic presentation forms
    if (c >= 0xFE70 && c < 0xFEFF) return true;  // Arabic presentation forms B
    return false;
}

}  // namespace

bool needsShaping(std::u16string_view text) {
    for (char16_t c : text) {
        if (shapedUnit(c)) return true;
    }
    return false;
}

std::vector<std::size_t> lineStarts(const std::vector<int>& widths, const std::vector<bool>& stops,
                                    int maxWidth) {
    std::vector<std::size_t> starts{0};
    int used = 0;
    std::size_t i = 0;
    while (i < widths.size()) {
        // The cluster [i, j) stays on one line.
        std::size_t j = i + 1;
        while (j < widths.size() && j < stops.size() && !stops[j]) ++j;
        int width = 0;
        for (std::size_t k = i; k < j; ++k) width += widths[k];
        if (i > starts.back() && used + width > maxWidth) {
            starts.push_back(i);
            used = 0;
        }
        used += width;
        i = j;
    }
    return starts;
}

}  // namespace klw
