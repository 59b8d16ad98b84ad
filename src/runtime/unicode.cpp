#include "runtime/unicode.h"

namespace klw {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isTrail(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

DecodedChar decodeUtf8At(std::string_view s, std::size_t i) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data()) + i;
    const std::size_t left = s.size() - i;
    const unsigned char b = p[0];
    if (b < 0x80) return {b, 1};
    if (b >= 0xC2 && b <= 0xDF) {
        if (left >= 2 && isTrail(p[1])) return {((b & 0x1Fu) << 6) | (p[1] & 0x3Fu), 2};
    } else if (b >= 0xE0 && b <= 0xEF) {
        // Surrogate code points (ED A0..BF) are accepted: they stand for lone surrogates.
        if (left >= 3 && isTrail(p[1]) && isTrail(p[2]) && (b != 0xE0 || p[1] >= 0xA0))
            return {((b & 0x0Fu) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu), 3};
    } else if (b >= 0xF0 && b <= 0xF4) {
        if (left >= 4 && isTrail(p[1]) && isTrail(p[2]) && isTrail(p[3]) &&
            (b != 0xF0 || p[1] >= 0x90) && (b != 0xF4 || p[1] <= 0x8F))
            return {((b & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) | ((p[2] & 0x3Fu) << 6) |
                        (p[3] & 0x3Fu),
                    4};
    }
    return {kReplacement, 1};
}

void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::size_t lastCharStart(std::string_view s) {
    if (s.empty()) return 0;
    // Step back over at most three trail bytes to a lead byte whose sequence ends here.
    std::size_t i = s.size() - 1;
    for (std::size_t back = 0; back < 3 && i > 0 && isTrail(static_cast<unsigned char>(s[i]));
         ++back)
        --i;
    if (i + decodeUtf8At(s, i).length == s.size()) return i;
    return s.size() - 1;  // a malformed byte is a character of its own
}

std::string lowerCase(std::string_view s, const LetterCase& letterCase) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const DecodedChar d = decodeUtf8At(s, i);
        appendUtf8(letterCase.lower(d.code), out);
        i += d.length;
    }
    return out;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool isBlank(char32_t c) {
    return c == 0x09 || c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
           c == 0x202F || c == 0x205F || c == 0x3000;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix,
                            const LetterCase& letterCase) {
    std::size_t t = 0;
    for (std::size_t p = 0; p < prefix.size();) {
        if (t >= text.size()) return false;
        const DecodedChar a = decodeUtf8At(text, t);
        const DecodedChar b = decodeUtf8At(prefix, p);
        if (a.code != b.code && letterCase.upper(a.code) != letterCase.upper(b.code)) return false;
        t += a.length;
        p += b.length;
    }
    return true;
}

}  // namespace klw
