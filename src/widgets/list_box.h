#pragma once
// A single-selection list box. Entries are the program's text (UTF-8); the platform's list holds
// them as UTF-16 and keeps its keyboard, scrolling and reading of entries, while the rows are
// drawn here, every script shaped (widgets/entry_text.h). An entry wider than the list is shown
// whole in a tooltip when the pointer rests on it, or after a pause on the selected one. OnClick
// is raised for every selection change made by the user and never for one made by the program.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "runtime/entry_blocks.h"
#include "runtime/handles.h"
#include "ui/list_edits.h"
#include "widgets/control.h"
#include "widgets/entry_tip.h"
#include "widgets/type_ahead.h"

namespace klw {

class ShapingCache;

class ListBox : public Control, public EditedList {
public:
    ListBox(Form& form, std::string name, RECT bounds);
    ~ListBox() override;

    int count() const override;
    // The entry at `index`; EStringListError outside 0..count-1.
    std::string item(int index) const override;
    // The same into `out`, reusing its storage.
    void itemInto(int index, std::string& out) const;
    // Appends and returns the new index; EOutOfResources when the list cannot take it.
    int append(std::string_view text);
    // Puts the text before entry `index` (at the end for count()); EOutOfResources as append.
    void insert(int index, std::string_view text) override;
    // Entry `index` reads `text` afterwards; the selection index stays as it was.
    void replace(int index, std::string_view text);
    void remove(int index) override;
    void clear();
    int itemIndex() const;
    int selection() const override { return itemIndex(); }
    // Silent: raises no OnClick. Out of range selects nothing.
    void setItemIndex(int index);
    // Scrolls the list so that entry `index` is in view.
    void showEntry(int index);

    // Every entry as the platform's list holds it, kept beside it so that the list can be read
    // (and taken for a save, sharing its blocks) without a message per entry.
    const EntryBlocks& entries() const { return entries_; }

    // Suspends redrawing while many entries change.
    void beginUpdate();
    void endUpdate();

    // Background colour: a COLORREF, or a negative value naming a system colour by its low byte.
    std::int32_t color() const { return color_; }
    void setColor(std::int32_t color);
    int itemHeight() const;
    // The row height the control was designed with, without re-creating it.
    void setStoredItemHeight(int height) { itemHeight_ = height; }
    // A new row height re-creates the native list, keeping entries, selection and scroll.
    void setItemHeight(int height);

    NotifyEvent onClick;
    NotifyEvent onDblClick;
    // Ctrl+V or Shift+Insert in the list (or WM_PASTE), with the clipboard's text.
    PasteEvent onPaste;
    // A right-click (after it has selected the entry under the pointer, as a left click does),
    // or Shift+F10 and the Menu key, which the platform turns into a menu request: for the
    // entry the menu is about, or -1 for the space below the entries or an empty selection.
    ContextMenuEvent onContextMenu;

    // Puts the selected entry on the clipboard as it is (Ctrl+C, Ctrl+Insert); nothing happens
    // without a selection.
    void copySelection();

    void reflectCommand(WORD code) override;
    HBRUSH reflectColor(HDC dc) override;
    bool reflectDrawItem(const DRAWITEMSTRUCT& item) override;

    // The tooltip of cut-off entries (nullptr when the platform gave none).
    const EntryTip* tip() const { return tip_.get(); }

protected:
    LRESULT subclassProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The platform list's own procedure, past the subclass chain, for the data messages that
    // the subclass never handles: under Wine each subclassed message costs a server call, which
    // makes lists of 100,000 entries load and save about 40 times slower.
    LRESULT native(UINT msg, WPARAM wp, LPARAM lp) const;
    LRESULT subclassKey(UINT msg, WPARAM wp, LPARAM lp);
    void raiseClick();
    // Row heights follow the font, as the standard list's do.
    void fitRowsToFont();
    void pointerMoved(LPARAM lp);
    // The entry under a point of the client area, or -1.
    int entryAt(POINT client) const;
    void rightButtonDown(LPARAM lp);
    LRESULT contextMenu(WPARAM wp, LPARAM lp);
    void showTip(int index);
    void hideTip();
    void typed(std::string_view ch);
    void charTyped(char16_t unit);
    std::int32_t color_;
    UniqueBrush brush_;
    int updateDepth_ = 0;
    int itemHeight_ = 0;  // the stored row height; 0 until one is set
    TypeAheadSearch search_;
    char16_t pendingHigh_ = 0;  // the first half of a surrogate pair typed
    EntryBlocks entries_;
    std::unique_ptr<EntryTip> tip_;
    // What drawing one row learnt about shaping in the list's font, for the next rows.
    std::unique_ptr<ShapingCache> shaping_;
    int hoverIndex_ = -1;  // the entry under the pointer; -1 for none
    bool trackingLeave_ = false;
};

}  // namespace klw
