#include "widgets/transfer_data.h"

#include <cstdint>

#include "runtime/block_text.h"

namespace klw {
namespace {

std::uint32_t le32(std::string_view block, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(block.data()) + at;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

std::optional<std::size_t> dropFileCount(std::string_view block) {
    // DROPFILES: the list's offset, a point, the non-client flag and the wide flag.
    constexpr std::size_t kHeader = 20;
    if (block.size() < kHeader) return std::nullopt;
    const std::uint32_t offset = le32(block, 0);
    const std::size_t unit = le32(block, 16) != 0 ? 2 : 1;
    if (offset < kHeader || offset > block.size()) return std::nullopt;
    auto isNul = [&](std::size_t at) {
        return block[at] == '\0' && (unit == 1 || block[at + 1] == '\0');
    };
    std::size_t count = 0;
    std::size_t at = offset;
    for (;;) {
        if (block.size() - at < unit) return std::nullopt;
        if (isNul(at)) return count;
        // One name, up to its NUL.
        do {
            at += unit;
            if (block.size() - at < unit) return std::nullopt;
        } while (!isNul(at));
        at += unit;
        ++count;
    }
}

std::string blockText(TransferFormat format, std::string_view block, const CodePage& cp) {
    switch (formatInfo(format).encoding) {
        case TextEncoding::Utf16:
            return utf16BlockText(block);
        case TextEncoding::Utf8:
            return utf8BlockText(block);
        case TextEncoding::Ansi:
            return ansiBlockText(block, cp);
    }
    return {};
}

}  // namespace klw
