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
// become U+FFFD. `Unit` is char16_t, or wchar_t on Windows.
template <class Unit>
void appendUtf16AsUtf8(const Unit* utf16, std::size_t units, std::string& out);
// Writes `utf8` as UTF-16 to `out`, which has room for one unit per byte (never more are
// needed); returns the number of units.
template <class Unit>
std::size_t utf8ToUtf16(std::string_view utf8, Unit* out);
// Calls `unit(char16_t)` for each UTF-16 unit of `utf8`, in order: the one walk behind the
// conversion above.
template <class UnitSink>
void forEachUtf16Unit(std::string_view utf8, UnitSink unit);

inline void appendUtf16AsUtf8(std::u16string_view utf16, std::string& out) {
    appendUtf16AsUtf8(utf16.data(), utf16.size(), out);
}
inline std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    appendUtf16AsUtf8(utf16, out);
    return out;
}
inline std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out(utf8.size(), u'\0');
    out.resize(utf8ToUtf16(utf8, out.data()));
    return out;
}

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

// Comparisons where only the ASCII letters A-Z and a-z count as the same (schemes, names of
// parameters, of file extensions and of sections): the same on every system.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// A space or a tab: U+0009, U+0020, U+00A0, U+1680, U+2000 to U+200A, U+202F, U+205F and
// U+3000. What is trimmed from pasted and dropped lines, and what no address holds.
bool isBlank(char32_t code);

}  // namespace klw

// ---- The conversions, for both unit types ----

namespace klw {

template <class Unit>
void appendUtf16AsUtf8(const Unit* s, std::size_t n, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + 3 * n);  // no unit takes more than 3 bytes, a pair 4 for 2
    char* o = out.data() + start;
    for (std::size_t i = 0; i < n; ++i) {
        char32_t c = static_cast<char16_t>(s[i]);
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
            continue;
        }
        const char32_t next = i + 1 < n ? static_cast<char16_t>(s[i + 1]) : 0;
        if (c >= 0xD800 && c < 0xDC00 && next >= 0xDC00 && next < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
            ++i;
            *o++ = static_cast<char>(0xF0 | (c >> 18));
            *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x800) {
            *o++ = static_cast<char>(0xC0 | (c >> 6));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *o++ = static_cast<char>(0xE0 | (c >> 12));
            *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

template <class UnitSink>
void forEachUtf16Unit(std::string_view s, UnitSink unit) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            unit(static_cast<char16_t>(b));
            ++i;
            continue;
        }
        const DecodedChar d = decodeUtf8At(s, i);
        if (d.code >= 0x10000) {
            const char32_t v = d.code - 0x10000;
            unit(static_cast<char16_t>(0xD800 + (v >> 10)));
            unit(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
        } else {
            unit(static_cast<char16_t>(d.code));
        }
        i += d.length;
    }
}

template <class Unit>
std::size_t utf8ToUtf16(std::string_view s, Unit* out) {
    Unit* o = out;
    forEachUtf16Unit(s, [&o](char16_t u) { *o++ = static_cast<Unit>(u); });
    return static_cast<std::size_t>(o - out);
}

}  // namespace klw

#ifdef _WIN32
namespace klw {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// The program's text for the platform's W functions, and back.
inline void wideInto(std::string_view utf8, std::wstring& out) {
    out.resize(utf8.size());
    out.resize(utf8ToUtf16(utf8, out.data()));
}
inline std::wstring wide(std::string_view utf8) {
    std::wstring out;
    wideInto(utf8, out);
    return out;
}
inline void narrowInto(std::wstring_view text, std::string& out) {
    out.clear();
    appendUtf16AsUtf8(text.data(), text.size(), out);
}
inline std::string narrow(std::wstring_view text) {
    std::string out;
    narrowInto(text, out);
    return out;
}

}  // namespace klw
#endif
