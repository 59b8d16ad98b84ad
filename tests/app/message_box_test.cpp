// The plain message box and the error box on the real window: size from the message font,
// keys that close them, the clipboard text, and the program kept modal while they are up.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "app/application.h"
#include "app/message_box_layout.h"
#include "app/message_form.h"
#include "runtime/exceptions.h"
#include "support/gui_test.h"
#include "support/shown_main_window.h"
#include "ui/main_form.h"

namespace klw {
namespace {

using test::pump;

class MessageBoxes : public test::ShownMainWindow {
protected:
    // Shows `text` in the plain box; `whileOpen` runs on a second thread with the box's handle
    // and must close it.
    void showPlain(const std::string& text, const std::function<void(HWND)>& whileOpen) {
        test::DialogWatcher watcher;
        watcher.dismiss = false;
        std::thread other([&] {
            for (int i = 0; i < 250 && !watcher.openBox.load(); ++i) Sleep(20);
            HWND box = watcher.openBox.load();
            Sleep(50);
            if (box) whileOpen(box);
        });
        MessageForm::show(text);
        other.join();
        seen = watcher.seen();
    }
    std::vector<test::SeenDialog> seen;
};

TEST_F(MessageBoxes, PlainBoxIsSizedFromTheMessageFont) {
    // Measure the message font independently of the box.
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof ncm;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0));
    HFONT font = CreateFontIndirectA(&ncm.lfMessageFont);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE letters{};
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    RECT ok{0, 0, 0, 0};
    DrawTextA(dc, "OK", -1, &ok, DT_CALCRECT | DT_SINGLELINE);
    const std::string text = "Version 0.90 (2002.Jan.17)";
    RECT t{0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, 0};
    DrawTextA(dc, text.c_str(), -1, &t, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    const MessageBoxLayout expect = layoutMessageBox(
        messageBoxMetrics(letters.cx / 52, letters.cy, ok.right), t.right - t.left, t.bottom);

    RECT client{}, button{}, label{}, window{};
    bool mainEnabledWhileOpen = true;
    showPlain(text, [&](HWND box) {
        GetClientRect(box, &client);
        GetWindowRect(box, &window);
        button = test::childRect(FindWindowExA(box, nullptr, "BUTTON", nullptr));
        label = test::childRect(FindWindowExA(box, nullptr, "STATIC", nullptr));
        mainEnabledWhileOpen = IsWindowEnabled(form->handle()) != FALSE;
        PostMessageA(box, WM_CLOSE, 0, 0);
    });
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, app.title());
    EXPECT_EQ(seen[0].text, text);
    EXPECT_EQ(client.right, expect.clientWidth);
    EXPECT_EQ(client.bottom, expect.clientHeight);
    EXPECT_EQ(button.left, expect.button.left);
    EXPECT_EQ(button.top, expect.button.top);
    EXPECT_EQ(button.right - button.left, expect.button.width);
    EXPECT_EQ(label.left, expect.label.left);
    EXPECT_EQ(label.right - label.left, expect.label.width);
    // Centred on the screen.
    EXPECT_EQ(window.left, (GetSystemMetrics(SM_CXSCREEN) - (window.right - window.left)) / 2);
    EXPECT_EQ(window.top, (GetSystemMetrics(SM_CYSCREEN) - (window.bottom - window.top)) / 2);
    EXPECT_FALSE(mainEnabledWhileOpen) << "the box is modal for the whole program";
    EXPECT_TRUE(IsWindowEnabled(form->handle()));
}

TEST_F(MessageBoxes, LongTextWrapsAndTheBoxGrows) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "word" + std::to_string(i) + " ";
    RECT client{};
    showPlain(text, [&](HWND box) {
        GetClientRect(box, &client);
        PostMessageA(box, WM_CLOSE, 0, 0);
    });
    EXPECT_LE(client.right, GetSystemMetrics(SM_CXSCREEN) / 2 + 40);
    EXPECT_GT(client.bottom, 100) << "several lines";
}

TEST_F(MessageBoxes, EnterEscSpaceAndTheCloseBoxEachCloseIt) {
    const struct {
        const char* name;
        std::function<void()> press;
    } ways[] = {
        {"Enter", [] { test::key(VK_RETURN); }},
        {"Esc", [] { test::key(VK_ESCAPE); }},
        {"Space", [] { test::key(VK_SPACE); }},
        {"Alt+F4", [] { test::key(VK_F4, test::kAlt); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        bool closed = false;
        showPlain("x", [&](HWND box) {
            SetForegroundWindow(box);
            Sleep(50);
            way.press();
            for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
            closed = !IsWindow(box);
            if (!closed) PostMessageA(box, WM_CLOSE, 0, 0);
        });
        EXPECT_TRUE(closed);
    }
}

TEST_F(MessageBoxes, CtrlCCopiesTheFramedText) {
    std::string copied;
    showPlain("Version 0.90 (2002.Jan.17)", [&](HWND box) {
        SetForegroundWindow(box);
        Sleep(50);
        test::key('C', test::kCtrl);
        Sleep(300);
        copied = test::clipboardText(CF_TEXT);
        PostMessageA(box, WM_CLOSE, 0, 0);
    });
    const std::string line(27, '-');
    EXPECT_EQ(copied, line + "\r\n" + app.title() + "\r\n" + line +
                          "\r\nVersion 0.90 (2002.Jan.17)\r\n" + line + "\r\nOK   \r\n" + line +
                          "\r\n");
}

TEST_F(MessageBoxes, ErrorBoxKeepsTheProgramModalAndGivesTheFocusBack) {
    test::DialogWatcher watcher;
    watcher.dismiss = false;
    bool mainEnabled = true;
    std::thread other([&] {
        for (int i = 0; i < 250 && !watcher.openBox.load(); ++i) Sleep(20);
        Sleep(50);
        mainEnabled = IsWindowEnabled(form->handle()) != FALSE;
        PostMessageA(watcher.openBox.load(), WM_COMMAND, IDOK, 0);
    });
    form->btnUP->setEnabled(true);
    form->btnUP->onClick = [](Control&) { throw Exception("boom"); };
    form->focusControl(*form->edtTest);
    pump(app);
    SendMessageA(form->handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form->btnUP->handle()));
    other.join();
    pump(app);
    const auto s = watcher.seen();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].text, "boom.");
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(IsWindowEnabled(form->handle()));
    EXPECT_EQ(GetActiveWindow(), form->handle());
    EXPECT_EQ(GetFocus(), form->edtTest->handle());
}

}  // namespace
}  // namespace klw
