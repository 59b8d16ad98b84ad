#pragma once
// The parts of drawing an entry that need no window: which texts the plain character path draws
// as their readers write them, and where a long entry is wrapped.
#include <cstddef>
#include <string_view>
#include <vector>

namespace klw {

// Whether the text holds characters that only shaping draws right: right-to-left scripts,
// scripts whose letters join, reorder or stack (Indic, Thai and their neighbours), direction
// marks, and characters beyond U+FFFF. Everything else (Latin, Greek, Cyrillic, CJK, Hangul)
// is drawn character by character, with the font links of the selected font.
bool needsShaping(std::u16string_view text);

// A stretch of an entry, in units [begin, end), drawn one way.
struct EntryRun {
    std::size_t begin;
    std::size_t end;
    bool shaped;
    bool operator==(const EntryRun&) const = default;
};

// The entry cut into runs, in logical order, that are drawn side by side from left to right.
// In a row that needs shaping, only what may be written right to left, what follows it up to
// the next left-to-right letter, and what itself needs shaping go to the shaped path; Latin,
// Greek, Cyrillic, ideographs, kana and Hangul, and the digits and punctuation after them, go
// to the plain path (with the font links), as in a left-to-right line they stay in their place
// whatever the shaped parts do. So a web address with a Hebrew word shapes only the word, and
// Chinese beside it is drawn from the links, where shaping's fallback font for Han may be
// missing. A text with direction overrides or embeddings stays one shaped run. Empty text gives
// no runs.
std::vector<EntryRun> entryRuns(std::u16string_view text);

// Where lines start when the text is wrapped at `maxWidth`: `widths` holds the advance of each
// UTF-16 unit (0 for the second half of a cluster), `stops` whether a line may begin at that
// unit. Always begins with 0; a unit wider than `maxWidth` gets a line of its own.
std::vector<std::size_t> lineStarts(const std::vector<int>& widths, const std::vector<bool>& stops,
                                    int maxWidth);

}  // namespace klw
