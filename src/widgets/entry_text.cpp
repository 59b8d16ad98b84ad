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

EntryText::EntryText(HDC dc, std::u16string_view text, ShapingCache* cache)
    : dc_(dc), cache_(cache), text_(text) {
    for (const EntryRun& r : entryRuns(text)) {
        Run run{text.substr(r.begin, r.end - r.begin), nullptr, 0, nullptr};
        const int n = static_cast<int>(std::min<std::size_t>(run.text.size(), 0x7FFFFFF));
        if (r.shaped && cache) {
            auto line = std::make_unique<ShapedLine>();
            if (cache->shape(dc, run.text, *line)) {
                run.width = line->width;
                run.line = std::move(line);
                runs_.push_back(std::move(run));
                continue;
            }
        }
        SCRIPT_STRING_ANALYSIS a = nullptr;
        // SSA_FALLBACK takes a font of each script the selected font lacks (on Windows its own
        // choice, under Wine the prefix's per-script fallbacks); SSA_LINK its font links.
        if (r.shaped &&
            SUCCEEDED(ScriptStringAnalyse(dc, units(run.text), n, n * 3 / 2 + 16, -1,
                                          SSA_GLYPHS | SSA_FALLBACK | SSA_LINK | SSA_BREAK, -1,
                                          nullptr, nullptr, nullptr, nullptr, nullptr, &a))) {
            run.analysis = a;
            const SIZE* size = ScriptString_pSize(a);
            run.width = size ? static_cast<int>(size->cx) : 0;
        } else {
            run.width = -1;  // measured when needed
        }
        runs_.push_back(std::move(run));
    }
    // A row of one plain run is drawn without its width, as the plain list draws it.
    if (runs_.size() > 1) {
        for (Run& run : runs_) run.width = runWidth(run);
    }
}

int EntryText::runWidth(const Run& run) const {
    if (run.width >= 0) return run.width;
    SIZE size{};
    GetTextExtentPoint32W(dc_, units(run.text),
                          static_cast<int>(std::min<std::size_t>(run.text.size(), 0x7FFFFFF)),
                          &size);
    return static_cast<int>(size.cx);
}

EntryText::~EntryText() {
    for (Run& run : runs_) {
        if (run.analysis) {
            SCRIPT_STRING_ANALYSIS a = analysis(run.analysis);
            ScriptStringFree(&a);
        }
    }
}

bool EntryText::shaped() const {
    return std::any_of(runs_.begin(), runs_.end(),
                       [](const Run& r) { return r.analysis || r.line; });
}

int EntryText::width() const {
    int width = 0;
    for (const Run& run : runs_) width += runWidth(run);
    return width;
}

void EntryText::draw(int x, int y, const RECT& clip, bool opaque) const {
    if (runs_.size() == 1 && !runs_.front().analysis && !runs_.front().line) {
        ExtTextOutW(dc_, x, y, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0u), &clip, units(text_),
                    static_cast<UINT>(text_.size()), nullptr);
        return;
    }
    if (opaque) ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &clip, nullptr, 0, nullptr);
    // Runs in fallback fonts of other heights share the selected font's baseline.
    TEXTMETRICW tm{};
    GetTextMetricsW(dc_, &tm);
    const int baseline = y + static_cast<int>(tm.tmAscent);
    const UINT align = SetTextAlign(dc_, TA_BASELINE | TA_LEFT);
    for (const Run& run : runs_) {
        if (x >= clip.right) break;
        if (run.line) {
            cache_->draw(dc_, *run.line, x, baseline, clip);
        } else if (run.analysis) {
            ScriptStringOut(analysis(run.analysis), x, baseline, ETO_CLIPPED, &clip, 0, 0, FALSE);
        } else {
            ExtTextOutW(dc_, x, baseline, ETO_CLIPPED, &clip, units(run.text),
                        static_cast<UINT>(run.text.size()), nullptr);
        }
        x += run.width;
    }
    SetTextAlign(dc_, align);
}

std::vector<std::size_t> EntryText::lineStarts(int maxWidth) const {
    std::vector<int> widths;
    std::vector<bool> stops;
    widths.reserve(text_.size());
    stops.reserve(text_.size());
    for (const Run& run : runs_) {
        const std::size_t n = run.text.size();
        std::vector<int> w(n, 0);
        std::vector<bool> s(n, true);
        if (run.analysis) {
            ScriptStringGetLogicalWidths(analysis(run.analysis), w.data());
            if (const SCRIPT_LOGATTR* attrs = ScriptString_pLogAttr(analysis(run.analysis))) {
                for (std::size_t i = 0; i < n; ++i) s[i] = attrs[i].fCharStop != 0;
            }
        } else {
            std::vector<int> ends(n, 0);
            SIZE size{};
            int fit = 0;
            GetTextExtentExPointW(dc_, units(run.text), static_cast<int>(n), 0, &fit, ends.data(),
                                  &size);
            for (std::size_t i = 0; i < n; ++i) w[i] = ends[i] - (i > 0 ? ends[i - 1] : 0);
        }
        widths.insert(widths.end(), w.begin(), w.end());
        stops.insert(stops.end(), s.begin(), s.end());
    }
    return klw::lineStarts(widths, stops, maxWidth);
}

void drawEntryRow(HDC dc, const RECT& row, std::u16string_view text, ShapingCache& cache) {
    const EntryText entry(dc, text, &cache);
    entry.draw(row.left + 1, row.top, row, true);
}

}  // namespace klw
