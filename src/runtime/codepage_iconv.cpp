// Native stand-in for the Japanese ANSI code page, through iconv's CP932.
#include <iconv.h>

#include <cerrno>
#include <stdexcept>

#include "runtime/codepage.h"

namespace klw {
namespace {

class Cp932 final : public CodePage {
public:
    std::u16string toUtf16(std::string_view bytes) const override {
        std::u16string out;
        // Convert character by character so that a byte that maps to nothing costs one
        // replacement, as MultiByteToWideChar does, instead of failing the whole text.
        iconv_t cd = iconv_open("UTF-16LE", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv CP932");
        for (size_t i = 0; i < bytes.size();) {
            const size_t n =
                (isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size()) ? 2 : 1;
            char in[2] = {bytes[i], n == 2 ? bytes[i + 1] : '\0'};
            char buf[8];
            char* ip = in;
            char* op = buf;
            size_t il = n;
            size_t ol = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1) || op - buf < 2) {
                out.push_back(u'\x30FB');  // katakana middle dot, as Windows does for a bad pair
            } else {
                for (char* p = buf; p + 1 < op; p += 2)
                    out.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                                        (static_cast<unsigned char>(p[1]) << 8)));
            }
            i += n;
        }
        iconv_close(cd);
        return out;
    }

    std::string fromUtf16(std::u16string_view text) const override {
        std::string out;
        iconv_t cd = iconv_open("CP932", "UTF-16LE");
        if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv CP932");
        for (size_t i = 0; i < text.size(); ++i) {
            char in[4];
            size_t il = 2;
            in[0] = static_cast<char>(text[i] & 0xFF);
            in[1] = static_cast<char>(text[i] >> 8);
            if (text[i] >= 0xD800 && text[i] < 0xDC00 && i + 1 < text.size()) {
                in[2] = static_cast<char>(text[i + 1] & 0xFF);
                in[3] = static_cast<char>(text[i + 1] >> 8);
                il = 4;
            }
            char buf[8];
            char* ip = in;
            char* op = buf;
            size_t ol = sizeof buf;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) == static_cast<size_t>(-1)) {
                out.push_back('?');  // the code page's default character
            } else {
                out.append(buf, static_cast<size_t>(op - buf));
            }
            if (il == 0 && ip == in + 4) ++i;
        }
        iconv_close(cd);
        return out;
    }

    bool isLeadByte(unsigned char b) const override {
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    }
};

}  // namespace

const CodePage& ansiCodePage() {
    static const Cp932 cp;
    return cp;
}

}  // namespace klw
