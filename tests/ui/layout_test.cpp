#include "ui/layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

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

namespace klw {
namespace {

// The other six controls of a layout, for the list's place among them.
std::vector<Bounds> othersOf(const MainLayout& l) {
    std::vector<Bounds> others;
    for (size_t i = 0; i < kDesignControls.size(); ++i)
        if (kDesignControls[i].id != Ctl::lbxURL) others.push_back(l.controls[i]);
    return others;
}

const Bounds kDesignedList{4, 4, 267, 133};

// The list's rectangle as the window has it at each density the user may have (the font
// measuring 12 * dpi / 96), converted to the list file's design units and back.
TEST(ListGeometry, DesignUnitsComeBackExactlyAtEveryDensity) {
    const struct {
        int textHeight;
        Bounds list;
    } cases[] = {{15, {5, 5, 334, 166}}, {18, {6, 6, 401, 200}}, {24, {8, 8, 534, 266}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.textHeight);
        const MainLayout l = computeMainLayout(c.textHeight * 8, c.textHeight);
        EXPECT_EQ(l.scaleM, c.textHeight);
        EXPECT_EQ(l.scaleD, 12);
        EXPECT_EQ(l.controls[static_cast<size_t>(Ctl::lbxURL)], c.list);
        EXPECT_EQ(toDesignUnits(c.list, l.scaleM, l.scaleD), kDesignedList);
        // Every control's rectangle, and odd ones, survive the way through the file.
        for (const auto& d : kDesignControls)
            EXPECT_EQ(toDesignUnits(scaleBounds(d.bounds, l.scaleM, l.scaleD), l.scaleM, l.scaleD),
                      d.bounds);
        for (const Bounds& b : {Bounds{10, 20, 150, 60}, Bounds{-7, 3, 1, 0}, Bounds{0, 0, 1, 1}})
            EXPECT_EQ(toDesignUnits(scaleBounds(b, l.scaleM, l.scaleD), l.scaleM, l.scaleD), b);
    }
    // Unscaled, the file holds the window's own pixels.
    const MainLayout at96 = computeMainLayout(96, 12);
    EXPECT_EQ(at96.scaleM, at96.scaleD);
    EXPECT_EQ(toDesignUnits({5, 5, 334, 166}, at96.scaleM, at96.scaleD), (Bounds{5, 5, 334, 166}));
}

// Files of earlier builds hold the list in the pixels of the density they were saved at: read at
// another density, the rectangle would cover the field and the buttons or leave the window.
TEST(ListGeometry, RectanglesOfOtherDensitiesDoNotFit) {
    const struct {
        int textHeight;
        Bounds fromFile;
    } cases[] = {
        {12, {5, 5, 334, 166}},  // saved at 120, opened at 96
        {15, {6, 6, 401, 200}},  // saved at 144, opened at 120
        {12, {8, 8, 534, 266}},  // saved at 192, opened at 96
        {18, {5, 5, 334, 166}},  // saved at 120, opened at 144
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.textHeight);
        const MainLayout l = computeMainLayout(c.textHeight * 8, c.textHeight);
        const Bounds window = scaleBounds(c.fromFile, l.scaleM, l.scaleD);
        EXPECT_FALSE(listFitsWindow(window, l.clientWidth, l.clientHeight, othersOf(l)));
        // The designed rectangle always fits.
        EXPECT_TRUE(listFitsWindow(l.controls[static_cast<size_t>(Ctl::lbxURL)], l.clientWidth,
                                   l.clientHeight, othersOf(l)));
    }
}

TEST(ListGeometry, TheEdgesOfAUsableList) {
    const MainLayout l = computeMainLayout(96, 12);
    auto fits = [&](Bounds b) {
        return listFitsWindow(b, l.clientWidth, l.clientHeight, othersOf(l));
    };
    EXPECT_TRUE(fits({10, 20, 150, 60})) << "elsewhere inside its own area";
    EXPECT_TRUE(fits({4, 4, 272, 133})) << "right edge on the buttons' left edge";
    EXPECT_FALSE(fits({4, 4, 273, 133})) << "a pixel over the buttons";
    EXPECT_TRUE(fits({4, 4, 267, 136})) << "bottom edge on the field's top edge";
    EXPECT_FALSE(fits({4, 4, 267, 137})) << "a pixel over the field";
    EXPECT_TRUE(fits({0, 0, 272, 140}));
    EXPECT_FALSE(fits({-1, 4, 267, 133})) << "left of the client area";
    EXPECT_FALSE(fits({4, -1, 267, 133})) << "above the client area";
    EXPECT_FALSE(fits({4, 4, 0, 133})) << "no width: nothing to see or click";
    EXPECT_FALSE(fits({4, 4, 267, 0}));
    EXPECT_FALSE(fits({4, 4, -5, 133}));
    // Below the field, inside the client area, is another free place.
    EXPECT_TRUE(fits({0, 160, 10, 5}));
    EXPECT_FALSE(fits({0, 160, 10, 6})) << "a pixel below the client area";
    EXPECT_FALSE(fits({320, 0, 3, 10})) << "a pixel right of the client area";
}

// Values only a hand-made file holds: nothing overflows, and none of it fits.
TEST(ListGeometry, ExtremeValuesNeitherOverflowNorFit) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    const MainLayout l = computeMainLayout(120, 15);
    for (const Bounds& b : {Bounds{kMax, kMax, kMax, kMax}, Bounds{kMin, kMin, kMin, kMin},
                            Bounds{kMin, 0, kMax, 10}, Bounds{0, 0, kMax, kMax}}) {
        const Bounds window = scaleBounds(b, l.scaleM, l.scaleD);
        EXPECT_FALSE(listFitsWindow(window, l.clientWidth, l.clientHeight, othersOf(l)));
        EXPECT_FALSE(listFitsWindow(b, l.clientWidth, l.clientHeight, othersOf(l)));
        (void)toDesignUnits(b, l.scaleM, l.scaleD);
    }
    EXPECT_EQ(scaleBounds({kMax, 0, 1, 1}, 15, 12).left, kMax) << "stops at the end of int";
}

}  // namespace
}  // namespace klw
