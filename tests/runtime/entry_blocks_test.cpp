// The list's entries in shared blocks: the same as a plain vector after any change, and a copy
// that shares what a change did not touch.
#include "runtime/entry_blocks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace klw {
namespace {

std::u16string entry(std::size_t n) {
    return u"http://example.com/" + std::u16string(n % 7, u'x') + char16_t(u'a' + n % 26);
}

TEST(EntryBlocks, FollowsAPlainListThroughEveryKindOfChange) {
    EntryBlocks blocks;
    std::vector<std::u16string> plain;
    std::mt19937 random(25);
    // Enough entries for many blocks, splits and emptied blocks, with copies kept on the way.
    std::vector<EntryBlocks> copies;
    std::vector<std::vector<std::u16string>> copiedAs;
    for (std::size_t n = 0; n < 20000; ++n) {
        const std::size_t size = plain.size();
        const auto at = static_cast<std::size_t>(random() % (size + 1));
        switch (random() % 4) {
            case 0:
                blocks.push_back(entry(n));
                plain.push_back(entry(n));
                break;
            case 1:
            case 2:
                blocks.insert(at, entry(n));
                plain.insert(plain.begin() + static_cast<std::ptrdiff_t>(at), entry(n));
                break;
            default:
                if (size == 0) break;
                blocks.erase(at % size);
                plain.erase(plain.begin() + static_cast<std::ptrdiff_t>(at % size));
        }
        ASSERT_EQ(blocks.size(), plain.size());
        if (n % 997 == 0) {
            copies.push_back(blocks);
            copiedAs.push_back(plain);
        }
    }
    EXPECT_TRUE(blocks == plain);
    EXPECT_EQ(blocks.toVector(), plain);
    for (std::size_t i = 0; i < plain.size(); i += 101) EXPECT_EQ(blocks[i], plain[i]) << i;
    // Copies taken on the way are as they were when taken.
    for (std::size_t c = 0; c < copies.size(); ++c) EXPECT_TRUE(copies[c] == copiedAs[c]) << c;
    blocks.clear();
    EXPECT_TRUE(blocks.empty());
    EXPECT_TRUE(blocks == std::vector<std::u16string>{});
}

TEST(EntryBlocks, ACopySharesEveryBlockAChangeDidNotTouch) {
    std::vector<std::u16string> plain;
    for (std::size_t n = 0; n < 100 * EntryBlocks::kBlockSize; ++n) plain.push_back(entry(n));
    EntryBlocks list(plain);
    const EntryBlocks saved = list;  // as the save takes it
    ASSERT_EQ(list.blockCount(), 100u);
    for (std::size_t b = 0; b < list.blockCount(); ++b) EXPECT_TRUE(list.sharesBlock(b, saved));
    const std::size_t middle = 50 * EntryBlocks::kBlockSize + 3;
    list.erase(middle);
    list.insert(10, u"new");
    std::size_t own = 0;
    for (std::size_t b = 0; b < list.blockCount(); ++b) own += list.sharesBlock(b, saved) ? 0 : 1;
    EXPECT_EQ(own, 2u) << "the two blocks the changes fell in, copied; the rest shared";
    EXPECT_TRUE(saved == plain) << "the copy does not see the changes";
    EXPECT_EQ(list[10], u"new");
    EXPECT_EQ(list[middle + 1], plain[middle + 1]);
    EXPECT_EQ(list.size(), plain.size());
}

TEST(EntryBlocks, NoBlockGrowsPastTwiceItsSize) {
    EntryBlocks list;
    list.push_back(u"last");
    for (std::size_t n = 0; n < 10 * EntryBlocks::kBlockSize; ++n) list.insert(0, entry(n));
    EXPECT_GE(list.blockCount(), 5u) << "inserts at the front split the block";
    EXPECT_EQ(list[list.size() - 1], u"last");
    EXPECT_EQ(list[0], entry(10 * EntryBlocks::kBlockSize - 1));
}

}  // namespace
}  // namespace klw
