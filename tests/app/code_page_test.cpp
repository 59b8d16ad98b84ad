// The window on any system code page: run once with the Japanese one (932) and once with the
// Western one (1252). Every caption and message reaches the screen in Unicode, and characters
// that the code page lacks are typed, searched and kept like any other.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "app/message_form.h"
#include "persist/stream_bytes.h"
#include "persist/win_helpers.h"
#include "support/gui_test.h"
#include "support/shown_main_window.h"

namespace klw {
namespace {

using test::pump;

// The code page this run was started for (KLW_EXPECT_ACP), so that a run under the wrong locale
// fails instead of passing for the other one.
TEST(AnyCodePage, RunsUnderTheCodePageAskedFor) {
    const char* expected = std::getenv("KLW_EXPECT_ACP");
    ASSERT_NE(expected, nullptr);
    EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected)));
}

class AnyCodePageWindow : public test::ShownMainWindow {};

TEST_F(AnyCodePageWindow, CaptionsAndMenusReadBackInUnicode) {
    auto menuCaption = [](HMENU menu, int at) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(at), text, 128, MF_BYPOSITION);
        return std::wstring(text);
    };
    HMENU bar = GetMenu(form->handle());
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(menuCaption(bar, 0), L"ファイル(&F)");
    EXPECT_EQ(menuCaption(bar, 1), L"ﾍﾙﾌﾟ(&H)");
    EXPECT_EQ(menuCaption(GetSubMenu(bar, 0), 0), L"終了(&X)");
    EXPECT_EQ(menuCaption(GetSubMenu(bar, 1), 0), L"ﾊﾞｰｼﾞｮﾝ情報(&V)...");
    EXPECT_EQ(test::windowText(form->handle()), "KORVANE LINKWALKER");
    EXPECT_EQ(test::windowText(form->btnDelete->handle()), "Delete");
}

// Error boxes at start-up for a list file that is locked, and for one whose content breaks off.
TEST(AnyCodePageErrors, ListFileErrorsShowTheExactJapaneseText) {
    test::TempCurrentDirectory dir;
    const struct {
        bool lock;
        std::string content;
        std::string text;
    } cases[] = {
        {true, "TPF0", "ファイル korlinkwalker.dat は開けません."},
        {false,
         "TPF0\x08TListBox\x06lbxURL\x0DItems.Strings\x01\x06\x05"
         "ab",
         "lbxURL.Items.Strings の読み込み中のエラー : ストリームからの読み込みエラー."},
        {false, "TPFX", "不正なイメージ リスト."},
    };
    for (const auto& c : cases) {
        test::writeFile("korlinkwalker.dat", c.content);
        HANDLE lock = c.lock ? CreateFileW(L"korlinkwalker.dat", GENERIC_READ, 0, nullptr,
                                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)
                             : INVALID_HANDLE_VALUE;
        test::DialogWatcher watcher;
        {
            Application app;
            TfrmMain form(app);
            pump(app);
            const auto seen = watcher.seen();
            ASSERT_EQ(seen.size(), 1u) << c.text;
            EXPECT_EQ(seen[0].windowClass, "#32770");
            EXPECT_EQ(seen[0].text, c.text);
            EXPECT_EQ(seen[0].caption, app.title());
            EXPECT_EQ(seen[0].iconStyle, 1u) << "the stop icon";
        }
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
    }
}

TEST_F(AnyCodePageWindow, VersionBoxAndItsClipboardText) {
    test::DialogWatcher watcher;
    watcher.dismiss = false;
    std::string copied;
    bool ansiOffered = false;
    std::thread other([&] {
        for (int i = 0; i < 250 && !watcher.openBox.load(); ++i) Sleep(20);
        HWND box = watcher.openBox.load();
        if (!box) return;
        Sleep(100);
        SetForegroundWindow(box);
        test::key('C', test::kCtrl);
        Sleep(300);
        copied = test::clipboardText(CF_UNICODETEXT);
        ansiOffered = IsClipboardFormatAvailable(CF_TEXT) != FALSE;
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    form->mnuMainHelpVersionClick(*form->mnuMainHelpVersion);
    other.join();
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].windowClass, "TMessageForm");
    EXPECT_EQ(seen[0].caption, app.title());
    EXPECT_EQ(seen[0].text, "Version 0.90 (2002.Jan.17)");
    const std::string line(27, '-');
    EXPECT_EQ(copied, line + "\r\n" + app.title() + "\r\n" + line +
                          "\r\nVersion 0.90 (2002.Jan.17)\r\n" + line + "\r\nOK   \r\n" + line +
                          "\r\n");
    EXPECT_TRUE(ansiOffered) << "the system offers the text in the ANSI code page too";
}

// The plain box measures and draws any text: one the code page lacks is shown as it is.
TEST_F(AnyCodePageWindow, PlainBoxShowsTextTheCodePageLacks) {
    test::DialogWatcher watcher;
    const std::string text = "Café 한국어 🍣 ファイル";
    MessageForm::show(text);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, text);
}

// A list file of another tool holds 🍣 as its four UTF-8 bytes: the window shows the character,
// and the close saves it by the program's own rule, its two surrogates as 3-byte groups.
TEST(AnyCodePageFiles, AFourByteCharacterLoadsAndIsSavedAsTwoGroups) {
    using test::hex;
    test::TempCurrentDirectory dir;
    const std::string head = "TPF0" + test::shortName("TListBox") + test::shortName("lbxURL");
    test::writeFile("korlinkwalker.dat", head + test::shortName("Items.Strings") +
                                             hex("01 14 04 00 00 00 F0 9F 8D A3 00 00 00"));
    {
        Application app;
        TfrmMain form(app);
        ShowWindow(form.handle(), SW_SHOWNORMAL);
        pump(app);
        ASSERT_EQ(form.lbxURL->count(), 1);
        EXPECT_EQ(form.lbxURL->item(0), "🍣");
        EXPECT_EQ(form.lbxURL->itemIndex(), 0);
        wchar_t shown[8] = {};
        SendMessageW(form.lbxURL->handle(), LB_GETTEXT, 0, reinterpret_cast<LPARAM>(shown));
        EXPECT_EQ(std::wstring(shown), L"\xD83C\xDF63") << "the platform's list holds the pair";
        PostMessageW(form.handle(), WM_CLOSE, 0, 0);
        pump(app, 250);
        ASSERT_TRUE(app.terminated());
    }
    test::deletePositionKey();
    EXPECT_EQ(
        test::readFile("korlinkwalker.dat"),
        head + hex("04 4C 65 66 74 02 04 03 54 6F 70 02 04 05 57 69 64 74 68 03 0B 01"
                   "06 48 65 69 67 68 74 03 85 00 05 43 6F 6C 6F 72 07 07 63 6C 57 68 69 74 65"
                   "0A 49 74 65 6D 48 65 69 67 68 74 02 0C"
                   "0D 49 74 65 6D 73 2E 53 74 72 69 6E 67 73"
                   "01 14 06 00 00 00 ED A0 BC ED BD A3 00"
                   "08 54 61 62 4F 72 64 65 72 02 02 00 00"));
}

TEST_F(AnyCodePageWindow, TypedTextOfEveryScriptIsAddedUnchanged) {
    const std::string addresses[] = {
        "https://fr.wikipedia.org/wiki/Café", "https://ko.wikipedia.org/wiki/한국어",
        "https://example.com/🍣", "https://ja.wikipedia.org/wiki/日本語"};
    for (const std::string& a : addresses) {
        form->focusControl(*form->edtTest);
        pump(app);
        test::typeUnicode(a);
        pump(app);
        EXPECT_EQ(form->edtTest->text(), a);
        EXPECT_TRUE(form->btnAdd->isEnabled());
        test::key(VK_RETURN);
        pump(app);
    }
    ASSERT_EQ(form->lbxURL->count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(form->lbxURL->item(i), addresses[i]);
    EXPECT_EQ(form->lbxURL->itemIndex(), 3);
    // Up exchanges entries through the platform list and back: nothing changes on the way.
    form->btnUPClick(*form->btnUP);
    EXPECT_EQ(form->lbxURL->item(2), addresses[3]);
    EXPECT_EQ(form->lbxURL->item(3), addresses[2]);
}

TEST_F(AnyCodePageWindow, TypeAheadSearchOnCharacters) {
    for (const char* e : {"https://x/", "Éclair", "ＡＢＣ", "🍣 sushi", "🍣🍙", "end"})
        form->lbxURL->append(e);
    form->focusControl(*form->lbxURL);
    pump(app);
    std::vector<int> seen;
    form->lbxURL->onClick = [&](Control&) { seen.push_back(form->lbxURL->itemIndex()); };
    auto typeAfterPause = [&](const std::string& text) {
        Sleep(600);
        test::typeUnicode(text);
        pump(app);
    };
    typeAfterPause("é");
    EXPECT_EQ(seen, (std::vector<int>{1})) << "é finds Éclair";
    typeAfterPause("ａ");
    EXPECT_EQ(seen, (std::vector<int>{1, 2})) << "full-width ａ finds ＡＢＣ";
    typeAfterPause("🍣");
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3})) << "the pair is one character";
    test::typeUnicode("🍙");
    pump(app);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4}));
    test::key(VK_BACK);
    pump(app);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 3})) << "Backspace removes 🍙 whole";
}

}  // namespace
}  // namespace klw
