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
constexpr std::uint16_t kUnmapped = 0xFFFF;

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
// path never call iconv.
struct ToUtf16Table {
    std::array<char16_t, 256> single{};
    std::vector<char16_t> pairs = std::vector<char16_t>(kLeadCount * 256, kBadPair);

    ToUtf16Table() {
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
            single[static_cast<std::size_t>(b)] = unit(in, 1);
            if (!isCp932Lead(static_cast<unsigned char>(b))) continue;
            for (int t = 0; t < 256; ++t) {
                const char pair[2] = {static_cast<char>(b), static_cast<char>(t)};
                pairs[leadIndex(static_cast<unsigned char>(b)) * 256 +
                      static_cast<std::size_t>(t)] = unit(pair, 2);
            }
        }
    }
};

struct FromUtf16Table {
    // A single byte as 0x00..0xFF, a pair as lead * 256 + trail, kUnmapped for none.
    std::vector<std::uint16_t> code = std::vector<std::uint16_t>(0x10000, kUnmapped);

    FromUtf16Table() {
        Iconv cd("CP932", "UTF-16LE");
        char out[8];
        for (unsigned u = 0; u < 0x10000; ++u) {
            if (u >= 0xD800 && u < 0xE000) continue;  // a surrogate on its own maps to nothing
            const char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
            const long k = cd.convert(in, 2, out, sizeof out);
            if (k == 1)
                code[u] = static_cast<unsigned char>(out[0]);
            else if (k == 2)
                code[u] = static_cast<std::uint16_t>((static_cast<unsigned char>(out[0]) << 8) |
                                                     static_cast<unsigned char>(out[1]));
        }
    }
};

const ToUtf16Table& toUtf16Table() {
    static const ToUtf16Table t;
    return t;
}

const FromUtf16Table& fromUtf16Table() {
    static const FromUtf16Table t;
    return t;
}

class Cp932 final : public CodePage {
public:
    std::u16string toUtf16(std::string_view bytes) const override {
        const ToUtf16Table& t = toUtf16Table();
        std::u16string out;
        out.reserve(bytes.size());
        for (std::size_t i = 0; i < bytes.size();) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            if (isCp932Lead(b) && i + 1 < bytes.size()) {
                const auto trail = static_cast<unsigned char>(bytes[i + 1]);
                out.push_back(t.pairs[leadIndex(b) * 256 + trail]);
                i += 2;
            } else {
                out.push_back(t.single[b]);
                ++i;
            }
        }
        return out;
    }

    std::string fromUtf16(std::u16string_view text) const override {
        const FromUtf16Table& t = fromUtf16Table();
        std::string out;
        out.reserve(text.size() * 2);
        for (const char16_t u : text) {
            const std::uint16_t c = t.code[u];
            if (c == kUnmapped) {
                out.push_back('?');  // the code page's default character
            } else if (c < 0x100) {
                out.push_back(static_cast<char>(c));
            } else {
                out.push_back(static_cast<char>(c >> 8));
                out.push_back(static_cast<char>(c & 0xFF));
            }
        }
        return out;
    }

    bool isLeadByte(unsigned char b) const override { return isCp932Lead(b); }
};

}  // namespace

const CodePage& ansiCodePage() {
    static const Cp932 cp;
    return cp;
}

}  // namespace klw
