// Keys, focus and control notifications on the real main window under Wine. Every action is
// real input (SendInput) that the application's own loop takes and routes.
#include <gtest/gtest.h>

#include <utility>

#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "runtime/stream.h"
#include "runtime/unicode.h"
#include "ui/main_window_fixture.h"

namespace klw {
namespace {

using test::Events;
using test::kAlt;
using test::kCtrl;
using test::kShift;
using test::pump;

class Keyboard : public test::MainWindowTest {
protected:
    std::pair<int, int> editSelection() const {
        DWORD start = 0;
        DWORD end = 0;
        SendMessageW(form->edtTest->handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
    std::string focusName() const {
        if (focusIsOnForm()) return "form";
        Control* c = focused();
        return c ? c->name() : "?";
    }
    // Presses `vk` `times` times and records where the focus went after each press.
    std::vector<std::string> walkFocus(WORD vk, int times, unsigned mods = test::kNone) {
        std::vector<std::string> out;
        for (int i = 0; i < times; ++i) {
            press(vk, mods);
            out.push_back(focusName());
        }
        return out;
    }
    void enableAllButtons() {
        for (Button* b : {form->btnGo.get(), form->btnAdd.get(), form->btnUP.get(),
                          form->btnDown.get(), form->btnDelete.get()})
            b->setEnabled(true);
    }
};

using Names = std::vector<std::string>;

TEST_F(Keyboard, TypingAnAddressAndEnterAddsItAndKeepsTheFocusInTheClearedField) {
    show();
    ASSERT_EQ(focused(), form->edtTest.get());
    type("http://a.example/x?y=1");
    EXPECT_EQ(form->edtTest->text(), "http://a.example/x?y=1");
    EXPECT_EQ(states(), "01000");
    events.clear();
    press(VK_RETURN);
    EXPECT_EQ(entries(), Names{"http://a.example/x?y=1"});
    EXPECT_EQ(form->lbxURL->itemIndex(), 0);
    EXPECT_EQ(form->edtTest->text(), "");
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(states(), "10001") << "Go and Delete on, Add, Up and Down off";
    // The field's change event runs inside Add, when Add clears it.
    EXPECT_EQ(events, (Events{"btnAddClick", "edtTestChange"}));
    EXPECT_EQ(defaultDrawn(), "11000");

    type(" b ");
    press(VK_RETURN);
    EXPECT_EQ(entries(), (Names{"http://a.example/x?y=1", " b "}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(states(), "10101");
    EXPECT_EQ(focused(), form->edtTest.get());
}

TEST_F(Keyboard, EveryTextChangeRaisesOnChangeOnce) {
    show();
    type("abc");
    EXPECT_EQ(events, (Events{"edtTestChange", "edtTestChange", "edtTestChange"}));
    events.clear();
    press(VK_BACK);
    EXPECT_EQ(form->edtTest->text(), "ab");
    EXPECT_EQ(events, Events{"edtTestChange"});
    events.clear();
    press(VK_HOME, kShift);  // select the whole text
    press('X', kCtrl);       // cut
    EXPECT_EQ(form->edtTest->text(), "");
    EXPECT_EQ(events, Events{"edtTestChange"});
    EXPECT_EQ(states(), "00000") << "the field became empty: Add off, the refresh ran";
    events.clear();
    press('V', kCtrl);  // paste
    EXPECT_EQ(form->edtTest->text(), "ab");
    EXPECT_EQ(events, Events{"edtTestChange"});
    events.clear();
    press('Z', kCtrl);  // undo; what it restores is the platform's matter
    EXPECT_NE(form->edtTest->text(), "ab");
    EXPECT_EQ(events, Events{"edtTestChange"}) << "one undo, one event";
    events.clear();
    press('Z', kCtrl);  // the undo undone
    EXPECT_EQ(form->edtTest->text(), "ab");
    EXPECT_EQ(events, Events{"edtTestChange"}) << "one undo, one event";
    // A paste that leaves the same text is a change of the text all the same, and so is its undo.
    events.clear();
    press(VK_END);
    press(VK_HOME, kShift);
    press('V', kCtrl);
    EXPECT_EQ(form->edtTest->text(), "ab");
    EXPECT_EQ(events, Events{"edtTestChange"}) << "the same text pasted over itself";
    events.clear();
    press('Z', kCtrl);
    EXPECT_EQ(form->edtTest->text(), "ab");
    EXPECT_EQ(events, Events{"edtTestChange"}) << "its undo";
    // Setting the text leaves nothing to undo: an undo then changes nothing and raises nothing.
    form->edtTest->setText("set");
    events.clear();
    press('Z', kCtrl);
    EXPECT_EQ(form->edtTest->text(), "set");
    EXPECT_EQ(events, Events{}) << "nothing to undo";
    // A handler clearing the field raises the event once, before the clear returns.
    type("q");
    events.clear();
    int seenDuringClear = -1;
    form->edtTest->onChange = [&](Control&) {
        events.push_back("change");
        seenDuringClear = static_cast<int>(form->edtTest->text().size());
    };
    form->edtTest->clear();
    EXPECT_EQ(events, Events{"change"});
    EXPECT_EQ(seenDuringClear, 0);
}

// The field holds "abc" and a click on an entry has enabled Go and Delete; "abc" pasted over
// the whole field is a change of the text, so the field rule leaves only Add enabled.
TEST_F(Keyboard, PastingTheSameTextOverTheFieldRunsTheFieldRule) {
    load({"http://a.example/", "http://b.example/"});
    show();
    type("abc");
    ASSERT_EQ(states(), "01000");
    clickRow(1);
    ASSERT_EQ(states(), "11101") << "the refresh: Go, Up and Delete next to Add";
    ASSERT_TRUE(test::setClipboardText("abc"));
    clickOn(*form->edtTest);
    press(VK_END);
    press(VK_HOME, kShift);
    events.clear();
    press('V', kCtrl);
    EXPECT_EQ(form->edtTest->text(), "abc");
    EXPECT_EQ(events, Events{"edtTestChange"});
    EXPECT_EQ(states(), "01000") << "Go and Delete disabled, Add enabled";
    // Its undo restores "abc" once more: again a change.
    clickRow(0);
    ASSERT_EQ(states(), "11011");
    SetFocus(form->edtTest->handle());
    pump(app);
    events.clear();
    press('Z', kCtrl);
    EXPECT_EQ(form->edtTest->text(), "abc");
    EXPECT_EQ(events, Events{"edtTestChange"});
    EXPECT_EQ(states(), "01000");
}

TEST_F(Keyboard, ListRaisesOnClickForEveryUserSelectionChange) {
    for (int i = 0; i < 30; ++i) form->lbxURL->append("entry " + std::to_string(i));
    show();
    std::vector<int> seen;
    form->lbxURL->onClick = [&](Control&) { seen.push_back(form->lbxURL->itemIndex()); };
    clickRow(3);
    EXPECT_EQ(seen, std::vector<int>{3}) << "mouse";
    ASSERT_EQ(focused(), form->lbxURL.get());
    // One event per key, each seeing the selection the key made.
    std::vector<int> after;
    for (WORD vk : {VK_DOWN, VK_UP, VK_UP, VK_NEXT, VK_PRIOR, VK_END, VK_HOME}) {
        seen.clear();
        press(vk);
        after.push_back(form->lbxURL->itemIndex());
        EXPECT_EQ(seen, std::vector<int>{after.back()}) << "key " << vk;
    }
    EXPECT_EQ(after[0], 4);
    EXPECT_EQ(after[2], 2);
    EXPECT_GT(after[3], 2) << "Page Down";
    EXPECT_LT(after[4], after[3]) << "Page Up";
    EXPECT_EQ(after[5], 29);
    EXPECT_EQ(after[6], 0);
    EXPECT_EQ(focused(), form->lbxURL.get()) << "arrows never move the focus from the list";
}

TEST_F(Keyboard, ClickingTheSelectedFirstEntryAfterALoadRunsTheRefresh) {
    load({"a", "b", "c"});
    show();
    EXPECT_EQ(states(), "10000");
    clickRow(0);
    EXPECT_EQ(events, Events{"lbxURLClick"});
    EXPECT_EQ(states(), "10011") << "Delete and Down enabled";
}

TEST_F(Keyboard, ProgrammaticListChangesRaiseNoOnClick) {
    load({"a", "b", "c"});
    show();
    auto& list = *form->lbxURL;
    list.setItemIndex(2);
    list.append("d");
    list.replace(1, "B");
    EXPECT_EQ(list.itemIndex(), 2) << "replace keeps the selection index";
    list.replace(2, "C");
    EXPECT_EQ(list.itemIndex(), 2);
    list.remove(0);
    list.setItemIndex(0);
    list.remove(0);
    EXPECT_EQ(list.itemIndex(), -1) << "deleting the selected entry leaves no selection";
    list.setItemIndex(7);
    EXPECT_EQ(list.itemIndex(), -1) << "an index outside the list selects nothing";
    // Loading the list from a component stream.
    MemoryStream stream;
    {
        ObjectStreamWriter writer(stream);
        writer.EmitSignature();
        writer.EmitObject(form->streamedList());
    }
    list.clear();
    stream.seek(0, SeekOrigin::Begin);
    {
        ObjectStreamReader reader(stream);
        reader.ParseRoot(form->streamedList());
    }
    EXPECT_EQ(entries(), (Names{"C", "d"}));
    pump(app);
    EXPECT_TRUE(events.empty()) << events.front();
}

TEST_F(Keyboard, EnterWithThreeLoadedEntriesPressesGo) {
    loadAdded({"nosuchscheme:one", "nosuchscheme:two", "nosuchscheme:three"});
    show();
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(states(), "10000") << "after a load only Go is enabled";
    press(VK_RETURN);
    EXPECT_EQ(events, Events{"btnGoClick"});
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(states(), "10111");
    // Each automatic repeat of a held Enter is a press of its own.
    events.clear();
    test::holdKey(VK_RETURN, 3);
    pump(app);
    EXPECT_EQ(events, (Events{"btnGoClick", "btnGoClick", "btnGoClick"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2) << "Go never wraps";
}

TEST_F(Keyboard, RepeatsFoldedIntoOneKeyMessageAreEachAPress) {
    // A busy program gets the automatic repeats of a held key as one message with their count.
    loadAdded(
        {"nosuchscheme:a", "nosuchscheme:b", "nosuchscheme:c", "nosuchscheme:d", "nosuchscheme:e"});
    show();
    PostMessageW(form->edtTest->handle(), WM_KEYDOWN, VK_RETURN, 3 | (1 << 30));
    pump(app);
    EXPECT_EQ(events, (Events{"btnGoClick", "btnGoClick", "btnGoClick"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 3);
    // Each press is offered anew: after Add has disabled itself, the next repeat presses Go.
    type("y");
    ASSERT_EQ(states(), "01000");
    events.clear();
    PostMessageW(form->edtTest->handle(), WM_KEYDOWN, VK_RETURN, 2 | (1 << 30));
    pump(app);
    EXPECT_EQ(events, (Events{"btnAddClick", "edtTestChange", "btnGoClick"}));
    EXPECT_EQ(entries().back(), "y");
    EXPECT_EQ(form->lbxURL->itemIndex(), 5) << "Go on the last entry stays there";
}

TEST_F(Keyboard, EnterRepeatCountsAtTheEdges) {
    loadAdded({"nosuchscheme:a", "nosuchscheme:b", "nosuchscheme:c"});
    show();
    Control* field = form->edtTest.get();
    // A count of 0 is one press.
    EXPECT_TRUE(form->dialogKey(field, WM_KEYDOWN, VK_RETURN, 0));
    EXPECT_EQ(events, Events{"btnGoClick"});
    // The buttons that take Enter run out part-way: the key is handled all the same.
    events.clear();
    form->btnGo->onClick = [this](Control&) {
        events.push_back("go");
        form->btnGo->setEnabled(false);
    };
    EXPECT_TRUE(form->dialogKey(field, WM_KEYDOWN, VK_RETURN, 3 | (1 << 30)));
    EXPECT_EQ(events, Events{"go"});
    // No button takes Enter: the key goes on to the control.
    events.clear();
    EXPECT_FALSE(form->dialogKey(field, WM_KEYDOWN, VK_RETURN, 1));
    EXPECT_FALSE(form->dialogKey(field, WM_KEYDOWN, VK_RETURN, 0));
    EXPECT_TRUE(events.empty());
}

TEST_F(Keyboard, EnterGoesToTheFirstButtonWithItsEnterFlag) {
    loadAdded({"nosuchscheme:a", "nosuchscheme:b", "nosuchscheme:c"});
    show();
    // Text in the field: only Add. Enter presses Add.
    type("x");
    EXPECT_EQ(states(), "01000");
    // A click on an entry runs the refresh: Go and Add are both enabled, and Go comes first.
    clickRow(1);
    EXPECT_EQ(states(), "11111");
    events.clear();
    press(VK_RETURN);
    EXPECT_EQ(events, Events{"btnGoClick"}) << "Enter in the list";
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
    clickOn(*form->edtTest);
    events.clear();
    press(VK_RETURN);
    EXPECT_EQ(events, Events{"btnGoClick"}) << "Enter after clicking back into the field";
    // Tab to Add: Add alone has the flag.
    press(VK_TAB);
    EXPECT_EQ(focused(), form->btnGo.get());
    press(VK_TAB);
    press(VK_TAB);
    ASSERT_EQ(focused(), form->btnAdd.get());
    EXPECT_EQ(defaultDrawn(), "01000");
    events.clear();
    press(VK_RETURN);
    EXPECT_EQ(events.front(), "btnAddClick");
    EXPECT_EQ(entries().back(), "x");
    // Neither Go nor Add enabled: Enter presses nothing.
    form->btnGo->setEnabled(false);
    form->btnAdd->setEnabled(false);
    form->focusControl(*form->edtTest);
    pump(app);
    events.clear();
    press(VK_RETURN);
    EXPECT_TRUE(events.empty());
}

TEST_F(Keyboard, EscShiftEnterCtrlEnterAndAltEnterDoNothing) {
    loadAdded({"nosuchscheme:a", "nosuchscheme:b"});
    show();
    for (Control* where :
         {static_cast<Control*>(form->edtTest.get()), static_cast<Control*>(form->lbxURL.get())}) {
        SCOPED_TRACE(where->name());
        form->focusControl(*where);
        pump(app);
        events.clear();
        press(VK_ESCAPE);
        press(VK_RETURN, kShift);
        press(VK_RETURN, kCtrl);
        press(VK_RETURN, kAlt);
        EXPECT_TRUE(events.empty()) << events.front();
        EXPECT_EQ(form->lbxURL->itemIndex(), 0);
        EXPECT_EQ(form->edtTest->text(), "");
        EXPECT_FALSE(app.terminated());
        EXPECT_TRUE(IsWindowVisible(form->handle()));
    }
}

TEST_F(Keyboard, TabOrderWithAllButtonsDisabled) {
    show();
    ASSERT_EQ(focusName(), "edtTest");
    EXPECT_EQ(walkFocus(VK_TAB, 3), (Names{"lbxURL", "edtTest", "lbxURL"}));
    EXPECT_EQ(walkFocus(VK_TAB, 2, kShift), (Names{"edtTest", "lbxURL"}));
    EXPECT_EQ(walkFocus(VK_TAB, 1, kCtrl), Names{"lbxURL"}) << "Ctrl+Tab does nothing";
}

TEST_F(Keyboard, TabWrapsSkipsDisabledButtonsAndStartsFromNoFocus) {
    show();
    enableAllButtons();
    EXPECT_EQ(walkFocus(VK_TAB, 7),
              (Names{"btnGo", "lbxURL", "btnAdd", "btnUP", "btnDown", "btnDelete", "edtTest"}));
    EXPECT_EQ(walkFocus(VK_TAB, 2, kShift), (Names{"btnDelete", "btnDown"}));
    form->btnGo->setEnabled(false);
    form->btnUP->setEnabled(false);
    form->focusControl(*form->edtTest);
    pump(app);
    EXPECT_EQ(walkFocus(VK_TAB, 5), (Names{"lbxURL", "btnAdd", "btnDown", "btnDelete", "edtTest"}));
    // With no control focused, Tab goes to the first control, Shift+Tab to the last.
    form->focusFormItself();
    pump(app);
    EXPECT_EQ(walkFocus(VK_TAB, 1), Names{"edtTest"});
    form->focusFormItself();
    pump(app);
    EXPECT_EQ(walkFocus(VK_TAB, 1, kShift), Names{"btnDelete"});
}

TEST_F(Keyboard, ArrowsMoveTheFocusBetweenButtonsOnly) {
    load({"a", "b", "c"});
    show();
    enableAllButtons();
    form->focusControl(*form->btnUP);
    pump(app);
    EXPECT_EQ(walkFocus(VK_DOWN, 3), (Names{"btnDown", "btnDelete", "edtTest"}))
        << "Down and Right go on in tab order, wrapping";
    form->focusControl(*form->btnGo);
    pump(app);
    EXPECT_EQ(walkFocus(VK_RIGHT, 1), Names{"lbxURL"});
    EXPECT_EQ(walkFocus(VK_DOWN, 1), Names{"lbxURL"}) << "in the list Down moves the selection";
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    form->focusControl(*form->btnAdd);
    pump(app);
    EXPECT_EQ(walkFocus(VK_UP, 2), (Names{"lbxURL", "lbxURL"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 0);
    form->focusControl(*form->btnGo);
    pump(app);
    EXPECT_EQ(walkFocus(VK_LEFT, 2), (Names{"edtTest", "edtTest"}));
    // With Alt held the focus stays on the button.
    form->focusControl(*form->btnDown);
    pump(app);
    EXPECT_EQ(walkFocus(VK_DOWN, 1, kAlt), Names{"btnDown"});
    // With no control focused the arrows do nothing.
    form->focusFormItself();
    pump(app);
    EXPECT_EQ(walkFocus(VK_DOWN, 1), Names{"form"});
    EXPECT_EQ(walkFocus(VK_LEFT, 1), Names{"form"});
}

TEST_F(Keyboard, EnterFlagsFollowTheFocusAndAreDrawn) {
    show();
    enableAllButtons();
    EXPECT_EQ(defaultDrawn(), "11000") << "focus in the field";
    press(VK_TAB);
    EXPECT_EQ(focused(), form->btnGo.get());
    EXPECT_EQ(defaultDrawn(), "10000");
    press(VK_TAB);
    EXPECT_EQ(defaultDrawn(), "11000") << "focus in the list";
    press(VK_TAB);
    press(VK_TAB);
    EXPECT_EQ(focused(), form->btnUP.get());
    EXPECT_EQ(defaultDrawn(), "00100");
    EXPECT_TRUE(form->btnUP->enterFlag());
    EXPECT_FALSE(form->btnGo->enterFlag());
    form->focusFormItself();
    pump(app);
    EXPECT_EQ(defaultDrawn(), "11000") << "the window itself";
    EXPECT_TRUE(form->btnGo->enterFlag());
    EXPECT_FALSE(form->btnUP->enterFlag());
}

TEST_F(Keyboard, ClickingAddWithTheMouseLeavesTheFocusOnTheWindow) {
    loadAdded({"nosuchscheme:a", "nosuchscheme:b"});
    show();
    type("nosuchscheme:c");
    events.clear();
    clickOn(*form->btnAdd);
    EXPECT_EQ(events, (Events{"btnAddClick", "edtTestChange"}));
    EXPECT_EQ(entries().size(), 3u);
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
    EXPECT_FALSE(form->btnAdd->isEnabled());
    EXPECT_TRUE(focusIsOnForm());
    EXPECT_EQ(form->activeControl(), nullptr);
    EXPECT_EQ(defaultDrawn(), "11000") << "the flags went back to Default";
    // Typed characters are ignored.
    events.clear();
    type("zz");
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(form->edtTest->text(), "");
    EXPECT_TRUE(focusIsOnForm());
    // Enter presses Go; Go stays on the last entry.
    press(VK_RETURN);
    EXPECT_EQ(events, Events{"btnGoClick"});
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
    // Tab reaches the entry field.
    press(VK_TAB);
    EXPECT_EQ(focused(), form->edtTest.get());
}

TEST_F(Keyboard, ReactivationRestoresTheFocus) {
    // A second top-level window of the thread to switch to.
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    auto away = [&] {
        test::activate(app, other);
        ASSERT_EQ(GetActiveWindow(), other);
        test::activate(app, form->handle());
        ASSERT_EQ(GetActiveWindow(), form->handle());
    };
    load({"a", "b"});
    show();
    clickRow(1);
    ASSERT_EQ(focused(), form->lbxURL.get());
    away();
    EXPECT_EQ(focused(), form->lbxURL.get());
    // With the window itself focused, reactivation goes to the entry field.
    form->focusFormItself();
    pump(app);
    away();
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(form->activeControl(), form->edtTest.get());
    DestroyWindow(other);
}

TEST_F(Keyboard, AutoSelectOnKeyboardEntryAndFirstActivationButNotOnAClick) {
    form->edtTest->setText("hello");
    show();
    ASSERT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(editSelection(), std::make_pair(0, 5)) << "first activation";
    clickOn(*form->edtTest, 2, 5);
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(editSelection(), std::make_pair(0, 0)) << "a click in the field sets the caret";
    press(VK_TAB);
    ASSERT_EQ(focused(), form->lbxURL.get());
    // Away from the first click, so that the two are not taken for a double-click.
    clickOn(*form->edtTest, 2, 13);
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(editSelection(), std::make_pair(0, 0)) << "entered by a click";
    press(VK_TAB, kShift);
    press(VK_TAB);
    ASSERT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(editSelection(), std::make_pair(0, 5)) << "entered by Tab";
    // Reactivation with the focus already in the field does not select again.
    press(VK_END);
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                 60, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    test::activate(app, other);
    test::activate(app, form->handle());
    DestroyWindow(other);
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(editSelection(), std::make_pair(5, 5));
}

TEST_F(Keyboard, RightClickFocusesTheFieldAndItsMenuEditsRaiseOnChange) {
    form->edtTest->setText("hello");
    show();
    press(VK_TAB);
    ASSERT_EQ(focused(), form->lbxURL.get());
    events.clear();
    // The platform's editing menu runs its own loop; the key that chooses Delete waits.
    test::rightClick(form->edtTest->handle(), 2, 5);
    test::key('D');
    pump(app, 200);
    EXPECT_EQ(focused(), form->edtTest.get());
    EXPECT_EQ(form->edtTest->text(), "");
    EXPECT_EQ(events, Events{"edtTestChange"});
    // The menu's Undo is one change too.
    events.clear();
    test::rightClick(form->edtTest->handle(), 2, 5);
    test::key('U');
    pump(app, 200);
    EXPECT_EQ(form->edtTest->text(), "hello");
    EXPECT_EQ(events, Events{"edtTestChange"});
}

// Minimizing hides the window and restoring shows it again with the focus where it was: on the
// list, which then takes the keys.
TEST_F(Keyboard, MinimizeAndRestoreKeepTheFocusOnTheList) {
    load({"a", "b", "c"});
    show();
    clickRow(1);
    ASSERT_EQ(focused(), form->lbxURL.get());
    SendMessageW(form->handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    pump(app);
    ASSERT_FALSE(IsWindowVisible(form->handle()));
    ASSERT_TRUE(IsIconic(app.handle()));
    SendMessageW(app.handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
    pump(app);
    ASSERT_TRUE(IsWindowVisible(form->handle()));
    EXPECT_EQ(focused(), form->lbxURL.get());
    events.clear();
    press(VK_HOME);
    EXPECT_EQ(form->lbxURL->itemIndex(), 0);
    EXPECT_EQ(events, Events{"lbxURLClick"});
}

TEST_F(Keyboard, MousePressGivesAButtonTheFocusBeforeItsClick) {
    load({"a", "b", "c"});
    show();
    clickRow(2);
    ASSERT_TRUE(form->btnUP->isEnabled());
    HWND focusAtClick = nullptr;
    std::string flagsAtClick;
    NotifyEvent up = form->btnUP->onClick;
    form->btnUP->onClick = [&](Control& sender) {
        focusAtClick = GetFocus();
        flagsAtClick = defaultDrawn();
        up(sender);
    };
    clickOn(*form->btnUP);
    EXPECT_EQ(focusAtClick, form->btnUP->handle());
    EXPECT_EQ(flagsAtClick, "00100");
    EXPECT_EQ(entries(), (Names{"a", "c", "b"}));
    EXPECT_EQ(focused(), form->btnUP.get()) << "still enabled, keeps the focus";
    // A press that is released outside the button clicks nothing.
    events.clear();
    const RECT r = test::childRect(form->btnUP->handle());
    POINT inside{r.left + 5, r.top + 5};
    POINT outside{r.left - 100, r.top + 5};
    ClientToScreen(form->handle(), &inside);
    ClientToScreen(form->handle(), &outside);
    auto mouse = [](DWORD flags, POINT p) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = MulDiv(p.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        in.mi.dy = MulDiv(p.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
        in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        SendInput(1, &in, sizeof in);
    };
    mouse(MOUSEEVENTF_MOVE, inside);
    mouse(MOUSEEVENTF_LEFTDOWN, inside);
    pump(app);
    mouse(MOUSEEVENTF_MOVE, outside);
    mouse(MOUSEEVENTF_LEFTUP, outside);
    pump(app);
    EXPECT_TRUE(events.empty());
}

TEST_F(Keyboard, EachPressOfADoubleClickOnAButtonIsAClick) {
    load({"a", "b", "c", "d"});
    show();
    clickRow(0);
    events.clear();
    clickOn(*form->btnDown, 8, 6, true);
    EXPECT_EQ(events, (Events{"btnDownClick", "btnDownClick"}));
    EXPECT_EQ(entries(), (Names{"b", "c", "a", "d"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
}

TEST_F(Keyboard, DownPressedBySpaceUntilItDisablesItself) {
    loadAdded({"nosuchscheme:a", "nosuchscheme:b", "nosuchscheme:c"});
    show();
    clickRow(0);
    EXPECT_EQ(states(), "10011");
    // Tab from the list: Add and Up are disabled and skipped.
    press(VK_TAB);
    ASSERT_EQ(focused(), form->btnDown.get());
    events.clear();
    press(VK_SPACE);
    EXPECT_EQ(events, Events{"btnDownClick"});
    EXPECT_EQ(entries(), (Names{"nosuchscheme:b", "nosuchscheme:a", "nosuchscheme:c"}));
    EXPECT_EQ(focused(), form->btnDown.get());
    press(VK_SPACE);
    EXPECT_EQ(entries(), (Names{"nosuchscheme:b", "nosuchscheme:c", "nosuchscheme:a"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
    EXPECT_FALSE(form->btnDown->isEnabled());
    EXPECT_TRUE(focusIsOnForm());
    EXPECT_EQ(form->activeControl(), nullptr);
    events.clear();
    press(VK_SPACE);
    EXPECT_TRUE(events.empty()) << "Space on the window itself presses nothing";
    press(VK_RETURN);
    EXPECT_EQ(events, Events{"btnGoClick"});
}

TEST_F(Keyboard, TypeAheadSearchesTheListOnce) {
    load({"abc", "Bcd", "bce"});
    show();
    form->focusControl(*form->lbxURL);
    pump(app);
    std::vector<int> seen;
    form->lbxURL->onClick = [&](Control&) { seen.push_back(form->lbxURL->itemIndex()); };
    test::typeText("bce");
    pump(app);
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 2})) << "b and bc select Bcd, bce selects bce";
    Sleep(600);
    type("a");
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 2, 0}));
    Sleep(600);
    seen.clear();
    type("z");
    EXPECT_TRUE(seen.empty()) << "no entry begins with z";
    EXPECT_EQ(form->lbxURL->itemIndex(), 0);
    press(VK_BACK);
    EXPECT_EQ(seen, std::vector<int>{0}) << "Backspace empties the search text: entry 0";
    Sleep(600);
    seen.clear();
    form->lbxURL->setItemIndex(2);
    press(VK_BACK);
    EXPECT_EQ(seen, std::vector<int>{0}) << "Backspace after a pause";
    seen.clear();
    type("B");
    EXPECT_EQ(seen, std::vector<int>{1}) << "letter case is ignored";
    // Control characters other than Backspace are not part of a search text.
    Sleep(600);
    seen.clear();
    test::typeUnicode("b\x7f\x1b\nc");
    pump(app);
    EXPECT_EQ(seen, (std::vector<int>{1, 1}));
}

TEST_F(Keyboard, TypeAheadTakesJapaneseCharactersWhole) {
    load({"abc", std::string("あいう"), std::string("あかい"), std::string("いろは")});
    show();
    form->focusControl(*form->lbxURL);
    pump(app);
    std::vector<int> seen;
    form->lbxURL->onClick = [&](Control&) { seen.push_back(form->lbxURL->itemIndex()); };
    test::typeUnicode("あか");
    pump(app);
    EXPECT_EQ(seen, (std::vector<int>{1, 2}));
    press(VK_BACK);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1})) << "Backspace removes あ's partner か whole";
    Sleep(600);
    test::typeUnicode("い");
    pump(app);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1, 3}));
}

TEST_F(Keyboard, AltLettersOpenTheVisibleMenus) {
    load({"a"});
    show();
    // Which popup menus open, seen by the window itself.
    std::vector<HMENU> opened;
    auto record = [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) {
        if (msg == WM_INITMENUPOPUP)
            reinterpret_cast<std::vector<HMENU>*>(ref)->push_back(reinterpret_cast<HMENU>(wp));
        return DefSubclassProc(hwnd, msg, wp, lp);
    };
    SetWindowSubclass(form->handle(), record, 77, reinterpret_cast<DWORD_PTR>(&opened));
    HMENU bar = GetMenu(form->handle());
    // The keys wait in the queue while the menu runs its own loop.
    test::key('F', kAlt);
    test::key(VK_ESCAPE);
    test::key(VK_ESCAPE);
    pump(app);
    ASSERT_EQ(opened, std::vector<HMENU>{GetSubMenu(bar, 0)});
    EXPECT_FALSE(GetMenuState(bar, 0, MF_BYPOSITION) & MF_HILITE) << "closed again by Esc";
    opened.clear();
    test::key('H', kAlt);
    test::key(VK_ESCAPE);
    test::key(VK_ESCAPE);
    pump(app);
    EXPECT_EQ(opened, std::vector<HMENU>{GetSubMenu(bar, 1)});
    // No letter opens the hidden Test menu.
    opened.clear();
    for (WORD letter = 'A'; letter <= 'Z'; ++letter) {
        if (letter == 'F' || letter == 'H') continue;
        test::key(letter, kAlt);
        test::key(VK_ESCAPE);
        pump(app, 20);
    }
    pump(app);
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(form->edtTest->text(), "") << "no letter reached the field";
    RemoveWindowSubclass(form->handle(), record, 77);
    EXPECT_EQ(focused(), form->edtTest.get());
}

TEST_F(Keyboard, MenuLettersChooseVersionAndExit) {
    show();
    test::DialogWatcher watcher;
    test::key('H', kAlt);
    test::key('V');
    pump(app, 400);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].windowClass, "TMessageForm");
    EXPECT_EQ(seen[0].text, "Version 0.90 (2002.Jan.17)");
    EXPECT_FALSE(app.terminated());
    test::key('F', kAlt);
    test::key('X');
    pump(app);
    EXPECT_EQ(events, Events{"FormClose"});
    EXPECT_TRUE(app.terminated()) << "Exit takes the close route";
}

}  // namespace
}  // namespace klw
