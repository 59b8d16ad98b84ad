#pragma once
// Data that a drag or the clipboard offers, format by format, as the platform hands it over:
// every block whole and exactly as large as the platform's block is. Nothing inside a block is
// trusted; whoever decodes one takes its length from the block alone.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace klw {

class CodePage;

// The memory formats the program reads, by their names on the platform.
enum class TransferFormat {
    UniformResourceLocatorW,  // "UniformResourceLocatorW": UTF-16
    MozUrl,                   // "text/x-moz-url": UTF-16, the address, then the title
    NetscapeUrl,              // "_NETSCAPE_URL": UTF-8, the address, then the title
    UniformResourceLocator,   // "UniformResourceLocator": the ANSI code page
    PlainTextUtf8,            // "text/plain;charset=utf-8": UTF-8
    UnicodeText,              // CF_UNICODETEXT: UTF-16
    Text,                     // CF_TEXT: the ANSI code page
};

enum class TextEncoding { Utf16, Utf8, Ansi };

struct TransferFormatInfo {
    TransferFormat format;
    TextEncoding encoding;
    // A link format holds one address, and perhaps a line with its title after it.
    bool link;
};

// Every format the program reads, in the order addresses are best taken from: the link formats
// first (a file drop's shortcuts come after them), then plain text.
inline constexpr std::array<TransferFormatInfo, 7> kTransferFormats{{
    {TransferFormat::UniformResourceLocatorW, TextEncoding::Utf16, true},
    {TransferFormat::MozUrl, TextEncoding::Utf16, true},
    {TransferFormat::NetscapeUrl, TextEncoding::Utf8, true},
    {TransferFormat::UniformResourceLocator, TextEncoding::Ansi, true},
    {TransferFormat::PlainTextUtf8, TextEncoding::Utf8, false},
    {TransferFormat::UnicodeText, TextEncoding::Utf16, false},
    {TransferFormat::Text, TextEncoding::Ansi, false},
}};

// The table's entry for a format.
constexpr const TransferFormatInfo& formatInfo(TransferFormat format) {
    for (const TransferFormatInfo& info : kTransferFormats)
        if (info.format == format) return info;
    return kTransferFormats.back();
}

// A format's block as text, decoded by the format's encoding at the block's real size: the one
// reading of text that drops and pastes share.
std::string blockText(TransferFormat format, std::string_view block, const CodePage& cp);

class TransferData {
public:
    virtual ~TransferData() = default;
    // Whether the data offers a format in memory, asked without reading its block.
    virtual bool offers(TransferFormat format) const = 0;
    // The bytes of a format's block; nothing when the data does not offer it in memory.
    virtual std::optional<std::string> block(TransferFormat format) const = 0;
    // The files of a file drop (CF_HDROP) in order, as full paths; empty when it names none or
    // is not offered.
    virtual std::vector<std::string> files() const = 0;
    // A file's whole contents; nothing when it cannot be read whole or holds more than `limit`
    // bytes.
    virtual std::optional<std::string> fileContents(const std::string& path,
                                                    std::size_t limit) const = 0;
};

// The number of files a file drop block (CF_HDROP: a DROPFILES header and its list of names)
// names, when the header points inside the block and every name and the list's end lie inside
// it; nothing for a malformed block.
std::optional<std::size_t> dropFileCount(std::string_view block);

}  // namespace klw
