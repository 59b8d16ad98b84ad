// Native stand-ins for ANSI code pages, through iconv: CP932 (Japanese, the reference) and
// CP1252 (Western European).
#include <iconv.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/codepage.h"

namespace klw {
namespace {

constexpr char16_t kBadPair = u'\x30FB';  // katakana middle dot, as Windows gives for a bad pair

bool isCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool noLead(unsigned char) { return false; }

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv ") + from);
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

ByteCodeTables::Utf8 utf8Of(char16_t u) {
    if (u < 0x80) return {{static_cast<char>(u), 0, 0}, 1};
    if (u < 0x800)
        return {{static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F)), 0}, 2};
    return {{static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
             static_cast<char>(0x80 | (u & 0x3F))},
            3};
}

// The code page as tables, built once from iconv one character at a time, so that a byte that
// maps to nothing costs one replacement (as MultiByteToWideChar does) and conversions never call
// iconv. 7-bit bytes map to themselves.
class TableCodePage final : public CodePage {
public:
    // `missing` is what a single byte without a character becomes: CP932 gives its middle dot,
    // CP1252 the C1 control of the same number, as Windows does.
    TableCodePage(const char* name, bool (*lead)(unsigned char), bool missingAsControl)
        : lead_(lead) {
        Iconv cd("UTF-16LE", name);
        char out[8];
        auto unit = [&](const char* in, std::size_t n, char16_t missing) -> char16_t {
            const long k = cd.convert(in, n, out, sizeof out);
            if (k != 2) return missing;
            return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                                         (static_cast<unsigned char>(out[1]) << 8));
        };
        for (int b = 0; b < 256; ++b) {
            const auto ub = static_cast<unsigned char>(b);
            const char in[1] = {static_cast<char>(b)};
            const char16_t missing = missingAsControl ? static_cast<char16_t>(b) : kBadPair;
            single_[ub] = b < 0x80 ? static_cast<char16_t>(b) : unit(in, 1, missing);
            tables_.lead[ub] = lead(ub);
            tables_.single[ub] = utf8Of(single_[ub]);
            if (!lead(ub)) continue;
            for (int t = 0; t < 256; ++t) {
                const char pair[2] = {static_cast<char>(b), static_cast<char>(t)};
                const char16_t u = unit(pair, 2, kBadPair);
                pairs_[ub * 256u + static_cast<std::size_t>(t)] = u;
                pairsUtf8_[ub * 256u + static_cast<std::size_t>(t)] = utf8Of(u);
            }
        }
        tables_.pairs = pairsUtf8_.data();
    }

    std::u16string toUtf16(std::string_view bytes) const override {
        std::u16string out;
        out.reserve(bytes.size());  // at most one unit per byte
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        const auto* end = p + bytes.size();
        while (p < end) {
            if (lead_(*p) && p + 1 < end) {
                out.push_back(pairs_[p[0] * 256u + p[1]]);
                p += 2;
            } else {
                out.push_back(single_[*p++]);
            }
        }
        return out;
    }

    const ByteCodeTables* byteCodeTables() const override { return &tables_; }

private:
    bool (*lead_)(unsigned char);
    std::array<char16_t, 256> single_{};
    std::vector<char16_t> pairs_ = std::vector<char16_t>(0x10000, kBadPair);
    std::vector<ByteCodeTables::Utf8> pairsUtf8_ = std::vector<ByteCodeTables::Utf8>(0x10000);
    ByteCodeTables tables_{};
};

}  // namespace

const CodePage& ansiCodePage() { return nativeCodePage(932); }

const CodePage& nativeCodePage(int number) {
    if (number == 1252) {
        static const TableCodePage cp1252("CP1252", &noLead, true);
        return cp1252;
    }
    static const TableCodePage cp932("CP932", &isCp932Lead, false);
    return cp932;
}

}  // namespace klw
