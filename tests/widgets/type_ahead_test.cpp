#include "widgets/type_ahead.h"

#include <gtest/gtest.h>

#include "runtime/codepage.h"

namespace klw {
namespace {

struct List {
    std::vector<std::string> entries;
    TypeAheadSearch search;
    std::optional<int> type(const std::string& ch, std::uint32_t ms) {
        return search.type(ch, ms, entries.size(), [this](size_t i) { return entries[i]; });
    }
};

TEST(TypeAhead, WorkedExample) {
    List l{{"abc", "Bcd", "bce"}, {}};
    EXPECT_EQ(l.type("b", 1000), 1);
    EXPECT_EQ(l.type("c", 1400), 1) << "search text bc";
    EXPECT_EQ(l.type("e", 1899), 2) << "search text bce";
    EXPECT_EQ(l.search.text(), "bce");
    EXPECT_EQ(l.type("a", 2399), 0) << "a pause of exactly 500 ms starts a new search";
    EXPECT_EQ(l.search.text(), "a");
}

TEST(TypeAhead, NoMatchLeavesTheSelectionAlone) {
    List l{{"abc", "Bcd"}, {}};
    EXPECT_EQ(l.type("z", 0), std::nullopt);
    EXPECT_EQ(l.type("a", 100), std::nullopt) << "search text za";
}

TEST(TypeAhead, BackspaceRemovesWholeCharactersAndEmptySelectsTheFirst) {
    const std::string a = ansi("あ");
    const std::string i = ansi("い");
    List l{{"x", a + i, a + "b"}, {}};
    EXPECT_EQ(l.type(a, 0), 1);
    EXPECT_EQ(l.type("b", 100), 2);
    EXPECT_EQ(l.type("\b", 200), 1) << "back to the double-byte character alone";
    EXPECT_EQ(l.search.text(), a);
    EXPECT_EQ(l.type("\b", 300), 0) << "empty search text selects entry 0";
    EXPECT_EQ(l.search.text(), "");
    EXPECT_EQ(l.type("\b", 2000), 0) << "Backspace after a pause, too";
    List empty{{}, {}};
    EXPECT_EQ(empty.type("\b", 0), 0) << "the caller selects nothing in an empty list";
}

TEST(TypeAhead, IgnoresLetterCaseOfFullWidthLettersToo) {
    List l{{"x", ansi("ＡＢＣ")}, {}};
    EXPECT_EQ(l.type(ansi("ａ"), 0), 1);
}

TEST(TypeAhead, TickCounterWrapAround) {
    List l{{"ab", "b"}, {}};
    EXPECT_EQ(l.type("a", 0xFFFFFF00u), 0);
    EXPECT_EQ(l.type("b", 0x00000010u), 0) << "0x110 ms later: still one search, ab";
}

}  // namespace
}  // namespace klw
