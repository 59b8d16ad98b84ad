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

bool embeddingControl(char16_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Ideographs, kana and Hangul syllables, which the plain path draws from the font links.
bool plainIdeographic(char16_t c) {
    if (c >= 0x3041 && c <= 0x3096) return true;  // hiragana
    if (c >= 0x30A1 && c <= 0x30FA) return true;  // katakana
    if (c >= 0x3400 && c <= 0x4DBF) return true;  // CJK extension A
    if (c >= 0x4E00 && c <= 0x9FFF) return true;  // CJK unified ideographs
    if (c >= 0xAC00 && c <= 0xD7A3) return true;  // Hangul syllables
    if (c >= 0xF900 && c <= 0xFAFF) return true;  // CJK compatibility ideographs
    return false;
}

// Letters that are written left to right whatever surrounds them: Latin, Greek, Cyrillic and
// the ideographic ones. Only these may end a right-to-left stretch, so a letter missing here
// only makes more of a row shaped.
bool leftToRightLetter(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z')) return true;
    if ((c >= 0x00C0 && c <= 0x00D6) || (c >= 0x00D8 && c <= 0x00F6)) return true;
    if (c >= 0x00F8 && c <= 0x024F) return true;  // Latin-1 and Latin Extended A and B
    if (c == 0x0386 || (c >= 0x0388 && c <= 0x03F5)) return true;                   // Greek
    if ((c >= 0x0400 && c <= 0x0482) || (c >= 0x048A && c <= 0x052F)) return true;  // Cyrillic
    if (c >= 0x1E00 && c <= 0x1EFF) return true;  // Latin Extended Additional
    return plainIdeographic(c);
}

// Characters that may be written right to left, or turn what follows them so: the right-to-left
// scripts, the right-to-left mark, and every character beyond U+FFFF, as those are not told
// apart here.
bool rightToLeftUnit(char16_t c) {
    if (c >= 0xD800 && c < 0xE000) return true;
    if (c >= 0x0590 && c < 0x0900) return true;
    if (c >= 0xFB1D && c < 0xFE00) return true;
    if (c >= 0xFE70 && c < 0xFEFF) return true;
    return c == 0x200F;
}

}  // namespace

bool needsShaping(std::u16string_view text) {
    for (char16_t c : text) {
        if (shapedUnit(c)) return true;
    }
    return false;
}

std::vector<EntryRun> entryRuns(std::u16string_view text) {
    if (text.empty()) return {};
    if (!needsShaping(text)) return {{0, text.size(), false}};
    for (char16_t c : text) {
        if (embeddingControl(c)) return {{0, text.size(), true}};
    }
    std::vector<EntryRun> runs;
    // Whether the last character that sets a direction may have been right to left.
    bool afterRightToLeft = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        bool plain = false;
        if (shapedUnit(c)) {
            if (rightToLeftUnit(c)) afterRightToLeft = true;
        } else if (leftToRightLetter(c)) {
            plain = true;
            afterRightToLeft = false;
        } else {
            // Digits, spaces and punctuation after a left-to-right letter (or at the start) stay
            // where they are in a left-to-right line; after right-to-left text they may join it.
            plain = !afterRightToLeft;
        }
        if (!runs.empty() && runs.back().shaped != plain) {
            runs.back().end = i + 1;
        } else {
            runs.push_back({i, i + 1, !plain});
        }
    }
    return runs;
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
