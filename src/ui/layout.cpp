#include "ui/layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "runtime/mul_div.h"

namespace klw {

const std::array<DesignControl, kControlCount> kDesignControls = {{
    {Ctl::edtTest, "edtTest", {4, 140, 267, 20}},
    {Ctl::btnGo, "btnGo", {276, 116, 41, 21}},
    {Ctl::lbxURL, "lbxURL", {4, 4, 267, 133}},
    {Ctl::btnAdd, "btnAdd", {276, 140, 41, 21}},
    {Ctl::btnUP, "btnUP", {276, 4, 41, 21}},
    {Ctl::btnDown, "btnDown", {276, 32, 41, 21}},
    {Ctl::btnDelete, "btnDelete", {276, 60, 41, 21}},
}};

int scaleValue(int x, int m, int d) { return mulDiv(x, m, d); }

namespace {

// x * m / d for 64-bit x, rounded as mulDiv rounds; m and d are small positive factors.
std::int64_t scaleWide(std::int64_t x, int m, int d) {
    const std::int64_t p = x * m;
    const std::int64_t q = (2 * (p < 0 ? -p : p) + d) / (2 * std::int64_t{d});
    return p < 0 ? -q : q;
}

int clampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// The rectangle with each edge scaled by m/d, right and bottom edges like left and top.
Bounds scaleEdges(const Bounds& b, int m, int d) {
    if (m == d) return b;
    const std::int64_t left = scaleWide(b.left, m, d);
    const std::int64_t top = scaleWide(b.top, m, d);
    const std::int64_t right = scaleWide(std::int64_t{b.left} + b.width, m, d);
    const std::int64_t bottom = scaleWide(std::int64_t{b.top} + b.height, m, d);
    return {clampToInt(left), clampToInt(top), clampToInt(right - left), clampToInt(bottom - top)};
}

}  // namespace

Bounds scaleBounds(const Bounds& b, int m, int d) { return scaleEdges(b, m, d); }

Bounds toDesignUnits(const Bounds& pixels, int m, int d) { return scaleEdges(pixels, d, m); }

bool listFitsWindow(const Bounds& list, int clientWidth, int clientHeight,
                    std::span<const Bounds> others) {
    const std::int64_t left = list.left, top = list.top;
    const std::int64_t right = left + list.width, bottom = top + list.height;
    if (list.width <= 0 || list.height <= 0) return false;
    if (left < 0 || top < 0 || right > clientWidth || bottom > clientHeight) return false;
    return std::none_of(others.begin(), others.end(), [&](const Bounds& o) {
        return left < std::int64_t{o.left} + o.width && o.left < right &&
               top < std::int64_t{o.top} + o.height && o.top < bottom;
    });
}

int windowFontHeight(int pixelsPerInch) {
    if (pixelsPerInch == design::kPixelsPerInch) return design::kFontHeight;
    return mulDiv(design::kFontHeight, pixelsPerInch, design::kPixelsPerInch);
}

int editFontHeight(int pixelsPerInch, int m, int d) {
    if (m == d) return design::kFontHeight;
    const int points = -mulDiv(design::kFontHeight, 72, pixelsPerInch);
    return -mulDiv(scaleValue(points, m, d), pixelsPerInch, 72);
}

MainLayout computeMainLayout(int pixelsPerInch, int measuredTextHeight) {
    MainLayout l{};
    const bool scaled = measuredTextHeight != design::kTextHeight && measuredTextHeight > 0;
    const int m = scaled ? measuredTextHeight : 1;
    const int d = scaled ? design::kTextHeight : 1;
    for (size_t i = 0; i < kDesignControls.size(); ++i)
        l.controls[i] =
            scaled ? scaleBounds(kDesignControls[i].bounds, m, d) : kDesignControls[i].bounds;
    l.clientWidth = scaleValue(design::kClientWidth, m, d);
    l.clientHeight = scaleValue(design::kClientHeight, m, d);
    l.editFontHeight = editFontHeight(pixelsPerInch, m, d);
    l.scaled = scaled;
    l.scaleM = m;
    l.scaleD = d;
    return l;
}

}  // namespace klw
