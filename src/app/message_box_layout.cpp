#include "app/message_box_layout.h"

#include <algorithm>

#include "runtime/mul_div.h"

namespace klw {

MessageBoxMetrics messageBoxMetrics(int x, int y, int captionWidth) {
    MessageBoxMetrics m{};
    m.horizontalMargin = mulDiv(8, x, 4);
    m.verticalMargin = mulDiv(8, y, 8);
    m.verticalSpacing = mulDiv(10, y, 8);
    m.buttonWidth = std::max(mulDiv(50, x, 4), captionWidth + 8);
    m.buttonHeight = mulDiv(14, y, 8);
    return m;
}

MessageBoxLayout layoutMessageBox(const MessageBoxMetrics& m, int textWidth, int textHeight) {
    MessageBoxLayout l{};
    l.clientWidth = std::max(textWidth, m.buttonWidth) + 2 * m.horizontalMargin;
    l.clientHeight = textHeight + m.buttonHeight + m.verticalSpacing + 2 * m.verticalMargin;
    l.label = {m.horizontalMargin, m.verticalMargin, textWidth, textHeight};
    l.button = {(l.clientWidth - m.buttonWidth) / 2,
                textHeight + m.verticalMargin + m.verticalSpacing, m.buttonWidth, m.buttonHeight};
    return l;
}

Point centreIn(int left, int top, int width, int height, int windowWidth, int windowHeight) {
    return {left + (width - windowWidth) / 2, top + (height - windowHeight) / 2};
}

}  // namespace klw
