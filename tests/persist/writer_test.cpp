#include <gtest/gtest.h>

#include <vector>

#include "persist/memory_list_control.h"
#include "persist/object_stream_writer.h"
#include "runtime/exceptions.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"
#include "stream_bytes.h"

namespace klw {
namespace {

using test::emitted;
using test::hex;
using test::writeImage;

// The list file of the entries "abc" and "de" with the designed geometry.
const std::string kWorkedExample =
    hex("54 50 46 30"
        "08 54 4C 69 73 74 42 6F 78"
        "06 6C 62 78 55 52 4C"
        "04 4C 65 66 74 02 04"
        "03 54 6F 70 02 04"
        "05 57 69 64 74 68 03 0B 01"
        "06 48 65 69 67 68 74 03 85 00"
        "05 43 6F 6C 6F 72 07 07 63 6C 57 68 69 74 65"
        "0A 49 74 65 6D 48 65 69 67 68 74 02 0C"
        "0D 49 74 65 6D 73 2E 53 74 72 69 6E 67 73"
        "01 06 03 61 62 63 06 02 64 65 00"
        "08 54 61 62 4F 72 64 65 72 02 02"
        "00 00");

TEST(WriterListFile, WorkedExampleByteForByte) {
    MemoryListControl c;
    c.setEntries({"abc", "de"});
    const std::string image = writeImage(c);
    ASSERT_EQ(kWorkedExample.size(), 118u);
    EXPECT_EQ(image, kWorkedExample);
}

TEST(WriterListFile, EmptyListLeavesNoItemsRecord) {
    MemoryListControl c;
    const std::string expected = kWorkedExample.substr(0, 80) + kWorkedExample.substr(105);
    ASSERT_EQ(expected.size(), 93u);
    EXPECT_EQ(writeImage(c), expected);
}

TEST(WriterListFile, NeverWritesHandlersFontOrName) {
    MemoryListControl c;
    c.setEntries({"http://a.example/", "x"});
    const std::string image = writeImage(c);
    ASSERT_FALSE(c.handlerName(ListEvent::Click).empty());
    ASSERT_FALSE(c.handlerName(ListEvent::DblClick).empty());
    for (const char* word : {"OnClick", "OnDblClick", "Font", "Name", "IsControl", "DesignSize"})
        EXPECT_EQ(image.find(word), std::string::npos) << word;
}

TEST(WriterListFile, ScaledGeometryAndImeName) {
    MemoryListControl c;
    c.setWidth(334);
    c.setLeft(-1);
    c.setImeName("Microsoft IME");
    const std::string image = writeImage(c);
    EXPECT_NE(image.find(hex("04") + "Left" + hex("02 FF")), std::string::npos);
    EXPECT_NE(image.find(hex("05") + "Width" + hex("03 4E 01")), std::string::npos);
    // ImeName comes between Color and ItemHeight.
    const auto color = image.find("Color");
    const auto ime = image.find(hex("07") + "ImeName" + hex("06 0D") + "Microsoft IME");
    const auto item = image.find("ItemHeight");
    ASSERT_NE(ime, std::string::npos);
    EXPECT_LT(color, ime);
    EXPECT_LT(ime, item);
}

TEST(WriterEncodings, IntegersBySize) {
    struct Case {
        std::int32_t value;
        const char* bytes;
    } cases[] = {
        {0, "02 00"},
        {127, "02 7F"},
        {128, "03 80 00"},
        {-1, "02 FF"},
        {-128, "02 80"},
        {-129, "03 7F FF"},
        {334, "03 4E 01"},
        {32767, "03 FF 7F"},
        {32768, "04 00 80 00 00"},
        {-32768, "03 00 80"},
        {-32769, "04 FF 7F FF FF"},
        {INT32_MIN, "04 00 00 00 80"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(emitted([&](ObjectStreamWriter& w) { w.EmitInteger(k.value); }), hex(k.bytes))
            << k.value;
}

TEST(WriterEncodings, EntriesByRuleOfText) {
    auto text = [](const std::string& s) {
        return emitted([&](ObjectStreamWriter& w) { w.EmitText(s); });
    };
    EXPECT_EQ(text(""), hex("06 00"));
    EXPECT_EQ(text(std::string(255, 'a')), hex("06 FF") + std::string(255, 'a'));
    EXPECT_EQ(text(std::string(256, 'a')), hex("0C 00 01 00 00") + std::string(256, 'a'));
    EXPECT_EQ(text("あ"), hex("14 03 00 00 00 E3 81 82"));
    EXPECT_EQ(text("aあb"), hex("14 05 00 00 00 61 E3 81 82 62"));
    // Half-width katakana were one byte in CP932; in UTF-8 they are three.
    EXPECT_EQ(text("ｱ"), hex("14 03 00 00 00 EF BD B1"));
    EXPECT_EQ(text("ソ"), hex("14 03 00 00 00 E3 82 BD"));
    // Characters CP932 lacks are written the same way: nothing is lost or replaced.
    EXPECT_EQ(text("Café"), hex("14 05 00 00 00 43 61 66 C3 A9"));
    EXPECT_EQ(text("한"), hex("14 03 00 00 00 ED 95 9C"));
    // Outside the 16-bit range: the two surrogates, each as its own group.
    EXPECT_EQ(text("/🍣"), hex("14 07 00 00 00 2F ED A0 BC ED BD A3"));
    // A surrogate the program holds on its own stays a group of its own.
    EXPECT_EQ(text("\xED\xA0\xBC!"), hex("14 04 00 00 00 ED A0 BC 21"));
}

// Long entries outside 7-bit, at and beyond the size of the writer's buffer, between others.
TEST(WriterEncodings, LongTextOutsideSevenBit) {
    for (const std::size_t n : {1000u, 1363u, 1364u, 4090u, 10000u}) {
        std::string entry(n, 'x');
        entry += "🍣é";
        const std::string expected = hex("14") + test::le32(static_cast<std::int32_t>(n + 8)) +
                                     std::string(n, 'x') + hex("ED A0 BC ED BD A3 C3 A9");
        const std::string bytes = emitted([&](ObjectStreamWriter& w) {
            w.EmitText("head");
            w.EmitText(entry);
            w.EmitText(std::string(n, '\xE3') + "\x81");  // malformed: one U+FFFD per byte
        });
        ASSERT_EQ(bytes.substr(6, expected.size()), expected) << n;
        std::string replaced;
        for (std::size_t i = 0; i <= n; ++i) replaced += hex("EF BF BD");
        EXPECT_EQ(bytes.substr(6 + expected.size()),
                  hex("14") + test::le32(static_cast<std::int32_t>(replaced.size())) + replaced)
            << n;
    }
}

TEST(WriterEncodings, WideTextChoosesTheShorterForm) {
    auto wide = [](std::u16string_view s) {
        return emitted([&](ObjectStreamWriter& w) { w.EmitWideText(s); });
    };
    EXPECT_EQ(wide(u"IME"), hex("06 03 49 4D 45"));
    // UTF-8 of "aあ" is 4 bytes, under 2 per unit: tag 20.
    EXPECT_EQ(wide(u"abあ"), hex("14 05 00 00 00 61 62 E3 81 82"));
    // All Japanese: 3 bytes per unit in UTF-8, so UTF-16 is kept.
    EXPECT_EQ(wide(u"あい"), hex("12 02 00 00 00 42 30 44 30"));
    EXPECT_EQ(wide(std::u16string(300, u'x')), hex("0C 2C 01 00 00") + std::string(300, 'x'));
    // The boundary: UTF-8 of exactly two bytes per unit is tag 18, one byte less tag 20.
    EXPECT_EQ(wide(u"éé"), hex("12 02 00 00 00 E9 00 E9 00"));
    EXPECT_EQ(wide(u"éa"), hex("14 03 00 00 00 C3 A9 61"));
    EXPECT_EQ(wide(u"aあ"), hex("12 02 00 00 00 61 00 42 30"));
    EXPECT_EQ(wide(u"aaあ"), hex("14 05 00 00 00 61 61 E3 81 82"));
    // A pair counts as two units of three bytes each.
    EXPECT_EQ(wide(u"aa🍣"), hex("12 04 00 00 00 61 00 61 00 3C D8 63 DF"));
    EXPECT_EQ(wide(u"aaa🍣"), hex("14 09 00 00 00 61 61 61 ED A0 BC ED BD A3"));
    // 7-bit text takes the entries' rule: a short string up to 255 bytes, a long one from 256.
    EXPECT_EQ(wide(std::u16string(255, u'x')), hex("06 FF") + std::string(255, 'x'));
    EXPECT_EQ(wide(std::u16string(256, u'x')), hex("0C 00 01 00 00") + std::string(256, 'x'));
}

// The same boundary in a list file: an input-method name of 255 and of 256 7-bit characters.
TEST(WriterEncodings, SevenBitStringPropertyAtTheShortStringBoundary) {
    const std::string path = test::shortName("ImeName");
    for (const std::size_t n : {255u, 256u}) {
        MemoryListControl c;
        c.setImeName(std::string(n, 'i'));
        const std::string file = writeImage(c);
        const std::string value = n == 255 ? hex("06 FF") + std::string(255, 'i')
                                           : hex("0C 00 01 00 00") + std::string(256, 'i');
        EXPECT_NE(file.find(path + value + test::shortName("ItemHeight")), std::string::npos) << n;
    }
}

TEST(WriterEncodings, IdentifiersSetsAndNames) {
    auto id = [](std::string_view s) {
        return emitted([&](ObjectStreamWriter& w) { w.EmitIdent(s); });
    };
    EXPECT_EQ(id("False"), hex("08"));
    EXPECT_EQ(id("TRUE"), hex("09"));
    EXPECT_EQ(id("null"), hex("00"));
    EXPECT_EQ(id("NIL"), hex("0D"));
    EXPECT_EQ(id("clWhite"), hex("07 07") + "clWhite");
    const std::string_view members[] = {"akLeft", "akRight"};
    EXPECT_EQ(emitted([&](ObjectStreamWriter& w) { w.EmitSet(members); }),
              hex("0B 06") + "akLeft" + hex("07") + "akRight" + hex("00"));
    EXPECT_EQ(emitted([&](ObjectStreamWriter& w) { w.EmitSet({}); }), hex("0B 00"));
    // Names are cut to 255 bytes.
    EXPECT_EQ(emitted([&](ObjectStreamWriter& w) { w.EmitShortName(std::string(300, 'n')); }),
              hex("FF") + std::string(255, 'n'));
    EXPECT_EQ(emitted([&](ObjectStreamWriter& w) {
                  w.EmitListStart();
                  w.EmitEnd();
              }),
              hex("01 00"));
}

// The records that rule 6 chooses for stored values that differ from their defaults.
TEST(WriterRecords, NonDefaultValuesByKindInIndexOrder) {
    MemoryListControl c;
    auto& p = c.properties();
    p.tag = 5;
    p.cursor = -21;      // crHandPoint
    p.dragCursor = -22;  // crSizeAll comes before crSize
    p.hint = "tip";
    p.anchors = kAkLeft | kAkRight;
    p.align = 0;
    p.tabStop = false;
    p.imeMode = 6;  // imHira
    p.columns = 1000;
    p.constraints.minWidth = 50;
    c.setColor(0x123456);  // no name in the table
    const std::string image = writeImage(c);
    using test::ident;
    using test::record;
    const std::string expected =
        test::head() + record("Tag", test::int8(5)) + record("Left", test::int8(4)) +
        record("Top", test::int8(4)) + record("Width", hex("03 0B 01")) +
        record("Height", hex("03 85 00")) + record("Cursor", ident("crHandPoint")) +
        record("Hint", test::shortText("tip")) + record("TabStop", hex("08")) +
        record("Anchors", hex("0B 06") + "akLeft" + hex("07") + "akRight" + hex("00")) +
        record("Color", hex("04 56 34 12 00")) + record("Columns", hex("03 E8 03")) +
        record("Constraints.MinWidth", test::int8(50)) + record("DragCursor", ident("crSizeAll")) +
        record("ImeMode", ident("imHira")) + record("ItemHeight", test::int8(12)) +
        record("TabOrder", test::int8(2)) + hex("00 00");
    EXPECT_EQ(image, expected);
}

TEST(WriterRecords, StoredConditionsFollowTheParentSwitches) {
    MemoryListControl c;
    auto& p = c.properties();
    p.parentColor = true;
    p.parentFont = false;
    p.parentCtl3D = false;
    p.ctl3D = true;
    p.parentShowHint = false;
    p.parentBiDiMode = false;
    p.align = 5;  // alClient: its own anchors are all four
    p.anchors = 0xF;
    p.isControl = true;
    const std::string image = writeImage(c);
    using test::ident;
    using test::record;
    // Full-width letters: UTF-16 is shorter than UTF-8, so the name is tag 18.
    const std::u16string face = utf8ToUtf16("ＭＳ Ｐゴシック");
    std::string fontName = hex("12") + test::le32(static_cast<std::int32_t>(face.size()));
    for (const char16_t u : face) {
        fontName.push_back(static_cast<char>(u & 0xFF));
        fontName.push_back(static_cast<char>(u >> 8));
    }
    const std::string expected =
        test::head() + record("Left", test::int8(4)) + record("Top", test::int8(4)) +
        record("Width", hex("03 0B 01")) + record("Height", hex("03 85 00")) +
        record("Align", ident("alClient")) + record("BiDiMode", ident("bdLeftToRight")) +
        record("Ctl3D", hex("09")) + record("Font.Charset", ident("SHIFTJIS_CHARSET")) +
        record("Font.Color", ident("clWindowText")) + record("Font.Height", test::int8(-12)) +
        record("Font.Name", fontName) + record("Font.Style", hex("0B 00")) +
        record("ItemHeight", test::int8(12)) + record("ParentBiDiMode", hex("08")) +
        record("ParentColor", hex("09")) + record("ParentCtl3D", hex("08")) +
        record("ParentFont", hex("08")) + record("ParentShowHint", hex("08")) +
        record("ShowHint", hex("08")) + record("TabOrder", test::int8(2)) +
        record("IsControl", hex("09")) + hex("00 00");
    EXPECT_EQ(image, expected);
}

TEST(WriterRecords, HandlersAreNotPublishedMethodsOfTheList) {
    MemoryListControl c;
    for (int e = 0; e < kListEventCount; ++e)
        c.setHandler(static_cast<ListEvent>(e), "frmMainHandler");
    MemoryListControl plain;
    EXPECT_EQ(writeImage(c), writeImage(plain));
}

// Accepts at most `limit` bytes in all, and records the size of each write.
class LimitedStream : public Stream {
public:
    explicit LimitedStream(std::size_t limit) : limit_(limit) {}
    std::size_t read(void*, std::size_t) override { return 0; }
    std::size_t write(const void* p, std::size_t n) override {
        writes.push_back(n);
        const std::size_t k = std::min(n, limit_ - data.size());
        data.append(static_cast<const char*>(p), k);
        return k;
    }
    std::int64_t seek(std::int64_t, SeekOrigin) override {
        return static_cast<std::int64_t>(data.size());
    }
    std::string data;
    std::vector<std::size_t> writes;

private:
    std::size_t limit_;
};

std::vector<std::string> manyEntries(int n) {
    std::vector<std::string> v;
    for (int i = 0; i < n; ++i)
        v.push_back("https://www.example.com/page/" + std::to_string(i * 7919) + "/index.html");
    return v;
}

TEST(WriterBuffer, HandsFullBuffersThenTheRest) {
    MemoryListControl c;
    c.setEntries(manyEntries(500));
    const std::string full = writeImage(c);
    LimitedStream s(SIZE_MAX);
    {
        ObjectStreamWriter w(s);
        w.EmitSignature();
        w.EmitObject(c);
        // Nothing handed over until a buffer is full.
        for (std::size_t i = 0; i + 1 < s.writes.size(); ++i) EXPECT_EQ(s.writes[i], 4096u);
    }
    ASSERT_GE(s.writes.size(), 2u);
    for (std::size_t i = 0; i + 1 < s.writes.size(); ++i) EXPECT_EQ(s.writes[i], 4096u);
    EXPECT_EQ(s.writes.back(), full.size() % 4096);
    EXPECT_EQ(s.data, full);
}

TEST(WriterBuffer, ShortWriteRaisesAndKeepsWhatWasTaken) {
    MemoryListControl c;
    c.setEntries(manyEntries(500));
    const std::string full = writeImage(c);
    const std::string message = std::string(texts::kWriteError);

    LimitedStream s(5000);
    try {
        ObjectStreamWriter w(s);
        w.EmitSignature();
        w.EmitObject(c);
        w.flush();
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_EQ(e.message(), message);
    }
    EXPECT_EQ(s.data, full.substr(0, 5000));
    EXPECT_EQ(c.count(), 500);

    // A short final write is reported by flush(); the destructor stays silent.
    LimitedStream small(10);
    ObjectStreamWriter w(small);
    w.EmitSignature();
    w.EmitObject(MemoryListControl());
    EXPECT_THROW(w.flush(), EWriteError);
    EXPECT_EQ(small.data, full.substr(0, 10));
    LimitedStream silent(10);
    EXPECT_NO_THROW({
        ObjectStreamWriter quiet(silent);
        quiet.EmitObject(MemoryListControl());
    });
    EXPECT_EQ(silent.data.size(), 10u);
}

}  // namespace
}  // namespace klw
