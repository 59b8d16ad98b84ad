#include "app/error_text.h"

#include <gtest/gtest.h>

namespace klw {
namespace {

TEST(ErrorText, AppendsAFullStopAfterCharactersAboveIt) {
    EXPECT_EQ(errorBoxText("Disk error 5"), "Disk error 5.");
    EXPECT_EQ(errorBoxText("what?"), "what?.");
    EXPECT_EQ(errorBoxText("C:/"), "C:/.");
    EXPECT_EQ(errorBoxText("a:"), "a:.");
    EXPECT_EQ(errorBoxText("ファイル korlinkwalker.dat を作成できません"),
              "ファイル korlinkwalker.dat を作成できません.");
    EXPECT_EQ(errorBoxText("ﾃｽﾄ"), "ﾃｽﾄ.");
    EXPECT_EQ(errorBoxText("Café"), "Café.");
    EXPECT_EQ(errorBoxText("https://example.com/🍣"), "https://example.com/🍣.");
    // "/" (0x2F) is just above ".".
    EXPECT_EQ(errorBoxText("/"), "/.");
}

TEST(ErrorText, LeavesMessagesEndingAtOrBelowTheFullStop) {
    EXPECT_EQ(errorBoxText("done."), "done.");
    EXPECT_EQ(errorBoxText("(5)"), "(5)");
    EXPECT_EQ(errorBoxText("stop!"), "stop!");
    EXPECT_EQ(errorBoxText("a-"), "a-");
    EXPECT_EQ(errorBoxText("a,"), "a,");
    EXPECT_EQ(errorBoxText("trailing "), "trailing ");
    EXPECT_EQ(errorBoxText("リストのインデックスが範囲を超えています (3)"),
              "リストのインデックスが範囲を超えています (3)");
    EXPECT_EQ(errorBoxText(""), "");
}

TEST(ErrorText, TakesTheLastCharacterWhole) {
    // Each byte of these characters' UTF-8 is above "."; the whole character counts, and it is
    // above "." too. "・" was 0x81 0x45 in CP932, whose trail byte alone would be "E".
    EXPECT_EQ(errorBoxText("・"), "・.");
    EXPECT_EQ(errorBoxText("a\xE3\x81"), "a\xE3\x81.");
}

}  // namespace
}  // namespace klw
