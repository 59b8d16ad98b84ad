#include <gtest/gtest.h>

#include <vector>

#include "persist/memory_list_control.h"
#include "persist/object_stream_reader.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/texts.h"
#include "stream_bytes.h"

namespace klw {
namespace {

using test::hex;
using test::ident;
using test::image;
using test::int8;
using test::le32;
using test::record;
using test::shortText;
using test::strings;

using Entries = std::vector<std::string>;

// The message of a failing record of lbxURL, around an inner message in the ANSI code page.
std::string recordError(std::string_view path, std::string_view inner) {
    return formatText(texts::kPropertyReadError, {"lbxURL", ".", path, inner});
}

// Reads `bytes` into the control; the message of the error raised, or "" when none.
std::string read(ListControl& control, const std::string& bytes) {
    MemoryStream s(bytes);
    ObjectStreamReader r(s);
    try {
        r.ParseRoot(control);
    } catch (const Exception& e) {
        return e.message();
    }
    return {};
}

// A control that already holds entries, to see what a read leaves.
struct Filled : MemoryListControl {
    Filled() { setEntries({"old1", "old2"}); }
};

const std::string kDesignRecords =
    record("Left", int8(4)) + record("Top", int8(4)) + record("Width", hex("03 0B 01")) +
    record("Height", hex("03 85 00")) + record("Color", ident("clWhite")) +
    record("ItemHeight", int8(12));
const std::string kWorkedExample =
    image(kDesignRecords + strings("abc", "de") + record("TabOrder", int8(2)));

TEST(ReaderListFile, WorkedExampleReplacesTheEntries) {
    ASSERT_EQ(kWorkedExample.size(), 118u);
    Filled c;
    c.setSelection(1);
    EXPECT_EQ(read(c, kWorkedExample), "");
    EXPECT_EQ(c.entries(), (Entries{"abc", "de"}));
    EXPECT_EQ(c.selection(), -1);
    EXPECT_EQ(c.updateDepth(), 0);
    EXPECT_EQ(c.name(), "lbxURL");
    EXPECT_FALSE(c.loading());
    EXPECT_EQ(c.loadedCount(), 1);
    EXPECT_EQ(c.recreateCount(), 0);
}

TEST(ReaderListFile, FileWithoutEntriesLeavesTheList) {
    const std::string file = image(kDesignRecords + record("TabOrder", int8(2)));
    ASSERT_EQ(file.size(), 93u);
    Filled c;
    EXPECT_EQ(read(c, file), "");
    EXPECT_EQ(c.entries(), (Entries{"old1", "old2"}));
}

TEST(ReaderListFile, GeometryAndColourApply) {
    MemoryListControl c;
    c.setWidth(334);  // scaled by the window
    c.properties().parentColor = true;
    const std::string file = image(record("Left", hex("02 FF")) + record("Top", hex("03 00 80")) +
                                   record("Width", hex("04 40 42 0F 00")) +
                                   record("Height", int8(7)) + record("Color", ident("clRed")));
    EXPECT_EQ(read(c, file), "");
    EXPECT_EQ(c.left(), -1);
    EXPECT_EQ(c.top(), -32768);
    EXPECT_EQ(c.width(), 1000000);
    EXPECT_EQ(c.height(), 7);
    EXPECT_EQ(c.color(), 0x0000FF);
    EXPECT_FALSE(c.properties().parentColor);
}

TEST(ReaderListFile, ColourByNameInAnyCaseOrByNumber) {
    for (const std::string& value :
         {ident("clWhite"), ident("clwhite"), ident("CLWHITE"), hex("04") + le32(16777215)}) {
        MemoryListControl c;
        c.properties().parentColor = true;
        c.setColor(kClBtnFace);
        c.properties().parentColor = true;
        EXPECT_EQ(read(c, image(record("Color", value))), "");
        EXPECT_EQ(c.color(), 0xFFFFFF);
        EXPECT_FALSE(c.properties().parentColor);
    }
    MemoryListControl c;
    EXPECT_EQ(read(c, image(record("Color", ident("clNotAColour")))),
              recordError("Color", texts::kInvalidPropertyValue));
    EXPECT_EQ(read(c, image(record("Color", hex("09")))),
              recordError("Color", texts::kInvalidPropertyValue));
}

TEST(ReaderListFile, PathsInOtherLetterCase) {
    Filled c;
    const std::string file = image(record("left", int8(9)) + record("COLOR", ident("clBlack")) +
                                   record("items.strings", hex("01") + shortText("x") + hex("00")) +
                                   record("iTEMS.sTRINGS", hex("01") + shortText("y") + hex("00")));
    EXPECT_EQ(read(c, file), "");
    EXPECT_EQ(c.left(), 9);
    EXPECT_EQ(c.color(), 0);
    EXPECT_EQ(c.entries(), Entries{"y"});
}

TEST(ReaderListFile, SecondItemsRecordWins) {
    Filled c;
    EXPECT_EQ(read(c, image(strings("a", "b", "c") + strings("d"))), "");
    EXPECT_EQ(c.entries(), Entries{"d"});
    EXPECT_EQ(read(c, image(strings("a", "b", "c") + strings())), "");
    EXPECT_TRUE(c.entries().empty());
}

TEST(ReaderListFile, EntryTagsAndDecoding) {
    Filled c;
    const std::string wide = hex("12 03 00 00 00 61 00 42 30 62 00");  // "aあb"
    const std::string file = image(record(
        "Items.Strings",
        hex("01") + test::longText("long") + wide + test::utf8Text("\xE3\x81\x82") +
            test::utf8Text("plain") + test::utf8Text("\xC3\xA9") +         // é: kept too
            test::utf8Text("ok\xE3\x81") +                                 // cut group
            test::utf8Text("\xE3\x41\x82") +                               // bad trail byte
            test::utf8Text("\xF0\x9F\x98\x80") +                           // 4-byte form: 😀
            test::utf8Text("\x81\x81") + test::utf8Text("\xA3\x81\x82") +  // odd but whole groups
            test::utf8Text("") + shortText(std::string("ab\0cd", 5)) +     // up to the zero byte
            test::utf8Text(std::string("x\xC0\x80y", 4)) + hex("00")));
    EXPECT_EQ(read(c, file), "");
    EXPECT_EQ(c.entries(),
              (Entries{"long", "aあb", "あ", "plain", "é", "", "", "😀", "A", "あ", "", "ab", "x"}));
}

// Entries written by any ordinary UTF-8 encoder: a character outside the 16-bit range as its
// 4 bytes is that character, wherever the entry lies in the file; any other sequence from 0xF0 up
// still makes the entry empty.
TEST(ReaderListFile, FourByteCharactersOfOtherTools) {
    Filled c;
    const std::string sushi = "\xF0\x9F\x8D\xA3";
    const std::string across = std::string(5000, 'x') + sushi;  // longer than the read buffer
    const std::string file =
        image(record("Items.Strings",
                     hex("01") + test::utf8Text(sushi) + test::utf8Text("a" + sushi + "b") +
                         test::utf8Text(across) + test::utf8Text("\xF0\x8F\xBF\xBF") +
                         test::utf8Text("\xF4\x90\x80\x80") + test::utf8Text("\xF5\x80\x80\x80") +
                         test::utf8Text("x\xF0\x9F\x8D") + hex("00")));
    EXPECT_EQ(read(c, file), "");
    EXPECT_EQ(c.entries(), (Entries{"🍣", "a🍣b", across, "", "", "", ""}));
    // String properties take it the same way.
    MemoryListControl d;
    EXPECT_EQ(read(d, image(record("ImeName", test::utf8Text("IME " + sushi)))), "");
    EXPECT_EQ(d.imeName(), "IME 🍣");
}

TEST(ReaderListFile, CutInsideTheEntriesKeepsTheCompleteOnes) {
    const std::string full = image(strings("e0", "e1", "e2", "e3", "e4"));
    const std::size_t first = full.find("e0") - 2;  // tag and length of the first entry
    for (int k = 0; k <= 5; ++k) {
        // Cut right after entry k, and in the middle of entry k.
        const std::size_t after = first + 4 * static_cast<std::size_t>(k);
        for (const std::size_t cut : {after, after + 1, after + 3}) {
            if (cut >= full.size() - 2 || (k == 5 && cut != after)) continue;
            Filled c;
            EXPECT_EQ(read(c, full.substr(0, cut)), recordError("Items.Strings", texts::kReadError))
                << k << " " << cut;
            const int complete = static_cast<int>((cut - first) / 4);
            Entries expected;
            for (int i = 0; i < complete; ++i) expected.push_back("e" + std::to_string(i));
            EXPECT_EQ(c.entries(), expected) << cut;
            EXPECT_EQ(c.updateDepth(), 0);
            EXPECT_FALSE(c.loading());
        }
    }
}

TEST(ReaderListFile, CutAfterTheLastRecordIsAPlainReadError) {
    const std::string full = image(strings("a", "b"));
    for (const std::size_t missing : {1u, 2u}) {
        Filled c;
        EXPECT_EQ(read(c, full.substr(0, full.size() - missing)), std::string(texts::kReadError));
        EXPECT_EQ(c.entries(), (Entries{"a", "b"}));
        EXPECT_EQ(c.loadedCount(), 0);
    }
    // Inside a path or the header: not inside a value, so no template either.
    Filled c;
    const std::string cutPath = image(strings("a")).substr(0, test::head().size() + 5);
    EXPECT_EQ(read(c, cutPath), std::string(texts::kReadError));
    EXPECT_EQ(read(c, test::head().substr(0, 10)), std::string(texts::kReadError));
}

TEST(ReaderListFile, ShortOrForeignFiles) {
    for (const std::string& bytes :
         {std::string(), std::string("T"), std::string("TP"), std::string("TPF")}) {
        Filled c;
        EXPECT_EQ(read(c, bytes), std::string(texts::kReadError)) << bytes.size();
        EXPECT_EQ(c.entries(), (Entries{"old1", "old2"}));
    }
    Filled c;
    std::string other = kWorkedExample;
    other[3] = '1';
    EXPECT_EQ(read(c, other), std::string(texts::kInvalidImage));
    EXPECT_EQ(c.entries(), (Entries{"old1", "old2"}));
    EXPECT_EQ(read(c, "PK\x03\x04 not a list"), std::string(texts::kInvalidImage));
}

TEST(ReaderListFile, EventsCanOnlyBeRemoved) {
    MemoryListControl c;
    EXPECT_EQ(read(c, image(record("OnClick", ident("lbxURLClick")))),
              recordError("OnClick", texts::kInvalidPropertyValue));
    EXPECT_EQ(c.handlerName(ListEvent::Click), "lbxURLClick");
    EXPECT_EQ(read(c, image(record("OnClick", int8(1)))),
              recordError("OnClick", texts::kInvalidPropertyValue));
    EXPECT_EQ(read(c, image(record("OnClick", hex("0D")))), "");
    EXPECT_EQ(c.handlerName(ListEvent::Click), "");
    EXPECT_EQ(c.handlerName(ListEvent::DblClick), "btnGoClick");
    EXPECT_EQ(read(c, image(record("ondblclick", hex("0D")))), "");
    EXPECT_EQ(c.handlerName(ListEvent::DblClick), "");
}

TEST(ReaderListFile, WrongValueKindsKeepEarlierRecords) {
    Filled c;
    const std::string file = image(record("Top", int8(30)) + strings("n") +
                                   record("Left", shortText("12")) + record("Height", int8(50)));
    EXPECT_EQ(read(c, file), recordError("Left", texts::kInvalidPropertyValue));
    EXPECT_EQ(c.top(), 30);
    EXPECT_EQ(c.entries(), Entries{"n"});
    EXPECT_EQ(c.left(), 4);
    EXPECT_EQ(c.height(), 133);
    EXPECT_FALSE(c.loading());
    EXPECT_EQ(c.loadedCount(), 0);

    struct Case {
        const char* path;
        std::string value;
    } bad[] = {
        {"Tag", ident("clRed")},                     // an integer without names
        {"Tag", hex("13") + std::string(8, '\0')},   // Int64
        {"Tag", hex("05") + std::string(10, '\0')},  // Extended
        {"Visible", hex("0D")},                      // nil is no Boolean
        {"Visible", ident("Maybe")},
        {"Align", ident("alMiddle")},
        {"Align", int8(1)},
        {"Anchors", ident("akLeft")},
        {"Hint", int8(1)},
        {"Hint", hex("0A 01 00 00 00 00")},  // Binary
        {"Cursor", ident("crNothing")},
        {"Font.Charset", ident("KLINGON_CHARSET")},
        {"Items.Strings", shortText("x")},
        {"Items.Strings", hex("01 02 05 00")},
        {"IsControl", int8(1)},
        {"DesignSize", hex("01 02 01 02 02 02 03 00")},
        {"Font", hex("0E 00")},  // no sub-object is a collection
        {"PopupMenu", hex("09")},
    };
    for (const auto& k : bad) {
        MemoryListControl d;
        EXPECT_EQ(read(d, image(record(k.path, k.value))),
                  recordError(k.path, texts::kInvalidPropertyValue))
            << k.path;
    }
}

TEST(ReaderListFile, UnknownPropertiesAndPaths) {
    struct Case {
        const char* path;
        std::string_view inner;
    } cases[] = {
        {"Foo", texts::kUnknownProperty},
        {"Strings", texts::kUnknownProperty},
        {"Items.Foo", texts::kUnknownProperty},
        {"Foo.Bar", texts::kUnknownProperty},
        {"Font.", texts::kUnknownProperty},
        {"Left.Value", texts::kInvalidPropertyPath},
        {"PopupMenu.Items", texts::kInvalidPropertyPath},
        {"OnClick.X", texts::kInvalidPropertyPath},
    };
    for (const auto& k : cases) {
        MemoryListControl c;
        EXPECT_EQ(read(c, image(record(k.path, int8(1)))), recordError(k.path, k.inner)) << k.path;
    }
}

// Paths of three segments: the middle one must hold an object too, and none of the objects the
// list holds has one. Records before such a path keep their effect.
TEST(ReaderListFile, PathsWithTwoDots) {
    struct Case {
        const char* path;
        std::string_view inner;
    } cases[] = {
        {"Items.Strings.Count", texts::kUnknownProperty},  // Strings is no published property
        {"Items..Strings", texts::kUnknownProperty},
        {"Items.Strings.", texts::kUnknownProperty},
        {"Font.Font.Color", texts::kUnknownProperty},
        {"Font.Name.Length", texts::kInvalidPropertyPath},
        {"font.STYLE.fsBold", texts::kInvalidPropertyPath},
        {"Constraints.MaxWidth.Value", texts::kInvalidPropertyPath},
        {"Left.Top.Width", texts::kInvalidPropertyPath},
    };
    for (const auto& k : cases) {
        Filled c;
        EXPECT_EQ(
            read(c, image(record("Left", int8(9)) + strings("new") + record(k.path, int8(1)))),
            recordError(k.path, k.inner))
            << k.path;
        EXPECT_EQ(c.left(), 9) << k.path;
        EXPECT_EQ(c.entries(), Entries{"new"}) << k.path;
    }
}

TEST(ReaderListFile, ObjectPropertiesTakeNoNil) {
    struct Case {
        const char* path;
        const char* cls;
    } cases[] = {
        {"Items", "TListBoxStrings"}, {"Font", "TFont"}, {"Constraints", "TSizeConstraints"}};
    for (const auto& k : cases) {
        MemoryListControl c;
        EXPECT_EQ(read(c, image(record(k.path, hex("0D")))),
                  recordError(k.path, formatText(texts::kAssignError, {"nil", k.cls})))
            << k.path;
    }
    // A reference by name resolves to nothing; an empty menu reference is fine.
    MemoryListControl c;
    EXPECT_EQ(read(c, image(record("PopupMenu", hex("0D")) + record("PopupMenu", ident("pm")) +
                            record("Font", ident("fnt")))),
              "");
    EXPECT_EQ(c.properties().popupMenu, "");
}

TEST(ReaderListFile, StoredPropertiesByKind) {
    MemoryListControl c;
    const std::string file = image(
        record("Tag", hex("04") + le32(-7)) + record("Cursor", ident("crhandpoint")) +
        record("DragCursor", int8(-3)) + record("Hint", test::utf8Text("\xE3\x81\x82")) +
        record("HelpType", ident("htKeyword")) + record("TabStop", hex("08")) +
        record("Align", ident("ALCLIENT")) +
        record("Anchors",
               hex("0B 06") + "akLeft" + hex("05") + "akFoo" + hex("08") + "AKBOTTOM" + hex("00")) +
        record("BevelEdges", hex("0B 00")) + record("Visible", ident("false")) +
        record("Font.Name", test::shortText("Arial")) + record("Font.Size", int8(12)) +
        record("Font.Style", hex("0B 06") + "fsBold" + hex("00")) +
        record("Font.Pitch", ident("fpFixed")) + record("font.charset", int8(0)) +
        record("Constraints.MaxWidth", hex("03 00 04")) + record("ParentFont", hex("08")) +
        record("IsControl", hex("09")) + record("DesignSize", hex("01 03 0B 01 03 85 00 00")) +
        record("TabOrder", int8(9)) + record("Name", shortText("lbxURL")));
    EXPECT_EQ(read(c, file), "");
    const auto& p = c.properties();
    EXPECT_EQ(p.tag, -7);
    EXPECT_EQ(p.cursor, -21);
    EXPECT_EQ(p.dragCursor, -3);
    EXPECT_EQ(p.hint, std::string("あ"));
    EXPECT_EQ(p.helpType, 0);
    EXPECT_FALSE(p.tabStop);
    EXPECT_EQ(p.align, 5);
    EXPECT_EQ(p.anchors, kAkLeft | kAkBottom);
    EXPECT_EQ(p.bevelEdges, 0u);
    EXPECT_FALSE(p.visible);
    EXPECT_EQ(p.font.name, "Arial");
    EXPECT_EQ(p.font.height, -16);
    EXPECT_EQ(p.font.style, 1u);
    EXPECT_EQ(p.font.pitch, 2);
    EXPECT_EQ(p.font.charset, 0);
    EXPECT_EQ(p.constraints.maxWidth, 1024);
    EXPECT_FALSE(p.parentFont);
    EXPECT_TRUE(p.isControl);
    EXPECT_EQ(c.tabOrder(), 2);  // the window keeps its tab sequence
}

TEST(ReaderListFile, RowHeight) {
    MemoryListControl c;
    EXPECT_EQ(read(c, image(record("ItemHeight", int8(0)) + record("ItemHeight", int8(-5)) +
                            record("ItemHeight", int8(12)))),
              "");
    EXPECT_EQ(c.itemHeight(), 12);
    EXPECT_EQ(c.recreateCount(), 0);
    EXPECT_EQ(read(c, image(record("ItemHeight", int8(20)))), "");
    EXPECT_EQ(c.itemHeight(), 20);
    EXPECT_EQ(c.recreateCount(), 1);
}

TEST(ReaderListFile, RefusedEntry) {
    Filled c;
    c.setCapacity(2);
    EXPECT_EQ(read(c, image(strings("a", "b", "c", "d"))),
              recordError("Items.Strings", texts::kCannotInsertLine));
    EXPECT_EQ(c.entries(), (Entries{"a", "b"}));
    EXPECT_EQ(c.updateDepth(), 0);
}

TEST(ReaderListFile, Lengths) {
    // Negative lengths and counts.
    for (const char* tag : {"0C", "12", "14"}) {
        Filled c;
        EXPECT_EQ(read(c, image(record("Items.Strings", hex("01") + hex(tag) + le32(-1) + "abc"))),
                  recordError("Items.Strings", texts::kInvalidPropertyValue))
            << tag;
        EXPECT_TRUE(c.entries().empty());
        EXPECT_EQ(read(c, image(record("Hint", hex(tag) + le32(INT32_MIN)))),
                  recordError("Hint", texts::kInvalidPropertyValue));
    }
    // Lengths beyond the end of the stream are short reads, whatever their size.
    for (const char* tag : {"0C", "12", "14"}) {
        // 103 bytes follow the length: 100 of text, the end of the list and of the record.
        for (const std::int32_t n : {104, 5000, INT32_MAX}) {
            Filled c;
            EXPECT_EQ(read(c, image(record("Items.Strings", hex("01") + shortText("ok") + hex(tag) +
                                                                le32(n) + std::string(100, 'z')))),
                      recordError("Items.Strings", texts::kReadError))
                << tag << " " << n;
            EXPECT_EQ(c.entries(), Entries{"ok"});
        }
    }
}

TEST(ReaderListFile, LongEntriesAcrossTheBuffer) {
    Filled c;
    const std::string big(10000, 'q');
    std::string wide = hex("12") + le32(3000);
    for (int i = 0; i < 3000; ++i) wide += hex("42 30");
    EXPECT_EQ(
        read(c, image(record("Items.Strings", hex("01") + test::longText(std::string(4090, 'p')) +
                                                  test::longText(big) + wide + hex("00")))),
        "");
    std::string japanese;
    for (int i = 0; i < 3000; ++i) japanese += std::string("あ");
    // Compared whole, without printing megabytes on a failure.
    EXPECT_TRUE(c.entries() == (Entries{std::string(4090, 'p'), big, japanese}));
}

TEST(ReaderListFile, DeepNestingFailsWithoutRecursion) {
    const std::string lists(1000000, '\x01');
    for (const char* path : {"Items.Strings", "DesignSize", "Left", "Font.Style"}) {
        MemoryListControl c;
        EXPECT_EQ(read(c, image(record(path, lists))),
                  recordError(path, texts::kInvalidPropertyValue))
            << path;
    }
}

TEST(ReaderListFile, RootHeader) {
    // Another class name is accepted and changes nothing; prefix flags are read over.
    Filled c;
    EXPECT_EQ(read(c, test::head("TEdit") + strings("a") + hex("00 00")), "");
    EXPECT_EQ(c.entries(), Entries{"a"});
    EXPECT_EQ(
        read(c, "TPF0" + hex("F2 03 10 27") + test::head().substr(4) + strings("b") + hex("00 00")),
        "");
    EXPECT_EQ(c.entries(), Entries{"b"});
    EXPECT_EQ(read(c, "TPF0" + hex("F5") + test::head().substr(4) + hex("00 00")), "");
    EXPECT_EQ(read(c, "TPF0" + hex("F2 06 00") + test::head().substr(4) + hex("00 00")),
              std::string(texts::kInvalidPropertyValue));
}

TEST(ReaderListFile, ObjectNames) {
    auto named = [](std::string_view name) {
        return "TPF0" + test::shortName("TListBox") + test::shortName(name) + hex("00 00");
    };
    MemoryListControl c;
    EXPECT_EQ(read(c, named("LBXURL")), "");
    EXPECT_EQ(c.name(), "LBXURL");
    EXPECT_EQ(read(c, named("lbxURL")), "");
    EXPECT_EQ(c.name(), "lbxURL");
    for (const char* ignored : {"", "lbxOther", "frmMain", "lbxURL2"}) {
        EXPECT_EQ(read(c, named(ignored)), "") << ignored;
        EXPECT_EQ(c.name(), "lbxURL");
    }
    EXPECT_EQ(read(c, named("1abc")), formatText(texts::kInvalidComponentName, {"1abc"}));
    EXPECT_EQ(read(c, named("lbx.URL")), formatText(texts::kInvalidComponentName, {"lbx.URL"}));
    EXPECT_EQ(read(c, named("EDTTEST")), formatText(texts::kDuplicateComponentName, {"EDTTEST"}));
    EXPECT_EQ(c.name(), "lbxURL");
    EXPECT_FALSE(c.loading());
    // A top-level window of the same name makes the name unique first: LBXURL_1 is ignored.
    c.topLevelWindows.push_back("lbxurl");
    EXPECT_EQ(read(c, named("LBXURL")), "");
    EXPECT_EQ(c.name(), "lbxURL");
    // The suffix counts past the top-level names in any case; the name it gives belongs to a
    // sibling whose name differs from it only in letter case.
    c.siblings.push_back("lbxUrl_2");
    EXPECT_EQ(read(c, named("LBXURL")), "");
    c.topLevelWindows.push_back("LbxUrl_1");
    EXPECT_EQ(read(c, named("LBXURL")), formatText(texts::kDuplicateComponentName, {"LBXURL_2"}));
    EXPECT_EQ(c.name(), "lbxURL");
    EXPECT_FALSE(c.loading());
    // A Name record follows the same rule inside the template.
    MemoryListControl d;
    EXPECT_EQ(read(d, image(record("Name", shortText("btnGo")))),
              recordError("Name", formatText(texts::kDuplicateComponentName, {"btnGo"})));
    // Without a name the template names the class.
    d.setName("");
    EXPECT_EQ(read(d, test::head("TListBox", "") + record("Foo", int8(1)) + hex("00 00")),
              formatText(texts::kPropertyReadError,
                         {"TListBox", ".", "Foo", std::string(texts::kUnknownProperty)}));
}

TEST(ReaderListFile, ChildRecordsAreRejected) {
    Filled c;
    const std::string file = test::head() + strings("a") + hex("00") + test::shortName("TButton") +
                             test::shortName("btn") + hex("00 00 00");
    EXPECT_EQ(read(c, file), formatText(texts::kClassNotFound, {"TButton"}));
    EXPECT_EQ(c.entries(), Entries{"a"});
    EXPECT_FALSE(c.loading());
    EXPECT_EQ(read(c, test::head() + hex("00 F2 02 01") + test::shortName("TEdit") + hex("00")),
              formatText(texts::kClassNotFound, {"TEdit"}));
}

TEST(ReaderListFile, TrailingBytesAndStreamPosition) {
    Filled c;
    MemoryStream s(kWorkedExample + "trailing garbage");
    {
        ObjectStreamReader r(s);
        r.ParseRoot(c);
    }
    EXPECT_EQ(c.entries(), (Entries{"abc", "de"}));
    EXPECT_EQ(s.position(), 118);

    // After a failure the position is just after the last byte consumed, too.
    MemoryStream bad(image(record("Left", shortText("x"))) + std::string(5000, 'y'));
    {
        ObjectStreamReader r(bad);
        EXPECT_THROW(r.ParseRoot(c), EReadError);
    }
    EXPECT_EQ(bad.position(), static_cast<std::int64_t>(test::head().size() + 5 + 1));
}

TEST(ReaderPrimitives, ValuesOneByOne) {
    MemoryStream s(hex("02 FF 03 FE FF 04 FE FF FF FF 07 02") + "ab" +
                   hex("08 09 0D 00 01 00 06 00") + hex("0C 01 00 00 00") + "L" +
                   hex("12 01 00 00 00 42 30 14 02 00 00 00 C3 A9") + hex("05"));
    ObjectStreamReader r(s);
    EXPECT_EQ(r.ParseInteger(), -1);
    EXPECT_EQ(r.ParseInteger(), -2);
    EXPECT_EQ(r.ParseInteger(), -2);
    EXPECT_EQ(r.PeekTag(), ValueTag::Ident);
    EXPECT_EQ(r.ParseIdent(), "ab");
    EXPECT_EQ(r.ParseIdent(), "False");
    EXPECT_EQ(r.ParseIdent(), "True");
    EXPECT_EQ(r.ParseIdent(), "nil");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_EQ(r.ParseIdent(), "Null");
    r.ParseListStart();
    r.ParseEnd();
    EXPECT_EQ(r.ParseWideText(), u"");
    EXPECT_EQ(r.ParseWideText(), u"L");
    EXPECT_EQ(r.ParseWideText(), u"あ");
    EXPECT_EQ(r.ParseWideText(), u"é");
    EXPECT_FALSE(r.AtEnd());
    try {
        r.ParseInteger();
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.message(), std::string(texts::kInvalidPropertyValue));
    }
}

}  // namespace
}  // namespace klw
