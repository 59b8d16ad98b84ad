// What the writer writes, the reader reads back into a fresh control unchanged.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

#include "persist/memory_list_control.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "persist/published_properties.h"
#include "runtime/codepage.h"
#include "runtime/unicode.h"
#include "stream_bytes.h"

namespace klw {
namespace {

using Entries = std::vector<std::string>;

void readInto(ListControl& control, const std::string& bytes) {
    MemoryStream s(bytes);
    ObjectStreamReader r(s);
    r.ParseRoot(control);
}

// Characters for random entries: Japanese ones that CP932 holds, and others it lacks (accented
// Latin, Korean, Cyrillic, outside the 16-bit range, a lone surrogate), as the program holds them.
std::vector<std::string> otherChars() {
    std::vector<std::string> out;
    const std::u16string pool = utf8ToUtf16(
        "あいうえおかきくけこがぎアイウエオヴ漢字東京都日本語表能ソ予ﾃｽﾄｶﾅｰ｡ー〜－①Ⅱ㈱＼￥"
        "éÉçßøÆ€한국어ЖжΩ中文简体");
    for (const char16_t u : pool) out.push_back(utf16ToUtf8(std::u16string(1, u)));
    for (const char* c : {"🍣", "𐐀", "𝄞", "\xED\xA0\xBC"}) out.push_back(c);
    return out;
}

std::string randomText(std::mt19937& rng, std::size_t maxLen, int otherPercent) {
    static const std::vector<std::string> others = otherChars();
    const std::size_t n = rng() % (maxLen + 1);
    std::string s;
    while (s.size() < n) {
        if (static_cast<int>(rng() % 100) < otherPercent)
            s += others[rng() % others.size()];
        else
            s.push_back(static_cast<char>(0x20 + rng() % 0x5F));
    }
    return s;
}

Entries roundTrip(const Entries& entries) {
    MemoryListControl source;
    source.setEntries(entries);
    MemoryListControl target;
    // An empty list leaves no trace in the file, so only a list with entries replaces others.
    if (!entries.empty()) target.setEntries({"stale"});
    readInto(target, test::writeImage(source));
    return target.entries();
}

TEST(RoundTrip, RandomLists) {
    std::mt19937 rng(20240601);
    struct Kind {
        const char* what;
        std::size_t count, maxLen;
        int otherPercent;
    } kinds[] = {
        {"ascii", 300, 120, 0}, {"other", 300, 40, 100}, {"mixed", 300, 200, 20},
        {"long", 20, 70000, 5}, {"short", 2000, 3, 30},
    };
    for (const auto& k : kinds) {
        for (int run = 0; run < 3; ++run) {
            Entries entries;
            for (std::size_t i = 0; i < k.count; ++i)
                entries.push_back(randomText(rng, k.maxLen, k.otherPercent));
            ASSERT_TRUE(roundTrip(entries) == entries) << k.what << " " << run;
        }
    }
}

TEST(RoundTrip, EdgeEntries) {
    const std::string a = "あ";
    const Entries cases[] = {
        {},
        {""},
        {"", "", ""},
        {std::string(255, 'x'), std::string(256, 'y'), std::string(4096, 'z')},
        {std::string(300, 'x') + a, a + std::string(4095, 'w'), "ﾃｽﾄ", "\\" + a + "~"},
        {"\x7F\x01\x1F"},  // control characters are 7-bit too
        {"https://fr.wikipedia.org/wiki/Café", "https://ko.wikipedia.org/wiki/한국어",
         "https://example.com/🍣", "https://ja.wikipedia.org/wiki/日本語"},
        {std::string(4093, 'x') + "🍣", "🍣" + std::string(5000, 'y'), "\xED\xBD\xA3"},
    };
    for (const auto& entries : cases) EXPECT_TRUE(roundTrip(entries) == entries) << entries.size();
}

#ifndef _WIN32
// A code page without its tables: the reader takes its general path.
class WithoutTables final : public CodePage {
public:
    explicit WithoutTables(const CodePage& cp) : cp_(cp) {}
    std::u16string toUtf16(std::string_view bytes) const override { return cp_.toUtf16(bytes); }

private:
    const CodePage& cp_;
};

Entries entriesThrough(const std::string& image, const CodePage& cp) {
    MemoryListControl control;
    MemoryStream s(image);
    ObjectStreamReader r(s, cp);
    r.ParseRoot(control);
    return control.entries();
}

// What the writer writes reads the same under every code page: its tags 6 and 12 only ever hold
// 7-bit text.
TEST(RoundTrip, FilesReadTheSameUnderEveryCodePage) {
    std::mt19937 rng(5);
    for (int run = 0; run < 20; ++run) {
        Entries entries;
        for (int i = 0; i < 200; ++i)
            entries.push_back(randomText(rng, run % 4 == 3 ? 2000 : 60, 30));
        MemoryListControl source;
        source.setEntries(entries);
        const std::string image = test::writeImage(source);
        ASSERT_TRUE(entriesThrough(image, nativeCodePage(932)) == entries) << run;
        ASSERT_TRUE(entriesThrough(image, nativeCodePage(1252)) == entries) << run;
    }
}

// Bytes of the code page in tags 6 and 12 (files of other programs) read the same through the
// code page's tables and through its general conversion, entries across the buffer's end
// included; so do hand-made UTF-8 entries with overlong zeros and broken groups.
TEST(RoundTrip, TablesChangeNoEntry) {
    std::mt19937 rng(99);
    for (const int number : {932, 1252}) {
        const CodePage& cp = nativeCodePage(number);
        const WithoutTables general(cp);
        ASSERT_EQ(general.byteCodeTables(), nullptr);
        for (int run = 0; run < 20; ++run) {
            std::string records;
            for (int i = 0; i < 300; ++i) {
                std::string e(rng() % (run % 4 == 3 ? 2000 : 60), 'a');
                for (char& c : e)
                    c = static_cast<char>(rng() % 3 ? 0x20 + rng() % 0x5F : rng() % 256);
                records += e.size() <= 255 ? test::shortText(e) : test::longText(e);
            }
            const std::string image =
                test::image(test::record("Items.Strings", "\x01" + records + '\0'));
            ASSERT_EQ(entriesThrough(image, cp), entriesThrough(image, general)) << run;
        }
    }
    std::string records;
    for (const std::string& e :
         {std::string("a\xC0\x80"
                      "b"),
          std::string("\xE0\x80\x80"
                      "c"),
          std::string("x\xE3\x81"), std::string("\xF0\x9F\x98\x80"),
          std::string("\x81\x81\xA3\x81\x82"), std::string(5000, 'a') + "\xE3\x81\x82"})
        records += test::utf8Text(e);
    const std::string image = test::image(test::record("Items.Strings", "\x01" + records + '\0'));
    const Entries read = entriesThrough(image, ansiCodePage());
    EXPECT_EQ(read, entriesThrough(image, WithoutTables(ansiCodePage())));
    EXPECT_EQ(read, (Entries{"a", "", "", "😀", "Aあ", std::string(5000, 'a') + "あ"}));
    // Japanese bytes of tags 6 and 12 are read in the code page of the system that reads them.
    const std::string sjis = test::image(test::strings("\x82\xA0", "caf\xE9"));
    EXPECT_EQ(entriesThrough(sjis, nativeCodePage(932)), (Entries{"あ", "caf\u30FB"}));
    EXPECT_EQ(entriesThrough(sjis, nativeCodePage(1252)), (Entries{"‚\u00A0", "café"}));
}
#endif

// A list file of another tool holding 🍣 as its 4 UTF-8 bytes loads as that character and is
// saved by the program's own rule: the two surrogates D83C and DF63 as 3-byte groups.
TEST(RoundTrip, FourByteCharacterIsSavedAsTwoGroups) {
    const std::string file =
        test::image(test::record("Items.Strings", test::hex("01 14 04 00 00 00 F0 9F 8D A3 00")));
    MemoryListControl control;
    readInto(control, file);
    EXPECT_EQ(control.entries(), Entries{"🍣"});
    const std::string saved = test::writeImage(control);
    const std::string expected = test::image(
        test::record("Left", test::int8(4)) + test::record("Top", test::int8(4)) +
        test::record("Width", test::hex("03 0B 01")) +
        test::record("Height", test::hex("03 85 00")) +
        test::record("Color", test::ident("clWhite")) + test::record("ItemHeight", test::int8(12)) +
        test::record("Items.Strings", test::hex("01 14 06 00 00 00 ED A0 BC ED BD A3 00")) +
        test::record("TabOrder", test::int8(2)));
    EXPECT_EQ(saved, expected);
}

// The example files checked in with the fuzzer, written by the program before it kept text in
// Unicode (their entries are all ones the Japanese code page holds), are written again byte for
// byte.
TEST(RoundTrip, CheckedInExamplesAreWrittenAgainUnchanged) {
    for (const char* name :
         {"worked_example.dat", "empty_list.dat", "japanese_entries.dat", "many_properties.dat"}) {
        const std::string path = std::string(KLW_CORPUS_DIR) + "/" + name;
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr) << path;
        std::string bytes;
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) bytes.append(buf, n);
        std::fclose(f);
        MemoryListControl control;
        readInto(control, bytes);
        EXPECT_EQ(test::writeImage(control), bytes) << name;
    }
}

// String properties at the boundary between UTF-8 and UTF-16: exactly two bytes per unit is
// tag 18, one byte less tag 20; both come back unchanged.
TEST(RoundTrip, StringPropertiesAtTheWideTextBoundary) {
    const struct {
        const char* text;
        char tag;
    } cases[] = {{"éé", 18}, {"éa", 20}, {"aあ", 18}, {"aaあ", 20}, {"aa🍣", 18}, {"aaa🍣", 20}};
    for (const auto& c : cases) {
        MemoryListControl source;
        source.setImeName(c.text);
        const std::string image = test::writeImage(source);
        const std::size_t at = image.find("\x07ImeName");
        ASSERT_NE(at, std::string::npos) << c.text;
        EXPECT_EQ(image[at + 8], c.tag) << c.text;
        MemoryListControl target;
        readInto(target, image);
        EXPECT_EQ(target.imeName(), c.text);
    }
}

TEST(RoundTrip, EveryStoredProperty) {
    std::mt19937 rng(77);
    auto pick = [&](std::span<const NamedValue> table) {
        return rng() % 2 ? table[rng() % table.size()].value : static_cast<std::int32_t>(rng());
    };
    for (int run = 0; run < 200; ++run) {
        MemoryListControl src;
        auto& p = src.properties();
        p.tag = static_cast<std::int32_t>(rng());
        p.cursor = pick(cursorNames());
        p.hint = randomText(rng, 20, 30);
        p.helpType = static_cast<std::int32_t>(rng() % 2);
        p.helpKeyword = randomText(rng, 300, 10);
        p.helpContext = static_cast<std::int32_t>(rng() % 70000) - 35000;
        p.tabStop = rng() % 2;
        p.style = static_cast<std::int32_t>(rng() % 5);
        p.autoComplete = rng() % 2;
        p.align = static_cast<std::int32_t>(rng() % 7);
        p.anchors = rng() % 16;
        if (p.anchors == impliedAnchors(p.align)) p.anchors = kAkLeft | kAkTop;
        p.bevelEdges = rng() % 16;
        p.bevelInner = static_cast<std::int32_t>(rng() % 4);
        p.bevelKind = static_cast<std::int32_t>(rng() % 4);
        p.bevelOuter = static_cast<std::int32_t>(rng() % 4);
        p.borderStyle = static_cast<std::int32_t>(rng() % 2);
        p.columns = static_cast<std::int32_t>(rng() % 300);
        p.constraints = {static_cast<std::int32_t>(rng() % 100000), 0,
                         static_cast<std::int32_t>(rng() % 200), static_cast<std::int32_t>(rng())};
        p.dragCursor = pick(cursorNames());
        p.dragKind = static_cast<std::int32_t>(rng() % 2);
        p.dragMode = static_cast<std::int32_t>(rng() % 2);
        p.enabled = rng() % 2;
        p.extendedSelect = rng() % 2;
        p.imeMode = static_cast<std::int32_t>(rng() % 12);
        p.integralHeight = rng() % 2;
        p.multiSelect = rng() % 2;
        p.scrollWidth = static_cast<std::int32_t>(rng() % 1000);
        p.sorted = rng() % 2;
        p.tabWidth = static_cast<std::int32_t>(rng() % 50);
        p.visible = rng() % 2;
        p.isControl = rng() % 2;
        // What follows the window while a Parent... switch is on is not stored.
        p.parentColor = rng() % 2;
        p.parentFont = rng() % 2;
        p.parentCtl3D = rng() % 2;
        p.parentShowHint = rng() % 2;
        p.parentBiDiMode = rng() % 2;
        if (!p.parentCtl3D) p.ctl3D = rng() % 2;
        if (!p.parentShowHint) p.showHint = rng() % 2;
        if (!p.parentBiDiMode) p.biDiMode = static_cast<std::int32_t>(rng() % 4);
        if (!p.parentFont) {
            p.font = {pick(charsetNames()) & 0xFF,
                      pick(colorNames()),
                      static_cast<std::int32_t>(rng() % 100) - 50,
                      "F" + randomText(rng, 30, 50),
                      static_cast<std::int32_t>(rng() % 3),
                      static_cast<std::uint32_t>(rng() % 16)};
        }
        if (p.parentColor)
            src.setColor(src.windowColor), p.parentColor = true;
        else {
            // A colour equal to the default is not stored, and the reading control keeps its
            // own: pick another.
            std::int32_t color = pick(colorNames());
            while (color == kClWindow) color = pick(colorNames());
            src.setColor(color);
        }
        src.setLeft(static_cast<int>(rng()));
        src.setTop(static_cast<int>(rng() % 2000) - 1000);
        src.setWidth(static_cast<int>(rng() % 70000));
        src.setHeight(static_cast<int>(rng() % 300));
        src.setItemHeight(static_cast<int>(rng() % 100) + 1);
        src.setImeName(randomText(rng, 30, 20));
        src.setEntries({randomText(rng, 50, 20), ""});

        const std::string image = test::writeImage(src);
        MemoryListControl dst;
        readInto(dst, image);
        ASSERT_EQ(dst.properties(), src.properties()) << run;
        EXPECT_EQ(dst.left(), src.left());
        EXPECT_EQ(dst.top(), src.top());
        EXPECT_EQ(dst.width(), src.width());
        EXPECT_EQ(dst.height(), src.height());
        EXPECT_EQ(dst.color(), src.color());
        EXPECT_EQ(dst.itemHeight(), src.itemHeight());
        EXPECT_EQ(dst.imeName(), src.imeName());
        EXPECT_EQ(dst.entries(), src.entries());
        // And the second image is the first.
        EXPECT_EQ(test::writeImage(dst), image);
    }
}

}  // namespace
}  // namespace klw
