#pragma once
// One way to draw an entry, used by the list's rows and its tooltip. Text that needs shaping
// (right to left, joined, reordered, stacked, or beyond U+FFFF) is shaped with font fallback, on
// a common baseline; everything else is drawn character by character as the platform's list box
// draws it, which takes the font links of the selected font and so looks exactly as the plain
// list did. In a row that needs shaping, only the stretches that do are shaped
// (widgets/entry_layout.h); the list's rows are shaped through a ShapingCache, and what it cannot
// lay out, like the tooltip's text, through Uniscribe's string functions.
#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

#include "widgets/shaping_cache.h"

namespace klw {

class EntryText {
public:
    // Lays out `text` in the font selected into `dc`; `dc` must outlive the object. With a
    // `cache` (which must outlive it too) shaped runs are laid out through it where it can.
    EntryText(HDC dc, std::u16string_view text, ShapingCache* cache = nullptr);
    ~EntryText();
    EntryText(const EntryText&) = delete;
    EntryText& operator=(const EntryText&) = delete;

    bool shaped() const;
    int width() const;
    // Draws the text with its left edge at x and its cell top at y, clipped to `clip`, in the
    // DC's text colour; with `opaque` the clip rectangle is first filled with its background
    // colour.
    void draw(int x, int y, const RECT& clip, bool opaque) const;
    // Where lines start when the text is wrapped at `maxWidth` pixels; for a text laid out
    // without a cache.
    std::vector<std::size_t> lineStarts(int maxWidth) const;

private:
    struct Run {
        std::u16string_view text;
        void* analysis;  // SCRIPT_STRING_ANALYSIS of a shaped run; nullptr for a plain one
        int width;
        std::unique_ptr<ShapedLine> line;  // a shaped run laid out through the cache
    };
    int runWidth(const Run& run) const;
    HDC dc_;
    ShapingCache* cache_;
    std::u16string_view text_;
    std::vector<Run> runs_;
};

// Draws one list row as the platform's list box draws a row of text: the text one pixel in from
// the left, the whole row filled with the DC's background colour first. Rows drawn one after
// another share `cache`.
void drawEntryRow(HDC dc, const RECT& row, std::u16string_view text, ShapingCache& cache);

}  // namespace klw
