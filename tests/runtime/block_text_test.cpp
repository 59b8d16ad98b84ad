#include "runtime/block_text.h"

#include <gtest/gtest.h>

#include "runtime/unicode.h"
#include "support/exact_block.h"

namespace klw {
namespace {

using test::ExactBlock;
using test::utf16Bytes;

const std::string kJapanese = "https://ja.wikipedia.org/wiki/日本語";
const std::string kCafe = "https://fr.wikipedia.org/wiki/Café";
// "日本語" in Shift-JIS.
const std::string kJapaneseSjis = "https://ja.wikipedia.org/wiki/\x93\xFA\x96\x7B\x8C\xEA";

TEST(BlockText, Utf16WithoutANulEndsWithTheBlock) {
    const ExactBlock block(utf16Bytes(u"https://ja.wikipedia.org/wiki/日本語"));
    EXPECT_EQ(utf16BlockText(block.view()), kJapanese);
}

TEST(BlockText, Utf16StopsAtTheFirstNulUnit) {
    const ExactBlock block(utf16Bytes(std::u16string(u"ab\0cd", 5)));
    EXPECT_EQ(utf16BlockText(block.view()), "ab");
    // A zero byte that is half of a unit is no NUL.
    const ExactBlock half(std::string("\x00\x30\x42\x30", 4));
    EXPECT_EQ(utf16BlockText(half.view()), "\u3000\u3042");
}

TEST(BlockText, AnOddUtf16BlockDropsItsLastHalfUnit) {
    const ExactBlock block(utf16Bytes(u"ab") + "c");
    EXPECT_EQ(utf16BlockText(block.view()), "ab");
    const ExactBlock one(std::string("x", 1));
    EXPECT_EQ(utf16BlockText(one.view()), "");
    EXPECT_EQ(utf16BlockText(ExactBlock("").view()), "");
}

TEST(BlockText, BigEndianUtf16) {
    // The odd last byte is half a unit.
    const ExactBlock block(
        std::string("\x65\xE5\x00"
                    "a\x00",
                    5));
    EXPECT_EQ(utf16BlockText(block.view(), true), "日a");
}

TEST(BlockText, SurrogatePairsAndLoneSurrogates) {
    // A pair is one character; a lone surrogate is kept as its own 3-byte group, so that it
    // reaches the list exactly as it came.
    const ExactBlock pair(utf16Bytes(u"a\U0001F600b"));
    EXPECT_EQ(utf16BlockText(pair.view()),
              "a\xF0\x9F\x98\x80"
              "b");
    const ExactBlock lone(utf16Bytes(std::u16string{u'a', 0xDC00, u'b', 0xD83D}));
    EXPECT_EQ(utf16BlockText(lone.view()),
              "a\xED\xB0\x80"
              "b\xED\xA0\xBD");
    // A pair cut by the block's odd end keeps its first half.
    const ExactBlock cut(utf16Bytes(std::u16string{u'a', 0xD83D}) + "\x00");
    EXPECT_EQ(utf16BlockText(cut.view()), "a\xED\xA0\xBD");
}

TEST(BlockText, Utf8WithoutANulEndsWithTheBlock) {
    const ExactBlock block(kJapanese);
    EXPECT_EQ(utf8BlockText(block.view()), kJapanese);
    const ExactBlock withNul(kCafe + std::string("\0junk", 5));
    EXPECT_EQ(utf8BlockText(withNul.view()), kCafe);
}

TEST(BlockText, MalformedUtf8BecomesReplacementCharacters) {
    // A cut sequence at the block's end, a stray trail byte and an invalid byte.
    const ExactBlock block(std::string("a\x80z\xFF\xE6\x97"));
    EXPECT_EQ(utf8BlockText(block.view()), "a\uFFFDz\uFFFD\uFFFD\uFFFD");
    // Four bytes are one character.
    const ExactBlock emoji("\xF0\x9F\x8D\xA3");
    EXPECT_EQ(utf8BlockText(emoji.view()), "\xF0\x9F\x8D\xA3");
}

TEST(BlockText, AnsiInTheCodePage) {
    const ExactBlock block(kJapaneseSjis + std::string("\0x", 2));
    EXPECT_EQ(ansiBlockText(block.view(), ansiCodePage()), kJapanese);
    // A lead byte at the block's end has no trail byte to take: it stands alone, as the code
    // page maps such a byte (U+30FB in the native stand-in, the platform's own under Wine).
    const ExactBlock cut("a\x82");
    const std::string alone = ansiBlockText(cut.view(), ansiCodePage());
    ASSERT_GE(alone.size(), 2u);
    EXPECT_EQ(alone.substr(0, 1), "a");
#ifndef _WIN32
    EXPECT_EQ(alone, "a\xE3\x83\xBB");
#endif
    EXPECT_EQ(ansiBlockText(ExactBlock("\x82\xA0x").view(), ansiCodePage()), "\xE3\x81\x82x")
        << "a pair is one character: あ";
#ifndef _WIN32
    const ExactBlock western("https://fr.wikipedia.org/wiki/Caf\xE9");
    EXPECT_EQ(ansiBlockText(western.view(), nativeCodePage(1252)), kCafe);
#endif
}

TEST(BlockText, ABlockCutInTheMiddleOfAUnit) {
    // Three bytes: one unit and half of the next, which is dropped, not read past.
    const std::string bytes("a\x00\x42", 3);
    const ExactBlock block(bytes);
    const std::string text = utf16BlockText(block.view());
    EXPECT_EQ(text, "a");
    EXPECT_EQ(text.size(), 1u);
    EXPECT_EQ(utf16BlockText(ExactBlock(std::string("\x42\x30\x42", 3)).view(), true), "\u4230");
}

}  // namespace
}  // namespace klw
