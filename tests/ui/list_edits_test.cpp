// The history of the list's changes on the view without a window: every kind of step taken back
// and made again, with the selection and the five command states as they were.
#include "ui/list_edits.h"

#include <gtest/gtest.h>

#include "runtime/exceptions.h"
#include "ui/address_list.h"
#include "ui/fake_view.h"

namespace klw {
namespace {

using test::FakeView;
using Lines = std::vector<std::string>;

// The platform's list under the fake view: inserts can be refused as a full list refuses them.
class RawList : public EditedList {
public:
    explicit RawList(FakeView& v) : v_(v) {}
    // Inserts taken before the list refuses one, once (-1: never).
    int refuseInserts = -1;
    int count() const override { return v_.count(); }
    std::string item(int i) const override { return v_.item(i); }
    void insert(int i, std::string_view text) override {
        if (refuseInserts >= 0 && refuseInserts-- == 0)
            throw EOutOfResources(std::string(texts::kCannotInsertLine));
        v_.entries.insert(v_.entries.begin() + i, std::string(text));
        if (v_.selected >= i) ++v_.selected;
    }
    void remove(int i) override { v_.FakeView::remove(i); }
    int selection() const override { return v_.selected; }

private:
    FakeView& v_;
};

// The view as the window makes it: every change through the history, each action one step.
class EditedView : public FakeView {
public:
    RawList raw{*this};
    SaveSchedule schedule;
    std::uint32_t clock = 0;
    ListEdits edits{raw, schedule, [this] { return clock; }};

    int append(const std::string& t) override { return edits.append(t); }
    void replace(int i, const std::string& t) override {
        const int keep = selected;
        edits.replace(i, t);
        selected = keep;
    }
    void remove(int i) override { edits.remove(i); }

    template <typename F>
    void act(F&& action) {
        edits.asStep(action);
    }
    bool undo() { return shown(edits.undo()); }
    bool redo() { return shown(edits.redo()); }

    // What the user sees: entries, selection and the states.
    struct Seen {
        Lines entries;
        int selected;
        std::string states;
        bool operator==(const Seen&) const = default;
    };
    Seen seen() const { return {entries, selected, states()}; }

private:
    bool shown(std::optional<int> selection) {
        if (selection) stepShown(*this, *selection);
        return selection.has_value();
    }
};

void PrintTo(const EditedView::Seen& s, std::ostream* os) {
    *os << "[";
    for (const auto& e : s.entries) *os << e << " ";
    *os << "] selected " << s.selected << " states " << s.states;
}

Lines numbered(int n, const std::string& prefix) {
    Lines out;
    for (int i = 0; i < n; ++i) out.push_back(prefix + std::to_string(i));
    return out;
}

TEST(ListEdits, EveryKindOfStepIsTakenBackAndMadeAgainAsTheUserSawIt) {
    EditedView v;
    // What the user saw right before and right after each step.
    std::vector<EditedView::Seen> before, after;
    auto step = [&](auto action) {
        before.push_back(v.seen());
        v.act(action);
        after.push_back(v.seen());
    };
    step([&] {
        v.type("http://typed/");
        addEntry(v, v.policy);
    });
    step([&] { appendAddresses(v, numbered(3, "https://drop/")); });
    step([&] { pasteIntoList(v, "https://p/1\nhttps://p/2\n"); });
    step([&] { pasteIntoEntryField(v, "https://f/1\r\nhttps://f/2"); });
    // A click between the steps, as lbxURLClick handles it: not a step.
    v.setSelection(2);
    refreshCommandStates(v);
    step([&] { moveEntryUp(v); });
    step([&] { moveEntryDown(v); });
    step([&] { moveEntryDown(v); });
    step([&] { deleteEntry(v); });
    ASSERT_EQ(v.edits.undoSteps(), 8u);
    ASSERT_EQ(v.entries.size(), 7u);

    for (std::size_t k = after.size(); k-- > 0;) {
        ASSERT_TRUE(v.undo()) << k;
        EXPECT_EQ(v.seen(), before[k]) << "undo of step " << k;
    }
    EXPECT_FALSE(v.undo()) << "nothing more to undo";
    EXPECT_TRUE(v.entries.empty());
    for (std::size_t k = 0; k < after.size(); ++k) {
        ASSERT_TRUE(v.redo()) << k;
        EXPECT_EQ(v.seen(), after[k]) << "redo of step " << k;
    }
    EXPECT_FALSE(v.redo());
}

TEST(ListEdits, ADropOfFortyIsOneStepAndTellsTheSaveSchedule) {
    EditedView v;
    v.act([&] { appendAddresses(v, {"https://before/"}); });
    v.schedule.started();
    v.schedule.runEnded();
    ASSERT_FALSE(v.schedule.pending());
    const auto changes = v.edits.changes();
    v.act([&] { appendAddresses(v, numbered(40, "https://wrong-window/")); });
    EXPECT_EQ(v.entries.size(), 41u);
    EXPECT_EQ(v.edits.undoSteps(), 2u);
    EXPECT_TRUE(v.schedule.pending()) << "the drop goes to disk";
    v.schedule.started();
    v.schedule.runEnded();
    ASSERT_TRUE(v.undo());
    EXPECT_EQ(v.entries, Lines{"https://before/"}) << "all forty at once";
    EXPECT_EQ(v.selected, 0);
    EXPECT_TRUE(v.schedule.pending()) << "the undo goes to disk as any change";
    EXPECT_GT(v.edits.changes(), changes + 40);
}

TEST(ListEdits, AChangeAfterAnUndoClearsRedo) {
    EditedView v;
    v.act([&] { appendAddresses(v, {"a", "b", "c"}); });
    v.act([&] { deleteEntry(v); });
    ASSERT_TRUE(v.undo());
    EXPECT_TRUE(v.edits.canRedo());
    v.act([&] { moveEntryUp(v); });
    EXPECT_FALSE(v.edits.canRedo());
    EXPECT_FALSE(v.redo());
    EXPECT_EQ(v.entries, (Lines{"a", "c", "b"}));
    // An action that changes nothing is no step and leaves redo alone.
    ASSERT_TRUE(v.undo());
    v.setSelection(0);
    v.act([&] { moveEntryUp(v); });
    EXPECT_TRUE(v.edits.canRedo());
}

TEST(ListEdits, GoSelectionsTypingAndAQuestionsYesAreNoSteps) {
    EditedView v;
    v.act([&] { appendAddresses(v, {"http://a/", "x:y", "http://c/"}); });
    v.setSelection(0);
    v.answerYes = true;
    openEntry(v, v.policy);
    openEntry(v, v.policy);  // asks, Yes
    ASSERT_EQ(v.asked.size(), 1u);
    v.type("typing");
    v.type("");
    EXPECT_EQ(v.edits.undoSteps(), 1u);
    ASSERT_TRUE(v.undo());
    EXPECT_TRUE(v.entries.empty());
}

TEST(ListEdits, KeepsTheLastThousandSteps) {
    EditedView v;
    for (int i = 0; i < 1005; ++i) v.act([&] { appendAddresses(v, {std::to_string(i)}); });
    EXPECT_EQ(v.edits.undoSteps(), ListEdits::kMaxSteps);
    int undone = 0;
    while (v.undo()) ++undone;
    EXPECT_EQ(undone, 1000);
    EXPECT_EQ(v.entries, (Lines{"0", "1", "2", "3", "4"})) << "the five oldest stay";
}

TEST(ListEdits, UndoAtTheFirstAndTheLastEntryPutsItBackSelected) {
    EditedView v;
    v.act([&] { appendAddresses(v, {"first", "middle", "last"}); });
    v.setSelection(0);
    v.act([&] { deleteEntry(v); });
    ASSERT_EQ(v.selected, 0);
    ASSERT_TRUE(v.undo());
    EXPECT_EQ(v.entries, (Lines{"first", "middle", "last"}));
    EXPECT_EQ(v.selected, 0);
    EXPECT_EQ(v.states(), "10011") << "Go, Down, Delete; Up off at the top";
    v.setSelection(2);
    v.act([&] { deleteEntry(v); });
    ASSERT_EQ(v.selected, 1);
    ASSERT_TRUE(v.undo());
    EXPECT_EQ(v.entries, (Lines{"first", "middle", "last"}));
    EXPECT_EQ(v.selected, 2);
    EXPECT_EQ(v.states(), "10101");
    ASSERT_TRUE(v.redo());
    EXPECT_EQ(v.entries, (Lines{"first", "middle"}));
    EXPECT_EQ(v.selected, 1);
}

TEST(ListEdits, AnUndoTheListRefusesChangesNothing) {
    EditedView v;
    v.act([&] { appendAddresses(v, {"a", "b", "c", "d"}); });
    v.setSelection(2);
    v.act([&] { moveEntryUp(v); });  // out, in, out, in
    v.act([&] { deleteEntry(v); });
    const auto before = v.seen();
    v.raw.refuseInserts = 0;
    EXPECT_THROW(v.undo(), EOutOfResources);
    EXPECT_EQ(v.seen(), before) << "the Delete's undo put nothing back";
    EXPECT_EQ(v.edits.undoSteps(), 3u);
    EXPECT_EQ(v.edits.redoSteps(), 0u);
    ASSERT_TRUE(v.undo());
    const auto moved = v.seen();
    // The Up's undo takes two entries out and puts them back: the second insert is refused.
    v.raw.refuseInserts = 1;
    EXPECT_THROW(v.undo(), EOutOfResources);
    EXPECT_EQ(v.entries, moved.entries) << "what the refused undo did was put back";
    EXPECT_EQ(v.edits.undoSteps(), 2u);
    EXPECT_EQ(v.edits.redoSteps(), 1u);
    ASSERT_TRUE(v.undo());
    EXPECT_EQ(v.entries, (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(v.selected, 2);
    ASSERT_TRUE(v.redo());
    EXPECT_EQ(v.entries, (Lines{"a", "c", "b", "d"}));
}

TEST(ListEdits, ADropTheListRefusesHalfWayKeepsWhatCameAsOneStep) {
    EditedView v;
    v.raw.refuseInserts = 2;
    EXPECT_THROW(v.act([&] { appendAddresses(v, {"a", "b", "c", "d"}); }), EOutOfResources);
    EXPECT_EQ(v.entries, (Lines{"a", "b"}));
    ASSERT_EQ(v.edits.undoSteps(), 1u);
    ASSERT_TRUE(v.undo());
    EXPECT_TRUE(v.entries.empty());
}

TEST(ListEdits, AListFromElsewhereIsNoStepAndEndsTheHistory) {
    EditedView v;
    v.act([&] { appendAddresses(v, {"a"}); });
    ASSERT_TRUE(v.undo());
    v.entries = {"from", "another", "program"};
    v.edits.forget();
    EXPECT_FALSE(v.edits.canUndo());
    EXPECT_FALSE(v.edits.canRedo());
    EXPECT_FALSE(v.redo());
}

TEST(ListEdits, TheKeys) {
    constexpr unsigned kBack = 0x08;
    EXPECT_EQ(historyKey('Z', true, false, false), HistoryKey::Undo);
    EXPECT_EQ(historyKey(kBack, false, false, true), HistoryKey::Undo);
    EXPECT_EQ(historyKey('Y', true, false, false), HistoryKey::Redo);
    EXPECT_EQ(historyKey('Z', true, true, false), HistoryKey::Redo);
    EXPECT_EQ(historyKey('Z', false, false, false), HistoryKey::None) << "typing Z";
    EXPECT_EQ(historyKey('Z', true, false, true), HistoryKey::None) << "AltGr";
    EXPECT_EQ(historyKey('Y', true, true, false), HistoryKey::None);
    EXPECT_EQ(historyKey(kBack, false, false, false), HistoryKey::None) << "Backspace";
    EXPECT_EQ(historyKey(kBack, true, false, true), HistoryKey::None);
    EXPECT_EQ(historyKey('V', true, false, false), HistoryKey::None);
}

}  // namespace
}  // namespace klw
