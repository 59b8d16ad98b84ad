// Measures which scripts Wine draws with a font, in the prefix it runs in (docs/walk.md):
//   klw_glyphs [FACE [CHARSET]]   default "ＭＳ Ｐゴシック" with SHIFTJIS_CHARSET at -12, the
//                                 window's font; FACE "message" takes the message box's font
// For a word of each script it prints how many characters the font itself lacks, and whether
// the word is drawn, that is differs from as many private-use characters (what no font draws):
// with ExtTextOutW, as the plain list box and the message box draw, with ScriptStringOut and the
// entry field's flags, and as the program's list draws a row; and what Uniscribe's ScriptShape
// answers for each run.
#include <windows.h>
// usp10.h needs the declarations of windows.h.
#include <usp10.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "widgets/entry_text.h"

namespace {

std::string utf8(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

std::wstring wide(const char* s) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    std::wstring w(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
    return w;
}

// A white 32-bit bitmap with the font selected, to draw words into and read them back.
class Canvas {
public:
    explicit Canvas(HFONT font) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = kWidth;
        bi.bmiHeader.biHeight = -kHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, &bits_, nullptr, 0);
        SelectObject(dc_, bitmap_);
        SelectObject(dc_, font);
    }
    ~Canvas() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_; }
    void clear() {
        RECT r{0, 0, kWidth, kHeight};
        FillRect(dc_, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    std::vector<unsigned> pixels() const {
        GdiFlush();
        const auto* p = static_cast<const unsigned*>(bits_);
        return {p, p + kWidth * kHeight};
    }

private:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 24;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
};

std::vector<unsigned> extTextOut(Canvas& c, const std::wstring& s) {
    c.clear();
    ExtTextOutW(c.dc(), 2, 2, 0, nullptr, s.c_str(), static_cast<UINT>(s.size()), nullptr);
    return c.pixels();
}

// As Wine's edit control draws a line.
std::vector<unsigned> scriptStringOut(Canvas& c, const std::wstring& s) {
    c.clear();
    SCRIPT_STRING_ANALYSIS analysis = nullptr;
    const int n = static_cast<int>(s.size());
    if (SUCCEEDED(ScriptStringAnalyse(c.dc(), s.c_str(), n, n * 3 / 2 + 16, -1,
                                      SSA_LINK | SSA_FALLBACK | SSA_GLYPHS | SSA_TAB, -1, nullptr,
                                      nullptr, nullptr, nullptr, nullptr, &analysis))) {
        ScriptStringOut(analysis, 2, 2, 0, nullptr, 0, 0, FALSE);
        ScriptStringFree(&analysis);
    }
    return c.pixels();
}

// Whether every pixel that `part` inked is the same in `whole`: the start of a row drawn alone.
bool startsAlike(const std::vector<unsigned>& whole, const std::vector<unsigned>& part) {
    for (size_t i = 0; i < part.size() && i < whole.size(); ++i) {
        if ((part[i] & 0xFFFFFF) != 0xFFFFFF && part[i] != whole[i]) return false;
    }
    return true;
}

// As the program's list draws a row.
std::vector<unsigned> entryRow(Canvas& c, const std::wstring& s) {
    c.clear();
    const RECT row{0, 2, 400, 22};
    klw::ShapingCache cache;
    klw::drawEntryRow(c.dc(), row,
                      std::u16string_view(reinterpret_cast<const char16_t*>(s.data()), s.size()),
                      cache);
    return c.pixels();
}

std::string shapes(Canvas& c, const std::wstring& w) {
    SCRIPT_ITEM items[33];
    int count = 0;
    std::string out;
    if (FAILED(ScriptItemize(w.c_str(), static_cast<int>(w.size()), 32, nullptr, nullptr, items,
                             &count)))
        return " (not itemized)";
    for (int i = 0; i < count; ++i) {
        SCRIPT_CACHE cache = nullptr;
        WORD glyphs[64];
        WORD clusters[64];
        SCRIPT_VISATTR attrs[64];
        int glyphCount = 0;
        const HRESULT hr = ScriptShape(c.dc(), &cache, w.c_str() + items[i].iCharPos,
                                       items[i + 1].iCharPos - items[i].iCharPos, 64, &items[i].a,
                                       glyphs, clusters, attrs, &glyphCount);
        char text[48];
        std::snprintf(text, sizeof text, " script %d: %08lx", items[i].a.eScript,
                      static_cast<unsigned long>(hr));
        out += text;
        ScriptFreeCache(&cache);
    }
    return out;
}

}  // namespace

static void measure(HFONT font, const LOGFONTW& lf) {
    Canvas canvas(font);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(canvas.dc(), LF_FACESIZE, chosen);
    std::printf("code page %u, font \"%s\" charset %d: \"%s\"\n", GetACP(),
                utf8(lf.lfFaceName).c_str(), lf.lfCharSet, utf8(chosen).c_str());
    static const char* const kWords[] = {"Café",   "Ελληνικά", "Русский",   "日本語",     "汉语",
                                         "한국어", "ภาษาไทย",  "العربية",   "עברית",      "हिन्दी",
                                         "🍣🍜",     "𠀋𡈽",     "汉语עברית", "汉语العربية"};
    for (const char* word : kWords) {
        const std::wstring w = wide(word);
        // The twin: a private-use character for each UTF-16 unit, a private-use pair for a pair.
        std::wstring twin(w.size(), L'\ue000');
        for (size_t i = 0; i + 1 < w.size(); ++i) {
            if (w[i] >= 0xd800 && w[i] < 0xdc00) {
                twin[i] = 0xdb80;
                twin[++i] = 0xdc00;
            }
        }
        std::vector<WORD> indices(w.size());
        GetGlyphIndicesW(canvas.dc(), w.c_str(), static_cast<int>(w.size()), indices.data(),
                         GGI_MARK_NONEXISTING_GLYPHS);
        int missing = 0;
        for (WORD g : indices) missing += g == 0xffff;
        const bool listDrawn = extTextOut(canvas, w) != extTextOut(canvas, twin);
        const bool fieldDrawn = scriptStringOut(canvas, w) != scriptStringOut(canvas, twin);
        // A word that mixes scripts is drawn only when each part is: Chinese as dots beside
        // drawn Hebrew still differs from the twin, so the row of Chinese before a shaped word
        // is also compared with the Chinese alone.
        bool rowDrawn = entryRow(canvas, w) != entryRow(canvas, twin);
        const std::wstring::size_type han = w.find_first_not_of(L"\u6c49\u8bed");
        if (rowDrawn && han > 0 && han != std::wstring::npos) {
            const std::wstring chinese = w.substr(0, han);
            rowDrawn = startsAlike(entryRow(canvas, w), entryRow(canvas, chinese));
        }
        std::printf(
            "%s: %d of %zu units not in the font; ExtTextOutW %s; ScriptStringOut %s; the "
            "program's row %s;%s\n",
            word, missing, w.size(), listDrawn ? "drawn" : "dots", fieldDrawn ? "drawn" : "dots",
            rowDrawn ? "drawn" : "dots", shapes(canvas, w).c_str());
    }
}

int main(int argc, char** argv) {
    LOGFONTW lf{};
    const std::wstring face =
        argc > 1 ? wide(argv[1]) : L"\uff2d\uff33 \uff30\u30b4\u30b7\u30c3\u30af";
    if (face == L"message") {
        NONCLIENTMETRICSW ncm{};
        ncm.cbSize = sizeof ncm;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
        lf = ncm.lfMessageFont;
    } else {
        lf.lfHeight = -12;
        lf.lfCharSet = static_cast<BYTE>(argc > 2 ? std::atoi(argv[2]) : SHIFTJIS_CHARSET);
        lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    }
    HFONT font = CreateFontIndirectW(&lf);
    measure(font, lf);
    DeleteObject(font);
    return 0;
}
