#include "ui/address_list.h"

#include <gtest/gtest.h>

#include "ui/fake_view.h"

namespace klw {
namespace {

using test::FakeView;

FakeView withEntries(std::vector<std::string> entries, int selected) {
    FakeView v;
    v.entries = std::move(entries);
    v.selected = selected;
    return v;
}

// Flags are Go, Add, Up, Down, Delete.
TEST(CommandStates, RefreshFollowsTheTable) {
    struct Row {
        int count, selection;
        std::string before, after;
    };
    const Row rows[] = {
        {1, 0, "00111", "10001"},   // one entry: Up and Down off
        {3, 0, "00101", "10011"},   // top: Up off, Down on
        {3, 1, "00000", "10111"},   // middle: both on
        {3, 2, "00011", "10101"},   // bottom: Up on, Down off
        {3, -1, "00110", "10111"},  // no selection: Up and Down unchanged
        {3, -1, "00000", "10001"},
        {0, -1, "11111", "01110"},  // empty: Delete and Go off, the rest unchanged
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(::testing::Message() << r.count << " entries, selection " << r.selection);
        FakeView v =
            withEntries(std::vector<std::string>(static_cast<size_t>(r.count), "x"), r.selection);
        for (int i = 0; i < 5; ++i) v.enabled[i] = r.before[static_cast<size_t>(i)] == '1';
        refreshCommandStates(v);
        EXPECT_EQ(v.states(), r.after);
    }
}

TEST(CommandStates, EntryFieldRule) {
    FakeView v = withEntries({"a", "b", "c"}, 1);
    refreshCommandStates(v);
    ASSERT_EQ(v.states(), "10111");
    v.type("h");
    EXPECT_EQ(v.states(), "01000") << "only Add while the field holds text";
    EXPECT_EQ(v.selected, 1) << "the list is not touched";
    v.type("");
    EXPECT_EQ(v.states(), "10111") << "Add off, the refresh restores the rest";
    // With text in the field, a click in the list enables Go and Delete next to Add.
    v.type("h");
    refreshCommandStates(v);
    EXPECT_EQ(v.states(), "11111");
}

TEST(CommandStates, EntryFieldRuleWithTextTouchesOnlyTheButtons) {
    for (const char* before : {"00000", "11111", "10111"}) {
        FakeView v = withEntries({"a"}, 0);
        for (int i = 0; i < 5; ++i) v.enabled[i] = before[i] == '1';
        v.type("h");
        EXPECT_EQ(v.states(), "01000") << before;
        EXPECT_EQ(v.trace, std::vector<std::string>{"change h"}) << before;
        EXPECT_EQ(v.entries, std::vector<std::string>{"a"});
        EXPECT_EQ(v.selected, 0);
    }
}

TEST(EditingCommands, AddRunsTheEntryFieldRuleInsideTheClear) {
    FakeView v = withEntries({"a"}, 0);
    v.type("b");
    v.trace.clear();
    addEntry(v, v.policy);
    // The refresh has run when the field is cleared (Go, Up and Delete on next to Add); the
    // clear's change event then turns Add off.
    const std::vector<std::string> expected = {"append b", "select 1", "clear 11101", "change "};
    EXPECT_EQ(v.trace, expected);
    EXPECT_EQ(v.states(), "10101");
}

TEST(EditingCommands, AddAppendsSelectsAndClearsTheField) {
    FakeView v;
    v.type("http://a/");
    addEntry(v, v.policy);
    EXPECT_EQ(v.entries, std::vector<std::string>{"http://a/"});
    EXPECT_EQ(v.selected, 0);
    EXPECT_EQ(v.field, "");
    EXPECT_EQ(v.states(), "10001") << "Go and Delete on; Add, Up, Down off";
    EXPECT_EQ(v.changeEvents, 2) << "clearing the field raised its change event";
    v.type("  http://a/  ");
    addEntry(v, v.policy);
    v.type("http://a/");
    addEntry(v, v.policy);
    EXPECT_EQ(v.entries, (std::vector<std::string>{"http://a/", "  http://a/  ", "http://a/"}));
    EXPECT_EQ(v.selected, 2);
    EXPECT_EQ(v.states(), "10101") << "Up on, Down off at the bottom";
}

TEST(EditingCommands, DeleteSelectsTheEntryThatMovedUp) {
    FakeView v = withEntries({"a", "b", "c"}, 1);
    deleteEntry(v);
    EXPECT_EQ(v.entries, (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(v.selected, 1);
    EXPECT_EQ(v.states(), "10101");

    FakeView last = withEntries({"a", "b", "c"}, 2);
    deleteEntry(last);
    EXPECT_EQ(last.selected, 1) << "the new last entry";

    FakeView second = withEntries({"a", "b"}, 1);
    deleteEntry(second);
    EXPECT_EQ(second.entries, std::vector<std::string>{"a"});
    EXPECT_EQ(second.selected, 0);

    FakeView only = withEntries({"a"}, 0);
    refreshCommandStates(only);
    deleteEntry(only);
    EXPECT_TRUE(only.entries.empty());
    EXPECT_EQ(only.selected, -1);
    EXPECT_EQ(only.states(), "00000") << "Up and Down keep the one-entry state";

    FakeView none = withEntries({"a", "b"}, -1);
    deleteEntry(none);
    EXPECT_EQ(none.entries.size(), 2u) << "nothing removed without a selection";
    EXPECT_EQ(none.selected, -1);
    FakeView one = withEntries({"a"}, -1);
    deleteEntry(one);
    EXPECT_EQ(one.selected, 0);
}

TEST(EditingCommands, UpAndDownExchangeNeighbours) {
    FakeView v = withEntries({"a", "b"}, 1);
    moveEntryUp(v);
    EXPECT_EQ(v.entries, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(v.selected, 0);
    EXPECT_EQ(v.states(), "10011") << "Up off, Down on";
    FakeView d = withEntries({"a", "b", "c"}, 1);
    moveEntryDown(d);
    EXPECT_EQ(d.entries, (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(d.selected, 2);
    EXPECT_FALSE(d.on(Command::Down));
    // Outside their range they do nothing.
    FakeView top = withEntries({"a", "b"}, 0);
    moveEntryUp(top);
    FakeView bottom = withEntries({"a", "b"}, 1);
    moveEntryDown(bottom);
    FakeView none = withEntries({"a", "b"}, -1);
    moveEntryUp(none);
    moveEntryDown(none);
    for (FakeView* f : {&top, &bottom, &none})
        EXPECT_EQ(f->entries, (std::vector<std::string>{"a", "b"}));
}

// Web addresses, which Go opens without a question.
const std::string kA = "https://a.example/";
const std::string kB = "https://b.example/";
const std::string kC = "https://c.example/";

TEST(Go, OpensTheSelectedEntryAndMovesOnWithoutWrapping) {
    FakeView v = withEntries({kA, kB, kC}, 0);
    openEntry(v, v.policy);
    EXPECT_EQ(v.opened, std::vector<std::string>{kA});
    EXPECT_EQ(v.selected, 1);
    EXPECT_TRUE(v.on(Command::Up));
    openEntry(v, v.policy);
    openEntry(v, v.policy);
    openEntry(v, v.policy);
    EXPECT_EQ(v.opened, (std::vector<std::string>{kA, kB, kC, kC}));
    EXPECT_EQ(v.selected, 2);
    EXPECT_TRUE(v.asked.empty());
    FakeView none = withEntries({kA}, -1);
    openEntry(none, none.policy);
    EXPECT_TRUE(none.opened.empty());
}

TEST(Go, OnTheLastEntryRunsNoRefresh) {
    FakeView v = withEntries({kA, kB}, 1);
    v.enabled[static_cast<int>(Command::Go)] = true;
    openEntry(v, v.policy);
    EXPECT_EQ(v.opened, std::vector<std::string>{kB});
    EXPECT_EQ(v.selected, 1);
    EXPECT_EQ(v.states(), "10000") << "Delete and Up stay as they were";
    FakeView first = withEntries({kA, kB}, 0);
    openEntry(first, first.policy);
    EXPECT_EQ(first.trace, std::vector<std::string>{"select 1"});
    EXPECT_EQ(first.states(), "10101") << "elsewhere the refresh runs";
}

TEST(GoAsks, NoOpensNothingAndTheWalkGoesOn) {
    const std::string script = "Z:\\home\\user\\Downloads\\x.sh";
    FakeView v = withEntries({script, "shell:startup", kC}, 0);
    openEntry(v, v.policy);
    openEntry(v, v.policy);
    EXPECT_EQ(v.asked, (std::vector<std::string>{script, "shell:startup"}));
    EXPECT_TRUE(v.opened.empty());
    EXPECT_EQ(v.selected, 2) << "each No moves on as a failed open does";
    EXPECT_EQ(v.states(), "10101");
    openEntry(v, v.policy);
    EXPECT_EQ(v.opened, std::vector<std::string>{kC});
    // Asked again next time: a No is not remembered.
    v.selected = 0;
    openEntry(v, v.policy);
    EXPECT_EQ(v.asked.size(), 3u);
    EXPECT_TRUE(v.opened.size() == 1);
}

TEST(GoAsks, YesOpensAndTheSameTextDoesNotAskAgain) {
    const std::string script = "/home/user/Downloads/x.sh";
    FakeView v = withEntries({script, "other.bat", script}, 0);
    v.answerYes = true;
    openEntry(v, v.policy);
    EXPECT_EQ(v.opened, std::vector<std::string>{script});
    v.answerYes = false;
    openEntry(v, v.policy);  // another text: asked, and No
    openEntry(v, v.policy);  // the same text again, in another entry
    EXPECT_EQ(v.asked, (std::vector<std::string>{script, "other.bat"}));
    EXPECT_EQ(v.opened, (std::vector<std::string>{script, script}));
}

TEST(GoAsks, WhatTheUserAddedOpensAtOnceEvenWhenTheListHadItFirst) {
    const std::string path = "C:\\Windows\\System32\\calc.exe";
    FakeView v = withEntries({path}, 0);
    v.type(path);
    addEntry(v, v.policy);
    EXPECT_EQ(v.entries.size(), 2u);
    openEntry(v, v.policy);  // the added entry
    v.selected = 0;
    openEntry(v, v.policy);  // the list's own entry of the same text
    EXPECT_TRUE(v.asked.empty());
    EXPECT_EQ(v.opened, (std::vector<std::string>{path, path}));
    // Arrivals by a drop or a paste are not added by the user's hand.
    FakeView pasted;
    pasteIntoList(pasted, "x.bat\nhttps://example.com/\n");
    pasted.selected = 0;
    openEntry(pasted, pasted.policy);
    openEntry(pasted, pasted.policy);
    EXPECT_EQ(pasted.asked, std::vector<std::string>{"x.bat"});
    EXPECT_EQ(pasted.opened, std::vector<std::string>{"https://example.com/"});
    FakeView field;
    EXPECT_TRUE(pasteIntoEntryField(field, "a.bat\nb.bat\n"));
    field.selected = 0;
    openEntry(field, field.policy);
    EXPECT_EQ(field.asked, std::vector<std::string>{"a.bat"})
        << "several lines pasted into the field";
}

TEST(GoAsks, AWwwNameTheShellWouldFindAsAFileAsks) {
    FakeView v = withEntries({"www.example.com", "www.example.org"}, 0);
    v.shell.files = {"www.example.com"};
    openEntry(v, v.policy);
    openEntry(v, v.policy);
    EXPECT_EQ(v.asked, std::vector<std::string>{"www.example.com"});
    EXPECT_EQ(v.opened, std::vector<std::string>{"www.example.org"});
    // Every web address is looked up, an https one too: Wine tries each as a file first.
    FakeView web = withEntries({kA}, 0);
    web.shell.files = {kA};
    openEntry(web, web.policy);
    EXPECT_EQ(web.asked, std::vector<std::string>{kA});
    EXPECT_TRUE(web.opened.empty());
}

}  // namespace
}  // namespace klw
