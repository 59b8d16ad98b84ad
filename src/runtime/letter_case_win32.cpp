// Letter case as Windows maps it (CharUpperBuffW, CharLowerBuffW).
#include <windows.h>

#include "runtime/unicode.h"

namespace klw {
namespace {

class PlatformLetterCase final : public LetterCase {
public:
    char32_t upper(char32_t c) const override {
        if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
        return map(c, true);
    }
    char32_t lower(char32_t c) const override {
        if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
        return map(c, false);
    }

private:
    static void apply(wchar_t* text, DWORD n, bool up) {
        if (up)
            CharUpperBuffW(text, n);
        else
            CharLowerBuffW(text, n);
    }
    static char32_t map(char32_t c, bool up) {
        if (c < 0x10000) {
            wchar_t w = static_cast<wchar_t>(c);
            apply(&w, 1, up);
            return static_cast<char16_t>(w);
        }
        // A character outside the 16-bit range is mapped as its pair, and kept when the mapping
        // does not give a pair back.
        const char32_t v = c - 0x10000;
        wchar_t pair[2] = {static_cast<wchar_t>(0xD800 + (v >> 10)),
                           static_cast<wchar_t>(0xDC00 + (v & 0x3FF))};
        apply(pair, 2, up);
        if (pair[0] < 0xD800 || pair[0] >= 0xDC00 || pair[1] < 0xDC00 || pair[1] >= 0xE000)
            return c;
        return 0x10000 + ((static_cast<char32_t>(pair[0]) - 0xD800) << 10) +
               (static_cast<char32_t>(pair[1]) - 0xDC00);
    }
};

}  // namespace

const LetterCase& platformLetterCase() {
    static const PlatformLetterCase letterCase;
    return letterCase;
}

}  // namespace klw
