#include "persist/memory_list_control.h"

#include "persist/stream_format.h"
#include "runtime/exceptions.h"
#include "runtime/texts.h"

namespace klw {

MemoryListControl::MemoryListControl() {
    setHandler(ListEvent::Click, "lbxURLClick");
    setHandler(ListEvent::DblClick, "btnGoClick");
}

void MemoryListControl::setItemHeight(int v) {
    if (v <= 0 || v == itemHeight_) return;
    itemHeight_ = v;
    ++recreateCount_;  // the native window would be re-created here
}

void MemoryListControl::entryText(int index, std::string& out) const {
    const std::size_t i = static_cast<std::size_t>(index);
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    out.assign(text_, begin, ends_[i] - begin);
}

std::string_view MemoryListControl::entryView(int index, std::string&) const {
    const std::size_t i = static_cast<std::size_t>(index);
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(text_).substr(begin, ends_[i] - begin);
}

void MemoryListControl::clearEntries() {
    text_.clear();
    ends_.clear();
    selection_ = -1;
}

void MemoryListControl::appendEntry(std::string_view text) {
    if (ends_.size() >= capacity_) throw EOutOfResources(std::string(texts::kCannotInsertLine));
    text_.append(text);
    ends_.push_back(text_.size());
}

bool MemoryListControl::ownerHasComponent(std::string_view name) const {
    for (const auto& s : siblings)
        if (sameText(s, name)) return true;
    return false;
}

bool MemoryListControl::topLevelHasName(std::string_view name) const {
    for (const auto& s : topLevelWindows)
        if (sameText(s, name)) return true;
    return false;
}

std::vector<std::string> MemoryListControl::entries() const {
    std::vector<std::string> out(ends_.size());
    for (int i = 0; i < count(); ++i) entryText(i, out[static_cast<std::size_t>(i)]);
    return out;
}

void MemoryListControl::setEntries(const std::vector<std::string>& entries) {
    clearEntries();
    for (const auto& e : entries) appendEntry(e);
}

void MemoryListControl::loaded() {
    ++loadedCount_;
    if (properties().parentColor) color_ = windowColor;
    if (properties().parentFont) properties().font = ListBoxProperties().font;
}

}  // namespace klw
