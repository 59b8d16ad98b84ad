#include "app/title.h"

#include <gtest/gtest.h>

namespace klw {
namespace {

TEST(Title, NameWithoutFolderAndFromTheFirstDotOn) {
    EXPECT_EQ(deriveTitle("C:\\Program Files\\Korvane\\KorLinkWalker.exe"), "Korlinkwalker");
    EXPECT_EQ(deriveTitle("C:\\tools\\MyLinks.Tool.EXE"), "Mylinks");
    EXPECT_EQ(deriveTitle("KORLINK.EXE"), "Korlink");
    EXPECT_EQ(deriveTitle("C:\\a.b\\NoExt"), "Noext");
    EXPECT_EQ(deriveTitle("C:\\dir\\.hidden"), "");
    EXPECT_EQ(deriveTitle("C:\\dir\\"), "");
}

TEST(Title, FirstCharacterKeepsItsCase) {
    EXPECT_EQ(deriveTitle("C:\\dir\\links.exe"), "links");
    EXPECT_EQ(deriveTitle("C:\\dir\\ABC.exe"), "Abc");
    // One and two characters.
    EXPECT_EQ(deriveTitle("C:\\dir\\X.exe"), "X");
    EXPECT_EQ(deriveTitle("C:\\dir\\x.exe"), "x");
    EXPECT_EQ(deriveTitle("C:\\dir\\AB.exe"), "Ab");
    EXPECT_EQ(deriveTitle("C:\\dir\\ÉÉ.exe"), "Éé");
    // A first character outside the 16-bit range is kept whole.
    EXPECT_EQ(deriveTitle("C:\\dir\\𐐀𐐀.exe"), "𐐀𐐨");
    EXPECT_EQ(deriveTitle("C:\\dir\\🍣.exe"), "🍣");
}

TEST(Title, JapaneseNamesKeepTheirCharacters) {
    // "ソ" and "表" were double-byte characters with a backslash as trail byte.
    EXPECT_EQ(deriveTitle("C:\\dir\\ソフト.exe"), "ソフト");
    EXPECT_EQ(deriveTitle("C:\\ソ\\A表B.exe"), "A表b");
    // Full-width Latin letters are lower-cased as letters.
    EXPECT_EQ(deriveTitle("C:\\dir\\XＡＢ.exe"), "Xａｂ");
    EXPECT_EQ(deriveTitle("C:\\ディレクトリ.d\\ﾘﾝｸ.exe"), "ﾘﾝｸ");
}

}  // namespace
}  // namespace klw
