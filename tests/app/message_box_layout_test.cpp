#include "app/message_box_layout.h"

#include <gtest/gtest.h>

#include "runtime/mul_div.h"

namespace klw {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(mulDiv(5, 1, 2), 3);
    EXPECT_EQ(mulDiv(-5, 1, 2), -3);
    EXPECT_EQ(mulDiv(7, 1, 2), 4);
    EXPECT_EQ(mulDiv(402, 15, 12), 503);
    EXPECT_EQ(mulDiv(322, 15, 12), 403);  // 402.5
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
}

TEST(MessageBoxLayout, MetricsForSixByTwelve) {
    const MessageBoxMetrics m = messageBoxMetrics(6, 12, 14);
    EXPECT_EQ(m.horizontalMargin, 12);
    EXPECT_EQ(m.verticalMargin, 12);
    EXPECT_EQ(m.verticalSpacing, 15);
    EXPECT_EQ(m.buttonWidth, 75);
    EXPECT_EQ(m.buttonHeight, 21);
}

TEST(MessageBoxLayout, OneLineTextOfWidth150) {
    const MessageBoxLayout l = layoutMessageBox(messageBoxMetrics(6, 12, 14), 150, 12);
    EXPECT_EQ(l.clientWidth, 174);
    EXPECT_EQ(l.clientHeight, 72);
    EXPECT_EQ(l.button.left, 49);
    EXPECT_EQ(l.button.top, 39);
    EXPECT_EQ(l.label.left, 12);
    EXPECT_EQ(l.label.top, 12);
    EXPECT_EQ(l.label.width, 150);
}

TEST(MessageBoxLayout, NarrowTextTakesTheButtonWidth) {
    const MessageBoxLayout l = layoutMessageBox(messageBoxMetrics(6, 12, 14), 40, 12);
    EXPECT_EQ(l.clientWidth, 99);
    EXPECT_EQ(l.button.left, 12);
}

TEST(MessageBoxLayout, WideCaptionWidensTheButton) {
    EXPECT_EQ(messageBoxMetrics(6, 12, 80).buttonWidth, 88);
    // Odd metrics round like the platform's MulDiv: 50 * 7 / 4 = 87.5.
    EXPECT_EQ(messageBoxMetrics(7, 13, 10).buttonWidth, 88);
    EXPECT_EQ(messageBoxMetrics(7, 13, 10).verticalMargin, 13);
    EXPECT_EQ(messageBoxMetrics(7, 13, 10).verticalSpacing, 16);  // 16.25
}

TEST(MessageBoxLayout, CentresRoundingTowardZero) {
    const Point p = centreIn(0, 0, 1280, 1024, 181, 101);
    EXPECT_EQ(p.x, 549);
    EXPECT_EQ(p.y, 461);
    const Point q = centreIn(-1280, 0, 1280, 1024, 200, 100);
    EXPECT_EQ(q.x, -1280 + 540);
}

}  // namespace
}  // namespace klw
