#include "runtime/format.h"

#include <gtest/gtest.h>

#include "runtime/texts.h"

namespace klw {
namespace {

TEST(Format, FillsPlaceholdersInOrder) {
    EXPECT_EQ(formatText("%s%s%s x : %s", {"lbxURL", ".", "Foo", "bad"}), "lbxURL.Foo x : bad");
    EXPECT_EQ(formatText("(%d)", {std::int64_t{-5}}), "(-5)");
    EXPECT_EQ(formatText("100%% %s", {}), "100% %s");
}

TEST(Format, MessagesAreTheProgramsText) {
    EXPECT_EQ(formatText(texts::kFOpenError, {"korlinkwalker.dat"}),
              "ファイル korlinkwalker.dat は開けません");
    EXPECT_EQ(formatText(texts::kListIndexOutOfBounds, {std::int64_t{-1}}),
              "リストのインデックスが範囲を超えています (-1)");
    // A name that is itself outside 7-bit goes in unchanged.
    EXPECT_EQ(formatText(texts::kClassNotFound, {"Tリスト🍣"}), "クラス Tリスト🍣 が見つかりません");
}

}  // namespace
}  // namespace klw
