// The component stream on the real list box of the main window: the records move and change the
// native control, and the writer sees what the control shows.
#include <gtest/gtest.h>

#include "app/application.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/stream.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"
#include "stream_bytes.h"
#include "support/gui_test.h"
#include "ui/main_form.h"

namespace klw {
namespace {

using test::hex;

// The two-entry file of the format's worked example, 118 bytes.
const std::string kWorkedExample =
    hex("54 50 46 30 08 54 4C 69 73 74 42 6F 78 06 6C 62 78 55 52 4C 04 4C 65 66 74 02 04"
        "03 54 6F 70 02 04 05 57 69 64 74 68 03 0B 01 06 48 65 69 67 68 74 03 85 00"
        "05 43 6F 6C 6F 72 07 07 63 6C 57 68 69 74 65 0A 49 74 65 6D 48 65 69 67 68 74 02 0C"
        "0D 49 74 65 6D 73 2E 53 74 72 69 6E 67 73 01 06 03 61 62 63 06 02 64 65 00"
        "08 54 61 62 4F 72 64 65 72 02 02 00 00");

class StreamedListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TfrmMain>(app);
        ShowWindow(form->handle(), SW_SHOWNORMAL);
        test::pump(app);
    }
    void TearDown() override { form.reset(); }

    std::string write() {
        MemoryStream out;
        ObjectStreamWriter w(out);
        w.EmitSignature();
        w.EmitObject(form->streamedList());
        w.flush();
        return out.data();
    }
    void read(const std::string& bytes) {
        MemoryStream in(bytes);
        ObjectStreamReader r(in);
        r.ParseRoot(form->streamedList());
    }
    // An image of the designed list with these records replaced or added before TabOrder.
    static std::string imageWith(const std::string& records) {
        return hex("54 50 46 30") + test::shortName("TListBox") + test::shortName("lbxURL") +
               records + hex("00 00");
    }

    test::TempCurrentDirectory dir;
    Application app;
    std::unique_ptr<TfrmMain> form;
};

TEST_F(StreamedListBoxTest, WritesTheWorkedExampleFromTheRealControl) {
    form->lbxURL->append("abc");
    form->lbxURL->append("de");
    EXPECT_EQ(write(), kWorkedExample);
    form->lbxURL->clear();
    const std::string empty = write();
    EXPECT_EQ(empty.size(), 93u);
    EXPECT_EQ(empty, kWorkedExample.substr(0, 80) + kWorkedExample.substr(105));
}

TEST_F(StreamedListBoxTest, ReadingReplacesTheEntriesWithoutSelectingOrClicking) {
    int clicks = 0;
    form->lbxURL->onClick = [&](Control&) { ++clicks; };
    form->lbxURL->append("old");
    form->lbxURL->setItemIndex(0);
    read(kWorkedExample);
    ASSERT_EQ(form->lbxURL->count(), 2);
    EXPECT_EQ(form->lbxURL->item(0), "abc");
    EXPECT_EQ(form->lbxURL->item(1), "de");
    EXPECT_EQ(form->lbxURL->itemIndex(), -1);
    test::pump(app);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(form->lbxURL->color(), 0xFFFFFF);
    EXPECT_EQ(write(), kWorkedExample) << "read and written again unchanged";
}

// The object name of a file against the real window's components, compared in any letter case:
// another control's or a menu item's name is refused; the window's own name is made unique first
// ("FRMMAIN_1", nobody's) and passed over; the list's own in other letters is taken.
TEST_F(StreamedListBoxTest, ObjectNamesAgainstTheWindowsComponents) {
    auto named = [](std::string_view name) {
        return hex("54 50 46 30") + test::shortName("TListBox") + test::shortName(name) +
               hex("00 00");
    };
    auto readError = [&](std::string_view name) -> std::string {
        try {
            read(named(name));
        } catch (const Exception& e) {
            return e.message();
        }
        return {};
    };
    for (const char* taken : {"BTNGO", "edttest", "MnuMainFileExit", "mnumain"})
        EXPECT_EQ(readError(taken), formatText(texts::kDuplicateComponentName, {taken}));
    EXPECT_EQ(readError("FRMMAIN"), "");
    EXPECT_EQ(form->lbxURL->name(), "lbxURL");
    EXPECT_EQ(readError("LBXurl"), "");
    EXPECT_EQ(form->lbxURL->name(), "LBXurl");
}

TEST_F(StreamedListBoxTest, GeometryAndColourRecordsChangeTheNativeControl) {
    const std::string image =
        imageWith(test::record("Left", test::int8(10)) + test::record("Top", test::int8(20)) +
                  test::record("Width", hex("03 96 00")) + test::record("Height", test::int8(60)) +
                  test::record("Color", test::ident("clYellow")));
    read(image);
    const RECT r = test::childRect(form->lbxURL->handle());
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 150);
    EXPECT_EQ(r.bottom - r.top, 60);
    EXPECT_EQ(form->lbxURL->color(), 0x00FFFF);
    // The list paints its background in that colour.
    form->lbxURL->append("x");
    RedrawWindow(form->lbxURL->handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(form->lbxURL->handle());
    const COLORREF pixel = GetPixel(dc, 75, 40);
    ReleaseDC(form->lbxURL->handle(), dc);
    EXPECT_EQ(pixel, RGB(255, 255, 0));
    // Written again as read.
    form->lbxURL->clear();
    const std::string written = write();
    EXPECT_NE(written.find(
                  test::record("Left", test::int8(10)) + test::record("Top", test::int8(20)) +
                  test::record("Width", hex("03 96 00")) + test::record("Height", test::int8(60))),
              std::string::npos);
}

// A rectangle that would cover the field or the buttons, or leave the client area (a file of an
// earlier build saved at another density, or made by hand), is not applied: the list keeps its
// designed place and writes it back; the records around the rectangle still take effect.
TEST_F(StreamedListBoxTest, ARectangleThatBreaksTheWindowIsNotApplied) {
    const struct {
        const char* what;
        std::string records;
    } cases[] = {
        {"saved at 120 pixels per inch by an earlier build",
         test::record("Left", test::int8(5)) + test::record("Top", test::int8(5)) +
             test::record("Width", hex("03 4E 01")) + test::record("Height", hex("03 A6 00"))},
        {"a pixel over the buttons", test::record("Width", hex("03 11 01"))},
        {"a pixel over the field", test::record("Height", hex("03 89 00"))},
        {"left of the client area", test::record("Left", test::int8(-1))},
        {"no width", test::record("Width", test::int8(0))},
        {"far away", test::record("Top", hex("04 00 00 00 40"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        form->lbxURL->setColor(kClWhite);
        read(imageWith(
            test::record("ItemHeight", test::int8(12)) + c.records +
            test::record("Color", test::ident("clYellow")) +
            test::record("Items.Strings", hex("01") + test::shortText("kept") + hex("00"))));
        const RECT r = test::childRect(form->lbxURL->handle());
        EXPECT_EQ(r.left, 4);
        EXPECT_EQ(r.top, 4);
        EXPECT_EQ(r.right - r.left, 267);
        EXPECT_EQ(r.bottom - r.top, 133);
        EXPECT_EQ(form->lbxURL->color(), 0x00FFFF) << "the record after the rectangle applies";
        ASSERT_EQ(form->lbxURL->count(), 1);
        EXPECT_EQ(form->lbxURL->item(0), "kept");
        EXPECT_EQ(form->streamedList().width(), 267) << "the designed rectangle is saved";
    }
    // Just fitting is honoured: right edge on the buttons, bottom edge on the field.
    read(imageWith(test::record("Width", hex("03 10 01")) +
                   test::record("Height", hex("03 88 00"))));
    const RECT r = test::childRect(form->lbxURL->handle());
    EXPECT_EQ(r.right - r.left, 272);
    EXPECT_EQ(r.bottom - r.top, 136);
}

// A read that fails after the rectangle still leaves no list over the other controls.
TEST_F(StreamedListBoxTest, AFailedReadLeavesNoBrokenRectangle) {
    EXPECT_THROW(read(imageWith(test::record("Width", hex("03 4E 01")) +
                                test::record("Left", test::shortText("x")))),
                 EReadError);
    const RECT r = test::childRect(form->lbxURL->handle());
    EXPECT_EQ(r.left, 4);
    EXPECT_EQ(r.right - r.left, 267);
}

TEST_F(StreamedListBoxTest, NewRowHeightRecreatesTheListKeepingItsState) {
    for (int i = 0; i < 40; ++i) form->lbxURL->append("entry " + std::to_string(i));
    form->lbxURL->setItemIndex(30);
    SendMessageA(form->lbxURL->handle(), LB_SETTOPINDEX, 25, 0);
    const HWND before = form->lbxURL->handle();
    read(imageWith(test::record("ItemHeight", test::int8(20))));
    EXPECT_NE(form->lbxURL->handle(), before) << "a new native list";
    EXPECT_FALSE(IsWindow(before));
    EXPECT_EQ(form->lbxURL->count(), 40);
    EXPECT_EQ(form->lbxURL->item(39), "entry 39");
    EXPECT_EQ(form->lbxURL->itemIndex(), 30);
    EXPECT_EQ(SendMessageA(form->lbxURL->handle(), LB_GETTOPINDEX, 0, 0), 25);
    EXPECT_EQ(form->lbxURL->itemHeight(), 12) << "rows of the standard style follow the font";
    // The same height again changes nothing; events still reach the new list.
    const HWND recreated = form->lbxURL->handle();
    read(imageWith(test::record("ItemHeight", test::int8(20))));
    EXPECT_EQ(form->lbxURL->handle(), recreated);
    EXPECT_EQ(Control::fromHandle(recreated), form->lbxURL.get());
}

TEST_F(StreamedListBoxTest, CutFileKeepsTheEntriesReadBeforeTheCut) {
    // Cut inside the second entry.
    const std::string cut = kWorkedExample.substr(0, 101);
    try {
        read(cut);
        FAIL() << "a cut file must not read";
    } catch (const EReadError& e) {
        EXPECT_EQ(
            e.message(),
            std::string(
                "lbxURL.Items.Strings の読み込み中のエラー : ストリームからの読み込みエラー"));
    }
    ASSERT_EQ(form->lbxURL->count(), 1);
    EXPECT_EQ(form->lbxURL->item(0), "abc");
}

TEST_F(StreamedListBoxTest, OnClickGivenAsNilUnbindsTheHandler) {
    read(imageWith(test::record("OnClick", hex("0D"))));
    EXPECT_FALSE(form->lbxURL->onClick);
    EXPECT_TRUE(form->lbxURL->onDblClick);
}

}  // namespace
}  // namespace klw
