// Letter case as the C library maps it in a UTF-8 locale (towupper_l, towlower_l).
#include <locale.h>
#include <wctype.h>

#include "runtime/unicode.h"

namespace klw {
namespace {

class PlatformLetterCase final : public LetterCase {
public:
    PlatformLetterCase() {
        for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
            locale_ = newlocale(LC_CTYPE_MASK, name, nullptr);
            if (locale_) break;
        }
    }
    ~PlatformLetterCase() override {
        if (locale_) freelocale(locale_);
    }
    PlatformLetterCase(const PlatformLetterCase&) = delete;
    PlatformLetterCase& operator=(const PlatformLetterCase&) = delete;

    char32_t upper(char32_t c) const override {
        if (c < 0x80 || !locale_) return (c >= 'a' && c <= 'z') ? c - 32 : c;
        return static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), locale_));
    }
    char32_t lower(char32_t c) const override {
        if (c < 0x80 || !locale_) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
        return static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), locale_));
    }

private:
    locale_t locale_ = nullptr;
};

}  // namespace

const LetterCase& platformLetterCase() {
    static const PlatformLetterCase letterCase;
    return letterCase;
}

}  // namespace klw
