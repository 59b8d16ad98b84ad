#pragma once
// Where a window goes so that the user can see it: the arithmetic of placing a window rectangle
// inside a monitor's work area, without the platform.
namespace klw {

struct ScreenRect {
    int left, top, right, bottom;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct ScreenPoint {
    int left, top;
    bool operator==(const ScreenPoint&) const = default;
};

// The top-left corner that moves `window`, keeping its size, by the least distance to lie wholly
// inside `work`. A window wider or taller than the work area keeps its left or top edge inside.
ScreenPoint fitIntoWorkArea(const ScreenRect& window, const ScreenRect& work);

}  // namespace klw
