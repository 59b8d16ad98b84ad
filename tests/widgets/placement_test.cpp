#include "widgets/placement.h"

#include <gtest/gtest.h>

namespace klw {
namespace {

// A 1280x1024 screen whose taskbar takes the bottom 30 pixels, and a window of 330x260.
constexpr ScreenRect kWork{0, 0, 1280, 994};

ScreenRect windowAt(int left, int top) { return {left, top, left + 330, top + 260}; }

TEST(Placement, AWindowInsideStaysWhereItIs) {
    EXPECT_EQ(fitIntoWorkArea(windowAt(100, 40), kWork), (ScreenPoint{100, 40}));
    EXPECT_EQ(fitIntoWorkArea(windowAt(950, 734), kWork), (ScreenPoint{950, 734}));
}

TEST(Placement, AWindowOutsideComesWhollyInByTheLeastDistance) {
    // Off the right edge: its right edge comes to the work area's.
    EXPECT_EQ(fitIntoWorkArea(windowAt(5000, 100), kWork), (ScreenPoint{950, 100}));
    EXPECT_EQ(fitIntoWorkArea(windowAt(1000, 100), kWork), (ScreenPoint{950, 100}));
    // Off the left, the top and the bottom.
    EXPECT_EQ(fitIntoWorkArea(windowAt(-1200, 40), kWork), (ScreenPoint{0, 40}));
    EXPECT_EQ(fitIntoWorkArea(windowAt(100, -500), kWork), (ScreenPoint{100, 0}));
    EXPECT_EQ(fitIntoWorkArea(windowAt(100, 5000), kWork), (ScreenPoint{100, 734}));
    // Off a corner.
    EXPECT_EQ(fitIntoWorkArea(windowAt(3000, 3000), kWork), (ScreenPoint{950, 734}));
    // A monitor left of the primary one.
    EXPECT_EQ(fitIntoWorkArea(windowAt(-3000, 40), {-1280, 0, 0, 1024}), (ScreenPoint{-1280, 40}));
    EXPECT_EQ(fitIntoWorkArea(windowAt(200, 40), {-1280, 0, 0, 1024}), (ScreenPoint{-330, 40}));
}

TEST(Placement, AWindowLargerThanTheWorkAreaKeepsItsCornerInside) {
    const ScreenRect small{0, 0, 300, 200};
    EXPECT_EQ(fitIntoWorkArea(windowAt(5000, 5000), small), (ScreenPoint{0, 0}));
    EXPECT_EQ(fitIntoWorkArea(windowAt(-5000, -5000), small), (ScreenPoint{0, 0}));
}

}  // namespace
}  // namespace klw
