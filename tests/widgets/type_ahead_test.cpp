#include "widgets/type_ahead.h"

#include <gtest/gtest.h>

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
    List l{{"x", "あい", "あb", "🍣b"}, {}};
    EXPECT_EQ(l.type("あ", 0), 1);
    EXPECT_EQ(l.type("b", 100), 2);
    EXPECT_EQ(l.type("\b", 200), 1) << "back to the Japanese character alone";
    EXPECT_EQ(l.search.text(), "あ");
    EXPECT_EQ(l.type("\b", 300), 0) << "empty search text selects entry 0";
    EXPECT_EQ(l.search.text(), "");
    EXPECT_EQ(l.type("🍣", 400), 3);
    EXPECT_EQ(l.type("\b", 500), 0) << "a character outside the 16-bit range goes whole";
    EXPECT_EQ(l.search.text(), "");
    EXPECT_EQ(l.type("\b", 2000), 0) << "Backspace after a pause, too";
    List empty{{}, {}};
    EXPECT_EQ(empty.type("\b", 0), 0) << "the caller selects nothing in an empty list";
}

TEST(TypeAhead, IgnoresLetterCaseInEveryScript) {
    List l{{"x", "ＡＢＣ", "https://fr.wikipedia.org/wiki/Café", "Éclair", "Жук", "𐐀𐐁"}, {}};
    EXPECT_EQ(l.type("ａ", 0), 1) << "full-width";
    EXPECT_EQ(l.type("é", 1000), 3);
    EXPECT_EQ(l.type("ж", 2000), 4);
    EXPECT_EQ(l.type("𐐨", 3000), 5) << "Deseret, outside the 16-bit range";
    EXPECT_EQ(l.type("H", 4000), 2);
    EXPECT_EQ(l.type("×", 5000), std::nullopt) << "no letter matches a sign without case";
}

TEST(TypeAhead, TickCounterWrapAround) {
    List l{{"ab", "b"}, {}};
    EXPECT_EQ(l.type("a", 0xFFFFFF00u), 0);
    EXPECT_EQ(l.type("b", 0x00000010u), 0) << "0x110 ms later: still one search, ab";
}

}  // namespace
}  // namespace klw
