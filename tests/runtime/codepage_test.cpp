#include "runtime/codepage.h"

#include <gtest/gtest.h>

namespace klw {
namespace {

TEST(CodePage, JapaneseRoundTripsThroughTheAnsiCodePage) {
    const std::string a = ansi("あ");
    ASSERT_EQ(a, std::string("\x82\xA0"));
    EXPECT_EQ(ansiCodePage().toUtf16(a), u"あ");
    // Half-width katakana are single bytes in CP932.
    EXPECT_EQ(ansi("ﾍﾙﾌﾟ"), std::string("\xCD\xD9\xCC\xDF"));
}

TEST(CodePage, LastCharacterStepsBackOverTrailBytes) {
    // "ソ" is 0x83 0x5C: its trail byte is a backslash.
    const std::string s = "a" + ansi("ソ");
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(lastCharStart(s), 1u);
    EXPECT_EQ(lastCharStart("ab."), 2u);
    EXPECT_EQ(lastCharStart(ansi("あい")), 2u);
}

TEST(CodePage, Utf8AndUtf16ConvertBothWays) {
    EXPECT_EQ(utf8ToUtf16("A\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"), u"Aéあ\U0001F600");
    EXPECT_EQ(utf16ToUtf8(u"Aéあ\U0001F600"), "A\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80");
}

std::string bytesOf(std::uint16_t code) {
    if (code < 0x100) return std::string(1, static_cast<char>(code));
    return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

// The tables that one-pass callers use say what the conversions do, for every byte, every
// lead/trail pair and every UTF-16 unit.
TEST(CodePage, TablesAgreeWithTheConversions) {
    if (!ansiCodePage().byteCodeTables()) GTEST_SKIP() << "this code page converts without tables";
    const CodePage& cp = ansiCodePage();
    const ByteCodeTables* t = cp.byteCodeTables();
    ASSERT_NE(t, nullptr);
    auto utf8 = [](const ByteCodeTables::Utf8& u) {
        EXPECT_TRUE(u.length >= 1 && u.length <= 3);
        return std::string(u.bytes, u.length);
    };
    int pairs = 0;
    for (int b = 0; b < 256; ++b) {
        const auto lead = static_cast<unsigned char>(b);
        ASSERT_EQ(t->lead[lead], cp.isLeadByte(lead)) << b;
        const std::u16string one = cp.toUtf16(std::string(1, static_cast<char>(b)));
        ASSERT_EQ(one.size(), 1u) << b;
        ASSERT_EQ(utf8(t->single[lead]), utf16ToUtf8(one)) << b;
        if (!t->lead[lead]) continue;
        for (int trail = 0; trail < 256; ++trail, ++pairs) {
            const std::u16string w =
                cp.toUtf16(std::string{static_cast<char>(b), static_cast<char>(trail)});
            ASSERT_EQ(w.size(), 1u) << b << " " << trail;
            ASSERT_EQ(utf8(t->pairs[lead * 256 + trail]), utf16ToUtf8(w)) << b << " " << trail;
        }
    }
    EXPECT_EQ(pairs, 60 * 256);
    for (unsigned u = 0; u < 0x10000; ++u)
        ASSERT_EQ(bytesOf(t->fromUnit[u]),
                  cp.fromUtf16(std::u16string(1, static_cast<char16_t>(u))))
            << u;
}

TEST(CodePage, KnownCharactersBothWays) {
    const CodePage& cp = ansiCodePage();
    const struct {
        const char* bytes;
        char16_t unit;
    } known[] = {{"\x82\xA0", u'あ'}, {"\x81\x40", u'\x3000'}, {"\x82\x60", u'Ａ'},
                 {"\x88\x9F", u'亜'}, {"\x83\x5C", u'ソ'},     {"\xB1", u'ｱ'},
                 {"\xA1", u'｡'},      {"\xDF", u'ﾟ'},          {"\x5C", u'\\'},
                 {"\x87\x40", u'①'}};
    for (const auto& k : known) {
        EXPECT_EQ(cp.toUtf16(k.bytes), std::u16string(1, k.unit)) << k.bytes;
        EXPECT_EQ(cp.fromUtf16(std::u16string(1, k.unit)), k.bytes) << k.bytes;
    }
    // A pair with a trail byte the code page lacks, a lone lead byte and units without a
    // character.
    EXPECT_EQ(cp.toUtf16("\x82\x20"), u"\x30FB");
    EXPECT_EQ(cp.toUtf16("a\x82"), u"a\x30FB");
    EXPECT_EQ(cp.fromUtf16(u"\xD800\x0E01"), "??");
}

}  // namespace
}  // namespace klw
