#include "persist/streamed_list_box.h"

#include "widgets/list_box.h"

namespace klw {

StreamedListBox::StreamedListBox(ListBox& list, Owner owner)
    : list_(list), owner_(std::move(owner)) {
    const Bounds now = windowBounds();
    design_ = owner_.toFile ? owner_.toFile(now) : now;
}

std::string StreamedListBox::name() const { return list_.name(); }
void StreamedListBox::setName(std::string_view name) { list_.setName(std::string(name)); }

Bounds StreamedListBox::windowBounds() const {
    const RECT r = list_.bounds();
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

int StreamedListBox::left() const { return design_.left; }
int StreamedListBox::top() const { return design_.top; }
int StreamedListBox::width() const { return design_.width; }
int StreamedListBox::height() const { return design_.height; }

void StreamedListBox::setDesignBounds(const Bounds& design) {
    design_ = design;
    if (loading()) boundsRead_ = true;
    const Bounds b = owner_.toWindow ? owner_.toWindow(design) : design;
    list_.setBounds(b.left, b.top, b.width, b.height);
}
void StreamedListBox::setLeft(int v) {
    setDesignBounds({v, design_.top, design_.width, design_.height});
}
void StreamedListBox::setTop(int v) {
    setDesignBounds({design_.left, v, design_.width, design_.height});
}
void StreamedListBox::setWidth(int v) {
    setDesignBounds({design_.left, design_.top, v, design_.height});
}
void StreamedListBox::setHeight(int v) {
    setDesignBounds({design_.left, design_.top, design_.width, v});
}

void StreamedListBox::readEnded() {
    // Checked once the whole rectangle is known: a file of another display or a hand-made one
    // must not leave the list over the field and the buttons.
    if (!boundsRead_) return;
    boundsRead_ = false;
    if (!owner_.placeRead) return;
    const Bounds read = owner_.toWindow ? owner_.toWindow(design_) : design_;
    const Bounds placed = owner_.placeRead(read);
    if (placed == read) return;
    list_.setBounds(placed.left, placed.top, placed.width, placed.height);
    design_ = owner_.toFile ? owner_.toFile(placed) : placed;
}

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
