#pragma once
// Pieces of the component stream format shared by the writer and the reader.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace klw {

inline constexpr std::string_view kStreamSignature = "TPF0";

// The tag byte in front of every value.
enum class ValueTag : std::uint8_t {
    Null = 0,
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    ShortString = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LongString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WideString = 18,
    Int64 = 19,
    Utf8String = 20,
};

// Names and identifiers compare without regard to (ASCII) letter case.
bool sameText(std::string_view a, std::string_view b);

// A letter or "_", then letters, digits and "_".
bool isValidIdent(std::string_view name);

// True when every byte is below 0x80: such a text reads the same in any ANSI code page and in
// UTF-8.
bool isSevenBit(std::string_view bytes);

// Copies the bytes to `out` (room for all of them), at least up to the first byte of 0x80 or
// above, and returns the number of bytes before that one (the size when there is none).
std::size_t copySevenBitPrefix(std::string_view bytes, char* out);

// Length of the leading run of bytes below 0x80. In every ANSI code page such a run is the same
// text in UTF-8 (trail bytes below 0x80 only ever follow a lead byte).
std::size_t sevenBitPrefix(std::string_view bytes);

// Decodes the stream's UTF-8 to UTF-16: a byte below 0x80 is one character; a byte of 0x80 or
// above starts a group of 3 bytes when its 0x20 bit is set, else of 2, whose other bytes lie in
// 0x80..0xBF. A lead byte from 0xF0 up is taken only as the 4-byte form of a character from
// U+10000 to U+10FFFF (F0..F4 and three bytes in 0x80..0xBF), which becomes its surrogate pair.
// A broken group makes the whole value the empty text: returns false with `out` empty.
bool decodeStreamUtf8(std::string_view bytes, std::u16string& out);

// The same value as the program's text (UTF-8, surrogate pairs joined into one character):
// `bytes` themselves when they already are that text, else a view of `scratch`. Empty, with
// `broken` set, for a broken group.
std::string_view streamUtf8AsText(std::string_view bytes, std::string& scratch, bool& broken);

// The program's text in the UTF-8 form the stream is written in, each UTF-16 unit on its own as
// 1, 2 or 3 bytes: a character outside the 16-bit range becomes its two surrogates as 3-byte
// groups, a malformed byte U+FFFD. Writes to `out`, which has room for 3 bytes per byte of text;
// returns the number of bytes.
std::size_t encodeStreamUtf8(std::string_view text, char* out);

}  // namespace klw
