// Feeds arbitrary bytes to the decoding of dropped and pasted data. The first byte chooses what
// the rest is: the block of one format, the contents of a .url file, a file drop block, or one
// block offered in every format at once; its top bit chooses the code page (932 or 1252). No
// input may crash, leak or hang, read past its block, or give an address that is empty, holds a
// line break or a NUL, or is not exactly what the list would hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/block_text.h"
#include "runtime/codepage.h"
#include "runtime/unicode.h"
#include "ui/dropped_addresses.h"
#include "widgets/transfer_data.h"

namespace {

using klw::TransferFormat;

void check(bool ok) {
    if (!ok) std::abort();
}

void checkAddress(const std::string& a) {
    check(!a.empty());
    check(a.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    // Already in the program's form: the conversions leave it as it is.
    check(klw::utf16ToUtf8(klw::utf8ToUtf16(a)) == a);
}

// A second splitter, plain and slow, to hold the decoder's lines against: the text up to a
// NUL, cut at every CR and LF, each piece without the blanks at its ends, the empty ones left.
std::vector<std::string> plainLines(const std::string& text) {
    // Tab, space, no-break space, ogham space mark, U+2000 to U+200A, narrow no-break space,
    // medium mathematical space, ideographic space.
    static const std::string_view kBlanks[] = {" ",
                                               "\t",
                                               "\xC2\xA0",
                                               "\xE1\x9A\x80",
                                               "\xE2\x80\x80",
                                               "\xE2\x80\x81",
                                               "\xE2\x80\x82",
                                               "\xE2\x80\x83",
                                               "\xE2\x80\x84",
                                               "\xE2\x80\x85",
                                               "\xE2\x80\x86",
                                               "\xE2\x80\x87",
                                               "\xE2\x80\x88",
                                               "\xE2\x80\x89",
                                               "\xE2\x80\x8A",
                                               "\xE2\x80\xAF",
                                               "\xE2\x81\x9F",
                                               "\xE3\x80\x80"};
    auto trimmed = [](std::string line) {
        for (bool again = true; again;) {
            again = false;
            for (std::string_view b : kBlanks) {
                if (line.size() >= b.size() && line.compare(0, b.size(), b) == 0) {
                    line.erase(0, b.size());
                    again = true;
                }
                if (line.size() >= b.size() &&
                    line.compare(line.size() - b.size(), b.size(), b) == 0) {
                    line.erase(line.size() - b.size());
                    again = true;
                }
            }
        }
        return line;
    };
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\0') break;
        if (c == '\r' || c == '\n') {
            if (std::string t = trimmed(line); !t.empty()) lines.push_back(t);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
    if (std::string t = trimmed(line); !t.empty()) lines.push_back(t);
    return lines;
}

std::string decoded(const klw::TransferFormatInfo& info, std::string_view bytes,
                    const klw::CodePage& cp) {
    switch (info.encoding) {
        case klw::TextEncoding::Utf16:
            return klw::utf16BlockText(bytes);
        case klw::TextEncoding::Utf8:
            return klw::utf8BlockText(bytes);
        case klw::TextEncoding::Ansi:
            return klw::ansiBlockText(bytes, cp);
    }
    return {};
}

// The same bytes in every format the mask names (bit i: the table's entry i), and as every
// file of a drop.
class OneBlockEverywhere final : public klw::TransferData {
public:
    OneBlockEverywhere(std::string_view bytes, unsigned mask) : bytes_(bytes), mask_(mask) {}
    bool offers(TransferFormat format) const override {
        for (std::size_t i = 0; i < klw::kTransferFormats.size(); ++i)
            if (klw::kTransferFormats[i].format == format) return (mask_ & (1u << i)) != 0;
        return false;
    }
    std::optional<std::string> block(TransferFormat format) const override {
        if (!offers(format)) return std::nullopt;
        return std::string(bytes_);
    }
    std::vector<std::string> files() const override {
        if (!(mask_ & 0x80)) return {};
        return {"C:\\a.url", "C:\\b.txt", "C:\\c.URL"};
    }
    std::optional<std::string> fileContents(const std::string&, std::size_t limit) const override {
        if (bytes_.size() > limit) return std::nullopt;
        return std::string(bytes_);
    }

private:
    std::string_view bytes_;
    unsigned mask_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const unsigned mode = data[0];
    const klw::CodePage& cp = klw::nativeCodePage(mode & 0x80 ? 1252 : 932);
    // Exactly the input's bytes, in the fuzzer's own buffer: a read past them is caught.
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    switch ((mode & 0x7F) % 10) {
        case 7:
            if (const std::string url = klw::internetShortcutUrl(bytes, cp); !url.empty())
                checkAddress(url);
            break;
        case 8:
            if (const auto count = klw::dropFileCount(bytes)) {
                // Every name takes a unit and its NUL, and the list ends in one more NUL.
                const auto byte = [&](std::size_t i) {
                    return static_cast<unsigned char>(bytes[i]);
                };
                const std::size_t offset = byte(0) | byte(1) << 8 | byte(2) << 16 |
                                           static_cast<std::size_t>(byte(3)) << 24;
                const std::size_t unit = (byte(16) | byte(17) | byte(18) | byte(19)) ? 2 : 1;
                check(offset <= bytes.size());
                check((*count * 2 + 1) * unit <= bytes.size() - offset);
            }
            break;
        case 9: {
            // The second byte says which formats (and files) are offered.
            if (bytes.empty()) break;
            const OneBlockEverywhere offered(bytes.substr(1), static_cast<std::uint8_t>(bytes[0]));
            for (const std::string& a : klw::droppedAddresses(offered, cp)) checkAddress(a);
            break;
        }
        default: {
            const klw::TransferFormatInfo& info = klw::kTransferFormats[(mode & 0x7F) % 10];
            const std::vector<std::string> addresses =
                klw::addressesInBlock(info.format, bytes, cp);
            for (const std::string& a : addresses) checkAddress(a);
            std::vector<std::string> expected = plainLines(decoded(info, bytes, cp));
            // A link format gives its first line only, when that holds an address.
            if (info.link) {
                const std::string text = decoded(info, bytes, cp);
                const std::string first =
                    text.substr(0, text.find_first_of(std::string("\r\n\0", 3)));
                expected = plainLines(first);
            }
            check(addresses == expected);
            break;
        }
    }
    return 0;
}
