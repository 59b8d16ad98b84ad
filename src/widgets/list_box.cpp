#include "widgets/list_box.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"
#include "widgets/clipboard.h"
#include "widgets/entry_text.h"
#include "widgets/shaping_cache.h"

namespace klw {
namespace {

COLORREF toColorRef(std::int32_t color) {
    return color < 0 ? GetSysColor(color & 0xFF) : static_cast<COLORREF>(color);
}

constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT_PTR kKeyTimer = 2;
// The pause after which the selected entry's tip shows for keyboard users.
constexpr UINT kKeyTipDelayMs = 1000;
// From this many rows on the list is destroyed without the platform's teardown; below it, that
// takes a few milliseconds.
constexpr int kQuickTeardownRows = 10000;

}  // namespace

ListBox::ListBox(Form& form, std::string name, RECT b)
    : Control(form, std::move(name)), color_(0xFFFFFF), shaping_(std::make_unique<ShapingCache>()) {
    createControl(L"LISTBOX",
                  WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                      LBS_HASSTRINGS | LBS_OWNERDRAWFIXED,
                  WS_EX_CLIENTEDGE, "", b.left, b.top, b.right - b.left, b.bottom - b.top);
    brush_.reset(CreateSolidBrush(toColorRef(color_)));
    fitRowsToFont();
    if (handle()) tip_ = std::make_unique<EntryTip>(handle());
}

ListBox::~ListBox() {
    // An owner-drawn platform list sends its form a message for every row as it is destroyed,
    // which under Wine took seconds for a million rows at the program's end. A long list goes
    // without its own teardown: its rows are heap memory only, given back as the process ends,
    // and a list goes only with its form.
    if (count() >= kQuickTeardownRows) {
        tip_.reset();
        skipNativeTeardown();
    }
}

void ListBox::fitRowsToFont() {
    HDC dc = GetDC(handle());
    if (!dc) return;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(handle(), WM_GETFONT, 0, 0));
    const HGDIOBJ old =
        SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(handle(), dc);
    if (tm.tmHeight > 0) SendMessageW(handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(tm.tmHeight, 0));
}

LRESULT ListBox::native(UINT msg, WPARAM wp, LPARAM lp) const {
    return CallWindowProcW(nativeProc(), handle(), msg, wp, lp);
}

int ListBox::count() const { return static_cast<int>(entries_.size()); }

std::string ListBox::item(int index) const {
    std::string s;
    itemInto(index, s);
    return s;
}

void ListBox::itemInto(int index, std::string& out) const {
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        throw EStringListError(formatText(texts::kListIndexOutOfBounds, {std::int64_t{index}}));
    out.clear();
    appendUtf16AsUtf8(entries_[static_cast<size_t>(index)], out);
}

namespace {

// The text as the platform's list keeps it: UTF-16, up to a first zero unit.
std::u16string listUnits(std::string_view text) {
    std::u16string units(text.size(), u'\0');
    units.resize(utf8ToUtf16(text, units.data()));
    units.resize(std::min(units.size(), units.find(u'\0')));
    return units;
}

const wchar_t* platformText(const std::u16string& units) {
    return reinterpret_cast<const wchar_t*>(units.c_str());
}

}  // namespace

int ListBox::append(std::string_view text) {
    std::u16string units = listUnits(text);
    const LRESULT i = native(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platformText(units)));
    if (i < 0) throw EOutOfResources(std::string(texts::kCannotInsertLine));
    entries_.push_back(std::move(units));
    return static_cast<int>(i);
}

void ListBox::insert(int index, std::string_view text) {
    if (index >= count()) {
        append(text);
        return;
    }
    std::u16string units = listUnits(text);
    const LRESULT i = SendMessageW(handle(), LB_INSERTSTRING, static_cast<WPARAM>(index),
                                   reinterpret_cast<LPARAM>(platformText(units)));
    if (i < 0) throw EOutOfResources(std::string(texts::kCannotInsertLine));
    entries_.insert(static_cast<size_t>(i), std::move(units));
}

void ListBox::replace(int index, std::string_view text) {
    const int selected = itemIndex();
    remove(index);
    insert(index, text);
    setItemIndex(selected);
}

void ListBox::remove(int index) {
    if (SendMessageW(handle(), LB_DELETESTRING, static_cast<WPARAM>(index), 0) == LB_ERR) return;
    entries_.erase(static_cast<size_t>(index));
}

void ListBox::clear() {
    SendMessageW(handle(), LB_RESETCONTENT, 0, 0);
    entries_.clear();
}

int ListBox::itemIndex() const {
    const LRESULT i = SendMessageW(handle(), LB_GETCURSEL, 0, 0);
    return i < 0 ? -1 : static_cast<int>(i);
}

void ListBox::setItemIndex(int index) {
    if (index == itemIndex()) return;
    if (index < -1 || index >= count()) index = -1;
    SendMessageW(handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ListBox::showEntry(int index) {
    if (index < 0 || index >= count()) return;
    const int height = itemHeight();
    RECT client{};
    GetClientRect(handle(), &client);
    const int rows = std::max(1, height > 0 ? static_cast<int>(client.bottom) / height : 1);
    const auto top = static_cast<int>(SendMessageW(handle(), LB_GETTOPINDEX, 0, 0));
    int newTop = top;
    if (index < top) newTop = index;
    if (index >= top + rows) newTop = index - rows + 1;
    if (newTop != top) SendMessageW(handle(), LB_SETTOPINDEX, static_cast<WPARAM>(newTop), 0);
}

void ListBox::beginUpdate() {
    if (updateDepth_++ == 0) SendMessageW(handle(), WM_SETREDRAW, FALSE, 0);
}

void ListBox::endUpdate() {
    if (updateDepth_ > 0 && --updateDepth_ == 0) {
        SendMessageW(handle(), WM_SETREDRAW, TRUE, 0);
        InvalidateRect(handle(), nullptr, TRUE);
    }
}

void ListBox::setColor(std::int32_t color) {
    color_ = color;
    brush_.reset(CreateSolidBrush(toColorRef(color)));
    InvalidateRect(handle(), nullptr, TRUE);
}

int ListBox::itemHeight() const {
    const LRESULT h = SendMessageW(handle(), LB_GETITEMHEIGHT, 0, 0);
    return h < 0 ? 0 : static_cast<int>(h);
}

void ListBox::setItemHeight(int height) {
    if (height <= 0 || height == itemHeight_) return;
    itemHeight_ = height;
    // The native list takes a row height only when it is created; rows of the standard style
    // still follow the font.
    const int selected = itemIndex();
    const LRESULT top = SendMessageW(handle(), LB_GETTOPINDEX, 0, 0);
    tip_.reset();
    hoverIndex_ = -1;
    trackingLeave_ = false;
    recreateHandle();
    fitRowsToFont();
    if (handle()) tip_ = std::make_unique<EntryTip>(handle());
    if (updateDepth_ > 0) SendMessageW(handle(), WM_SETREDRAW, FALSE, 0);
    entries_.forEach([this](const std::u16string& units) {
        native(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(platformText(units)));
    });
    setItemIndex(selected);
    SendMessageW(handle(), LB_SETTOPINDEX, static_cast<WPARAM>(top < 0 ? 0 : top), 0);
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

bool ListBox::reflectDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    // The standard list's colours: grey text when disabled, the highlight for the selection.
    COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    if (item.itemState & ODS_DISABLED) text = GetSysColor(COLOR_GRAYTEXT);
    if (selected) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const COLORREF oldText = SetTextColor(dc, text);
    const COLORREF oldBack =
        SetBkColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : toColorRef(color_));
    const int oldMode = SetBkMode(dc, OPAQUE);
    const int index = static_cast<int>(item.itemID);
    if (index >= 0 && index < count()) {
        drawEntryRow(dc, item.rcItem, entries_[static_cast<size_t>(index)], *shaping_);
    } else {
        ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &item.rcItem, nullptr, 0, nullptr);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
    SetBkMode(dc, oldMode);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    return true;
}

void ListBox::showTip(int index) {
    if (!tip_ || index < 0 || index >= count()) return;
    RECT row{};
    if (SendMessageW(handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&row)) == LB_ERR)
        return;
    RECT client{};
    GetClientRect(handle(), &client);
    RECT visible{};
    if (!IntersectRect(&visible, &row, &client)) return;
    tip_->show(row, entries_[static_cast<size_t>(index)]);
}

void ListBox::hideTip() {
    KillTimer(handle(), kHoverTimer);
    KillTimer(handle(), kKeyTimer);
    if (tip_) tip_->hide();
}

void ListBox::pointerMoved(LPARAM lp) {
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = handle();
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
    const auto hit = static_cast<DWORD>(SendMessageW(handle(), LB_ITEMFROMPOINT, 0, lp));
    const int index = HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));
    if (index == hoverIndex_) return;
    hoverIndex_ = index;
    hideTip();
    UINT hoverMs = 400;
    SystemParametersInfoW(SPI_GETMOUSEHOVERTIME, 0, &hoverMs, 0);
    if (index >= 0) SetTimer(handle(), kHoverTimer, hoverMs, nullptr);
}

void ListBox::typed(std::string_view ch) {
    const auto pick = search_.type(ch, GetTickCount(), static_cast<size_t>(count()),
                                   [this](size_t i) { return item(static_cast<int>(i)); });
    if (!pick) return;
    setItemIndex(*pick);
    raiseClick();
}

LRESULT ListBox::subclassProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SETFONT: {
            // The old font's handle may come back for another font.
            shaping_->reset();
            const LRESULT r = Control::subclassProc(msg, wp, lp);
            fitRowsToFont();
            return r;
        }
        case WM_MOUSEMOVE:
            pointerMoved(lp);
            break;
        case WM_MOUSELEAVE:
            // The pointer's tip goes; a selected entry's tip that the keyboard is waiting for
            // still comes (the leave can arrive after the key that started its pause).
            trackingLeave_ = false;
            hoverIndex_ = -1;
            KillTimer(handle(), kHoverTimer);
            if (tip_) tip_->hide();
            return 0;
        case WM_TIMER:
            if (wp == kHoverTimer) {
                KillTimer(handle(), kHoverTimer);
                showTip(hoverIndex_);
                return 0;
            }
            if (wp == kKeyTimer) {
                KillTimer(handle(), kKeyTimer);
                if (focused()) showTip(itemIndex());
                return 0;
            }
            break;
        case WM_KEYDOWN: {
            // The selected entry's tip follows the keyboard after a pause.
            hideTip();
            const LRESULT r = subclassKey(msg, wp, lp);
            if (focused()) SetTimer(handle(), kKeyTimer, kKeyTipDelayMs, nullptr);
            return r;
        }
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:  // a second right-click soon after the first
            hideTip();
            rightButtonDown(lp);
            break;
        case WM_CONTEXTMENU:
            return contextMenu(wp, lp);
        case WM_LBUTTONDOWN:
        case WM_MOUSEWHEEL:
        case WM_VSCROLL:
        case WM_KILLFOCUS:
        case WM_ENABLE:
            hideTip();
            break;
        default:
            break;
    }
    return subclassKey(msg, wp, lp);
}

LRESULT ListBox::subclassKey(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN) {
        const bool shift = GetKeyState(VK_SHIFT) < 0;
        const bool ctrl = GetKeyState(VK_CONTROL) < 0;
        const bool alt = GetKeyState(VK_MENU) < 0;
        if ((wp == 'V' && ctrl && !shift && !alt) || (wp == VK_INSERT && shift && !ctrl && !alt)) {
            SendMessageW(handle(), WM_PASTE, 0, 0);
            return 0;
        }
        if ((wp == 'C' || wp == VK_INSERT) && ctrl && !shift && !alt) {
            SendMessageW(handle(), WM_COPY, 0, 0);
            return 0;
        }
    }
    if (msg == WM_COPY) {
        copySelection();
        return 0;
    }
    if (msg == WM_PASTE) {
        if (onPaste) {
            if (const std::optional<std::string> text = clipboardText(handle()))
                onPaste(*this, *text);
        }
        return 0;
    }
    if (msg == WM_CHAR) {
        // Our own search replaces the platform list's, so a character moves the selection once.
        charTyped(static_cast<char16_t>(wp & 0xFFFF));
        return 0;
    }
    return Control::subclassProc(msg, wp, lp);
}

void ListBox::copySelection() {
    const int index = itemIndex();
    if (index < 0) return;
    setClipboardText(handle(), item(index));
}

int ListBox::entryAt(POINT client) const {
    RECT area{};
    GetClientRect(handle(), &area);
    if (!PtInRect(&area, client) || count() == 0) return -1;
    const auto hit = static_cast<DWORD>(
        SendMessageW(handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y)));
    return HIWORD(hit) ? -1 : static_cast<int>(LOWORD(hit));
}

void ListBox::rightButtonDown(LPARAM lp) {
    // As a left click: the list takes the focus, and the entry under the pointer the selection
    // with the click event, also when it was selected already.
    if (!focused()) SetFocus(handle());
    const int index = entryAt({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
    if (index < 0) return;
    setItemIndex(index);
    raiseClick();
}

LRESULT ListBox::contextMenu(WPARAM wp, LPARAM lp) {
    RECT area{};
    GetClientRect(handle(), &area);
    POINT at{};
    int index = -1;
    if (lp == -1) {
        // From the keyboard: at the selected entry's row, kept inside the list.
        index = itemIndex();
        RECT row{area.left, area.top, area.right, area.top};
        if (index >= 0)
            SendMessageW(handle(), LB_GETITEMRECT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&row));
        at = {std::clamp(row.left + 8, area.left, area.right),
              std::clamp(row.bottom, area.top, area.bottom)};
    } else {
        at = {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
        ScreenToClient(handle(), &at);
        // The scroll bar keeps the platform's own menu.
        if (!PtInRect(&area, at)) return defaultProc(WM_CONTEXTMENU, wp, lp);
        // Below the last entry the menu is about no entry: the selection, the walk's place,
        // stays.
        index = entryAt(at);
        if (index >= 0 && index != itemIndex()) index = -1;
    }
    ClientToScreen(handle(), &at);
    if (onContextMenu) onContextMenu(*this, at, index);
    return 0;
}

void ListBox::charTyped(char16_t unit) {
    // A character outside the 16-bit range arrives as two messages, one per surrogate.
    if (pendingHigh_) {
        const char16_t high = std::exchange(pendingHigh_, 0);
        if (unit >= 0xDC00 && unit < 0xE000) {
            typed(utf16ToUtf8(std::u16string{high, unit}));
            return;
        }
        typed(utf16ToUtf8(std::u16string(1, high)));
    }
    if (unit >= 0xD800 && unit < 0xDC00) {
        pendingHigh_ = unit;
        return;
    }
    if (unit == u'\b') {
        typed("\b");
    } else if (unit >= 0x20 && unit != 0x7F) {
        typed(utf16ToUtf8(std::u16string(1, unit)));
    }
}

}  // namespace klw
