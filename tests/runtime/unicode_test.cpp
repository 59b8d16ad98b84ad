#include "runtime/unicode.h"

#include <gtest/gtest.h>

namespace klw {
namespace {

TEST(Unicode, CharactersAtTheEncodingBoundariesConvertBothWays) {
    const struct {
        std::u16string utf16;
        std::string utf8;
    } cases[] = {
        {u"\u007F", "\x7F"},
        {u"\u0080", "\xC2\x80"},
        {u"\u07FF", "\xDF\xBF"},
        {u"\u0800", "\xE0\xA0\x80"},
        {u"\uFFFF", "\xEF\xBF\xBF"},
        {u"\U00010000", "\xF0\x90\x80\x80"},
        {u"\U0001F363", "\xF0\x9F\x8D\xA3"},
        {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {u"Café 한국어 日本語",
         "Caf\xC3\xA9 \xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 "
         "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8);
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16);
    }
}

// Where two bytes give way to three, and where the low surrogates end: U+E000 after a high
// surrogate is no pair, U+DFFF still is.
TEST(Unicode, AtU0800AndAfterTheLastLowSurrogate) {
    EXPECT_EQ(utf16ToUtf8(u"a\u07FF\u0800b"),
              "a\xDF\xBF\xE0\xA0\x80"
              "b");
    EXPECT_EQ(utf8ToUtf16("a\xDF\xBF\xE0\xA0\x80"
                          "b"),
              u"a\u07FF\u0800b");
    // The overlong form of U+07FF just below it is no character.
    EXPECT_EQ(utf8ToUtf16("\xE0\x9F\xBF"), u"\uFFFD\uFFFD\uFFFD");
    const std::u16string beforePrivate{char16_t(0xD83C), char16_t(0xE000)};
    EXPECT_EQ(utf16ToUtf8(beforePrivate), "\xED\xA0\xBC\xEE\x80\x80");
    EXPECT_EQ(utf8ToUtf16("\xED\xA0\xBC\xEE\x80\x80"), beforePrivate);
    const std::u16string lastLow{char16_t(0xD83C), char16_t(0xDFFF)};
    EXPECT_EQ(utf16ToUtf8(lastLow), "\xF0\x9F\x8F\xBF");
    EXPECT_EQ(utf8ToUtf16("\xF0\x9F\x8F\xBF"), lastLow);
    const std::u16string twoHighs{char16_t(0xDBFF), char16_t(0xDBFF), char16_t(0xDC00)};
    EXPECT_EQ(utf16ToUtf8(twoHighs), "\xED\xAF\xBF\xF4\x8F\xB0\x80");
    EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(twoHighs)), twoHighs);
}

TEST(Unicode, EveryUtf16TextComesBackUnchanged) {
    // Each unit on its own, lone surrogates included, and between other characters.
    for (char32_t u = 0; u < 0x10000; ++u) {
        const std::u16string one{u'a', static_cast<char16_t>(u), u'b'};
        ASSERT_EQ(utf8ToUtf16(utf16ToUtf8(one)), one) << std::hex << static_cast<unsigned>(u);
    }
    const std::u16string odd[] = {
        {char16_t(0xD83C)},                                      // a high surrogate at the end
        {char16_t(0xDF63), u'x'},                                // a low surrogate first
        {char16_t(0xDF63), char16_t(0xD83C)},                    // low before high: two lone units
        {char16_t(0xD83C), char16_t(0xD83C), char16_t(0xDF63)},  // a lone high before a pair
    };
    for (const auto& s : odd) EXPECT_EQ(utf8ToUtf16(utf16ToUtf8(s)), s);
    // A lone surrogate keeps its own 3-byte group; a pair is one 4-byte character.
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xD83C)}), "\xED\xA0\xBC");
    EXPECT_EQ(utf16ToUtf8(std::u16string{char16_t(0xD83C), char16_t(0xDF63)}), "\xF0\x9F\x8D\xA3");
}

TEST(Unicode, MalformedBytesBecomeOneReplacementEach) {
    // Sequences cut off at the end of the text.
    EXPECT_EQ(utf8ToUtf16("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(utf8ToUtf16("a\xE3\x81"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("a\xF0\x9F\x8D"), u"a\uFFFD\uFFFD\uFFFD");
    // Overlong forms, bytes that never start a sequence, a code point above U+10FFFF.
    EXPECT_EQ(utf8ToUtf16("\xC0\x80"), u"\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xF0\x80\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(utf8ToUtf16("\x80z\xFF"), u"\uFFFDz\uFFFD");
    // Lead bytes F5 to F7 would start four-byte forms above U+10FFFF: each byte is one U+FFFD.
    for (const char* lead : {"\xF5", "\xF6", "\xF7"}) {
        SCOPED_TRACE(static_cast<unsigned char>(lead[0]));
        EXPECT_EQ(utf8ToUtf16(std::string(lead) + "\x80\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    }
}

TEST(Unicode, LastCharacterIsTakenWhole) {
    EXPECT_EQ(lastCharStart(""), 0u);
    EXPECT_EQ(lastCharStart("ab."), 2u);
    EXPECT_EQ(lastCharStart("aé"), 1u);
    EXPECT_EQ(lastCharStart("aあ"), 1u);
    EXPECT_EQ(lastCharStart("a🍣"), 1u);
    EXPECT_EQ(lastCharStart("🍣"), 0u);
    // A sequence cut off at the end: its last byte is a character of its own, as decoding says.
    EXPECT_EQ(lastCharStart("a\xE3\x81"), 2u);
    EXPECT_EQ(lastCharStart("\x82"), 0u);
    EXPECT_EQ(lastCharStart("\xE3\x81\x82\x82"), 3u);
}

TEST(Unicode, LetterCaseAtTheEdgesOfTheAlphabets) {
    const LetterCase& lc = platformLetterCase();
    EXPECT_EQ(lc.upper(U'z'), U'Z');
    EXPECT_EQ(lc.upper(U'a'), U'A');
    EXPECT_EQ(lc.lower(U'Z'), U'z');
    EXPECT_EQ(lc.lower(U'A'), U'a');
    // The characters next to the letters have no case.
    for (const char32_t c : {U'@', U'[', U'`', U'{'}) {
        EXPECT_EQ(lc.upper(c), c);
        EXPECT_EQ(lc.lower(c), c);
    }
    // "×" and "÷" sit among the accented capitals and small letters but have no case.
    for (const char32_t c : {U'×', U'÷'}) {
        EXPECT_EQ(lc.upper(c), c);
        EXPECT_EQ(lc.lower(c), c);
    }
    EXPECT_EQ(lc.upper(U'é'), U'É');
    EXPECT_EQ(lc.lower(U'Þ'), U'þ');
    EXPECT_EQ(lc.upper(U'ÿ'), U'Ÿ');
    // Full width: Ａ..Ｚ and ａ..ｚ, and the brackets after them.
    EXPECT_EQ(lc.upper(U'ｚ'), U'Ｚ');
    EXPECT_EQ(lc.lower(U'Ａ'), U'ａ');
    EXPECT_EQ(lc.upper(U'｛'), U'｛');
    EXPECT_EQ(lc.lower(U'［'), U'［');
    EXPECT_EQ(lc.upper(U'ж'), U'Ж');
    EXPECT_EQ(lc.upper(U'ω'), U'Ω');
    // Outside the 16-bit range (Deseret), and characters without case.
    EXPECT_EQ(lc.upper(U'\U00010428'), U'\U00010400');
    EXPECT_EQ(lc.upper(U'あ'), U'あ');
    EXPECT_EQ(lc.upper(U'🍣'), U'🍣');
}

TEST(Unicode, PrefixesCompareWithoutLetterCase) {
    EXPECT_TRUE(startsWithIgnoringCase("https://FR.wikipedia.org", "HTTPS://fr"));
    EXPECT_TRUE(startsWithIgnoringCase("Éclair", "é"));
    EXPECT_TRUE(startsWithIgnoringCase("ＡＢＣ", "ａｂ"));
    EXPECT_TRUE(startsWithIgnoringCase("🍣 sushi", "🍣"));
    EXPECT_TRUE(startsWithIgnoringCase("abc", ""));
    EXPECT_FALSE(startsWithIgnoringCase("ab", "abc"));
    EXPECT_FALSE(startsWithIgnoringCase("×", "÷"));
    EXPECT_FALSE(startsWithIgnoringCase("[x", "{x"));
    EXPECT_FALSE(startsWithIgnoringCase("e", "é"));
    EXPECT_EQ(lowerCase("LinkWALKER Ｘ É 𐐀"), "linkwalker ｘ é 𐐨");
}

}  // namespace
}  // namespace klw
