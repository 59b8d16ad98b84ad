#include "persist/streamed_list_box.h"

#include "widgets/list_box.h"

namespace klw {

StreamedListBox::StreamedListBox(ListBox& list, Owner owner)
    : list_(list), owner_(std::move(owner)) {}

std::string StreamedListBox::name() const { return list_.name(); }
void StreamedListBox::setName(std::string_view name) { list_.setName(std::string(name)); }

int StreamedListBox::left() const { return list_.bounds().left; }
int StreamedListBox::top() const { return list_.bounds().top; }
int StreamedListBox::width() const {
    const RECT r = list_.bounds();
    return r.right - r.left;
}
int StreamedListBox::height() const {
    const RECT r = list_.bounds();
    return r.bottom - r.top;
}

void StreamedListBox::setBounds(int left, int top, int width, int height) {
    list_.setBounds(left, top, width, height);
}
void StreamedListBox::setLeft(int v) { setBounds(v, top(), width(), height()); }
void StreamedListBox::setTop(int v) { setBounds(left(), v, width(), height()); }
void StreamedListBox::setWidth(int v) { setBounds(left(), top(), v, height()); }
void StreamedListBox::setHeight(int v) { setBounds(left(), top(), width(), v); }

std::int32_t StreamedListBox::color() const { return list_.color(); }
void StreamedListBox::applyColor(std::int32_t value) { list_.setColor(value); }

int StreamedListBox::itemHeight() const { return list_.itemHeight(); }
void StreamedListBox::setItemHeight(int value) { list_.setItemHeight(value); }

int StreamedListBox::tabOrder() const { return owner_.tabOrder(); }

int StreamedListBox::count() const { return list_.count(); }
void StreamedListBox::entryText(int index, std::string& out) const { list_.itemInto(index, out); }
void StreamedListBox::clearEntries() { list_.clear(); }
void StreamedListBox::appendEntry(std::string_view text) {
    // The native list keeps an entry up to its first zero character.
    list_.append(text.substr(0, text.find('\0')));
}
void StreamedListBox::beginUpdate() { list_.beginUpdate(); }
void StreamedListBox::endUpdate() { list_.endUpdate(); }

std::string StreamedListBox::handlerName(ListEvent event) const {
    // The handlers belong to the window: the writer never names them.
    if (event == ListEvent::Click && list_.onClick) return owner_.clickHandler;
    if (event == ListEvent::DblClick && list_.onDblClick) return owner_.dblClickHandler;
    return {};
}

void StreamedListBox::removeHandler(ListEvent event) {
    if (event == ListEvent::Click) list_.onClick = nullptr;
    if (event == ListEvent::DblClick) list_.onDblClick = nullptr;
}

void StreamedListBox::loaded() {
    // Attributes that follow the window while their Parent... switch is on.
    if (properties().parentColor) list_.setColor(kClBtnFace);
}

}  // namespace klw
