#include "runtime/block_text.h"

#include "runtime/unicode.h"

namespace klw {
namespace {

std::string_view upToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

std::string utf16BlockText(std::string_view block, bool bigEndian) {
    const auto* p = reinterpret_cast<const unsigned char*>(block.data());
    const std::size_t units = block.size() / 2;
    std::u16string text;
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned first = p[2 * i];
        const unsigned second = p[2 * i + 1];
        const auto unit =
            static_cast<char16_t>(bigEndian ? (first << 8) | second : first | (second << 8));
        if (unit == 0) break;
        text.push_back(unit);
    }
    return utf16ToUtf8(text);
}

std::string utf8BlockText(std::string_view block) {
    // Through UTF-16 and back, so that the text is exactly what a control will hold.
    return utf16ToUtf8(utf8ToUtf16(upToNul(block)));
}

std::string ansiBlockText(std::string_view block, const CodePage& cp) {
    // No lead or trail byte of a multi-byte code page is 0: the first 0 byte is the end.
    return ansiToUtf8(upToNul(block), cp);
}

}  // namespace klw
