// The layout at 120 pixels per inch (this test runs in a prefix with LogPixels 120).
#include <gtest/gtest.h>

#include "../persist/stream_bytes.h"
#include "app/application.h"
#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "runtime/stream.h"
#include "support/gui_test.h"
#include "ui/main_form.h"

namespace klw {
namespace {

TEST(Dpi120, LayoutIsScaledByTheMeasuredFont) {
    test::TempCurrentDirectory dir;
    Application app;
    TfrmMain form(app);
    ASSERT_EQ(form.pixelsPerInch(), 120) << "the prefix must have LogPixels 120";
    const RECT client = test::clientRect(form.handle());
    EXPECT_EQ(client.right, 403);
    EXPECT_EQ(client.bottom, 206);
    const RECT list = test::childRect(form.lbxURL->handle());
    EXPECT_EQ(list.left, 5);
    EXPECT_EQ(list.top, 5);
    EXPECT_EQ(list.right - list.left, 334);
    EXPECT_EQ(list.bottom - list.top, 166);
    const RECT up = test::childRect(form.btnUP->handle());
    EXPECT_EQ(up.left, 345);
    EXPECT_EQ(up.top, 5);
    EXPECT_EQ(up.right - up.left, 51);
    EXPECT_EQ(up.bottom - up.top, 26);
    // The entry field: 9 points again, so its height follows a 15-pixel font.
    const RECT edit = test::childRect(form.edtTest->handle());
    EXPECT_EQ(edit.left, 5);
    EXPECT_EQ(edit.top, 175);
    EXPECT_EQ(edit.right - edit.left, 334);
    EXPECT_EQ(edit.bottom - edit.top, 15 + 8);
    EXPECT_EQ(form.layout().editFontHeight, -15);
    // Rows follow the enlarged window font.
    EXPECT_EQ(form.lbxURL->itemHeight(), 15);
}

// The list file keeps the list's rectangle in design units (pixels at 96 pixels per inch): read
// here it is scaled like the window, and written back as it was read.
class Dpi120File : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(form.pixelsPerInch(), 120); }
    std::string write() {
        MemoryStream out;
        ObjectStreamWriter w(out);
        w.EmitSignature();
        w.EmitObject(form.streamedList());
        w.flush();
        return out.data();
    }
    void read(const std::string& bytes) {
        MemoryStream in(bytes);
        ObjectStreamReader r(in);
        r.ParseRoot(form.streamedList());
    }
    std::string image(int left, int top, const std::string& width, const std::string& height) {
        using namespace test;
        const int rowHeight = form.lbxURL->itemHeight();
        return hex("54 50 46 30") + shortName("TListBox") + shortName("lbxURL") +
               record("Left", int8(left)) + record("Top", int8(top)) + record("Width", hex(width)) +
               record("Height", hex(height)) + record("Color", ident("clWhite")) +
               record("ItemHeight", int8(rowHeight)) + record("TabOrder", int8(2)) + hex("00 00");
    }
    RECT listRect() const { return test::childRect(form.lbxURL->handle()); }

    test::TempCurrentDirectory dir;
    Application app;
    TfrmMain form{app};
};

TEST_F(Dpi120File, TheDesignedRectangleIsWrittenAndReadInDesignUnits) {
    const std::string designed = image(4, 4, "03 0B 01", "03 85 00");
    EXPECT_EQ(write(), designed) << "the scaled list is written as designed";
    read(designed);
    const RECT r = listRect();
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right - r.left, 334);
    EXPECT_EQ(r.bottom - r.top, 166);
    EXPECT_EQ(write(), designed);
}

TEST_F(Dpi120File, AnotherPlaceInsideItsAreaIsScaledAndKeptExactly) {
    // 10, 20, 150 x 60 at 96: edges 10, 20, 160, 80 become 12.5, 25, 200, 100.
    const std::string elsewhere = image(10, 20, "03 96 00", "02 3C");
    read(elsewhere);
    const RECT r = listRect();
    EXPECT_EQ(r.left, 13);
    EXPECT_EQ(r.top, 25);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 100);
    EXPECT_EQ(write(), elsewhere);
}

// Earlier builds wrote the scaled rectangle (5, 5, 334 x 166 here): scaled once more it would
// leave the client area, so the list takes its designed place, and the next save mends the file.
TEST_F(Dpi120File, AScaledRectangleOfAnEarlierBuildIsNotScaledTwice) {
    read(image(5, 5, "03 4E 01", "03 A6 00"));
    const RECT r = listRect();
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right - r.left, 334);
    EXPECT_EQ(r.bottom - r.top, 166);
    EXPECT_EQ(write(), image(4, 4, "03 0B 01", "03 85 00"));
}

}  // namespace
}  // namespace klw
