#include "persist/stream_format.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <random>
#include <vector>

#include "persist/published_properties.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

TEST(StreamNames, CompareWithoutLetterCase) {
    EXPECT_TRUE(sameText("Items.Strings", "items.STRINGS"));
    EXPECT_FALSE(sameText("Items", "Items."));
    EXPECT_FALSE(sameText("a", "b"));
    // Only ASCII letters fold: bytes of the code page stay as they are.
    EXPECT_FALSE(sameText("\x82\xA0", "\x82\x80"));
    EXPECT_TRUE(isValidIdent("lbxURL"));
    EXPECT_TRUE(isValidIdent("_a1"));
    for (const char* bad : {"", "1a", "a.b", "a b", "a-b", "\x82\xA0"})
        EXPECT_FALSE(isValidIdent(bad)) << bad;
}

TEST(StreamText, SevenBitDetection) {
    EXPECT_TRUE(isSevenBit(""));
    EXPECT_TRUE(isSevenBit("https://www.example.com/a/very/long/path?q=1"));
    for (std::size_t at = 0; at < 40; ++at) {
        std::string s(40, 'a');
        s[at] = '\x80';
        EXPECT_FALSE(isSevenBit(s)) << at;
    }
}

// The block-wise scans against a byte-by-byte reading, for every length and position.
TEST(StreamText, ScansAgreeWithBytewiseReading) {
    for (std::size_t n = 0; n <= 50; ++n) {
        for (std::size_t at = 0; at <= n; ++at) {
            for (const char mark : {'\0', '\x80', '\xFF', 'a'}) {
                std::string s(n, 'x');
                if (at < n) s[at] = mark;
                const bool high = at < n && static_cast<unsigned char>(mark) >= 0x80;
                EXPECT_EQ(isSevenBit(s), !high) << n << " " << at;
                std::string copy(n, '?');
                const std::size_t plain = high ? at : n;
                EXPECT_EQ(copySevenBitPrefix(s, copy.data()), plain) << n << " " << at;
                EXPECT_EQ(copy.substr(0, plain), s.substr(0, plain)) << n << " " << at;
                EXPECT_EQ(sevenBitPrefix(s), high ? at : n) << n << " " << at;
            }
        }
    }
}

// The program's text in the stream's form, into a buffer of exactly the room it asks for (so that
// the sanitizers see any byte written beyond it).
std::string fastStream(std::string_view text) {
    std::vector<char> out(3 * text.size());
    const std::size_t n = encodeStreamUtf8(text, out.data());
    EXPECT_LE(n, out.size());
    return std::string(out.data(), n);
}

TEST(StreamText, UnitsBecomeOneToThreeBytes) {
    std::string out = fastStream(utf16ToUtf8(u"A\u00E9\u3042"));
    EXPECT_EQ(out, "A\xC3\xA9\xE3\x81\x82");
    // A surrogate pair is two units, each on its own.
    out = fastStream(utf16ToUtf8(u"\U0001F600"));
    EXPECT_EQ(out, "\xED\xA0\xBD\xED\xB8\x80");
    std::u16string back;
    EXPECT_TRUE(decodeStreamUtf8(out, back));
    EXPECT_EQ(back, u"\U0001F600");
    // Where the groups change length: U+007F, U+0080, U+07FF, U+0800, U+FFFF.
    EXPECT_EQ(fastStream(utf16ToUtf8(u"\u007F\u0080\u07FF\u0800\uFFFF")),
              "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
}

// Each value decodes as broken: false, and the empty text.
void expectBroken(std::initializer_list<const char*> values) {
    for (const char* broken : values) {
        std::u16string out = u"stale";
        EXPECT_FALSE(decodeStreamUtf8(broken, out)) << broken;
        EXPECT_TRUE(out.empty()) << broken;
    }
}

TEST(StreamText, DecodingRule) {
    std::u16string out;
    EXPECT_TRUE(decodeStreamUtf8("a\xC3\xA9\xE3\x81\x82", out));
    EXPECT_EQ(out, u"a\u00E9\u3042");
    // The 0x20 bit alone decides the group's length, even for bytes below 0xC0.
    EXPECT_TRUE(decodeStreamUtf8("\x81\x81\xA3\x81\x82", out));
    EXPECT_EQ(out, u"A\u3042");
    expectBroken({"\xE3\x81", "\xC3", "\xC3\x41", "\xE3\x81\xC0", "\xFF", "\xE3\x81\x82\xE3",
                  // From 0xF0 up: no 4-byte form, or one with a stray byte after it.
                  "\xF0\x81\x81", "\xF0\x9F\x98\x80\x80"});
}

// A character outside the 16-bit range as ordinary UTF-8 encoders write it, 4 bytes, is read as
// that character; every other sequence from 0xF0 up keeps the value broken.
TEST(StreamText, FourByteSequencesAreTheirCharacters) {
    std::u16string out;
    EXPECT_TRUE(decodeStreamUtf8("ok\xF0\x9F\x8D\xA3!", out));
    EXPECT_EQ(out, u"ok\U0001F363!");
    EXPECT_TRUE(decodeStreamUtf8("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", out));
    EXPECT_EQ(out, u"\U00010000\U0010FFFF");
    // Next to the stream's own groups: the pair as two 3-byte groups reads the same.
    EXPECT_TRUE(decodeStreamUtf8("\xF0\x9F\x8D\xA3\xED\xA0\xBC\xED\xBD\xA3", out));
    EXPECT_EQ(out, u"\U0001F363\U0001F363");
    expectBroken({"\xF0\x8F\xBF\xBF",      // below U+10000 (an overlong form)
                  "\xF0\x80\x80\x80",      // U+0000 overlong
                  "\xF4\x90\x80\x80",      // above U+10FFFF
                  "\xF5\x80\x80\x80",      // no character's lead
                  "\xF8\x88\x80\x80\x80",  // a 5-byte form
                  "\xFF\xBF\xBF\xBF",      // 0xFF leads nothing
                  "\xF0\x9F\x8D",          // cut short
                  "\xF0\x9F\x8D\x41",      // a trail byte missing
                  "\xF0\xC0\x8D\xA3",      // no trail byte after the lead
                  "a\xF0"});
}

// Bytes as hex digits, for failure messages.
std::string hexOf(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += "0123456789ABCDEF"[b >> 4];
        out += "0123456789ABCDEF"[b & 15];
        out += ' ';
    }
    return out;
}

// The stream's value as the program's text the long way: decoded to UTF-16, then to UTF-8.
std::optional<std::string> slowText(std::string_view bytes) {
    std::u16string units;
    if (!decodeStreamUtf8(bytes, units)) return std::nullopt;
    return utf16ToUtf8(units);
}

std::optional<std::string> fastText(std::string_view bytes) {
    std::string scratch = "stale";
    bool broken = false;
    const std::string_view text = streamUtf8AsText(bytes, scratch, broken);
    if (broken) {
        EXPECT_TRUE(text.empty());
        return std::nullopt;
    }
    return std::string(text);
}

// The program's text in the stream's form the long way: to UTF-16, then each unit on its own as
// 1, 2 or 3 bytes.
std::string slowStream(std::string_view text) {
    std::string out;
    for (const char16_t u : utf8ToUtf16(text)) {
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

// Every UTF-16 unit in each group length that can carry it, with the groups that the length rule
// reads differently from UTF-8 (overlong forms, leads below 0xC0, surrogates).
TEST(StreamText, EveryUnitBecomesTheSameTextBothWays) {
    for (unsigned u = 0; u < 0x10000; ++u) {
        std::vector<std::string> forms = {
            {static_cast<char>(0xE0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
             static_cast<char>(0x80 | (u & 0x3F))},
            // 0xA0..0xBF lead a group of 3 as well.
            {static_cast<char>(0xA0 | (u >> 12)), static_cast<char>(0x80 | ((u >> 6) & 0x3F)),
             static_cast<char>(0x80 | (u & 0x3F))}};
        if (u < 0x800) {
            forms.push_back(
                {static_cast<char>(0xC0 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F))});
            forms.push_back(
                {static_cast<char>(0x80 | (u >> 6)), static_cast<char>(0x80 | (u & 0x3F))});
        }
        if (u < 0x80) forms.push_back(std::string(1, static_cast<char>(u)));
        for (const std::string& f : forms) {
            ASSERT_EQ(fastText(f), slowText(f)) << u;
            ASSERT_EQ(fastText("a" + f + "b" + f), slowText("a" + f + "b" + f)) << u;
        }
        // The unit as the program holds it goes into the stream as its 3-byte group (or less).
        const std::string text = utf16ToUtf8(std::u16string(1, static_cast<char16_t>(u)));
        ASSERT_EQ(fastStream(text), slowStream(text)) << u;
        ASSERT_EQ(fastText(fastStream(text)), text) << u;
    }
}

TEST(StreamText, CharactersOutsideTheSixteenBitRangeAreTwoGroups) {
    // U+1F363 is the pair D83C DF63.
    EXPECT_EQ(fastStream("🍣"), "\xED\xA0\xBC\xED\xBD\xA3");
    EXPECT_EQ(fastText("\xED\xA0\xBC\xED\xBD\xA3"), "🍣");
    // Its ordinary 4-byte form is the same character; written again, it is two groups.
    EXPECT_EQ(fastText("\xF0\x9F\x8D\xA3"), "🍣");
    EXPECT_EQ(fastStream(*fastText("\xF0\x9F\x8D\xA3")), "\xED\xA0\xBC\xED\xBD\xA3");
    EXPECT_EQ(fastText("\xED\xA0\xBC\xF0\x9F\x8D\xA3"), "\xED\xA0\xBC🍣");
    EXPECT_EQ(fastStream("x🍣y𐐀"), slowStream("x🍣y𐐀"));
    for (char32_t c = 0x10000; c < 0x110000; c += 0x101) {
        std::string text = "a";
        appendUtf8(c, text);
        ASSERT_EQ(fastText(fastStream(text)), text) << std::hex << static_cast<unsigned>(c);
        // Its 4-byte form, as another tool writes it, reads the same both ways.
        ASSERT_EQ(fastText(text), text) << std::hex << static_cast<unsigned>(c);
        ASSERT_EQ(slowText(text), text) << std::hex << static_cast<unsigned>(c);
    }
    // A high surrogate directly before U+E000 is no pair.
    EXPECT_EQ(fastText("\xED\xA0\xBC\xEE\x80\x80"), "\xED\xA0\xBC\xEE\x80\x80");
    EXPECT_EQ(fastStream("\xED\xA0\xBC\xEE\x80\x80"), "\xED\xA0\xBC\xEE\x80\x80");
    // Lone surrogates keep their groups; a lone low one after a pair stays apart.
    EXPECT_EQ(fastText("\xED\xA0\xBC"), "\xED\xA0\xBC");
    EXPECT_EQ(fastText("\xED\xA0\xBC\xED\xBD\xA3\xED\xBD\xA3"), "🍣\xED\xBD\xA3");
    // A malformed byte of the program's text goes into the stream as U+FFFD.
    EXPECT_EQ(fastStream("a\xE3\x81"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
    // The zero character is a group of the stream like any other.
    EXPECT_EQ(fastText(std::string("a\xC0\x80", 3)), std::string("a\0", 2));
}

// Arbitrary bytes: lone leads, broken and 4-byte groups, truncated texts.
TEST(StreamText, ConversionsAgreeOnArbitraryBytes) {
    std::mt19937 rng(4711);
    const unsigned char pool[] = {0x00, 0x41, 0x5C, 0x7F, 0x80, 0x81, 0x82, 0x8F, 0x90,
                                  0x9F, 0xA0, 0xA1, 0xBF, 0xC0, 0xC3, 0xDF, 0xE0, 0xE3,
                                  0xED, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF};
    for (int run = 0; run < 200000; ++run) {
        std::string s(rng() % 12, '\0');
        for (char& c : s)
            c = static_cast<char>(rng() % 2 ? pool[rng() % sizeof pool] : rng() % 256);
        ASSERT_EQ(fastText(s), slowText(s)) << hexOf(s);
        ASSERT_EQ(fastStream(s), slowStream(s)) << hexOf(s);
    }
}

TEST(ListBoxDescription, PublishedPropertiesInIndexOrder) {
    const char* order[] = {"Name",        "Tag",          "Left",           "Top",
                           "Width",       "Height",       "Cursor",         "Hint",
                           "HelpType",    "HelpKeyword",  "HelpContext",    "TabStop",
                           "Style",       "AutoComplete", "Align",          "Anchors",
                           "BevelEdges",  "BevelInner",   "BevelKind",      "BevelOuter",
                           "BiDiMode",    "BorderStyle",  "Color",          "Columns",
                           "Constraints", "Ctl3D",        "DragCursor",     "DragKind",
                           "DragMode",    "Enabled",      "ExtendedSelect", "Font",
                           "ImeMode",     "ImeName",      "IntegralHeight", "ItemHeight",
                           "Items",       "MultiSelect",  "ParentBiDiMode", "ParentColor",
                           "ParentCtl3D", "ParentFont",   "ParentShowHint", "PopupMenu",
                           "ScrollWidth", "ShowHint",     "Sorted",         "TabOrder",
                           "TabWidth",    "Visible",      "OnClick",        "OnContextPopup",
                           "OnData",      "OnDataFind",   "OnDataObject",   "OnDblClick",
                           "OnDragDrop",  "OnDragOver",   "OnDrawItem",     "OnEndDock",
                           "OnEndDrag",   "OnEnter",      "OnExit",         "OnKeyDown",
                           "OnKeyPress",  "OnKeyUp",      "OnMeasureItem",  "OnMouseDown",
                           "OnMouseMove", "OnMouseUp",    "OnStartDock",    "OnStartDrag"};
    const ClassInfo& c = listBoxClass();
    ASSERT_EQ(c.properties.size(), std::size(order));
    for (std::size_t i = 0; i < c.properties.size(); ++i) {
        const PropertyInfo& p = c.properties[i];
        EXPECT_EQ(p.name, order[i]);
        EXPECT_EQ(c.findProperty(order[i]), &p);
        // Names beginning with "On" are the events, and only they.
        EXPECT_EQ(p.kind == PropertyKind::Event, p.name.starts_with("On")) << p.name;
        // Every value kind can be read and written.
        switch (p.kind) {
            case PropertyKind::Integer:
            case PropertyKind::Enumeration:
            case PropertyKind::Set:
                EXPECT_TRUE(p.getOrdinal && p.setOrdinal) << p.name;
                break;
            case PropertyKind::String:
            case PropertyKind::Component:
                EXPECT_TRUE(p.getString && p.setString) << p.name;
                break;
            case PropertyKind::Object:
                EXPECT_NE(p.objectClass, nullptr);
                break;
            case PropertyKind::Event:
                break;
        }
    }
    EXPECT_EQ(c.className, "TListBox");
    ASSERT_EQ(c.defined.size(), 2u);
    EXPECT_EQ(c.defined[0].name, "IsControl");
    EXPECT_EQ(c.defined[1].name, "DesignSize");
    EXPECT_TRUE(c.publishedMethods.empty());
    EXPECT_EQ(c.findProperty("items")->objectClass, &listBoxStringsClass());
    EXPECT_EQ(c.findProperty("FONT")->objectClass, &fontClass());
    EXPECT_EQ(c.findProperty("Constraints")->objectClass, &sizeConstraintsClass());
    EXPECT_NE(listBoxStringsClass().findDefined("strings"), nullptr);
    EXPECT_EQ(c.findProperty("Strings"), nullptr);
    EXPECT_EQ(fontClass().properties.size(), 7u);
    EXPECT_EQ(sizeConstraintsClass().properties.size(), 4u);
}

TEST(ListBoxDescription, NameTables) {
    EXPECT_EQ(colorNames().size(), 49u);
    EXPECT_EQ(cursorNames().size(), 22u);
    EXPECT_EQ(charsetNames().size(), 18u);
    EXPECT_EQ(nameOfValue(colorNames(), 0xFFFFFF), "clWhite");
    EXPECT_EQ(nameOfValue(colorNames(), kClWindow), "clWindow");
    EXPECT_EQ(nameOfValue(colorNames(), 0x20000000), "clDefault");
    EXPECT_EQ(nameOfValue(colorNames(), 0x1FFFFFFF), "clNone");
    EXPECT_EQ(nameOfValue(colorNames(), kSystemColor + 21), "cl3DDkShadow");
    EXPECT_EQ(nameOfValue(colorNames(), 0x123456), std::nullopt);
    EXPECT_EQ(valueOfName(colorNames(), "CLMONEYGREEN"), 0xC0DCC0);
    EXPECT_EQ(valueOfName(colorNames(), "clNothing"), std::nullopt);
    // Two cursor names share a value: the first row is the one written.
    EXPECT_EQ(nameOfValue(cursorNames(), -22), "crSizeAll");
    EXPECT_EQ(valueOfName(cursorNames(), "crSize"), -22);
    EXPECT_EQ(nameOfValue(charsetNames(), 128), "SHIFTJIS_CHARSET");
    EXPECT_EQ(valueOfName(charsetNames(), "oem_charset"), 255);
    // Every name maps to its value and every value back to the first name that has it.
    for (auto table : {colorNames(), cursorNames(), charsetNames()}) {
        for (const NamedValue& row : table) {
            EXPECT_EQ(valueOfName(table, row.name), row.value);
            const auto first = nameOfValue(table, row.value);
            ASSERT_TRUE(first.has_value());
            EXPECT_EQ(valueOfName(table, *first), row.value);
        }
    }
    EXPECT_EQ(impliedAnchors(0), kAkLeft | kAkTop);
    EXPECT_EQ(impliedAnchors(5), 0xFu);
}

}  // namespace
}  // namespace klw
