// The list's context menu on the real main window under Wine: opened by a right-click, Shift+F10
// and the Menu key, read as the platform holds it when it pops up, and each item chosen with
// real keys in the menu's own loop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/unicode.h"
#include "ui/main_window_fixture.h"

namespace klw {
namespace {

using test::Events;
using test::kCtrl;
using test::kShift;
using test::pump;
using Lines = std::vector<std::string>;

// What the thread's popup menus showed: each item as "caption", "caption (grey)" or "-", and
// the screen rectangle of the last menu window.
struct SeenMenus {
    int shown = 0;
    Lines items;
    RECT rect{};
};

SeenMenus* recording = nullptr;

Lines menuItems(HMENU menu) {
    Lines out;
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        wchar_t caption[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = 127;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR) {
            out.push_back("-");
            continue;
        }
        out.push_back(narrow(caption) + ((info.fState & MFS_GRAYED) ? " (grey)" : ""));
    }
    return out;
}

LRESULT CALLBACK watchMenus(int code, WPARAM wp, LPARAM lp) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && recording) {
        if (m->message == WM_INITMENUPOPUP) {
            ++recording->shown;
            recording->items = menuItems(reinterpret_cast<HMENU>(m->wParam));
        }
        char cls[16] = {};
        if (m->message == WM_WINDOWPOSCHANGED && GetClassNameA(m->hwnd, cls, sizeof cls) &&
            std::string(cls) == "#32768")
            GetWindowRect(m->hwnd, &recording->rect);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

class ListMenu : public test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        hook_ = SetWindowsHookExW(WH_CALLWNDPROC, &watchMenus, nullptr, GetCurrentThreadId());
        ASSERT_NE(hook_, nullptr);
        recording = &menus;
        // Not web addresses: Go asks before it opens them, and the watcher answers No.
        load({"note one", "note two", "note three"});
        show();
    }
    void TearDown() override {
        recording = nullptr;
        UnhookWindowsHookEx(hook_);
        MainWindowTest::TearDown();
    }
    // Right-clicks row `row` of the list (or at y when given) and chooses with `vk`.
    void menuOnRow(int row, WORD vk) {
        test::rightClick(form->lbxURL->handle(), 20, row * 12 + 6);
        test::key(vk);
        pump(app, 200);
    }
    POINT onScreen(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(form->lbxURL->handle(), &p);
        return p;
    }
    static Lines items(bool canCopy, bool canOpen, bool canDelete) {
        auto grey = [](const char* caption, bool enabled) {
            return std::string(caption) + (enabled ? "" : " (grey)");
        };
        return {"元に戻す(&U)\tCtrl+Z (grey)",
                "やり直し(&R)\tCtrl+Y (grey)",
                "-",
                grey("コピー(&C)\tCtrl+C", canCopy),
                grey("開く(&O)", canOpen),
                grey("削除(&D)", canDelete)};
    }

    SeenMenus menus;

private:
    HHOOK hook_ = nullptr;
};

TEST_F(ListMenu, ARightClickSelectsTheEntryAsAClickDoesAndOpensTheMenuThere) {
    // Text in the field: the entry-field rule has disabled Go and Delete.
    type("x");
    ASSERT_EQ(states(), "01000");
    events.clear();
    menuOnRow(1, VK_ESCAPE);
    EXPECT_EQ(menus.shown, 1);
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(focused(), form->lbxURL.get());
    EXPECT_EQ(events, Events{"lbxURLClick"});
    EXPECT_EQ(states(), "11111") << "the click refreshed the command states";
    EXPECT_EQ(menus.items, items(true, true, true));
    const POINT pointer = onScreen(20, 18);
    EXPECT_EQ(menus.rect.left, pointer.x);
    EXPECT_EQ(menus.rect.top, pointer.y);
    // On the entry that is selected already: a click all the same.
    events.clear();
    menuOnRow(1, VK_ESCAPE);
    EXPECT_EQ(menus.shown, 2);
    EXPECT_EQ(events, Events{"lbxURLClick"});
    EXPECT_EQ(form->edtTest->text(), "x") << "the field is left alone";
}

TEST_F(ListMenu, BelowTheLastEntryTheMenuIsAboutNoEntry) {
    clickRow(1);
    events.clear();
    menuOnRow(8, VK_ESCAPE);
    EXPECT_EQ(menus.shown, 1);
    EXPECT_EQ(form->lbxURL->itemIndex(), 1) << "the walk's place stays";
    EXPECT_EQ(events, Events{});
    EXPECT_EQ(menus.items, items(false, false, false));
    // Its greyed items cannot be chosen.
    menuOnRow(8, 'D');
    EXPECT_EQ(entries().size(), 3u);
    EXPECT_EQ(events, Events{});
}

TEST_F(ListMenu, ShiftF10AndTheMenuKeyOpenItAtTheSelectedRowFollowingTheButtons) {
    // The list reached by Tab from the field with text in it: Go and Delete stay disabled.
    type("x");
    form->lbxURL->setItemIndex(2);
    press(VK_TAB);
    ASSERT_EQ(focused(), form->lbxURL.get());
    ASSERT_EQ(states(), "01000");
    events.clear();
    RECT row{};
    SendMessageW(form->lbxURL->handle(), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&row));
    const POINT below = onScreen(row.left + 8, row.bottom);
    int shown = 0;
    for (const auto& [vk, mods] : {std::pair<WORD, unsigned>{VK_F10, kShift}, {VK_APPS, 0u}}) {
        SCOPED_TRACE(vk);
        test::key(vk, mods);
        // A second menu, were the release to open one, would take the second Esc.
        test::key(VK_ESCAPE);
        test::key(VK_ESCAPE);
        pump(app, 200);
        EXPECT_EQ(menus.shown, ++shown) << "one menu per press";
        EXPECT_EQ(menus.items, items(true, false, false));
        EXPECT_EQ(menus.rect.left, below.x);
        EXPECT_EQ(menus.rect.top, below.y);
        EXPECT_EQ(events, Events{});
        EXPECT_EQ(focused(), form->lbxURL.get());
    }
    // The release of F10 has not opened the menu bar: Up moves the selection.
    press(VK_UP);
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(events, Events{"lbxURLClick"});
    // Without a selection the menu opens at the list's top for no entry.
    form->lbxURL->setItemIndex(-1);
    test::key(VK_APPS);
    test::key(VK_ESCAPE);
    pump(app, 200);
    EXPECT_EQ(menus.shown, shown + 1);
    EXPECT_EQ(menus.items, items(false, false, false));
}

TEST_F(ListMenu, EachItemDoesWhatItsKeyOrButtonDoes) {
    test::DialogWatcher watcher;
    test::setClipboardText("before");
    menuOnRow(1, 'C');
    EXPECT_EQ(test::clipboardText(CF_UNICODETEXT), "note two");
    EXPECT_EQ(events, Events{"lbxURLClick"});
    // Open is Go: it asks about an entry from outside (the watcher answers No) and moves on.
    events.clear();
    menuOnRow(0, 'O');
    pump(app, 300);
    EXPECT_EQ(events, (Events{"lbxURLClick", "btnGoClick"}));
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_NE(watcher.seen()[0].text.find("note one"), std::string::npos);
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    // Delete is the Delete button.
    events.clear();
    menuOnRow(2, 'D');
    EXPECT_EQ(events, (Events{"lbxURLClick", "btnDeleteClick"}));
    EXPECT_EQ(entries(), (Lines{"note one", "note two"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(menus.shown, 3);
}

}  // namespace
}  // namespace klw
