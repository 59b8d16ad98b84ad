#pragma once
// The arithmetic of the plain message box: metrics from the message font's average character
// width X and height Y (dialog units of X/4 and Y/8), sizes and places.
namespace klw {

struct MessageBoxMetrics {
    int horizontalMargin;
    int verticalMargin;
    int verticalSpacing;
    int buttonWidth;
    int buttonHeight;
};

// `captionWidth` is the width of the button caption on one line.
MessageBoxMetrics messageBoxMetrics(int x, int y, int captionWidth);

struct Box {
    int left, top, width, height;
};

struct MessageBoxLayout {
    int clientWidth;
    int clientHeight;
    Box label;
    Box button;
};

// `textWidth` and `textHeight` are the measured message, word-wrapped at half the screen width.
MessageBoxLayout layoutMessageBox(const MessageBoxMetrics& m, int textWidth, int textHeight);

// Top-left corner that centres a window of this size on a rectangle.
struct Point {
    int x, y;
};
Point centreIn(int left, int top, int width, int height, int windowWidth, int windowHeight);

}  // namespace klw
