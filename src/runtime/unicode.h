#pragma once
// The program's own text form is UTF-8. A lone UTF-16 surrogate, which the platform's controls
// accept and keep, is held as its own 3-byte group, so that every UTF-16 text comes back from
// UTF-8 exactly as it went in. These are the only conversions between the two forms; on Windows
// wide() and narrow() hand text to and take it from the platform.
#include <cstddef>
#include <string>
#include <string_view>

namespace klw {

// One character decoded from UTF-8: a malformed byte is U+FFFD on its own.
struct DecodedChar {
    char32_t code;
    std::size_t length;  // bytes taken, at least 1
};
DecodedChar decodeUtf8At(std::string_view utf8, std::size_t at);

// Appends one character (a surrogate code point on its own as its 3-byte group).
void appendUtf8(char32_t code, std::string& out);

// UTF-16 to UTF-8 and back. A surrogate pair is one 4-byte character; malformed UTF-8 bytes
// become U+FFFD.
std::string utf16ToUtf8(std::u16string_view utf16);
void appendUtf16AsUtf8(std::u16string_view utf16, std::string& out);
std::u16string utf8ToUtf16(std::string_view utf8);

// Start of the last character (a whole multi-byte sequence); 0 for an empty text.
std::size_t lastCharStart(std::string_view utf8);

// Letter case as the platform maps it, one character to one character.
class LetterCase {
public:
    virtual ~LetterCase() = default;
    virtual char32_t upper(char32_t code) const = 0;
    virtual char32_t lower(char32_t code) const = 0;
};
const LetterCase& platformLetterCase();

std::string lowerCase(std::string_view utf8, const LetterCase& letterCase = platformLetterCase());
// True when `text` begins with `prefix`, character by character without regard to letter case.
bool startsWithIgnoringCase(std::string_view text, std::string_view prefix,
                            const LetterCase& letterCase = platformLetterCase());

}  // namespace klw

#ifdef _WIN32
namespace klw {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline std::wstring wide(std::string_view utf8) {
    const std::u16string w = utf8ToUtf16(utf8);
    return std::wstring(reinterpret_cast<const wchar_t*>(w.data()), w.size());
}
inline std::string narrow(std::wstring_view text) {
    return utf16ToUtf8(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
}

}  // namespace klw
#endif
