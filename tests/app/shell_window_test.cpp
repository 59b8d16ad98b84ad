// The real main window under Wine: layout, menus, the loop, errors and the close route.
#include <gtest/gtest.h>

#include "app/application.h"
#include "runtime/exceptions.h"
#include "runtime/unicode.h"
#include "support/gui_test.h"
#include "support/shown_main_window.h"
#include "ui/main_form.h"

namespace klw {
namespace {

using test::pump;

class ShellWindow : public test::ShownMainWindow {};

TEST_F(ShellWindow, HasTheDesignedCaptionSizeAndControls) {
    EXPECT_EQ(test::windowText(form->handle()), "KORVANE LINKWALKER");
    char cls[64] = {};
    GetClassNameA(form->handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TfrmMain");
    const RECT client = test::clientRect(form->handle());
    EXPECT_EQ(client.right, 322);
    EXPECT_EQ(client.bottom, 165);
    const LONG style = GetWindowLongA(form->handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);

    struct Expect {
        Control* control;
        RECT rect;
        const char* caption;
        bool enabled;
    };
    const Expect expected[] = {
        {form->edtTest.get(), {4, 140, 271, 160}, "", true},
        {form->btnGo.get(), {276, 116, 317, 137}, "Go", false},
        {form->lbxURL.get(), {4, 4, 271, 137}, "", true},
        {form->btnAdd.get(), {276, 140, 317, 161}, "Add", false},
        {form->btnUP.get(), {276, 4, 317, 25}, "Up", false},
        {form->btnDown.get(), {276, 32, 317, 53}, "Down", false},
        {form->btnDelete.get(), {276, 60, 317, 81}, "Delete", false},
    };
    ASSERT_EQ(form->controls().size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        const Expect& e = expected[i];
        SCOPED_TRACE(e.control->name());
        EXPECT_EQ(form->controls()[i], e.control) << "creation and tab order";
        const RECT r = test::childRect(e.control->handle());
        EXPECT_EQ(r.left, e.rect.left);
        EXPECT_EQ(r.top, e.rect.top);
        EXPECT_EQ(r.right, e.rect.right);
        EXPECT_EQ(r.bottom, e.rect.bottom);
        if (e.control->isButton()) {
            EXPECT_EQ(test::windowText(e.control->handle()), e.caption);
        }
        EXPECT_EQ(e.control->isEnabled(), e.enabled);
        EXPECT_TRUE(IsWindowVisible(e.control->handle()));
    }
    EXPECT_TRUE(form->btnGo->isDefault());
    EXPECT_TRUE(form->btnAdd->isDefault());
    EXPECT_FALSE(form->btnUP->isDefault());
    EXPECT_EQ(form->lbxURL->itemHeight(), 12);
    EXPECT_EQ(form->lbxURL->color(), 0xFFFFFF);
}

// From a window handle to our object: only for windows that are ours, whatever another window
// keeps in its USERDATA.
TEST_F(ShellWindow, OnlyOurOwnWindowsLeadToOurObjects) {
    EXPECT_EQ(Window::fromHandle(form->handle()), form.get());
    EXPECT_EQ(Window::fromHandle(app.handle()), &app);
    EXPECT_EQ(Control::fromHandle(form->edtTest->handle()), form->edtTest.get());
    EXPECT_EQ(Control::fromHandle(form->lbxURL->handle()), form->lbxURL.get());
    // A control is no window of ours, the form no control.
    EXPECT_EQ(Window::fromHandle(form->edtTest->handle()), nullptr);
    EXPECT_EQ(Control::fromHandle(form->handle()), nullptr);
    // A window of the platform's class with a pointer in its USERDATA.
    HWND foreign = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(foreign, nullptr);
    SetWindowLongPtrW(foreign, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form.get()));
    EXPECT_EQ(Window::fromHandle(foreign), nullptr);
    EXPECT_EQ(Control::fromHandle(foreign), nullptr);
    DestroyWindow(foreign);
    EXPECT_EQ(Window::fromHandle(nullptr), nullptr);
    EXPECT_EQ(Control::fromHandle(nullptr), nullptr);
}

TEST_F(ShellWindow, FontsAreTheJapaneseGothicFaces) {
    auto face = [](HWND h) {
        HDC dc = GetDC(h);
        auto font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t name[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, name);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        SelectObject(dc, old);
        ReleaseDC(h, dc);
        return std::make_pair(narrow(name), static_cast<int>(tm.tmHeight));
    };
    EXPECT_EQ(face(form->lbxURL->handle()), std::make_pair(std::string("ＭＳ Ｐゴシック"), 12));
    EXPECT_EQ(face(form->btnGo->handle()), std::make_pair(std::string("ＭＳ Ｐゴシック"), 12));
    EXPECT_EQ(face(form->edtTest->handle()), std::make_pair(std::string("ＭＳ ゴシック"), 12));
}

TEST_F(ShellWindow, MenuBarShowsTwoMenus) {
    HMENU bar = GetMenu(form->handle());
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    // Read back with the Unicode call: the captions are the same on any system code page.
    auto caption = [](HMENU menu, int at) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(at), text, 128, MF_BYPOSITION);
        return std::wstring(text);
    };
    EXPECT_EQ(caption(bar, 0), L"ファイル(&F)");
    EXPECT_EQ(caption(bar, 1), L"ﾍﾙﾌﾟ(&H)");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 1);
    EXPECT_EQ(caption(file, 0), L"終了(&X)");
    HMENU help = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(help), 1);
    EXPECT_EQ(caption(help, 0), L"ﾊﾞｰｼﾞｮﾝ情報(&V)...");
    // The hidden Test menu keeps its items and handlers.
    EXPECT_FALSE(form->mnuMenuTest->visible());
    EXPECT_EQ(form->mnuMenuTest->items().size(), 2u);
    EXPECT_TRUE(form->mnuMainTestItemCount->onClick);
}

TEST_F(ShellWindow, ApplicationWindowIsTheTaskbarEntry) {
    // Derived from this test program's own file name.
    EXPECT_EQ(app.title(), "shell_window_tests");
    EXPECT_EQ(test::windowText(app.handle()), "shell_window_tests");
    EXPECT_EQ(app.currentTitle(), app.title());
    char cls[64] = {};
    GetClassNameA(app.handle(), cls, sizeof cls);
    EXPECT_STREQ(cls, "TApplication");
    EXPECT_TRUE(IsWindowVisible(app.handle()));
    EXPECT_EQ(GetWindow(form->handle(), GW_OWNER), app.handle());
    EXPECT_FALSE(GetWindowLongA(form->handle(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT r{};
    GetWindowRect(app.handle(), &r);
    EXPECT_EQ(r.right - r.left, 0);
    EXPECT_EQ(r.bottom - r.top, 0);
    EXPECT_EQ(r.left, GetSystemMetrics(SM_CXSCREEN) / 2);
    EXPECT_EQ(r.top, GetSystemMetrics(SM_CYSCREEN) / 2);
    HMENU sys = GetSystemMenu(app.handle(), FALSE);
    EXPECT_EQ(GetMenuState(sys, SC_MAXIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(sys, SC_SIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_EQ(GetMenuState(sys, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));
    EXPECT_NE(GetMenuState(sys, SC_MINIMIZE, MF_BYCOMMAND), static_cast<UINT>(-1));
}

TEST_F(ShellWindow, TypingGoesIntoTheEntryFieldWithoutAClick) {
    EXPECT_EQ(form->activeControl(), form->edtTest.get());
    test::typeText("abc");
    pump(app);
    EXPECT_EQ(form->edtTest->text(), "abc");
    EXPECT_TRUE(form->btnAdd->isEnabled());
}

TEST_F(ShellWindow, AnErrorEscapingAHandlerIsShownAndTheLoopGoesOn) {
    test::DialogWatcher watcher;
    form->btnUP->setEnabled(true);
    int clicks = 0;
    form->btnUP->onClick = [&](Control&) {
        ++clicks;
        throw EStringListError(std::string("リストのインデックスが範囲を超えています (5)"));
    };
    const RECT r = test::childRect(form->btnUP->handle());
    test::click(form->handle(), r.left + 5, r.top + 5);
    pump(app, 300);
    ASSERT_EQ(clicks, 1);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].windowClass, "#32770");
    EXPECT_EQ(seen[0].caption, app.title());
    EXPECT_EQ(seen[0].text, std::string("リストのインデックスが範囲を超えています (5)"));
    EXPECT_FALSE(app.terminated());
    // The loop still works: typing reaches the field.
    form->focusControl(*form->edtTest);
    test::typeText("x");
    pump(app);
    EXPECT_EQ(form->edtTest->text(), "x");
}

TEST_F(ShellWindow, ErrorTextGetsItsFullStopAndAbortShowsNothing) {
    test::DialogWatcher watcher;
    form->btnUP->setEnabled(true);
    std::function<void()> raise;
    form->btnUP->onClick = [&](Control&) { raise(); };
    const std::string name = std::string("ファイル korlinkwalker.dat を作成できません");
    // Through the window procedure's guard, as a real click would run them.
    auto viaGuard = [&](std::function<void()> r) {
        raise = std::move(r);
        SendMessageA(form->handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                     reinterpret_cast<LPARAM>(form->btnUP->handle()));
        pump(app, 200);
    };
    viaGuard([&] { throw EFCreateError(name); });
    viaGuard([&] { throw EAbort("silent"); });
    viaGuard([&] { throw Exception("ends in a full stop."); });
    viaGuard([&] { throw Exception("what?"); });
    const auto guarded = watcher.seen();
    ASSERT_EQ(guarded.size(), 3u);
    EXPECT_EQ(guarded[0].text, name + ".");
    EXPECT_EQ(guarded[1].text, "ends in a full stop.");
    EXPECT_EQ(guarded[2].text, "what?.");
    EXPECT_EQ(guarded[0].iconStyle, 1u);
}

TEST_F(ShellWindow, FailingCloseHandlerLeavesTheWindowOpen) {
    test::DialogWatcher watcher;
    int attempts = 0;
    form->onClose = [&](CloseAction&) {
        ++attempts;
        throw EWriteError(std::string("ストリームへの書き込みエラー"));
    };
    PostMessageA(form->handle(), WM_CLOSE, 0, 0);
    pump(app, 300);
    EXPECT_EQ(attempts, 1);
    EXPECT_FALSE(app.terminated());
    EXPECT_TRUE(IsWindowVisible(form->handle()));
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].text, std::string("ストリームへの書き込みエラー."));
    // Closing again runs the whole route again; now it succeeds.
    form->onClose = [&](CloseAction&) { ++attempts; };
    PostMessageA(form->handle(), WM_CLOSE, 0, 0);
    pump(app, 200);
    EXPECT_EQ(attempts, 2);
    EXPECT_TRUE(app.terminated());
}

TEST(CloseRoute, EveryTriggerRunsFormCloseThenEndsTheLoop) {
    test::TempCurrentDirectory dir;
    const char* names[] = {"WM_CLOSE", "Alt+F4", "system menu", "taskbar entry", "File > Exit"};
    for (int trigger = 0; trigger < 5; ++trigger) {
        SCOPED_TRACE(names[trigger]);
        Application app;
        TfrmMain form(app);
        ShowWindow(form.handle(), SW_SHOWNORMAL);
        test::activate(app, form.handle());
        int closes = 0;
        form.onClose = [&](CloseAction& a) {
            ++closes;
            EXPECT_EQ(a, CloseAction::Hide);
        };
        switch (trigger) {
            case 0:
                PostMessageA(form.handle(), WM_CLOSE, 0, 0);
                break;
            case 1:
                test::key(VK_F4, test::kAlt);
                break;
            case 2:
                PostMessageA(form.handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
                break;
            case 3:
                PostMessageA(app.handle(), WM_CLOSE, 0, 0);
                break;
            case 4:
                PostMessageA(form.handle(), WM_COMMAND,
                             MAKEWPARAM(form.mnuMainFileExit->command(), 0), 0);
                break;
        }
        pump(app, 200);
        EXPECT_EQ(closes, 1);
        EXPECT_TRUE(app.terminated()) << "the quit message reached the loop";
        EXPECT_TRUE(IsWindow(form.handle())) << "the close route neither hides nor destroys";
    }
}

TEST_F(ShellWindow, VersionBoxIsSizedForItsTextAndClosesWithEsc) {
    test::DialogWatcher watcher;
    watcher.dismiss = false;
    HWND box = nullptr;
    RECT client{};
    RECT button{};
    // Look at the box while it is up, then close it with Esc.
    SetTimer(form->handle(), 1, 50, nullptr);
    std::thread closer([&] {
        for (int i = 0; i < 200 && !watcher.openBox.load(); ++i) Sleep(20);
        box = watcher.openBox.load();
        Sleep(100);
        GetClientRect(box, &client);
        button = test::childRect(FindWindowExA(box, nullptr, "BUTTON", nullptr));
        SetForegroundWindow(box);
        test::key(VK_ESCAPE);
    });
    form->mnuMainHelpVersionClick(*form->mnuMainHelpVersion);
    closer.join();
    KillTimer(form->handle(), 1);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].windowClass, "TMessageForm");
    EXPECT_EQ(seen[0].caption, app.title());
    EXPECT_EQ(seen[0].text, "Version 0.90 (2002.Jan.17)");
    EXPECT_FALSE(IsWindow(box)) << "the box is destroyed when it closes";
    EXPECT_GT(client.right, 0);
    EXPECT_EQ(button.left, (client.right - (button.right - button.left)) / 2);
    EXPECT_TRUE(IsWindowEnabled(form->handle())) << "re-enabled after the box";
}

}  // namespace
}  // namespace klw
