// What the writer writes, the reader reads back into a fresh control unchanged.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "persist/memory_list_control.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "persist/published_properties.h"
#include "runtime/codepage.h"
#include "stream_bytes.h"

namespace klw {
namespace {

using Entries = std::vector<std::string>;

void readInto(ListControl& control, const std::string& bytes) {
    MemoryStream s(bytes);
    ObjectStreamReader r(s);
    r.ParseRoot(control);
}

// Characters of the code page that come back as the same bytes from UTF-16.
std::vector<std::string> japaneseChars() {
    std::vector<std::string> out;
    const std::u16string pool = utf8ToUtf16(
        "あいうえおかきくけこがぎアイウエオヴ漢字東京都日本語表能ソ予ﾃｽﾄｶﾅｰ｡ー〜－①Ⅱ㈱＼￥");
    for (const char16_t u : pool) out.push_back(ansiCodePage().fromUtf16(std::u16string(1, u)));
    return out;
}

std::string randomText(std::mt19937& rng, std::size_t maxLen, int japanesePercent) {
    static const std::vector<std::string> japanese = japaneseChars();
    const std::size_t n = rng() % (maxLen + 1);
    std::string s;
    while (s.size() < n) {
        if (static_cast<int>(rng() % 100) < japanesePercent)
            s += japanese[rng() % japanese.size()];
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
        int japanesePercent;
    } kinds[] = {
        {"ascii", 300, 120, 0}, {"japanese", 300, 40, 100}, {"mixed", 300, 200, 20},
        {"long", 20, 70000, 5}, {"short", 2000, 3, 30},
    };
    for (const auto& k : kinds) {
        for (int run = 0; run < 3; ++run) {
            Entries entries;
            for (std::size_t i = 0; i < k.count; ++i)
                entries.push_back(randomText(rng, k.maxLen, k.japanesePercent));
            ASSERT_TRUE(roundTrip(entries) == entries) << k.what << " " << run;
        }
    }
}

TEST(RoundTrip, EdgeEntries) {
    const std::string a = ansi("あ");
    const Entries cases[] = {
        {},
        {""},
        {"", "", ""},
        {std::string(255, 'x'), std::string(256, 'y'), std::string(4096, 'z')},
        {std::string(300, 'x') + a, a + std::string(4095, 'w'), ansi("ﾃｽﾄ"), "\\" + a + "~"},
        {"\x7F\x01\x1F"},  // control characters are 7-bit too
    };
    for (const auto& entries : cases) EXPECT_TRUE(roundTrip(entries) == entries) << entries.size();
}

// The code page of the process without its tables: writer and reader take their general paths.
class WithoutTables final : public CodePage {
public:
    std::u16string toUtf16(std::string_view bytes) const override {
        return ansiCodePage().toUtf16(bytes);
    }
    std::string fromUtf16(std::u16string_view text) const override {
        return ansiCodePage().fromUtf16(text);
    }
    bool isLeadByte(unsigned char b) const override { return ansiCodePage().isLeadByte(b); }
};

std::string imageThrough(const ListControl& control, const CodePage& cp) {
    MemoryStream s;
    ObjectStreamWriter w(s, cp);
    w.EmitSignature();
    w.EmitObject(control);
    w.flush();
    return s.data();
}

Entries entriesThrough(const std::string& image, const CodePage& cp) {
    MemoryListControl control;
    MemoryStream s(image);
    ObjectStreamReader r(s, cp);
    r.ParseRoot(control);
    return control.entries();
}

// The one-pass paths through the code page's tables write and read what the general ones do,
// also for bytes the code page cannot carry over, entries across the buffer's end and zero bytes
// from overlong groups.
TEST(RoundTrip, TablesChangeNoByteAndNoEntry) {
    if (!ansiCodePage().byteCodeTables()) GTEST_SKIP() << "this code page converts without tables";
    ASSERT_NE(ansiCodePage().byteCodeTables(), nullptr);
    const WithoutTables general;
    ASSERT_EQ(general.byteCodeTables(), nullptr);
    std::mt19937 rng(99);
    for (int run = 0; run < 40; ++run) {
        Entries entries;
        for (int i = 0; i < 300; ++i) {
            std::string e = randomText(rng, run % 4 == 3 ? 2000 : 60, 30);
            // Now and then bytes that do not round-trip: lone lead bytes, unmapped pairs.
            if (rng() % 4 == 0 && !e.empty())
                e[rng() % e.size()] = static_cast<char>(0x80 + rng() % 0x80);
            entries.push_back(e);
        }
        MemoryListControl source;
        source.setEntries(entries);
        const std::string image = imageThrough(source, ansiCodePage());
        ASSERT_EQ(image, imageThrough(source, general)) << run;
        ASSERT_EQ(entriesThrough(image, ansiCodePage()), entriesThrough(image, general)) << run;
    }
    // Hand-made UTF-8 entries: overlong zero, broken groups, 4-byte sequences, a long one.
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
    EXPECT_EQ(read, entriesThrough(image, general));
    EXPECT_EQ(read, (Entries{"a", "", "", "", ansi("Aあ"), std::string(5000, 'a') + ansi("あ")}));
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
