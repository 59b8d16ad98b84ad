#include "widgets/placement.h"

#include <algorithm>

namespace klw {

ScreenPoint fitIntoWorkArea(const ScreenRect& window, const ScreenRect& work) {
    const int left =
        std::clamp(window.left, work.left, std::max(work.left, work.right - window.width()));
    const int top =
        std::clamp(window.top, work.top, std::max(work.top, work.bottom - window.height()));
    return {left, top};
}

}  // namespace klw
