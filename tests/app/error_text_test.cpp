#include "app/error_text.h"

#include <gtest/gtest.h>

#include "runtime/codepage.h"

namespace klw {
namespace {

TEST(ErrorText, AppendsAFullStopAfterCharactersAboveIt) {
    EXPECT_EQ(errorBoxText("Disk error 5"), "Disk error 5.");
    EXPECT_EQ(errorBoxText("what?"), "what?.");
    EXPECT_EQ(errorBoxText("C:/"), "C:/.");
    EXPECT_EQ(errorBoxText("a:"), "a:.");
    // A double-byte last character, and a half-width katakana.
    const std::string jp = ansi("ファイル korlinkwalker.dat を作成できません");
    EXPECT_EQ(errorBoxText(jp), jp + ".");
    EXPECT_EQ(errorBoxText(ansi("ﾃｽﾄ")), ansi("ﾃｽﾄ") + ".");
}

TEST(ErrorText, LeavesMessagesEndingAtOrBelowTheFullStop) {
    EXPECT_EQ(errorBoxText("done."), "done.");
    EXPECT_EQ(errorBoxText("(5)"), "(5)");
    EXPECT_EQ(errorBoxText("stop!"), "stop!");
    EXPECT_EQ(errorBoxText("a-"), "a-");
    EXPECT_EQ(errorBoxText("a,"), "a,");
    EXPECT_EQ(errorBoxText("trailing "), "trailing ");
    EXPECT_EQ(errorBoxText(""), "");
}

TEST(ErrorText, StepsBackOverTrailBytes) {
    // The trail byte of "ソ" is 0x5C, the trail byte of "ー" (0x81 0x5B) is "[": both above
    // ".", but only the whole character counts, and its lead byte is above "." too.
    EXPECT_EQ(errorBoxText(ansi("ソ")), ansi("ソ") + ".");
    // "・" is 0x81 0x45: its trail byte alone would be "E".
    EXPECT_EQ(errorBoxText(ansi("・")), ansi("・") + ".");
}

}  // namespace
}  // namespace klw
