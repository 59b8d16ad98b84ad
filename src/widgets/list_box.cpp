#include "widgets/list_box.h"

#include <vector>

#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/texts.h"

namespace klw {
namespace {

COLORREF toColorRef(std::int32_t color) {
    return color < 0 ? GetSysColor(color & 0xFF) : static_cast<COLORREF>(color);
}

}  // namespace

ListBox::ListBox(Form& form, std::string name, RECT b)
    : Control(form, std::move(name)), color_(0xFFFFFF) {
    createControl(
        "LISTBOX",
        WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
        WS_EX_CLIENTEDGE, "", b.left, b.top, b.right - b.left, b.bottom - b.top);
    brush_.reset(CreateSolidBrush(toColorRef(color_)));
}

LRESULT ListBox::native(UINT msg, WPARAM wp, LPARAM lp) const {
    // Read at each call: a program may give the class another procedure at any time.
    const auto proc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(handle(), GCLP_WNDPROC));
    return CallWindowProcA(proc, handle(), msg, wp, lp);
}

int ListBox::count() const {
    const LRESULT n = native(LB_GETCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<int>(n);
}

std::string ListBox::item(int index) const {
    if (index < 0 || index >= count())
        throw EStringListError(formatMessage(texts::kListIndexOutOfBounds, {std::int64_t{index}}));
    const LRESULT n = native(LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    std::string s(static_cast<size_t>(n < 0 ? 0 : n) + 1, '\0');
    const LRESULT got =
        native(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(got < 0 ? 0 : got));
    return s;
}

int ListBox::append(const std::string& text) {
    const LRESULT i = native(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (i < 0) throw EOutOfResources(ansi(texts::kCannotInsertLine));
    return static_cast<int>(i);
}

void ListBox::replace(int index, const std::string& text) {
    const int selected = itemIndex();
    remove(index);
    const LRESULT i = SendMessageA(handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(text.c_str()));
    if (i < 0) throw EOutOfResources(ansi(texts::kCannotInsertLine));
    setItemIndex(selected);
}

void ListBox::remove(int index) {
    SendMessageA(handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void ListBox::clear() { SendMessageA(handle(), LB_RESETCONTENT, 0, 0); }

int ListBox::itemIndex() const {
    const LRESULT i = SendMessageA(handle(), LB_GETCURSEL, 0, 0);
    return i < 0 ? -1 : static_cast<int>(i);
}

void ListBox::setItemIndex(int index) {
    if (index == itemIndex()) return;
    if (index < -1 || index >= count()) index = -1;
    SendMessageA(handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ListBox::beginUpdate() {
    if (updateDepth_++ == 0) SendMessageA(handle(), WM_SETREDRAW, FALSE, 0);
}

void ListBox::endUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        SendMessageA(handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(handle(), nullptr, TRUE);
    }
}

void ListBox::setColor(std::int32_t color) {
    color_ = color;
    brush_.reset(CreateSolidBrush(toColorRef(color)));
    InvalidateRect(handle(), nullptr, TRUE);
}

int ListBox::itemHeight() const {
    const LRESULT h = SendMessageA(handle(), LB_GETITEMHEIGHT, 0, 0);
    return h < 0 ? 0 : static_cast<int>(h);
}

void ListBox::setItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    // The native list takes a row height only when it is created; rows of the standard style
    // still follow the font.
    const int n = count();
    std::vector<std::string> items;
    items.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) items.push_back(item(i));
    const int selected = itemIndex();
    const LRESULT top = SendMessageA(handle(), LB_GETTOPINDEX, 0, 0);
    recreateHandle();
    if (updateDepth_ > 0) SendMessageA(handle(), WM_SETREDRAW, FALSE, 0);
    for (const auto& s : items) append(s);
    setItemIndex(selected);
    SendMessageA(handle(), LB_SETTOPINDEX, static_cast<WPARAM>(top < 0 ? 0 : top), 0);
}

void ListBox::raiseClick() {
    if (onClick) onClick(*this);
}

void ListBox::reflectCommand(WORD code) {
    if (code == LBN_SELCHANGE) raiseClick();
    if (code == LBN_DBLCLK && onDblClick) onDblClick(*this);
}

HBRUSH ListBox::reflectColor(HDC dc) {
    SetBkColor(dc, toColorRef(color_));
    return brush_.get();
}

void ListBox::typed(const std::string& ch) {
    const auto pick = search_.type(ch, GetTickCount(), static_cast<size_t>(count()),
                                   [this](size_t i) { return item(static_cast<int>(i)); });
    if (!pick) return;
    setItemIndex(*pick);
    raiseClick();
}

LRESULT ListBox::subclassProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CHAR) {
        // Our own search replaces the platform list's, so a character moves the selection once.
        const auto byte = static_cast<unsigned char>(wp & 0xFF);
        if (!pendingLead_.empty()) {
            std::string ch = pendingLead_ + static_cast<char>(byte);
            pendingLead_.clear();
            typed(ch);
        } else if (ansiCodePage().isLeadByte(byte)) {
            pendingLead_.assign(1, static_cast<char>(byte));
        } else if ((byte >= 0x20 && byte != 0x7F) || byte == '\b') {
            typed(std::string(1, static_cast<char>(byte)));
        }
        return 0;
    }
    return Control::subclassProc(msg, wp, lp);
}

}  // namespace klw
