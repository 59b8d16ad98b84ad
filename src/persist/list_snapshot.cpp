#include "persist/list_snapshot.h"

#include "runtime/unicode.h"

namespace klw {

ListSnapshot::ListSnapshot(const ListControl& list, EntryBlocks entries)
    : name_(list.name()),
      left_(list.left()),
      top_(list.top()),
      width_(list.width()),
      height_(list.height()),
      color_(list.color()),
      itemHeight_(list.itemHeight()),
      tabOrder_(list.tabOrder()),
      imeName_(list.imeName()),
      entries_(std::move(entries)) {
    properties() = list.properties();
    for (int e = 0; e < kListEventCount; ++e)
        handlers_[static_cast<std::size_t>(e)] = list.handlerName(static_cast<ListEvent>(e));
}

void ListSnapshot::entryText(int index, std::string& out) const {
    out.clear();
    appendUtf16AsUtf8(entries_[static_cast<std::size_t>(index)], out);
}

void ListSnapshot::appendEntry(std::string_view text) {
    std::u16string units(text.size(), u'\0');
    units.resize(utf8ToUtf16(text, units.data()));
    entries_.push_back(std::move(units));
}

}  // namespace klw
