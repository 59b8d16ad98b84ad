#include "runtime/format.h"

#include <gtest/gtest.h>

#include "runtime/codepage.h"
#include "runtime/texts.h"

namespace klw {
namespace {

TEST(Format, FillsPlaceholdersInOrder) {
    EXPECT_EQ(formatText("%s%s%s x : %s", {"lbxURL", ".", "Foo", "bad"}), "lbxURL.Foo x : bad");
    EXPECT_EQ(formatText("(%d)", {std::int64_t{-5}}), "(-5)");
    EXPECT_EQ(formatText("100%% %s", {}), "100% %s");
}

TEST(Format, MessagesAreInTheAnsiCodePage) {
    const std::string m = formatMessage(texts::kFOpenError, {"korlinkwalker.dat"});
    EXPECT_EQ(m, ansi("ファイル ") + "korlinkwalker.dat" + ansi(" は開けません"));
}

}  // namespace
}  // namespace klw
