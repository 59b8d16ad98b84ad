#pragma once
// The system's ANSI code page, which only the list file's tags 6 and 12 (and its names) are
// written in: the Win32 conversion in the program, iconv's CP932 in the native build.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace klw {

// A code page of single bytes and lead/trail pairs in which every character is one UTF-16 unit,
// as tables of UTF-8. Converting through them gives exactly what CodePage::toUtf16 followed by
// UTF-8 gives, so that callers may convert a whole text in one pass.
struct ByteCodeTables {
    // A UTF-16 unit in UTF-8: `length` (1 to 3) bytes.
    struct Utf8 {
        char bytes[3];
        std::uint8_t length;
    };
    // Whether the byte starts a pair when another byte follows it.
    std::array<bool, 256> lead;
    // A byte on its own (also a lead byte at the end of the text).
    std::array<Utf8, 256> single;
    // A pair, at lead * 256 + trail (rows of lead bytes only).
    const Utf8* pairs;
};

class CodePage {
public:
    virtual ~CodePage() = default;
    // Bytes in this code page to UTF-16. Bytes that map to nothing become U+FFFD or the
    // platform's own replacement; never fails.
    virtual std::u16string toUtf16(std::string_view bytes) const = 0;
    // The code page as tables, when it converts through fixed ones; null when it does not.
    virtual const ByteCodeTables* byteCodeTables() const { return nullptr; }
};

// The code page the process runs with (the ANSI code page of the platform; CP932 natively).
const CodePage& ansiCodePage();

#ifndef _WIN32
// The native stand-ins: 932 (the default ANSI code page) or 1252.
const CodePage& nativeCodePage(int number);
#endif

// Bytes in the code page as the program's text (UTF-8).
std::string ansiToUtf8(std::string_view bytes, const CodePage& cp = ansiCodePage());
// The same appended to `out`.
void appendAnsiAsUtf8(std::string_view bytes, const CodePage& cp, std::string& out);

}  // namespace klw
