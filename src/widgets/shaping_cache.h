#pragma once
// Shaping of list rows with what one row learns kept for the next. The platform's string
// functions with font fallback look the fallback font of each script up again, create it and
// load its tables for every row, which made paging through rows of right-to-left text a third
// slower than the plain list. Here the font the platform falls back to for a script is learnt
// once, by drawing a run of that script through the string functions into a metafile and
// reading which font and which kind of text call they used; from then on rows of that script are
// shaped and drawn with that font and a script cache kept per font. A learnt choice is taken only
// when it gives exactly the glyphs the platform drew, and every run it cannot answer goes back
// to the platform's string functions.
#include <windows.h>
// usp10.h needs the declarations of windows.h.
#include <usp10.h>

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "runtime/handles.h"

namespace klw {

// A run laid out for drawing: its items in visual order, left to right.
struct ShapedLine {
    struct Item {
        SCRIPT_ANALYSIS analysis;
        int font;  // index of the kept font; 0 is the DC's own
        std::size_t firstGlyph;
        std::size_t glyphCount;
        int width;
    };
    std::vector<Item> items;
    std::vector<WORD> glyphs;
    std::vector<int> advances;
    std::vector<GOFFSET> offsets;
    int width = 0;
};

class ShapingCache {
public:
    ShapingCache();
    ~ShapingCache();
    ShapingCache(const ShapingCache&) = delete;
    ShapingCache& operator=(const ShapingCache&) = delete;

    // Forgets every font, script cache and learnt choice; for a new font of the window, whose
    // handle may be the old one's.
    void reset();
    // Lays out `text` in the font selected into `dc` into `line`; false when it must take the
    // platform's string functions instead.
    bool shape(HDC dc, std::u16string_view text, ShapedLine& line);
    // Draws a line laid out by shape() at x on the baseline y (the DC aligned to its baseline),
    // clipped to `clip`.
    void draw(HDC dc, const ShapedLine& line, int x, int y, const RECT& clip);

private:
    struct Font {
        UniqueFont owned;  // none for the DC's own font
        SCRIPT_CACHE cache = nullptr;
    };
    struct Choice {
        int font = -1;  // -1: the platform's string functions draw such runs
        bool glyphIndex = true;
    };
    Choice learn(HDC dc, std::u16string_view chars, const SCRIPT_ANALYSIS& analysis);
    bool shapeItem(HDC dc, std::u16string_view chars, const SCRIPT_ANALYSIS& analysis,
                   const Choice& choice, ShapedLine& line);
    int fontFor(const LOGFONTW& font);

    HFONT main_ = nullptr;
    LOGFONTW mainLogFont_{};
    std::vector<Font> fonts_;
    std::map<std::uint32_t, Choice> choices_;
    // Scratch space kept between rows.
    std::vector<SCRIPT_ITEM> items_;
    std::vector<WORD> cmap_;
    std::vector<WORD> clusters_;
    std::vector<SCRIPT_VISATTR> visAttrs_;
    std::vector<BYTE> levels_;
    std::vector<int> visualOrder_;
};

}  // namespace klw
