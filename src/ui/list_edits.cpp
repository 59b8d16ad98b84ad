#include "ui/list_edits.h"

#include <utility>

namespace klw {

HistoryKey historyKey(unsigned vk, bool ctrl, bool shift, bool alt) {
    constexpr unsigned kBackspace = 0x08;
    if (vk == kBackspace && alt && !ctrl && !shift) return HistoryKey::Undo;
    if (!ctrl || alt) return HistoryKey::None;
    if (vk == 'Z') return shift ? HistoryKey::Redo : HistoryKey::Undo;
    return vk == 'Y' && !shift ? HistoryKey::Redo : HistoryKey::None;
}

ListEdits::ListEdits(EditedList& list, SaveSchedule& schedule, std::function<std::uint32_t()> now)
    : list_(list), schedule_(schedule), now_(std::move(now)) {}

ListEdits::Step::Step(ListEdits& edits) : edits_(edits) { edits_.begin(); }
ListEdits::Step::~Step() { edits_.end(); }

void ListEdits::begin() {
    if (depth_++ == 0) open_ = Record{{}, list_.selection(), -1};
}

void ListEdits::end() {
    if (--depth_ > 0) return;
    // An action that changed nothing (Delete on an empty list) leaves the history as it was.
    if (open_.changes.empty()) return;
    open_.selectionAfter = list_.selection();
    undo_.push_back(std::move(open_));
    open_ = {};
    if (undo_.size() > kMaxSteps) undo_.pop_front();
    redo_.clear();
}

void ListEdits::changed() {
    ++changes_;
    schedule_.changed(now_());
    if (onChanged) onChanged();
}

void ListEdits::record(Change change) {
    open_.changes.push_back(std::move(change));
    changed();
}

int ListEdits::append(std::string_view text) {
    const int index = list_.count();
    insert(index, text);
    return index;
}

void ListEdits::insert(int index, std::string_view text) {
    Step step(*this);
    list_.insert(index, text);
    record({true, index, std::string(text)});
}

void ListEdits::remove(int index) {
    if (index < 0 || index >= list_.count()) return;
    Step step(*this);
    std::string text = list_.item(index);
    list_.remove(index);
    record({false, index, std::move(text)});
}

void ListEdits::replace(int index, std::string_view text) {
    Step step(*this);
    remove(index);
    insert(index, text);
}

void ListEdits::applyOne(const Change& c, bool backwards) {
    if (c.inserted != backwards)
        list_.insert(c.index, c.text);
    else
        list_.remove(c.index);
}

void ListEdits::apply(const Record& step, bool backwards) {
    const std::size_t n = step.changes.size();
    auto at = [&](std::size_t k) -> const Change& {
        return step.changes[backwards ? n - 1 - k : k];
    };
    std::size_t done = 0;
    try {
        for (; done < n; ++done) applyOne(at(done), backwards);
    } catch (...) {
        // Put back what this attempt changed, newest first. Removals cannot be refused and
        // inserts put back entries that the list held a moment ago; if it refuses even those,
        // the recorded steps no longer fit the list.
        try {
            while (done > 0) applyOne(at(--done), !backwards);
        } catch (...) {
            undo_.clear();
            redo_.clear();
        }
        throw;
    }
}

std::optional<int> ListEdits::undo() {
    if (!canUndo()) return std::nullopt;
    apply(undo_.back(), true);
    redo_.push_back(std::move(undo_.back()));
    undo_.pop_back();
    changed();
    return redo_.back().selectionBefore;
}

std::optional<int> ListEdits::redo() {
    if (!canRedo()) return std::nullopt;
    apply(redo_.back(), false);
    undo_.push_back(std::move(redo_.back()));
    redo_.pop_back();
    changed();
    return undo_.back().selectionAfter;
}

void ListEdits::forget() {
    undo_.clear();
    redo_.clear();
}

}  // namespace klw
