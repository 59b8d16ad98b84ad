#include "ui/layout.h"

#include <gtest/gtest.h>

namespace klw {
namespace {

TEST(Layout, NothingMovesWhenTheFontMeasuresAsDesigned) {
    for (int ppi : {96, 120, 144}) {
        const MainLayout l = computeMainLayout(ppi, 12);
        EXPECT_FALSE(l.scaled);
        EXPECT_EQ(l.clientWidth, 322);
        EXPECT_EQ(l.clientHeight, 165);
        EXPECT_EQ(l.editFontHeight, -12);
        for (size_t i = 0; i < kDesignControls.size(); ++i)
            EXPECT_EQ(l.controls[i], kDesignControls[i].bounds);
    }
}

TEST(Layout, At120DotsPerInchWithAFifteenPixelFont) {
    EXPECT_EQ(windowFontHeight(120), -15);
    EXPECT_EQ(windowFontHeight(96), -12);
    const MainLayout l = computeMainLayout(120, 15);
    EXPECT_TRUE(l.scaled);
    EXPECT_EQ(l.clientWidth, 403);
    EXPECT_EQ(l.clientHeight, 206);
    EXPECT_EQ(l.controls[static_cast<size_t>(Ctl::lbxURL)], (Bounds{5, 5, 334, 166}));
    EXPECT_EQ(l.controls[static_cast<size_t>(Ctl::btnUP)], (Bounds{345, 5, 51, 26}));
    EXPECT_EQ(l.controls[static_cast<size_t>(Ctl::btnAdd)], (Bounds{345, 175, 51, 26}));
    // 7 points as read at 120 dpi, scaled to 9 points: 15 pixels.
    EXPECT_EQ(l.editFontHeight, -15);
}

TEST(Layout, ScalesAtDesignDensityWhenASubstituteMeasuresDifferently) {
    const MainLayout l = computeMainLayout(96, 13);
    EXPECT_TRUE(l.scaled);
    EXPECT_EQ(l.clientWidth, 349);   // 322 * 13 / 12 = 348.8
    EXPECT_EQ(l.clientHeight, 179);  // 178.75
    // Right and bottom edges scale like left and top: 4 + 267 = 271 -> 293.58 -> 294.
    EXPECT_EQ(l.controls[static_cast<size_t>(Ctl::lbxURL)], (Bounds{4, 4, 290, 144}));
    EXPECT_EQ(l.editFontHeight, -13);  // 9 points * 13/12 = 9.75 -> 10 points -> 13 pixels
}

// At 192 dpi the window font asks for 24 pixels. A substitute that measures 12 there leaves the
// design as it is; one that measures 24 doubles it, and the entry field's 9 points read at 192 dpi
// are 4.5, which rounds away from zero to 5 points: 10 after doubling, 26.67 pixels, so 27.
TEST(Layout, At192DotsPerInch) {
    EXPECT_EQ(windowFontHeight(192), -24);
    const MainLayout asDesigned = computeMainLayout(192, 12);
    EXPECT_FALSE(asDesigned.scaled);
    EXPECT_EQ(asDesigned.clientWidth, 322);
    EXPECT_EQ(asDesigned.editFontHeight, -12);
    EXPECT_EQ(asDesigned.controls[static_cast<size_t>(Ctl::lbxURL)], (Bounds{4, 4, 267, 133}));

    const MainLayout doubled = computeMainLayout(192, 24);
    EXPECT_TRUE(doubled.scaled);
    EXPECT_EQ(doubled.clientWidth, 644);
    EXPECT_EQ(doubled.clientHeight, 330);
    EXPECT_EQ(doubled.controls[static_cast<size_t>(Ctl::lbxURL)], (Bounds{8, 8, 534, 266}));
    EXPECT_EQ(doubled.controls[static_cast<size_t>(Ctl::btnGo)], (Bounds{552, 232, 82, 42}));
    EXPECT_EQ(doubled.editFontHeight, -27);
}

}  // namespace
}  // namespace klw
