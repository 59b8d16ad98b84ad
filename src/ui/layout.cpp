#include "ui/layout.h"

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

Bounds scaleBounds(const Bounds& b, int m, int d) {
    const int left = scaleValue(b.left, m, d);
    const int top = scaleValue(b.top, m, d);
    return {left, top, scaleValue(b.left + b.width, m, d) - left,
            scaleValue(b.top + b.height, m, d) - top};
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
    return l;
}

}  // namespace klw
