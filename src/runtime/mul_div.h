#pragma once
// a * b / c rounded to the nearest integer, halves away from zero, as the platform's MulDiv
// (which also answers -1 for a zero divisor).
#include <cstdint>

namespace klw {

constexpr int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const bool negative = (p < 0) != (c < 0);
    const std::int64_t ap = p < 0 ? -p : p;
    const std::int64_t ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
    const std::int64_t q = (2 * ap + ac) / (2 * ac);
    return static_cast<int>(negative ? -q : q);
}

}  // namespace klw
