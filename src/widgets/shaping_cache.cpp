#include "widgets/shaping_cache.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <cwchar>

namespace klw {
namespace {

const wchar_t* units(std::u16string_view text) {
    return reinterpret_cast<const wchar_t*>(text.data());
}

int length(std::u16string_view text) {
    return static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFF));
}

bool sameFont(const LOGFONTW& a, const LOGFONTW& b) {
    return a.lfHeight == b.lfHeight && a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement &&
           a.lfOrientation == b.lfOrientation && a.lfWeight == b.lfWeight &&
           a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
           a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet &&
           a.lfOutPrecision == b.lfOutPrecision && a.lfClipPrecision == b.lfClipPrecision &&
           a.lfQuality == b.lfQuality && a.lfPitchAndFamily == b.lfPitchAndFamily &&
           std::wcsncmp(a.lfFaceName, b.lfFaceName, LF_FACESIZE) == 0;
}

// The one text call of a metafile: the font selected for it, and its units with their kind.
struct MetafileText {
    LOGFONTW font{};
    bool glyphIndex = false;
    std::vector<WORD> units;
};

// The text calls of a metafile, read from its records; each record is checked against the
// size of the data before it is read.
std::vector<MetafileText> metafileTexts(HENHMETAFILE file) {
    const UINT size = GetEnhMetaFileBits(file, 0, nullptr);
    std::vector<BYTE> bytes(size);
    if (size == 0 || GetEnhMetaFileBits(file, size, bytes.data()) != size) return {};
    std::vector<MetafileText> texts;
    std::map<DWORD, LOGFONTW> fonts;
    LOGFONTW current{};
    for (std::size_t at = 0; at + sizeof(EMR) <= size;) {
        EMR record{};
        std::memcpy(&record, &bytes[at], sizeof record);
        if (record.nSize < sizeof(EMR) || record.nSize > size - at) break;
        if (record.iType == EMR_EXTCREATEFONTINDIRECTW &&
            record.nSize >= offsetof(EMREXTCREATEFONTINDIRECTW, elfw) + sizeof(LOGFONTW)) {
            EMREXTCREATEFONTINDIRECTW f{};
            std::memcpy(&f, &bytes[at], std::min<std::size_t>(record.nSize, sizeof f));
            fonts[f.ihFont] = f.elfw.elfLogFont;
        } else if (record.iType == EMR_SELECTOBJECT && record.nSize >= sizeof(EMRSELECTOBJECT)) {
            EMRSELECTOBJECT s{};
            std::memcpy(&s, &bytes[at], sizeof s);
            const auto font = fonts.find(s.ihObject);
            if (font != fonts.end()) current = font->second;
        } else if (record.iType == EMR_EXTTEXTOUTW && record.nSize >= sizeof(EMREXTTEXTOUTW)) {
            EMREXTTEXTOUTW t{};
            std::memcpy(&t, &bytes[at], sizeof t);
            const std::size_t count = t.emrtext.nChars;
            const std::size_t offset = t.emrtext.offString;
            if (count > 0 && offset <= record.nSize && count <= (record.nSize - offset) / 2) {
                MetafileText text;
                text.font = current;
                text.glyphIndex = (t.emrtext.fOptions & ETO_GLYPH_INDEX) != 0;
                text.units.resize(count);
                std::memcpy(text.units.data(), &bytes[at + offset], count * 2);
                texts.push_back(std::move(text));
            }
        }
        at += record.nSize;
    }
    return texts;
}

// As the platform's string functions itemize a text given no control or state: a left-to-right
// line with the full bidirectional algorithm (Wine reorders nothing when given none). A run is
// learnt alone in a line of its own level, where it keeps its direction.
HRESULT itemize(std::u16string_view text, int maxItems, SCRIPT_ITEM* items, int* count,
                const SCRIPT_STATE& state = {}) {
    const SCRIPT_CONTROL control{};
    return ScriptItemize(units(text), length(text), maxItems, &control, &state, items, count);
}

std::uint32_t choiceKey(const SCRIPT_ANALYSIS& a, bool covered) {
    return (static_cast<std::uint32_t>(a.eScript) << 2) | (a.fRTL ? 2u : 0u) | (covered ? 1u : 0u);
}

}  // namespace

ShapingCache::ShapingCache() = default;

ShapingCache::~ShapingCache() { reset(); }

void ShapingCache::reset() {
    for (Font& f : fonts_) ScriptFreeCache(&f.cache);
    fonts_.clear();
    choices_.clear();
    main_ = nullptr;
}

int ShapingCache::fontFor(const LOGFONTW& font) {
    if (sameFont(font, mainLogFont_)) return 0;
    for (std::size_t i = 1; i < fonts_.size(); ++i) {
        LOGFONTW kept{};
        GetObjectW(fonts_[i].owned.get(), sizeof kept, &kept);
        if (sameFont(font, kept)) return static_cast<int>(i);
    }
    UniqueFont created(CreateFontIndirectW(&font));
    if (!created) return -1;
    fonts_.push_back({std::move(created), nullptr});
    return static_cast<int>(fonts_.size() - 1);
}

ShapingCache::Choice ShapingCache::learn(HDC dc, std::u16string_view chars,
                                         const SCRIPT_ANALYSIS& analysis) {
    Choice choice;
    const int n = length(chars);
    // Alone, the run must be the same single item, so that what the platform does with it alone
    // is what it does with it in the row.
    SCRIPT_STATE state{};
    state.uBidiLevel = analysis.s.uBidiLevel;
    SCRIPT_CONTROL control{};
    SCRIPT_ITEM alone[3]{};
    int count = 0;
    if (FAILED(itemize(chars, 2, alone, &count, state)) || count != 1 ||
        alone[0].a.eScript != analysis.eScript || alone[0].a.fRTL != analysis.fRTL)
        return choice;
    HDC meta = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!meta) return choice;
    SelectObject(meta, main_);
    SCRIPT_STRING_ANALYSIS ssa = nullptr;
    if (SUCCEEDED(ScriptStringAnalyse(meta, units(chars), n, n * 3 / 2 + 16, -1,
                                      SSA_GLYPHS | SSA_FALLBACK | SSA_LINK | SSA_BREAK, -1,
                                      &control, &state, nullptr, nullptr, nullptr, &ssa))) {
        ScriptStringOut(ssa, 0, 0, 0, nullptr, 0, 0, FALSE);
        ScriptStringFree(&ssa);
    }
    const HENHMETAFILE file = CloseEnhMetaFile(meta);
    if (!file) return choice;
    const std::vector<MetafileText> texts = metafileTexts(file);
    DeleteEnhMetaFile(file);
    if (texts.size() != 1) return choice;
    Choice learnt{fontFor(texts.front().font), texts.front().glyphIndex};
    if (learnt.font < 0) return choice;
    // Taken only if it gives what the platform drew.
    ShapedLine probe;
    if (!shapeItem(dc, chars, analysis, learnt, probe) || probe.glyphs != texts.front().units)
        return choice;
    return learnt;
}

bool ShapingCache::shapeItem(HDC dc, std::u16string_view chars, const SCRIPT_ANALYSIS& analysis,
                             const Choice& choice, ShapedLine& line) {
    Font& font = fonts_[static_cast<std::size_t>(choice.font)];
    const HGDIOBJ old = font.owned ? SelectObject(dc, font.owned.get()) : nullptr;
    const int n = length(chars);
    bool ok = true;
    SCRIPT_ANALYSIS a = analysis;
    if (!choice.glyphIndex) a.fNoGlyphIndex = TRUE;
    // A fallback font must have every character: what it lacks the platform finds elsewhere.
    if (font.owned) {
        cmap_.resize(chars.size());
        ok = ScriptGetCMap(dc, &font.cache, units(chars), n, 0, cmap_.data()) == S_OK;
    }
    const std::size_t first = line.glyphs.size();
    int glyphCount = 0;
    if (ok) {
        const int maxGlyphs = n * 3 / 2 + 16;
        line.glyphs.resize(first + static_cast<std::size_t>(maxGlyphs));
        clusters_.resize(chars.size());
        visAttrs_.resize(static_cast<std::size_t>(maxGlyphs));
        ok = SUCCEEDED(ScriptShape(dc, &font.cache, units(chars), n, maxGlyphs, &a,
                                   &line.glyphs[first], clusters_.data(), visAttrs_.data(),
                                   &glyphCount));
    }
    if (ok) {
        const auto glyphs = static_cast<std::size_t>(glyphCount);
        line.glyphs.resize(first + glyphs);
        line.advances.resize(first + glyphs);
        line.offsets.resize(first + glyphs);
        ABC abc{};
        ok = SUCCEEDED(ScriptPlace(dc, &font.cache, &line.glyphs[first], glyphCount,
                                   visAttrs_.data(), &a, &line.advances[first],
                                   &line.offsets[first], &abc));
        int width = 0;
        for (std::size_t i = first; i < first + glyphs; ++i) width += line.advances[i];
        line.items.push_back({a, choice.font, first, glyphs, width});
        line.width += width;
    }
    if (old) SelectObject(dc, old);
    return ok;
}

bool ShapingCache::shape(HDC dc, std::u16string_view text, ShapedLine& line) {
    line = ShapedLine{};
    const auto font = static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    if (font != main_) {
        reset();
        if (!font || GetObjectW(font, sizeof mainLogFont_, &mainLogFont_) == 0) return false;
        main_ = font;
        fonts_.push_back({UniqueFont(), nullptr});
    }
    const int n = length(text);
    if (n == 0) return false;
    items_.resize(static_cast<std::size_t>(n) + 2);
    int count = 0;
    if (FAILED(itemize(text, n + 1, items_.data(), &count))) return false;
    for (int i = 0; i < count; ++i) {
        const auto begin = static_cast<std::size_t>(items_[i].iCharPos);
        const auto end = static_cast<std::size_t>(items_[i + 1].iCharPos);
        const std::u16string_view chars = text.substr(begin, end - begin);
        const SCRIPT_ANALYSIS& a = items_[i].a;
        // Whether the window's font has every character decides, as for the platform, whether
        // the run needs another font.
        cmap_.resize(chars.size());
        const bool covered = ScriptGetCMap(dc, &fonts_.front().cache, units(chars), length(chars),
                                           0, cmap_.data()) == S_OK;
        const std::uint32_t key = choiceKey(a, covered);
        auto choice = choices_.find(key);
        if (choice == choices_.end()) choice = choices_.emplace(key, learn(dc, chars, a)).first;
        if (choice->second.font < 0 || !shapeItem(dc, chars, a, choice->second, line)) return false;
    }
    // The items from left to right.
    levels_.resize(line.items.size());
    visualOrder_.resize(line.items.size());
    for (std::size_t i = 0; i < line.items.size(); ++i)
        levels_[i] = static_cast<BYTE>(line.items[i].analysis.s.uBidiLevel);
    if (FAILED(ScriptLayout(static_cast<int>(levels_.size()), levels_.data(), visualOrder_.data(),
                            nullptr)))
        return false;
    std::vector<ShapedLine::Item> visual;
    visual.reserve(line.items.size());
    for (int logical : visualOrder_)
        visual.push_back(line.items[static_cast<std::size_t>(logical)]);
    line.items = std::move(visual);
    return true;
}

void ShapingCache::draw(HDC dc, const ShapedLine& line, int x, int y, const RECT& clip) {
    const HGDIOBJ old = GetCurrentObject(dc, OBJ_FONT);
    for (const ShapedLine::Item& item : line.items) {
        if (x >= clip.right) break;
        if (item.glyphCount == 0) continue;
        Font& font = fonts_[static_cast<std::size_t>(item.font)];
        SelectObject(dc, font.owned ? static_cast<HGDIOBJ>(font.owned.get()) : old);
        ScriptTextOut(dc, &font.cache, x, y, ETO_CLIPPED, &clip, &item.analysis, nullptr, 0,
                      &line.glyphs[item.firstGlyph], static_cast<int>(item.glyphCount),
                      &line.advances[item.firstGlyph], nullptr, &line.offsets[item.firstGlyph]);
        x += item.width;
    }
    SelectObject(dc, old);
}

}  // namespace klw
