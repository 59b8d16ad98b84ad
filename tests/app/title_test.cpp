#include "app/title.h"

#include <gtest/gtest.h>

#include "runtime/codepage.h"

namespace klw {
namespace {

std::string title(std::string_view path) {
    return deriveTitle(path, ansiCodePage(), [](std::string_view s) { return lowerCase(s); });
}

TEST(Title, NameWithoutFolderAndFromTheFirstDotOn) {
    EXPECT_EQ(title("C:\\Program Files\\Korvane\\KorLinkWalker.exe"), "Korlinkwalker");
    EXPECT_EQ(title("C:\\tools\\MyLinks.Tool.EXE"), "Mylinks");
    EXPECT_EQ(title("KORLINK.EXE"), "Korlink");
    EXPECT_EQ(title("C:\\a.b\\NoExt"), "Noext");
    EXPECT_EQ(title("C:\\dir\\x.exe"), "x");
    EXPECT_EQ(title("C:\\dir\\.hidden"), "");
}

TEST(Title, FirstByteKeepsItsCase) {
    EXPECT_EQ(title("C:\\dir\\links.exe"), "links");
    EXPECT_EQ(title("C:\\dir\\ABC.exe"), "Abc");
}

TEST(Title, TrailBytesAreNotSeparators) {
    // "ソ" is 0x83 0x5C and "表" 0x95 0x5C: their trail bytes look like backslashes.
    const std::string so = ansi("ソフト");
    const std::string hyou = ansi("表");
    EXPECT_EQ(title("C:\\dir\\" + so + ".exe"), so);
    EXPECT_EQ(title("C:\\dir\\A" + hyou + "B.exe"), "A" + hyou + "b");
    // Full-width Latin letters are lower-cased as letters, whole.
    EXPECT_EQ(title("C:\\dir\\X" + ansi("ＡＢ") + ".exe"), "X" + ansi("ａｂ"));
}

}  // namespace
}  // namespace klw
