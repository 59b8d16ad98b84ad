// Addresses arriving by a drop or a paste, on the list view without a window.
#include <gtest/gtest.h>

#include <algorithm>

#include "runtime/exceptions.h"
#include "ui/address_list.h"
#include "ui/fake_view.h"

namespace klw {
namespace {

using test::FakeView;
using Lines = std::vector<std::string>;

// Flags are Go, Add, Up, Down, Delete.
TEST(AppendAddresses, IntoAnEmptyListSelectsTheLastAndRefreshes) {
    FakeView v;
    appendAddresses(v, {"https://a/"});
    EXPECT_EQ(v.entries, Lines{"https://a/"});
    EXPECT_EQ(v.selected, 0);
    EXPECT_EQ(v.states(), "10001") << "one entry: Go and Delete; Up and Down off";
    appendAddresses(v, {"https://b/", "https://c/", "https://b/"});
    EXPECT_EQ(v.entries, (Lines{"https://a/", "https://b/", "https://c/", "https://b/"}));
    EXPECT_EQ(v.selected, 3);
    EXPECT_EQ(v.states(), "10101") << "the last entry: Up on, Down off";
}

TEST(AppendAddresses, TheEntryFieldKeepsItsTextAndAddItsState) {
    FakeView v;
    v.entries = {"x", "y"};
    v.selected = 0;
    v.type("typed");
    ASSERT_EQ(v.states(), "01000");
    const int changes = v.changeEvents;
    appendAddresses(v, {"https://a/"});
    EXPECT_EQ(v.field, "typed");
    EXPECT_EQ(v.changeEvents, changes) << "no change event";
    EXPECT_EQ(v.states(), "11101") << "Add untouched, the refresh as after a click in the list";
    EXPECT_EQ(v.selected, 2);
}

TEST(AppendAddresses, OneUpdateAroundAllAppendsAndTheSelection) {
    FakeView v;
    appendAddresses(v, {"a", "b"});
    // The list operations in order (the states are checked above).
    EXPECT_EQ(v.trace, (Lines{"begin", "append a", "append b", "select 1", "end"}));
    EXPECT_EQ(v.updateDepth, 0);
}

TEST(AppendAddresses, NothingToAddTouchesNothing) {
    FakeView v;
    v.entries = {"x"};
    v.selected = -1;
    appendAddresses(v, {});
    EXPECT_TRUE(v.trace.empty());
    EXPECT_EQ(v.selected, -1);
}

TEST(AppendAddresses, TenThousandInOneUpdate) {
    FakeView v;
    Lines lines;
    for (int i = 0; i < 10000; ++i) lines.push_back("https://example.com/" + std::to_string(i));
    appendAddresses(v, lines);
    EXPECT_EQ(v.entries, lines);
    EXPECT_EQ(v.selected, 9999);
    EXPECT_EQ(std::count(v.trace.begin(), v.trace.end(), "begin"), 1);
    EXPECT_EQ(v.trace.front(), "begin");
    EXPECT_EQ(v.trace.back(), "end");
}

TEST(AppendAddresses, ARefusedEntryKeepsWhatWasAddedBefore) {
    FakeView v;
    v.entries = {"x"};
    v.selected = 0;
    v.type("typed");
    v.trace.clear();
    v.refuseAfter = 2;
    try {
        appendAddresses(v, {"a", "b", "c", "d"});
        FAIL() << "the refusal goes on to the caller";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.message(), "行を挿入できません");
    }
    EXPECT_EQ(v.entries, (Lines{"x", "a", "b"}));
    EXPECT_EQ(v.selected, 2) << "the last entry added is selected";
    EXPECT_EQ(v.states(), "11101") << "and counted in the states";
    EXPECT_EQ(v.field, "typed");
    EXPECT_EQ(v.updateDepth, 0) << "redrawing resumes";
    EXPECT_EQ(v.trace.back(), "end");
}

TEST(AppendAddresses, ARefusalOfTheFirstEntryChangesNothing) {
    FakeView v;
    v.entries = {"x", "y"};
    v.selected = 0;
    v.refuseAfter = 0;
    EXPECT_THROW(appendAddresses(v, {"a", "b"}), EOutOfResources);
    EXPECT_EQ(v.entries, (Lines{"x", "y"}));
    EXPECT_EQ(v.selected, 0);
    EXPECT_EQ(v.states(), "00000");
    EXPECT_EQ(v.trace, (Lines{"begin", "end"}));
}

TEST(PasteIntoEntryField, TwoOrMoreLinesAreAppended) {
    FakeView v;
    v.type("keep");
    EXPECT_TRUE(pasteIntoEntryField(v, "https://a/\r\n\r\nhttps://한국어/\r\n"));
    EXPECT_EQ(v.entries, (Lines{"https://a/", "https://한국어/"}));
    EXPECT_EQ(v.field, "keep");
    EXPECT_EQ(v.selected, 1);
    EXPECT_TRUE(pasteIntoEntryField(v, "a\nb"));
    EXPECT_EQ(v.entries.size(), 4u);
}

TEST(PasteIntoEntryField, OneLineGoesIntoTheFieldWithoutTheBlanksAround) {
    for (const char* text : {"https://a/", "https://a/\r\n", "\r\n\r\nhttps://a/\n",
                             " \r\n\t\r\n   https://a/\t\r\n\xE3\x80\x80\r\n"}) {
        SCOPED_TRACE(text);
        FakeView v;
        v.entries = {"x"};
        EXPECT_TRUE(pasteIntoEntryField(v, text));
        EXPECT_EQ(v.entries, Lines{"x"});
        EXPECT_EQ(v.field, "https://a/");
        EXPECT_EQ(v.trace, (Lines{"paste https://a/", "change https://a/"}));
        EXPECT_EQ(v.states(), "01000") << "the entry-field rule ran";
    }
}

TEST(PasteIntoEntryField, TextWithoutALineIsLeftToTheField) {
    for (const char* text : {"", "\r\n", " \t\r\n\xC2\xA0"}) {
        SCOPED_TRACE(text);
        FakeView v;
        EXPECT_FALSE(pasteIntoEntryField(v, text));
        EXPECT_TRUE(v.entries.empty());
        EXPECT_TRUE(v.trace.empty());
    }
}

TEST(PasteIntoList, EveryNonEmptyLineEvenOne) {
    FakeView v;
    pasteIntoList(v, "https://a/");
    EXPECT_EQ(v.entries, Lines{"https://a/"});
    pasteIntoList(v, "\r\nb\rc\n");
    EXPECT_EQ(v.entries, (Lines{"https://a/", "b", "c"}));
    EXPECT_EQ(v.selected, 2);
    v.trace.clear();
    pasteIntoList(v, "\r\n\r\n");
    EXPECT_TRUE(v.trace.empty());
}

}  // namespace
}  // namespace klw
