#include "persist/stream_format.h"

#include <cstring>

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

bool isSevenBit(std::string_view bytes) {
    // Eight bytes at a time: entries are mostly plain addresses.
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    std::uint64_t acc = 0;
    for (; n >= 8; n -= 8, p += 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        acc |= w;
    }
    for (; n > 0; --n, ++p) acc |= static_cast<unsigned char>(*p);
    return (acc & 0x8080808080808080ull) == 0;
}

void appendUnitsAsUtf8(std::u16string_view text, std::string& out) {
    for (const char16_t u : text) {
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
}

bool decodeStreamUtf8(std::string_view bytes, std::u16string& out) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    auto trail = [](unsigned char b) { return b >= 0x80 && b <= 0xBF; };
    for (std::size_t i = 0; i < n;) {
        const unsigned char b0 = p[i];
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
        } else if (b0 >= 0xF0) {
            out.clear();
            return false;
        } else if (b0 & 0x20) {
            if (i + 2 >= n || !trail(p[i + 1]) || !trail(p[i + 2])) {
                out.clear();
                return false;
            }
            out.push_back(static_cast<char16_t>(((b0 & 0x0F) << 12) | ((p[i + 1] & 0x3F) << 6) |
                                                (p[i + 2] & 0x3F)));
            i += 3;
        } else {
            if (i + 1 >= n || !trail(p[i + 1])) {
                out.clear();
                return false;
            }
            out.push_back(static_cast<char16_t>(((b0 & 0x3F) << 6) | (p[i + 1] & 0x3F)));
            i += 2;
        }
    }
    return true;
}

}  // namespace klw
