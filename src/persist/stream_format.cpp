#include "persist/stream_format.h"

#include <cstring>

#include "runtime/unicode.h"

namespace klw {
namespace {

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

}  // namespace

bool sameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i])) return false;
    return true;
}

bool isValidIdent(std::string_view name) {
    if (name.empty() || !isLetter(name[0])) return false;
    for (const char c : name.substr(1))
        if (!isLetter(c) && !(c >= '0' && c <= '9')) return false;
    return true;
}

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t load64(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

// The OR of sixteen bytes as two words: any high bit among them shows in the result.
std::uint64_t fold16(const char* p) { return load64(p) | load64(p + 8); }

}  // namespace

bool isSevenBit(std::string_view bytes) {
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::uint64_t acc = 0;
    if (n >= 8) {
        // Eight bytes at a time, the last word overlapping the one before.
        const char* last = p + n - 8;
        for (; p < last; p += 8) acc |= load64(p);
        acc |= load64(last);
    } else {
        for (std::size_t i = 0; i < n; ++i) acc |= static_cast<unsigned char>(p[i]);
    }
    return (acc & kHighBits) == 0;
}

std::size_t copySevenBitPrefix(std::string_view bytes, char* out) {
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    if (n >= 16) {
        // Sixteen bytes at a time, the last block overlapping the one before; the search for the
        // exact position starts in the first block with a high bit.
        for (; i + 16 < n; i += 16) {
            std::memcpy(out + i, p + i, 16);
            if (fold16(p + i) & kHighBits) break;
        }
        if (i + 16 >= n) {
            std::memcpy(out + n - 16, p + n - 16, 16);
            if ((fold16(p + n - 16) & kHighBits) == 0) return n;
        }
        while (static_cast<unsigned char>(p[i]) < 0x80) ++i;
        return i;
    }
    for (; i < n && static_cast<unsigned char>(p[i]) < 0x80; ++i) out[i] = p[i];
    return i;
}

std::size_t sevenBitPrefix(std::string_view bytes) {
    std::size_t i = 0;
    while (i + 8 <= bytes.size() && (load64(bytes.data() + i) & kHighBits) == 0) i += 8;
    while (i < bytes.size() && static_cast<unsigned char>(bytes[i]) < 0x80) ++i;
    return i;
}

bool decodeStreamUtf8(std::string_view bytes, std::u16string& out) {
    out.resize(bytes.size());  // at most one unit per byte
    char16_t* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    auto trail = [](unsigned char b) { return b >= 0x80 && b <= 0xBF; };
    while (p < end) {
        const unsigned char b0 = *p;
        if (b0 < 0x80) {
            *o++ = b0;
            ++p;
        } else if (b0 >= 0xF0) {
            // Ordinary UTF-8 encoders write a character outside the 16-bit range as 4 bytes:
            // read it as its surrogate pair. Any other sequence from 0xF0 up stays broken.
            if (end - p < 4 || b0 > 0xF4 || !trail(p[1]) || !trail(p[2]) || !trail(p[3])) break;
            const char32_t c = ((b0 & 0x07u) << 18) | ((p[1] & 0x3Fu) << 12) |
                               ((p[2] & 0x3Fu) << 6) | (p[3] & 0x3Fu);
            if (c < 0x10000 || c > 0x10FFFF) break;
            *o++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            *o++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            p += 4;
        } else if (b0 & 0x20) {
            if (end - p < 3 || !trail(p[1]) || !trail(p[2])) break;
            *o++ =
                static_cast<char16_t>(((b0 & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
            p += 3;
        } else {
            if (end - p < 2 || !trail(p[1])) break;
            *o++ = static_cast<char16_t>(((b0 & 0x3F) << 6) | (p[1] & 0x3F));
            p += 2;
        }
    }
    if (p < end) {  // a broken group: the whole value is the empty text
        out.clear();
        return false;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return true;
}

std::string_view streamUtf8AsText(std::string_view bytes, std::string& scratch, bool& broken) {
    broken = false;
    // Most values are well-formed UTF-8 of characters inside the 16-bit range, which is the
    // program's text as it stands.
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    auto trail = [](unsigned char b) { return b >= 0x80 && b <= 0xBF; };
    bool same = true;
    while (p < end && same) {
        const unsigned char b0 = *p;
        if (b0 < 0x80) {
            ++p;
        } else if (b0 >= 0xC2 && b0 <= 0xDF && end - p >= 2 && trail(p[1])) {
            p += 2;
        } else if (b0 >= 0xE0 && b0 <= 0xEF && end - p >= 3 && trail(p[1]) && trail(p[2]) &&
                   (b0 != 0xE0 || p[1] >= 0xA0) && (b0 != 0xED || p[1] < 0xA0)) {
            p += 3;
        } else if (b0 >= 0xF0 && b0 <= 0xF4 && end - p >= 4 && trail(p[1]) && trail(p[2]) &&
                   trail(p[3]) && (b0 != 0xF0 || p[1] >= 0x90) && (b0 != 0xF4 || p[1] < 0x90)) {
            p += 4;
        } else {
            same = false;
        }
    }
    if (same) return bytes;
    std::u16string units;
    if (!decodeStreamUtf8(bytes, units)) {
        broken = true;
        return {};
    }
    scratch.clear();
    appendUtf16AsUtf8(units, scratch);
    return scratch;
}

std::size_t encodeStreamUtf8(std::string_view text, char* out) {
    char* o = out;
    forEachUtf16Unit(text, [&o](char16_t u) {
        if (u < 0x80) {
            *o++ = static_cast<char>(u);
        } else if (u < 0x800) {
            *o++ = static_cast<char>(0xC0 | (u >> 6));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        } else {
            *o++ = static_cast<char>(0xE0 | (u >> 12));
            *o++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *o++ = static_cast<char>(0x80 | (u & 0x3F));
        }
    });
    return static_cast<std::size_t>(o - out);
}

}  // namespace klw
