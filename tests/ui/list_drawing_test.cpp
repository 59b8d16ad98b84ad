// What the list draws for a word of each script, read from the list's own painting: the list
// paints into an enhanced metafile (WM_PRINTCLIENT), whose records hold each text call with its
// font and either its characters or the glyph numbers that shaping produced, in drawing order.
#include <gtest/gtest.h>
// usp10.h needs the declarations of windows.h, which the fixture brings.
#include <usp10.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "main_window_fixture.h"

namespace klw::test {
namespace {

// One text call of the painting.
struct TextCall {
    std::wstring face;  // of the font selected for it
    LOGFONTW font{};
    bool glyphs = false;  // the units are glyph numbers, not characters
    std::vector<WORD> units;
    int x = 0;
};

// With `made`, the face of every font the painting created, in order.
std::vector<TextCall> textCalls(HENHMETAFILE emf, std::vector<std::wstring>* made = nullptr) {
    const UINT size = GetEnhMetaFileBits(emf, 0, nullptr);
    std::vector<BYTE> bytes(size);
    GetEnhMetaFileBits(emf, size, bytes.data());
    std::vector<TextCall> calls;
    std::vector<LOGFONTW> fonts(64);
    LOGFONTW current{};
    for (size_t at = 0; at + sizeof(ENHMETARECORD) <= size;) {
        const auto* record = reinterpret_cast<const ENHMETARECORD*>(&bytes[at]);
        if (record->nSize < 8 || at + record->nSize > size) break;
        if (record->iType == EMR_EXTCREATEFONTINDIRECTW) {
            const auto* f = reinterpret_cast<const EMREXTCREATEFONTINDIRECTW*>(record);
            if (f->ihFont < fonts.size()) fonts[f->ihFont] = f->elfw.elfLogFont;
            if (made) made->push_back(f->elfw.elfLogFont.lfFaceName);
        } else if (record->iType == EMR_SELECTOBJECT) {
            const DWORD index = reinterpret_cast<const EMRSELECTOBJECT*>(record)->ihObject;
            if (index < fonts.size() && fonts[index].lfFaceName[0]) current = fonts[index];
        } else if (record->iType == EMR_EXTTEXTOUTW) {
            const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
            if (t->emrtext.nChars > 0) {
                TextCall call;
                call.font = current;
                call.face = current.lfFaceName;
                call.glyphs = (t->emrtext.fOptions & ETO_GLYPH_INDEX) != 0;
                const auto* units = reinterpret_cast<const WORD*>(
                    reinterpret_cast<const BYTE*>(record) + t->emrtext.offString);
                call.units.assign(units, units + t->emrtext.nChars);
                call.x = static_cast<int>(t->emrtext.ptlReference.x);
                calls.push_back(call);
            }
        }
        at += record->nSize;
    }
    return calls;
}

// The nominal glyph of each UTF-16 unit in a font: what drawing the characters one by one,
// unshaped, would take.
std::vector<WORD> nominalGlyphs(const LOGFONTW& font, const std::wstring& text) {
    HFONT f = CreateFontIndirectW(&font);
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, f);
    std::vector<WORD> glyphs(text.size());
    GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                     GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(f);
    return glyphs;
}

std::string narrow(const std::wstring& w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

class ListDrawing : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        show();
    }
    // The text calls of the list's painting with `word` as its only entry, not selected.
    std::vector<TextCall> drawn(const std::wstring& word) { return drawnRows({word}); }
    // The same with `words` as its entries; with `made`, the faces of the fonts it created.
    std::vector<TextCall> drawnRows(const std::vector<std::wstring>& words,
                                    std::vector<std::wstring>* made = nullptr) {
        form->lbxURL->clear();
        for (const std::wstring& word : words) form->lbxURL->append(narrow(word));
        HDC screen = GetDC(nullptr);
        HDC emf = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
        ReleaseDC(nullptr, screen);
        SendMessageW(form->lbxURL->handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(emf),
                     PRF_CLIENT | PRF_ERASEBKGND);
        HENHMETAFILE file = CloseEnhMetaFile(emf);
        std::vector<TextCall> calls = textCalls(file, made);
        DeleteEnhMetaFile(file);
        return calls;
    }
    // The text calls of Uniscribe's string functions with font fallback drawing `word` alone, in
    // the list's font where the list draws a row's text: what the list drew before it kept what
    // one row learnt for the next.
    std::vector<TextCall> platformDrawn(const std::wstring& word) {
        HDC screen = GetDC(nullptr);
        HDC emf = CreateEnhMetaFileW(screen, nullptr, nullptr, nullptr);
        ReleaseDC(nullptr, screen);
        SelectObject(
            emf, reinterpret_cast<HFONT>(SendMessageW(form->lbxURL->handle(), WM_GETFONT, 0, 0)));
        const auto n = static_cast<int>(word.size());
        SCRIPT_STRING_ANALYSIS a = nullptr;
        if (SUCCEEDED(ScriptStringAnalyse(emf, word.c_str(), n, n * 3 / 2 + 16, -1,
                                          SSA_GLYPHS | SSA_FALLBACK | SSA_LINK, -1, nullptr,
                                          nullptr, nullptr, nullptr, nullptr, &a))) {
            ScriptStringOut(a, 1, 0, 0, nullptr, 0, 0, FALSE);
            ScriptStringFree(&a);
        }
        HENHMETAFILE file = CloseEnhMetaFile(emf);
        std::vector<TextCall> calls = textCalls(file);
        DeleteEnhMetaFile(file);
        return calls;
    }
    // Whether the list draws `word` as the platform's string functions do: the same fonts (face
    // and height), the same glyphs or characters, at the same places.
    void expectDrawnAsThePlatformDraws(const std::wstring& word) {
        const std::vector<TextCall> ours = drawn(word);
        const std::vector<TextCall> platform = platformDrawn(word);
        ASSERT_EQ(ours.size(), platform.size()) << narrow(word);
        for (size_t i = 0; i < ours.size(); ++i) {
            EXPECT_EQ(narrow(ours[i].face), narrow(platform[i].face)) << narrow(word) << " " << i;
            EXPECT_EQ(ours[i].font.lfHeight, platform[i].font.lfHeight) << narrow(word) << " " << i;
            EXPECT_EQ(ours[i].glyphs, platform[i].glyphs) << narrow(word) << " " << i;
            EXPECT_EQ(ours[i].units, platform[i].units) << narrow(word) << " " << i;
            EXPECT_EQ(ours[i].x, platform[i].x) << narrow(word) << " " << i;
        }
    }
    // The one shaped call that draws a word of a script the window's font lacks: glyph numbers,
    // none missing, from a font other than the window's.
    TextCall shapedCall(const std::wstring& word) {
        const std::vector<TextCall> calls = drawn(word);
        std::vector<TextCall> shaped;
        for (const TextCall& c : calls)
            if (c.glyphs) shaped.push_back(c);
        EXPECT_EQ(shaped.size(), 1u) << narrow(word) << ": " << calls.size() << " calls";
        if (shaped.empty()) return {};
        const TextCall& call = shaped.front();
        EXPECT_NE(call.face, windowFace()) << narrow(word);
        for (WORD g : call.units)
            EXPECT_TRUE(g != 0 && g != 0xFFFF) << narrow(word) << " glyph " << g;
        return call;
    }
    std::wstring windowFace() const {
        LOGFONTW lf{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(form->lbxURL->handle(), WM_GETFONT, 0, 0)),
                   sizeof lf, &lf);
        return lf.lfFaceName;
    }
};

TEST_F(ListDrawing, RunsInTheCodePageItWasStartedFor) {
    const char* expected = std::getenv("KLW_EXPECT_ACP");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

TEST_F(ListDrawing, ScriptsDrawnBeforeAreStillDrawnAsCharactersInTheWindowFont) {
    // Latin, Greek, Cyrillic, Japanese, simplified Chinese, Hangul: the characters themselves,
    // in order, in the window's font (whose links draw Chinese and Hangul), as the plain list
    // drew them.
    for (const std::wstring word :
         {L"https://example.com/Caf\u00e9-\u00d8rsted-Stra\u00dfe",
          L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac",
          L"\u0420\u0443\u0441\u0441\u043a\u0438\u0439",
          L"\u65e5\u672c\u8a9e\u304b\u306a\u30ab\u30ca", L"\u6c49\u8bed", L"\ud55c\uad6d\uc5b4"}) {
        std::wstring text;
        for (const TextCall& c : drawn(word)) {
            EXPECT_FALSE(c.glyphs) << narrow(word);
            EXPECT_EQ(c.face, windowFace()) << narrow(word);
            text.append(c.units.begin(), c.units.end());
        }
        EXPECT_EQ(text, word);
    }
}

TEST_F(ListDrawing, HebrewRunsRightToLeft) {
    const std::wstring word = L"\u05e2\u05d1\u05e8\u05d9\u05ea";  // עברית
    const TextCall call = shapedCall(word);
    std::vector<WORD> expected = nominalGlyphs(call.font, word);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(call.units, expected);
}

TEST_F(ListDrawing, ArabicIsJoinedInItsPositionalFormsRightToLeft) {
    const std::wstring word = L"\u0627\u0644\u0639\u0631\u0628\u064a\u0629";  // العربية
    const TextCall call = shapedCall(word);
    ASSERT_EQ(call.units.size(), word.size());
    const std::vector<WORD> nominal = nominalGlyphs(call.font, word);
    // Drawn from right to left: the last letter, teh marbuta in its final form, comes first,
    // and the first, alef, which joins nothing, in its isolated form last.
    EXPECT_EQ(call.units.front(), nominalGlyphs(call.font, L"\ufe94").front());
    EXPECT_EQ(call.units.back(), nominalGlyphs(call.font, L"\ufe8d").front());
    // The letters in the middle join on both sides: none of them keeps its nominal form.
    std::vector<WORD> logical(call.units.rbegin(), call.units.rend());
    for (size_t i = 2; i + 1 < word.size(); ++i)
        EXPECT_NE(logical[i], nominal[i]) << "letter " << i << " unjoined";
}

TEST_F(ListDrawing, DevanagariHasItsConjunctAndTheVowelSignBeforeItsConsonant) {
    const std::wstring word = L"\u0939\u093f\u0928\u094d\u0926\u0940";  // हिन्दी
    const TextCall call = shapedCall(word);
    const std::vector<WORD> nominal = nominalGlyphs(call.font, word);
    ASSERT_GE(call.units.size(), 2u);
    // The vowel sign i is drawn before ha, which it follows in the text.
    EXPECT_EQ(call.units[0], nominal[1]);
    EXPECT_EQ(call.units[1], nominal[0]);
    // The virama is no glyph of its own: na and da form a conjunct.
    EXPECT_LT(call.units.size(), word.size());
    EXPECT_EQ(std::count(call.units.begin(), call.units.end(), nominal[3]), 0);
}

TEST_F(ListDrawing, ThaiIsDrawnWithItsMarks) {
    // Bangkok's name, with a vowel below (u) and tone and vowel marks above.
    const std::wstring word = L"\u0e01\u0e23\u0e38\u0e07\u0e40\u0e17\u0e1e\u0e17\u0e35\u0e48";
    const TextCall call = shapedCall(word);
    EXPECT_EQ(call.units.size(), word.size());
    const std::vector<WORD> nominal = nominalGlyphs(call.font, word);
    for (size_t i = 0; i < word.size(); ++i) EXPECT_NE(nominal[i], 0xFFFF) << i;
}

TEST_F(ListDrawing, EmojiAreDrawnOneGlyphEach) {
    const std::wstring word = L"\U0001F363\U0001F35C";  // 🍣🍜
    const TextCall call = shapedCall(word);
    EXPECT_EQ(call.units.size(), 2u);
    if (call.units.size() == 2) {
        EXPECT_NE(call.units[0], call.units[1]);
    }
}

TEST_F(ListDrawing, AMixedRowKeepsItsLatinStartLeftOfTheRightToLeftWord) {
    const std::wstring word = L"https://he.wikipedia.org/wiki/\u05e2\u05d1\u05e8\u05d9\u05ea";
    const std::vector<TextCall> calls = drawn(word);
    ASSERT_GE(calls.size(), 2u);
    const TextCall& last = calls.back();
    EXPECT_TRUE(last.glyphs);
    for (size_t i = 0; i + 1 < calls.size(); ++i) EXPECT_LT(calls[i].x, last.x);
}

TEST_F(ListDrawing, ChineseInARowWithShapedWordsIsDrawnAsCharactersBetweenThem) {
    // Arabic, Chinese, Hebrew: the Chinese goes as characters in the window's font (whose links
    // have it), with the slash after it, in its place between the two shaped words; no glyph
    // drawn is a missing one.
    const std::wstring chinese = L"\u6c49\u8bed";
    const std::wstring word = L"https://ar.example/\u0627\u0644\u0639\u0631\u0628\u064a\u0629/" +
                              chinese + L"/\u05e2\u05d1\u05e8\u05d9\u05ea?q=1";
    const std::vector<TextCall> calls = drawn(word);
    int chineseX = -1;
    std::vector<int> shapedX;
    for (const TextCall& c : calls) {
        if (c.glyphs) {
            shapedX.push_back(c.x);
            for (WORD g : c.units) EXPECT_TRUE(g != 0 && g != 0xFFFF) << "glyph " << g;
        } else if (std::wstring(c.units.begin(), c.units.end()).find(chinese) !=
                   std::wstring::npos) {
            EXPECT_EQ(c.face, windowFace());
            chineseX = c.x;
        }
    }
    ASSERT_GE(chineseX, 0) << calls.size() << " calls, none with the Chinese as characters";
    ASSERT_GE(shapedX.size(), 2u);
    EXPECT_LT(*std::min_element(shapedX.begin(), shapedX.end()), chineseX);
    EXPECT_GT(*std::max_element(shapedX.begin(), shapedX.end()), chineseX);
}

// Hebrew, Arabic, Thai, Devanagari, emoji, and Hebrew with digits and Arabic in one row.
const std::wstring kHebrew = L"\u05e2\u05d1\u05e8\u05d9\u05ea";
const std::wstring kArabic = L"\u0627\u0644\u0639\u0631\u0628\u064a\u0629";
const std::vector<std::wstring> kShapedWords{
    kHebrew,
    kArabic,
    L"\u0e01\u0e23\u0e38\u0e07\u0e40\u0e17\u0e1e\u0e17\u0e35\u0e48",
    L"\u0939\u093f\u0928\u094d\u0926\u0940",
    L"\U0001F363\U0001F35C",
    kHebrew + L" 2026 " + kArabic,
    kHebrew + L" (2026) " + kArabic + L"!",
};

TEST_F(ListDrawing, EachWordIsShapedAsThePlatformShapesItAfterRowsOfOtherScriptsAndFonts) {
    // Twice through, each script after another drawn from another font, and each back again
    // after the others, with the list's caches warm.
    for (int round = 0; round < 2; ++round) {
        for (const std::wstring& word : kShapedWords) expectDrawnAsThePlatformDraws(word);
    }
}

TEST_F(ListDrawing, AFontChangeOfTheListDropsWhatItsRowsLearnt) {
    for (const std::wstring& word : kShapedWords) expectDrawnAsThePlatformDraws(word);
    const HWND list = form->lbxURL->handle();
    const auto original = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    LOGFONTW lf{};
    GetObjectW(original, sizeof lf, &lf);
    for (const LONG height : {lf.lfHeight * 2, lf.lfHeight * 3 / 2}) {
        LOGFONTW larger = lf;
        larger.lfHeight = height;
        HFONT font = CreateFontIndirectW(&larger);
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        for (const std::wstring& word : kShapedWords) expectDrawnAsThePlatformDraws(word);
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(original), FALSE);
        DeleteObject(font);
    }
    for (const std::wstring& word : kShapedWords) expectDrawnAsThePlatformDraws(word);
}

TEST_F(ListDrawing, RowsOfOneScriptShareOneFallbackFont) {
    // Rows with a Hebrew word, and with Hebrew, digits and Arabic, between Latin rows: each
    // fallback font is made once for them all, not once a row.
    const std::wstring hebrewFace = shapedCall(kHebrew).face;
    const std::wstring arabicFace = shapedCall(kArabic).face;
    ASSERT_FALSE(hebrewFace.empty());
    ASSERT_FALSE(arabicFace.empty());
    std::vector<std::wstring> rows;
    for (int i = 0; i < 3; ++i) {
        rows.push_back(L"https://example.com/" + std::to_wstring(i));
        rows.push_back(L"https://he.example/" + std::to_wstring(i) + L"/" + kHebrew);
        rows.push_back(L"https://example.com/" + std::to_wstring(i) + L"/" + kHebrew + L" (2026) " +
                       kArabic);
    }
    std::vector<std::wstring> made;
    const std::vector<TextCall> calls = drawnRows(rows, &made);
    const auto drawnIn = [&calls](const std::wstring& face) {
        return std::count_if(calls.begin(), calls.end(),
                             [&face](const TextCall& c) { return c.glyphs && c.face == face; });
    };
    EXPECT_EQ(std::count(made.begin(), made.end(), hebrewFace), 1) << narrow(hebrewFace);
    EXPECT_EQ(std::count(made.begin(), made.end(), arabicFace), 1) << narrow(arabicFace);
    EXPECT_EQ(drawnIn(hebrewFace), 6);
    EXPECT_EQ(drawnIn(arabicFace), 3);
}

int deletedRows = 0;

LRESULT CALLBACK countDeletedRows(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lp)->message == WM_DELETEITEM)
        ++deletedRows;
    return CallNextHookEx(nullptr, code, wp, lp);
}

// The rows' messages counted while the form with `rows` entries goes; whether its list went too.
std::pair<int, bool> destroyedWith(std::unique_ptr<TfrmMain>& form, int rows) {
    form->lbxURL->beginUpdate();
    for (int i = 0; i < rows; ++i) form->lbxURL->append("https://example.com/" + std::to_string(i));
    form->lbxURL->endUpdate();
    HWND list = form->lbxURL->handle();
    deletedRows = 0;
    HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, countDeletedRows, nullptr, GetCurrentThreadId());
    form.reset();
    UnhookWindowsHookEx(hook);
    return {deletedRows, IsWindow(list) != FALSE};
}

TEST_F(ListDrawing, ALongListGoesWithItsFormWithoutAMessagePerRow) {
    EXPECT_EQ(destroyedWith(form, 10000), std::make_pair(0, false));
}

TEST_F(ListDrawing, AShortListGoesWithThePlatformsOwnTeardown) {
    // One message per row, each answered by the form.
    EXPECT_EQ(destroyedWith(form, 9999), std::make_pair(9999, false));
}

}  // namespace
}  // namespace klw::test
