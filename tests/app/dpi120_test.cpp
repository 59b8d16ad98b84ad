// The layout at 120 pixels per inch (this test runs in a prefix with LogPixels 120).
#include <gtest/gtest.h>

#include "app/application.h"
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

}  // namespace
}  // namespace klw
