#include "widgets/transfer_data.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "support/exact_block.h"

namespace klw {
namespace {

using test::ExactBlock;
using test::utf16Bytes;

std::string dropFiles(std::uint32_t offset, bool wide, std::string_view list) {
    std::string b(20, '\0');
    for (int i = 0; i < 4; ++i) b[static_cast<size_t>(i)] = static_cast<char>(offset >> (8 * i));
    b[16] = wide ? 1 : 0;
    b.append(list);
    return b;
}

TEST(DropFiles, WellFormedListsAreCounted) {
    const std::string two = utf16Bytes(std::u16string(u"C:\\a.url\0C:\\日本.url\0\0", 20));
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, true, two)).view()), 2u);
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, false, std::string("a\0b\0c\0\0", 7))).view()),
              3u);
    // What Wine hands on for a drag of http links: a header and the list's end, 22 bytes.
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, true, std::string(2, '\0'))).view()), 0u);
    // A list further on, and bytes after its end, are fine.
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(24, false, std::string("????x\0\0zz", 9))).view()),
              1u);
}

TEST(DropFiles, ABlockSmallerThanItsTextClaimsIsRefused) {
    EXPECT_EQ(dropFileCount(ExactBlock(std::string(19, '\0')).view()), std::nullopt);
    // The list's offset past the block, or into the header.
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(64, true, std::string(4, '\0'))).view()),
              std::nullopt);
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(8, true, std::string(4, '\0'))).view()),
              std::nullopt);
    // An offset at the very end leaves no room for the list's end.
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, true, "")).view()), std::nullopt);
    // A name that runs to the block's end, a list without its final NUL, half a unit.
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, true, utf16Bytes(u"C:\\a.url"))).view()),
              std::nullopt);
    EXPECT_EQ(
        dropFileCount(
            ExactBlock(dropFiles(20, true, utf16Bytes(std::u16string(u"C:\\a\0", 5)))).view()),
        std::nullopt);
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, true, std::string("a\0\0", 3))).view()),
              std::nullopt);
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, false, std::string("abc", 3))).view()),
              std::nullopt);
}

TEST(DropFiles, ANameWithAZeroLowByteIsOneName) {
    // U+0100 and U+3000 have a zero low byte: only a whole zero unit ends a name.
    const std::string names = utf16Bytes(std::u16string(u"C:\\\u0100\u3000.url\0\0", 11));
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, true, names)).view()), 1u);
    // The same bytes read as ANSI names would be several.
    EXPECT_EQ(dropFileCount(ExactBlock(dropFiles(20, false, names)).view()), 3u);
}

}  // namespace
}  // namespace klw
