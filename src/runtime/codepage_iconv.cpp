// Native stand-in for the Japanese ANSI code page, through iconv's CP932.
#include <iconv.h>

#include <array>
#include <cerrno>
#include <stdexcept>
#include <vector>

#include "runtime/codepage.h"

namespace klw {
namespace {

constexpr char16_t kBadPair = u'\x30FB';  // katakana middle dot, as Windows gives for a bad pair

bool isCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// Index of a lead byte in the table of pairs.
std::size_t leadIndex(unsigned char b) { return b <= 0x9F ? b - 0x81u : b - 0xE0u + 31u; }
constexpr std::size_t kLeadCount = 31 + 29;

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv CP932");
    }
    ~Iconv() { iconv_close(cd_); }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    // Converts one character on its own; the number of output bytes, or -1.
    long convert(const char* in, std::size_t inLen, char* out, std::size_t outLen) {
        char* ip = const_cast<char*>(in);
        char* op = out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &ip, &inLen, &op, &outLen) == static_cast<std::size_t>(-1)) return -1;
        return static_cast<long>(op - out);
    }

private:
    iconv_t cd_;
};

// Both directions as tables, built once from iconv one character at a time, so that a byte that
// maps to nothing costs one replacement (as MultiByteToWideChar does) and conversions on the hot
// path never call iconv. 7-bit bytes and units map to themselves.
struct Tables {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pairs = std::vector<char16_t>(kLeadCount * 256, kBadPair);
    std::vector<ByteCodeTables::Utf8> pairsUtf8 = std::vector<ByteCodeTables::Utf8>(0x10000);
    std::vector<std::uint16_t> fromUnit = std::vector<std::uint16_t>(0x10000, '?');
    ByteCodeTables byteCode{};

    Tables() {
        buildToUtf16();
        buildFromUtf16();
        for (int b = 0; b < 256; ++b) {
            const auto ub = static_cast<unsigned char>(b);
            byteCode.lead[ub] = isCp932Lead(ub);
            byteCode.single[ub] = utf8(single[ub]);
            if (!isCp932Lead(ub)) continue;
            for (std::size_t t = 0; t < 256; ++t)
                pairsUtf8[ub * 256u + t] = utf8(pairs[leadIndex(ub) * 256 + t]);
        }
        byteCode.pairs = pairsUtf8.data();
        byteCode.fromUnit = fromUnit.data();
    }

    static ByteCodeTables::Utf8 utf8(char16_t u) {
        if (u < 0x80) return {{static_cast<char>(u), 0, 0}, 1};
        if (u < 0x800)
            return {{static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F)), 0},
                    2};
        return {{static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (u & 0x3F))},
                3};
    }

    void buildToUtf16() {
        Iconv cd("UTF-16LE", "CP932");
        char out[8];
        auto unit = [&](const char* in, std::size_t n) -> char16_t {
            const long k = cd.convert(in, n, out, sizeof out);
            if (k != 2) return kBadPair;
            return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                         (static_cast<unsigned char>(out[1]) << 8));
        };
        for (int b = 0; b < 256; ++b) {
            const char in[1] = {static_cast<char>(b)};
            single[static_cast<std::size_t>(b)] = b < 0x80 ? static_cast<char16_t>(b) : unit(in, 1);
            if (!isCp932Lead(static_cast<unsigned char>(b))) continue;
            for (int t = 0; t < 256; ++t) {
                const char pair[2] = {static_cast<char>(b), static_cast<char>(t)};
                pairs[leadIndex(static_cast<unsigned char>(b)) * 256 +
                      static_cast<std::size_t>(t)] = unit(pair, 2);
            }
        }
    }

    void buildFromUtf16() {
        Iconv cd("CP932", "UTF-16LE");
        char out[8];
        for (unsigned u = 0; u < 0x10000; ++u) {
            if (u < 0x80) {
                fromUnit[u] = static_cast<std::uint16_t>(u);
                continue;
            }
            if (u >= 0xD800 && u < 0xE000) continue;  // a surrogate on its own maps to nothing
            const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            const long k = cd.convert(in, 2, out, sizeof out);
            if (k == 1)
                fromUnit[u] = static_cast<unsigned char>(out[0]);
            else if (k == 2)
                fromUnit[u] = static_cast<std::uint16_t>((static_cast<unsigned char>(out[0]) << 8) |
                                                         static_cast<unsigned char>(out[1]));
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

class Cp932 final : public CodePage {
public:
    std::u16string toUtf16(std::string_view bytes) const override {
        std::u16string out;
        appendUtf16(bytes, out);
        return out;
    }

    std::string fromUtf16(std::u16string_view text) const override {
        std::string out;
        appendFromUtf16(text, out);
        return out;
    }

    void appendUtf16(std::string_view bytes, std::u16string& out) const override {
        const Tables& t = tables();
        const std::size_t start = out.size();
        out.resize(start + bytes.size());  // at most one unit per byte
        char16_t* o = out.data() + start;
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* end = p + bytes.size();
        while (p < end) {
            const unsigned char b = *p;
            if (isCp932Lead(b) && p + 1 < end) {
                *o++ = t.pairs[leadIndex(b) * 256 + p[1]];
                p += 2;
            } else {
                *o++ = t.single[b];
                ++p;
            }
        }
        out.resize(static_cast<std::size_t>(o - out.data()));
    }

    void appendFromUtf16(std::u16string_view text, std::string& out) const override {
        const std::uint16_t* code = tables().fromUnit.data();
        const std::size_t start = out.size();
        out.resize(start + 2 * text.size());  // at most two bytes per unit
        char* o = out.data() + start;
        for (const char16_t u : text) {
            const std::uint16_t c = code[u];
            if (c < 0x100) {
                *o++ = static_cast<char>(c);
            } else {
                *o++ = static_cast<char>(c >> 8);
                *o++ = static_cast<char>(c & 0xFF);
            }
        }
        out.resize(static_cast<std::size_t>(o - out.data()));
    }

    bool isLeadByte(unsigned char b) const override { return isCp932Lead(b); }

    const ByteCodeTables* byteCodeTables() const override { return &tables().byteCode; }
};

}  // namespace

const CodePage& ansiCodePage() {
    static const Cp932 cp;
    return cp;
}

}  // namespace klw
