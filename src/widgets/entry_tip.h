#pragma once
// The tooltip that shows an entry wider than its list whole, over the entry's own row: the
// platform's tooltip window (so that its text can be read as any tooltip's), painted with the
// list's way of drawing entries, wrapped when it is wider than the screen.
#include <windows.h>

#include <string>
#include <vector>

#include "runtime/handles.h"

namespace klw {

class EntryTip {
public:
    explicit EntryTip(HWND list);
    ~EntryTip();
    EntryTip(const EntryTip&) = delete;
    EntryTip& operator=(const EntryTip&) = delete;

    // Shows `text` over `row` (the list's client coordinates) when it does not fit the list's
    // client width; hides the tip otherwise. True when shown.
    bool show(const RECT& row, const std::u16string& text);
    void hide();
    bool shown() const { return shown_; }
    HWND handle() const { return tip_; }

private:
    static LRESULT CALLBACK tipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR ref) noexcept;
    void paint(HDC dc) const;
    HWND list_;
    HWND tip_ = nullptr;
    bool shown_ = false;
    std::u16string text_;
    std::vector<std::size_t> lines_;
    int lineHeight_ = 0;
};

}  // namespace klw
