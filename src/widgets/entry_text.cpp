#include "widgets/entry_text.h"

// usp10.h needs the declarations of windows.h.
#include <usp10.h>

#include <algorithm>

#include "widgets/entry_layout.h"

namespace klw {
namespace {

const wchar_t* units(std::u16string_view text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}

SCRIPT_STRING_ANALYSIS analysis(void* a) { return static_cast<SCRIPT_STRING_ANALYSIS>(a); }

}  // namespace

EntryText::EntryText(HDC dc, std::u16string_view text) : dc_(dc), text_(text) {
    if (text.empty() || !needsShaping(text)) return;
    const int n = static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFF));
    SCRIPT_STRING_ANALYSIS a = nullptr;
    // SSA_FALLBACK takes a font of each script the selected font lacks (on Windows its own
    // choice, under Wine the prefix's per-script fallbacks); SSA_LINK its font links.
    if (SUCCEEDED(ScriptStringAnalyse(dc, units(text), n, n * 3 / 2 + 16, -1,
                                      SSA_GLYPHS | SSA_FALLBACK | SSA_LINK | SSA_BREAK, -1, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, &a)))
        analysis_ = a;
}

EntryText::~EntryText() {
    if (analysis_) {
        SCRIPT_STRING_ANALYSIS a = analysis(analysis_);
        ScriptStringFree(&a);
    }
}

int EntryText::width() const {
    if (analysis_) {
        const SIZE* size = ScriptString_pSize(analysis(analysis_));
        return size ? static_cast<int>(size->cx) : 0;
    }
    SIZE size{};
    GetTextExtentPoint32W(dc_, units(text_), static_cast<int>(text_.size()), &size);
    return static_cast<int>(size.cx);
}

void EntryText::draw(int x, int y, const RECT& clip, bool opaque) const {
    if (!analysis_) {
        ExtTextOutW(dc_, x, y, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0u), &clip, units(text_),
                    static_cast<UINT>(text_.size()), nullptr);
        return;
    }
    if (opaque) ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &clip, nullptr, 0, nullptr);
    // Runs in fallback fonts of other heights share the selected font's baseline.
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    const UINT align = SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    ScriptStringOut(analysis(analysis_), x, y + static_cast<int>(tm.tmAscent), ETO_CLIPPED, &clip,
                    0, 0, FALSE);
    SetTextAlign(dc_, align);
}

std::vector<std::size_t> EntryText::lineStarts(int maxWidth) const {
    const std::size_t n = text_.size();
    std::vector<int> widths(n, 0);
    std::vector<bool> stops(n, true);
    if (analysis_) {
        ScriptStringGetLogicalWidths(analysis(analysis_), widths.data());
        if (const SCRIPT_LOGATTR* attrs = ScriptString_pLogAttr(analysis(analysis_))) {
            for (std::size_t i = 0; i < n; ++i) stops[i] = attrs[i].fCharStop != 0;
        }
    } else if (n > 0) {
        std::vector<int> ends(n, 0);
        SIZE size{};
        int fit = 0;
        GetTextExtentExPointW(dc_, units(text_), static_cast<int>(n), 0, &fit, ends.data(), &size);
        for (std::size_t i = 0; i < n; ++i) widths[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
    }
    return klw::lineStarts(widths, stops, maxWidth);
}

void drawEntryRow(HDC dc, const RECT& row, std::u16string_view text) {
    const EntryText entry(dc, text);
    entry.draw(row.left + 1, row.top, row, true);
}

}  // namespace klw
