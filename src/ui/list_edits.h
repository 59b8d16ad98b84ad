#pragma once
// The one way the address list changes while the program runs. Every change (Add, Delete, Up,
// Down, a drop, a paste) is made here, recorded as part of the user's action, and reported to
// the save schedule; the window only shows the outcome. Undo and redo take back and make again
// whole actions: a drop of forty addresses is one step. A step keeps only what it changed, the
// entries taken out or put in and where, never a copy of the list.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "persist/save_schedule.h"

namespace klw {

// The list the changes are made on: the platform's list as the window holds it.
class EditedList {
public:
    virtual ~EditedList() = default;
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    // Puts the text before entry `index` (count() appends); throws, changing nothing, when the
    // list refuses it.
    virtual void insert(int index, std::string_view text) = 0;
    virtual void remove(int index) = 0;
    virtual int selection() const = 0;
};

// The keys of the history: Ctrl+Z and Alt+Backspace undo, Ctrl+Y and Ctrl+Shift+Z redo.
enum class HistoryKey { None, Undo, Redo };
HistoryKey historyKey(unsigned virtualKey, bool ctrl, bool shift, bool alt);

class ListEdits {
public:
    // Steps kept for undo; the oldest goes first.
    static constexpr std::size_t kMaxSteps = 1000;

    // `now` gives the tick count the save schedule counts in.
    ListEdits(EditedList& list, SaveSchedule& schedule, std::function<std::uint32_t()> now);

    // The changes. Outside a step each is a step of its own.
    int append(std::string_view text);
    void insert(int index, std::string_view text);
    void remove(int index);
    // Remove and insert; when the insert is refused the entry stays out (and is recorded so).
    void replace(int index, std::string_view text);

    // The changes made while one lives are one step, with the selection before and after it.
    // Steps nest: the outermost counts.
    class Step {
    public:
        explicit Step(ListEdits& edits);
        ~Step();
        Step(const Step&) = delete;
        Step& operator=(const Step&) = delete;

    private:
        ListEdits& edits_;
    };

    // Runs `action` as one step.
    template <typename F>
    decltype(auto) asStep(F&& action) {
        Step step(*this);
        return action();
    }

    bool canUndo() const { return depth_ == 0 && !undo_.empty(); }
    bool canRedo() const { return depth_ == 0 && !redo_.empty(); }
    // Takes back the last step, or makes again the last one taken back, and gives the entry to
    // select then: the selection as it was right after the step before (for redo, right after
    // the step), -1 for none. Nothing without such a step. When the list refuses an entry on
    // the way the error goes on, with the list and both histories as they were.
    std::optional<int> undo();
    std::optional<int> redo();

    // The list was filled from elsewhere (the list file, another program's version of it): not
    // a step, and the steps recorded before no longer fit it.
    void forget();

    std::size_t undoSteps() const { return undo_.size(); }
    std::size_t redoSteps() const { return redo_.size(); }
    // Changes made, undo and redo included: the save compares it with what is on disk.
    std::uint64_t changes() const { return changes_; }
    // After every change, once the save schedule has heard of it.
    std::function<void()> onChanged;

private:
    struct Change {
        bool inserted;  // else removed
        int index;
        std::string text;
    };
    struct Record {
        std::vector<Change> changes;
        int selectionBefore = -1;
        int selectionAfter = -1;
    };

    void begin();
    void end();
    void record(Change change);
    void changed();
    // Applies `step` forwards or backwards; when a change is refused, what was applied is put
    // back before the error goes on.
    void apply(const Record& step, bool backwards);
    void applyOne(const Change& change, bool backwards);

    EditedList& list_;
    SaveSchedule& schedule_;
    std::function<std::uint32_t()> now_;
    std::deque<Record> undo_;
    std::deque<Record> redo_;
    Record open_;
    int depth_ = 0;
    std::uint64_t changes_ = 0;
};

}  // namespace klw
