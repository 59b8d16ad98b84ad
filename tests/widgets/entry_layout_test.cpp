#include "widgets/entry_layout.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace klw {

std::ostream& operator<<(std::ostream& out, const EntryRun& r) {
    return out << '[' << r.begin << ',' << r.end << (r.shaped ? " shaped]" : " plain]");
}

namespace {

TEST(NeedsShaping, ScriptsDrawnCharacterByCharacterStayPlain) {
    for (const char16_t* text : {u"https://example.com/Caf\u00e9-\u00d8rsted-Stra\u00dfe",
                                 u"\u0395\u03bb\u03bb\u03ac\u03c2", u"\u0420\u0443\u0441\u044c",
                                 u"\u65e5\u672c\u8a9e\u304b\u306a\u30ab\u30ca", u"\u6c49\u8bed",
                                 u"\ud55c\uad6d\uc5b4", u"\uff8d\uff99\uff8c\uff9f", u""}) {
        EXPECT_FALSE(needsShaping(text)) << std::u16string(text).size();
    }
}

TEST(NeedsShaping, ScriptsThatJoinReorderStackOrRunRightToLeftAreShaped) {
    // Hebrew, Arabic, Devanagari, Thai, Khmer, Arabic presentation form, a right-to-left mark,
    // an emoji (a surrogate pair), Tibetan; each after plain Latin.
    for (const char16_t* text :
         {u"x\u05e2\u05d1\u05e8\u05d9\u05ea", u"x\u0627\u0644\u0639\u0631\u0628\u064a\u0629",
          u"x\u0939\u093f\u0928\u094d\u0926\u0940", u"x\u0e20\u0e32\u0e29\u0e32",
          u"x\u1781\u17d2\u1798", u"x\ufef7", u"x\u200f", u"x\U0001F363", u"x\u0f40"}) {
        EXPECT_TRUE(needsShaping(text)) << std::u16string(text).size();
    }
    // The edges of the ranges.
    EXPECT_FALSE(needsShaping(u"\u058f"));
    EXPECT_TRUE(needsShaping(u"\u0590"));
    EXPECT_FALSE(needsShaping(u"\u1100"));                           // Hangul Jamo
    EXPECT_FALSE(needsShaping(u"\ue000"));                           // private use
    EXPECT_TRUE(needsShaping(std::u16string(1, char16_t{0xDFFF})));  // a lone half
}

TEST(EntryRuns, IdeographsKanaAndHangulInAShapedRowAreDrawnPlain) {
    EXPECT_TRUE(entryRuns(u"").empty());
    // A row that needs no shaping stays one plain run, whatever it holds.
    EXPECT_EQ(entryRuns(u"a\u6c49\u8bed"), (std::vector<EntryRun>{{0, 3, false}}));
    // Chinese between Arabic and Hebrew: the Chinese goes plain, with the slash after it; the
    // slash after the Arabic stays with it.
    EXPECT_EQ(entryRuns(u"x\u0627\u0644/\u6c49\u8bed/\u05e2\u05d1"),
              (std::vector<EntryRun>{{0, 1, false}, {1, 4, true}, {4, 7, false}, {7, 9, true}}));
    // Hiragana, katakana, the hyphen after them and a Hangul syllable in one plain run.
    EXPECT_EQ(entryRuns(u"\u05e2\u3042\u30ab-\uac00\u0e01"),
              (std::vector<EntryRun>{{0, 1, true}, {1, 5, false}, {5, 6, true}}));
    // The edges of the ranges: the ideographic space, the unit before the hiragana and Hangul
    // jamo after Hebrew stay with it; Yi and a Latin ligature after an ideograph are plain.
    EXPECT_EQ(entryRuns(u"\u05e2\u3000\u3040\u1100\u4e00"),
              (std::vector<EntryRun>{{0, 4, true}, {4, 5, false}}));
    EXPECT_EQ(entryRuns(u"\u05e2\u4dbf\ua000\uf900\ufb00\u9fff"),
              (std::vector<EntryRun>{{0, 1, true}, {1, 6, false}}));
}

TEST(EntryRuns, OnlyWhatMayBeWrittenRightToLeftOrNeedsShapingIsShaped) {
    // A web address with a Hebrew word: the address before it is plain, digits and all.
    const std::u16string address = u"https://example.com/page/1?sort=new&q=\u05e2\u05d1\u05e8";
    EXPECT_EQ(entryRuns(address),
              (std::vector<EntryRun>{{0, address.size() - 3, false},
                                     {address.size() - 3, address.size(), true}}));
    // Digits, spaces and punctuation after right-to-left text go with it up to the next
    // left-to-right letter: Latin, Greek, Cyrillic, accented Latin.
    for (const char16_t* letter : {u"a", u"Z", u"\u00e9", u"\u03b1", u"\u0436", u"\u1e9e"}) {
        const std::u16string text = u"\u0627\u0644 12.(" + std::u16string(letter) + u") 3";
        EXPECT_EQ(entryRuns(text), (std::vector<EntryRun>{{0, 7, true}, {7, 11, false}}))
            << static_cast<int>(letter[0]);
    }
    // A sign that is no letter (multiplication, a feminine ordinal) does not end it.
    EXPECT_EQ(entryRuns(u"\u05d0 \u00d7\u00aa1"), (std::vector<EntryRun>{{0, 5, true}}));
    // Nor do letters that need shaping themselves, or a character beyond U+FFFF: the slash after
    // Devanagari that follows Hebrew stays shaped; after an emoji too.
    EXPECT_EQ(entryRuns(u"\u05d0 \u0939/"), (std::vector<EntryRun>{{0, 4, true}}));
    EXPECT_EQ(entryRuns(u"a/\U0001F363/b"),
              (std::vector<EntryRun>{{0, 2, false}, {2, 5, true}, {5, 6, false}}));
    // Devanagari and Thai after Latin: only the shaped letters themselves.
    EXPECT_EQ(entryRuns(u"x/\u0939\u093f/1\u0e01/"),
              (std::vector<EntryRun>{
                  {0, 2, false}, {2, 4, true}, {4, 6, false}, {6, 7, true}, {7, 8, false}}));
}

TEST(EntryRuns, DirectionOverridesAndEmbeddingsKeepTheRowWhole) {
    for (const char16_t* text :
         {u"\u202e\u6c49abc", u"\u05e2\u2067\u6c49\u2069", u"\u6c49\u202a\u05e2\u202c"}) {
        EXPECT_EQ(entryRuns(text),
                  (std::vector<EntryRun>{{0, std::u16string_view(text).size(), true}}));
    }
    // A right-to-left mark is no embedding: the Chinese after it is still drawn plain.
    EXPECT_EQ(entryRuns(u"\u200f\u6c49"), (std::vector<EntryRun>{{0, 1, true}, {1, 2, false}}));
}

TEST(LineStarts, FillsEachLineAsFarAsItFits) {
    const std::vector<int> widths(10, 6);
    const std::vector<bool> stops(10, true);
    EXPECT_EQ(lineStarts(widths, stops, 1000), (std::vector<std::size_t>{0}));
    EXPECT_EQ(lineStarts(widths, stops, 24), (std::vector<std::size_t>{0, 4, 8}));
    EXPECT_EQ(lineStarts(widths, stops, 23), (std::vector<std::size_t>{0, 3, 6, 9}));
    EXPECT_EQ(lineStarts({}, {}, 10), (std::vector<std::size_t>{0}));
}

TEST(LineStarts, KeepsClustersWholeAndGivesAnOverwideOneItsOwnLine) {
    // Units 2-4 are one cluster (a base with two marks, or a surrogate pair and a mark).
    const std::vector<int> widths{5, 5, 5, 0, 0, 5, 5};
    const std::vector<bool> stops{true, true, true, false, false, true, true};
    EXPECT_EQ(lineStarts(widths, stops, 12), (std::vector<std::size_t>{0, 2, 6}));
    // A cluster of two units of width 4 after 10 pixels: at 14 its first unit would fit, but it
    // moves to the next line whole.
    EXPECT_EQ(lineStarts({5, 5, 4, 4, 5}, {true, true, true, false, true}, 14),
              (std::vector<std::size_t>{0, 2}));
    // A unit wider than the line stands alone, and the text after it goes on.
    EXPECT_EQ(lineStarts({3, 50, 3, 3}, {true, true, true, true}, 10),
              (std::vector<std::size_t>{0, 1, 2}));
}

}  // namespace
}  // namespace klw
