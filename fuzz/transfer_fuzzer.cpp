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
            if (const auto count = klw::dropFileCount(bytes)) check(*count <= bytes.size() / 2);
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
            // A link format gives at most its first line.
            if (info.link) check(addresses.size() <= 1);
            break;
        }
    }
    return 0;
}
