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

// Where lines start when the text is wrapped at `maxWidth`: `widths` holds the advance of each
// UTF-16 unit (0 for the second half of a cluster), `stops` whether a line may begin at that
// unit. Always begins with 0; a unit wider than `maxWidth` gets a line of its own.
std::vector<std::size_t> lineStarts(const std::vector<int>& widths, const std::vector<bool>& stops,
                                    int maxWidth);

}  // namespace klw
