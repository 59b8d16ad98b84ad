#pragma once
// The main window's designed layout and its adaptation to the screen's pixel density.
#include <array>
#include <span>
#include <string_view>

#include "widgets/bounds.h"

namespace klw {

namespace design {
inline constexpr int kPixelsPerInch = 96;
inline constexpr int kTextHeight = 12;   // height of "0" in the window font at design
inline constexpr int kFontHeight = -12;  // window font and the entry field's own font
inline constexpr int kClientWidth = 322;
inline constexpr int kClientHeight = 165;
inline constexpr int kListItemHeight = 12;
}  // namespace design

// The seven controls in creation order (also the tab order).
enum class Ctl { edtTest, btnGo, lbxURL, btnAdd, btnUP, btnDown, btnDelete };
inline constexpr int kControlCount = 7;

struct DesignControl {
    Ctl id;
    std::string_view name;
    Bounds bounds;
};
extern const std::array<DesignControl, kControlCount> kDesignControls;

// x * m / d rounded to the nearest integer, halves away from zero.
int scaleValue(int x, int m, int d);
// Left and top scaled; right and bottom edges scaled like them. Edges beyond the range of int
// (only hand-made list files give such values) stop at its ends.
Bounds scaleBounds(const Bounds& b, int m, int d);
// The list file keeps the list's rectangle in design units (pixels at 96 pixels per inch), so
// that a file means the same on every display: the window's rectangle at the scaling m/d back in
// design units, edge by edge. A rectangle that scaleBounds gave at m >= d comes back exactly.
Bounds toDesignUnits(const Bounds& pixels, int m, int d);

// Whether the list at `list` (pixels of the client area) leaves the window usable: not empty,
// inside the client area, and over none of the other controls.
bool listFitsWindow(const Bounds& list, int clientWidth, int clientHeight,
                    std::span<const Bounds> others);

// The window font's height in pixels at this density (-12 at 96, -15 at 120).
int windowFontHeight(int pixelsPerInch);
// The entry field's own font height in pixels. Unscaled it keeps its designed -12; scaled, its
// size in points as read at this density (whole points) is scaled by m/d.
int editFontHeight(int pixelsPerInch, int m, int d);

struct MainLayout {
    std::array<Bounds, kControlCount> controls;  // the entry field's height still follows its font
    int clientWidth;
    int clientHeight;
    int editFontHeight;
    bool scaled;
    // The factor of the scaling: the measured text height over the designed one (1/1 unscaled).
    int scaleM;
    int scaleD;
};

// `measuredTextHeight` is the height of "0" drawn in the window font of windowFontHeight().
MainLayout computeMainLayout(int pixelsPerInch, int measuredTextHeight);

}  // namespace klw
