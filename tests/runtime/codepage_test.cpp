#include "runtime/codepage.h"

#include <gtest/gtest.h>

#include "runtime/unicode.h"

namespace klw {
namespace {

// Natively the Japanese code page is iconv's CP932; under Wine it is the system's, which is 932
// in the test prefixes.
TEST(CodePage, JapaneseBytesBecomeTheProgramsText) {
    EXPECT_EQ(ansiToUtf8("\x82\xA0"), "あ");
    // Half-width katakana are single bytes in CP932; 7-bit bytes stay as they are.
    EXPECT_EQ(ansiToUtf8("http://x/\xCD\xD9\xCC\xDF"), "http://x/ﾍﾙﾌﾟ");
    // "ソ" is 0x83 0x5C: its trail byte is not a backslash.
    EXPECT_EQ(ansiToUtf8("\x83\x5C\\"), "ソ\\");
    // A lead byte at the end stands alone.
    EXPECT_EQ(ansiToUtf8("a\x82"), "a\u30FB");
    EXPECT_EQ(ansiToUtf8(""), "");
}

#ifndef _WIN32
TEST(CodePage, WesternBytesBecomeTheProgramsText) {
    const CodePage& cp = nativeCodePage(1252);
    EXPECT_EQ(ansiToUtf8("Caf\xE9 \x80 \x9F", cp), "Café € Ÿ");
    // Bytes without a character keep their number, as Windows gives them.
    EXPECT_EQ(cp.toUtf16("\x81\x8D"), u"\x0081\x008D");
    EXPECT_EQ(cp.byteCodeTables()->lead['\x82' & 0xFF], false);
}

// The one-pass conversion through the tables says what the two steps say, for every byte and
// every lead/trail pair.
TEST(CodePage, TablesAgreeWithTheConversions) {
    for (const int number : {932, 1252}) {
        const CodePage& cp = nativeCodePage(number);
        const ByteCodeTables* t = cp.byteCodeTables();
        ASSERT_NE(t, nullptr);
        int pairs = 0;
        for (int b = 0; b < 256; ++b) {
            const auto lead = static_cast<unsigned char>(b);
            const std::string one(1, static_cast<char>(b));
            ASSERT_EQ(cp.toUtf16(one).size(), 1u) << b;
            ASSERT_EQ(ansiToUtf8(one, cp), utf16ToUtf8(cp.toUtf16(one))) << b;
            // A lead byte takes the byte after it; any other byte stands alone.
            ASSERT_EQ(cp.toUtf16(one + "A").size(), t->lead[lead] ? 1u : 2u) << b;
            if (!t->lead[lead]) continue;
            for (int trail = 0; trail < 256; ++trail, ++pairs) {
                const std::string two{static_cast<char>(b), static_cast<char>(trail)};
                const std::u16string w = cp.toUtf16(two);
                ASSERT_EQ(w.size(), 1u) << b << " " << trail;
                ASSERT_EQ(ansiToUtf8(two, cp), utf16ToUtf8(w)) << b << " " << trail;
            }
        }
        EXPECT_EQ(pairs, number == 932 ? 60 * 256 : 0);
    }
}
#endif

TEST(CodePage, KnownJapaneseCharacters) {
    const CodePage& cp = ansiCodePage();
    const struct {
        const char* bytes;
        char16_t unit;
    } known[] = {{"\x82\xA0", u'あ'}, {"\x81\x40", u'\x3000'}, {"\x82\x60", u'Ａ'},
                 {"\x88\x9F", u'亜'}, {"\x83\x5C", u'ソ'},     {"\xB1", u'ｱ'},
                 {"\xA1", u'｡'},      {"\xDF", u'ﾟ'},          {"\x5C", u'\\'},
                 {"\x87\x40", u'①'},  {"\x81\x7E", u'×'}};
    for (const auto& k : known)
        EXPECT_EQ(cp.toUtf16(k.bytes), std::u16string(1, k.unit)) << k.bytes;
    // A pair with a trail byte the code page lacks.
    EXPECT_EQ(cp.toUtf16("\x82\x20"), u"\x30FB");
}

}  // namespace
}  // namespace klw
