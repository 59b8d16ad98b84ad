#pragma once
// The system's ANSI code page behind one small interface: the Win32 conversions in the program,
// iconv's CP932 in the native build. Entries, captions and messages are byte strings in this
// code page; fixed texts live in the source as UTF-8 and are converted when used.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace klw {

// A code page of single bytes and lead/trail pairs in which every character is one UTF-16 unit,
// as tables. Converting through them gives exactly what the conversions of CodePage give, so
// that callers may convert a whole text in one pass without a UTF-16 buffer.
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
    // The bytes of each UTF-16 unit (0x10000 entries): below 0x100 one byte, else
    // lead * 256 + trail; units the code page lacks give its default character.
    const std::uint16_t* fromUnit;
};

class CodePage {
public:
    virtual ~CodePage() = default;
    // Bytes in this code page to UTF-16. Bytes that map to nothing become U+FFFD or the
    // platform's own replacement; never fails.
    virtual std::u16string toUtf16(std::string_view bytes) const = 0;
    // UTF-16 to this code page; characters the code page lacks become its default character.
    virtual std::string fromUtf16(std::u16string_view text) const = 0;
    // Whether the byte starts a double-byte character.
    virtual bool isLeadByte(unsigned char byte) const = 0;

    // The same conversions appending to a buffer that the caller reuses (no allocation per call
    // once the buffer has grown).
    virtual void appendUtf16(std::string_view bytes, std::u16string& out) const {
        out += toUtf16(bytes);
    }
    virtual void appendFromUtf16(std::u16string_view text, std::string& out) const {
        out += fromUtf16(text);
    }
    // The code page as tables, when it converts through fixed ones; null when it does not.
    virtual const ByteCodeTables* byteCodeTables() const { return nullptr; }
};

// The code page the process runs with (the ANSI code page of the platform; CP932 natively).
const CodePage& ansiCodePage();

// Plain UTF-8 <-> UTF-16 for the fixed texts of the source (not the stream's own decoder).
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Lower-case counterpart of a UTF-16 unit (Latin, full-width Latin, Greek, Cyrillic).
char16_t foldCase(char16_t c);
// The text lower-cased through UTF-16, back in the same code page.
std::string lowerCase(std::string_view bytes, const CodePage& cp = ansiCodePage());

// A fixed UTF-8 text of the source in the ANSI code page.
std::string ansi(std::string_view utf8);

// Start of the character that ends at `end` (exclusive): steps back over a trail byte so that
// a double-byte character is taken whole. `end` must be greater than 0.
size_t lastCharStart(std::string_view bytes, const CodePage& cp = ansiCodePage());

}  // namespace klw
