#pragma once
// Data that a drag or the clipboard offers, format by format, as the platform hands it over:
// every block whole and exactly as large as the platform's block is. Nothing inside a block is
// trusted; whoever decodes one takes its length from the block alone.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace klw {

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

class TransferData {
public:
    virtual ~TransferData() = default;
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
