#pragma once
// A control's rectangle in its parent's client area: left and top edges, width and height.
namespace klw {

struct Bounds {
    int left, top, width, height;
    bool operator==(const Bounds&) const = default;
};

}  // namespace klw
