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

}  // namespace
}  // namespace klw
