// Walking the list on the real window under Wine: Go hands entries to the shell, which starts
// the project's recorder as the http handler; the recorder's log shows what the shell received.
#include <gtest/gtest.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>

#include "persist/stream_bytes.h"
#include "runtime/unicode.h"
#include "ui/data_object.h"
#include "ui/list_box_hook.h"
#include "ui/main_window_fixture.h"
#include "ui/shell_open.h"
#include "ui/web_address.h"

namespace klw {
namespace {

using test::Events;
using test::pump;

constexpr const char kHttpCommand[] = "http\\shell\\open\\command";
// A scheme of the tests' own, opened by the recorder too: an entry that is not a web address
// but whose open can be seen.
constexpr const char kTestScheme[] = "klwtest";
constexpr const char kTestSchemeCommand[] = "klwtest\\shell\\open\\command";

std::string toolsFolder() {
    const char* tools = std::getenv("KLW_TOOLS");
    return tools ? tools : "";
}

std::string recorderLog() { return toolsFolder() + "\\klw-recorder.log"; }

class Walk : public test::MainWindowTest {
protected:
    // The recorder becomes the http handler for this test program; the prefix's own handler
    // comes back afterwards.
    static void SetUpTestSuite() {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        test::ListBoxHook::install();
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, kHttpCommand, 0, nullptr, 0,
                                  KEY_READ | KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        char old[1024] = {};
        DWORD size = sizeof old - 1;
        DWORD type = 0;
        hadOld_ = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old),
                                   &size) == ERROR_SUCCESS;
        old_ = old;
        RegCloseKey(key);
        setHandlerOptions("");
        const std::string command = "\"" + toolsFolder() + "\\klw_recorder.exe\" \"%1\"";
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, kTestSchemeCommand, REG_SZ, command.c_str(),
                               static_cast<DWORD>(command.size())),
                  ERROR_SUCCESS);
    }
    // The recorder, started with these options, becomes the http handler.
    static void setHandlerOptions(const std::string& options) {
        const std::string command =
            "\"" + toolsFolder() + "\\klw_recorder.exe\" " + options + " \"%1\"";
        ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, kHttpCommand, REG_SZ, command.c_str(),
                               static_cast<DWORD>(command.size())),
                  ERROR_SUCCESS);
    }
    static void TearDownTestSuite() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, kHttpCommand, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
            if (hadOld_)
                RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()),
                               static_cast<DWORD>(old_.size() + 1));
            RegCloseKey(key);
        }
        RegDeleteTreeA(HKEY_CLASSES_ROOT, kTestScheme);
        CoUninitialize();
    }
    void SetUp() override {
        ASSERT_FALSE(toolsFolder().empty()) << "KLW_TOOLS names the recorder's folder";
        setHandlerOptions("");
        DeleteFileA(recorderLog().c_str());
        MainWindowTest::SetUp();
    }

    // The recorder writes from its own process: wait until it has logged `n` addresses.
    std::vector<std::string> opened(size_t n, int timeoutMs = 15000) {
        std::vector<std::string> lines;
        for (DWORD start = GetTickCount();; Sleep(50)) {
            lines.clear();
            const std::string log = test::readFile(recorderLog());
            size_t from = 0;
            for (size_t nl; (nl = log.find('\n', from)) != std::string::npos; from = nl + 1)
                lines.push_back(log.substr(from, nl - from));
            if (lines.size() >= n || GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) break;
        }
        return lines;
    }
    // Nothing more arrives within a second.
    std::vector<std::string> openedAfterAWhile(size_t n) {
        Sleep(1000);
        return opened(n, 0);
    }

    // Go on the selected entry, with `during` run on another thread once the first address has
    // reached the handler, while Go waits; what that thread sends is answered until it ends.
    void goWhileItWaits(const std::function<void()>& during) {
        std::atomic<bool> otherDone{false};
        goReturned = false;
        std::thread other([&] {
            struct Done {
                std::atomic<bool>& flag;
                ~Done() { flag = true; }
            } done{otherDone};
            if (opened(1).size() != 1) return;
            during();
        });
        form->btnGo->onClick(*form->btnGo);
        goReturned = true;
        for (const DWORD start = GetTickCount(); !otherDone && GetTickCount() - start < 30000;) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
            MSG msg;
            PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        other.join();
    }
    std::atomic<bool> goReturned{false};

    static inline bool hadOld_ = false;
    static inline std::string old_;
};

using Names = std::vector<std::string>;

TEST_F(Walk, GoHandsTheEntryToTheShellByteForByteAndMovesOn) {
    const std::string japanese =
        std::string("http://example.com/パス/ファイル.html?q=日本語&x=%E3%81%82#top");
    // Typed with a space, which no address from outside may hold: opened all the same.
    const std::string spaced = "http://example.com/a b/c";
    const std::string upper = "HTTP://EXAMPLE.COM/Upper?";
    loadAdded({japanese, spaced, upper});
    show();
    clickOn(*form->btnGo);
    EXPECT_EQ(opened(1), Names{japanese});
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(states(), "10111") << "the refresh ran: Up, Down and Delete on";
    ASSERT_EQ(focused(), form->btnGo.get());
    // Each open is awaited before the next, so that the log keeps their order.
    press(VK_SPACE);
    EXPECT_EQ(opened(2), (Names{japanese, spaced}));
    press(VK_RETURN);
    EXPECT_EQ(opened(3), (Names{japanese, spaced, upper}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2) << "the last entry stays selected";
    press(VK_RETURN);
    EXPECT_EQ(opened(4), (Names{japanese, spaced, upper, upper}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
    EXPECT_EQ(entries(), (Names{japanese, spaced, upper})) << "Go changes no entry";
}

TEST_F(Walk, HeldEnterWalksTheListFromTheStart) {
    load({"http://example.com/1", "http://example.com/2", "http://example.com/3"});
    show();
    ASSERT_EQ(focused(), form->edtTest.get());
    press(VK_RETURN);
    EXPECT_EQ(opened(1), Names{"http://example.com/1"});
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    test::holdKey(VK_RETURN, 3);
    pump(app);
    EXPECT_EQ(events, (Events{"btnGoClick", "btnGoClick", "btnGoClick", "btnGoClick"}));
    // Each Go returns once its handler has the address: they arrive in list order.
    EXPECT_EQ(opened(4), (Names{"http://example.com/1", "http://example.com/2",
                                "http://example.com/3", "http://example.com/3"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
    EXPECT_EQ(focused(), form->edtTest.get());
}

TEST_F(Walk, GoReturnsOnceTheHandlerHasTakenTheAddressOver) {
    setHandlerOptions("/jitter:300");
    load({"http://example.com/slow/1", "http://example.com/slow/2", "http://example.com/slow/3"});
    show();
    for (int n = 1; n <= 3; ++n) {
        press(VK_RETURN);
        // No waiting here: the handler has written its line and ended before Go returned.
        EXPECT_EQ(opened(static_cast<size_t>(n), 0).size(), static_cast<size_t>(n))
            << "after Go number " << n;
    }
    EXPECT_EQ(opened(3, 0), (Names{"http://example.com/slow/1", "http://example.com/slow/2",
                                   "http://example.com/slow/3"}));
}

TEST_F(Walk, GoPaintsTheWindowBeforeItReturns) {
    // More presses may wait in the queue behind a Go, and the queue paints only when empty.
    loadAdded({"nosuchscheme:1", "nosuchscheme:2"});
    show();
    pump(app);
    RedrawWindow(form->handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    ASSERT_TRUE(GetUpdateRect(form->lbxURL->handle(), nullptr, FALSE));
    form->btnGoClick(*form->btnGo);
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    for (HWND w : {form->handle(), form->lbxURL->handle(), form->btnGo->handle()})
        EXPECT_FALSE(GetUpdateRect(w, nullptr, FALSE)) << "a part of the window is still unpainted";
}

// A window of the test's thread that runs a function when another thread sends it a message:
// what runs there, runs on the window's thread wherever that thread answers sent messages.
// Sends and waits at most 10 s, so that a window whose thread no longer answers fails the test
// instead of hanging it.
void sendBounded(HWND window, UINT msg, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    EXPECT_NE(SendMessageTimeoutW(window, msg, 0, lp, SMTO_NORMAL, 10000, &result), 0)
        << "message " << msg << " not answered";
}

class SentCall {
public:
    SentCall() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &SentCall::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"KlwSentCall";
        RegisterClassW(&wc);
        window_ = CreateWindowExW(0, L"KlwSentCall", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  wc.hInstance, nullptr);
    }
    ~SentCall() { DestroyWindow(window_); }
    // From another thread: runs `fn` on the window's thread and returns once it has run.
    void call(const std::function<void()>& fn) const {
        sendBounded(window_, WM_APP, reinterpret_cast<LPARAM>(&fn));
    }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg != WM_APP) return DefWindowProcW(hwnd, msg, wp, lp);
        (*reinterpret_cast<const std::function<void()>*>(lp))();
        return 0;
    }
    HWND window_;
};

TEST_F(Walk, WhatArrivesWhileGoWaitsForTheShellIsCarriedOutAfterItInOrder) {
    // The handler writes its line, then stays 1.5 s without reading input: Go waits for it.
    setHandlerOptions("/hold:1500");
    load({"http://example.com/1", "http://example.com/2"});
    show();
    ASSERT_TRUE(test::setClipboardText("  https://pasted.example/\t"));
    test::TestDataObject data;
    data.set(L"text/x-moz-url", test::wideBytes(L"https://dropped.example/\ntitle"));
    SentCall onTheWindowsThread;
    bool insideGo = false;
    std::string fieldDuringGo = "?";
    DWORD dropEffect = 0;
    goWhileItWaits([&] {
        // A sent message is answered during the wait.
        onTheWindowsThread.call([&] { insideGo = !goReturned; });
        // A posted character is not: it waits in the queue until Go has returned.
        PostMessageW(form->edtTest->handle(), WM_CHAR, 'x', 0);
        // A Go, a drop and a paste, in that order.
        sendBounded(form->btnGo->handle(), BM_CLICK);
        onTheWindowsThread.call([&] {
            IDropTarget* target = form->dropTarget();
            DWORD effect = DROPEFFECT_COPY;
            target->DragEnter(&data, MK_LBUTTON, POINTL{150, 150}, &effect);
            effect = DROPEFFECT_COPY;
            target->Drop(&data, 0, POINTL{150, 150}, &effect);
            dropEffect = effect;
        });
        sendBounded(form->lbxURL->handle(), WM_PASTE);
        onTheWindowsThread.call([&] { fieldDuringGo = form->edtTest->text(); });
    });
    EXPECT_TRUE(insideGo) << "the thread's message was answered while Go waited";
    EXPECT_EQ(fieldDuringGo, "") << "the posted character came before Go returned";
    EXPECT_EQ(dropEffect, static_cast<DWORD>(DROPEFFECT_COPY)) << "taken, for after Go";
    EXPECT_EQ(events, (Events{"btnGoClick", "btnGoClick"}));
    // The second Go ran first, on the entry the first had moved on to; then the drop, then
    // the paste.
    EXPECT_EQ(openedAfterAWhile(2), (Names{"http://example.com/1", "http://example.com/2"}));
    EXPECT_EQ(entries(), (Names{"http://example.com/1", "http://example.com/2",
                                "https://dropped.example/", "https://pasted.example/"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 3);
    EXPECT_EQ(data.outstanding(), 0);
    EXPECT_EQ(form->edtTest->text(), "");
    pump(app);
    EXPECT_EQ(form->edtTest->text(), "x") << "handled once Go had returned";
}

TEST_F(Walk, DoubleClickOpensTheEntryUnderThePointer) {
    load({"http://example.com/1", "http://example.com/2", "http://example.com/3"});
    show();
    clickRow(1, true);
    EXPECT_EQ(events, (Events{"lbxURLClick", "lbxURLDblClick"}));
    EXPECT_EQ(opened(1), Names{"http://example.com/2"});
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
}

TEST_F(Walk, AnAddressTheShellCannotOpenStillMovesTheSelectionOn) {
    test::DialogWatcher watcher;  // whatever the shell might show is its own matter
    loadAdded({"nosuchscheme:zz", "http://example.com/after"});
    show();
    press(VK_RETURN);
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(states(), "10101");
    press(VK_RETURN);
    EXPECT_EQ(opened(1), Names{"http://example.com/after"});
    EXPECT_EQ(openedAfterAWhile(2), Names{"http://example.com/after"});
    EXPECT_FALSE(app.terminated());
}

// A key pressed in a box of the program: posted to the control that has the focus on its thread,
// as the keyboard would deliver it.
void pressInBox(HWND box, WORD vk) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info);
    const HWND target = info.hwndFocus ? info.hwndFocus : box;
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 1 | (3u << 30));
}

// Each box is answered with Esc once it has been up long enough to take an answer.
void escapeEachBox(test::DialogWatcher& watcher) {
    watcher.answer = [](HWND box) {
        Sleep(400);
        pressInBox(box, VK_ESCAPE);
    };
}

void clickYes(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDYES)));
}

TEST_F(Walk, GoAsksBeforeAnEntryFromOutsideAndEnterAnswersNo) {
    test::DialogWatcher watcher;
    watcher.answer = [](HWND box) {
        Sleep(400);
        pressInBox(box, VK_RETURN);
    };
    load({"klwtest:one", "klwtest:two"});
    show();
    press(VK_RETURN);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, app.currentTitle());
    EXPECT_EQ(seen[0].text, openQuestionText("klwtest:one"));
    EXPECT_EQ(seen[0].owner, form->handle()) << "owned by the main window";
    std::vector<int> buttons = seen[0].buttons;
    std::sort(buttons.begin(), buttons.end());
    EXPECT_EQ(buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(seen[0].defaultButton, IDNO);
    EXPECT_EQ(seen[0].iconStyle, 1u);
    EXPECT_TRUE(openedAfterAWhile(1).empty()) << "No hands nothing to the shell";
    EXPECT_EQ(form->lbxURL->itemIndex(), 1) << "the walk goes on";
    EXPECT_EQ(focused(), form->edtTest.get()) << "the focus is back where it was";
    EXPECT_EQ(events, Events{"btnGoClick"});
}

TEST_F(Walk, YesOpensTheEntryAndTheSameTextOpensWithoutAskingAfterwards) {
    test::DialogWatcher watcher;
    watcher.answer = [](HWND box) {
        Sleep(400);
        clickYes(box);
    };
    load({"klwtest:one", "klwtest:one", "klwtest:two"});
    show();
    press(VK_RETURN);
    EXPECT_EQ(opened(1), Names{"klwtest:one"});
    press(VK_RETURN);
    EXPECT_EQ(opened(2), (Names{"klwtest:one", "klwtest:one"}));
    EXPECT_EQ(watcher.seen().size(), 1u) << "the same text again, in another entry: no box";
    press(VK_RETURN);
    EXPECT_EQ(opened(3), (Names{"klwtest:one", "klwtest:one", "klwtest:two"}));
    EXPECT_EQ(watcher.seen().size(), 2u) << "another text asks again";
}

TEST_F(Walk, AnswersInTheBoxsFirstMomentAreIgnored) {
    test::DialogWatcher watcher;
    std::atomic<bool> upAfterEarlyAnswers{false};
    std::atomic<bool> goneAfterEsc{false};
    watcher.answer = [&](HWND box) {
        // Keys meant for the list, arriving as the box appears: Yes clicked, Enter pressed.
        clickYes(box);
        pressInBox(box, VK_RETURN);
        Sleep(150);
        upAfterEarlyAnswers = IsWindow(box) && IsWindowVisible(box);
        Sleep(300);
        pressInBox(box, VK_ESCAPE);
        for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
        goneAfterEsc = !IsWindow(box);
    };
    load({"klwtest:one", "klwtest:two"});
    show();
    press(VK_RETURN);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_TRUE(upAfterEarlyAnswers) << "an answer in the first 0.3 s ended the box";
    EXPECT_TRUE(goneAfterEsc) << "Esc did not answer the box";
    EXPECT_TRUE(openedAfterAWhile(1).empty()) << "Esc answers No";
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
}

TEST_F(Walk, RepeatsOfEnterFoldedIntoOneMessageAskOnceAndGoNoFurther) {
    test::DialogWatcher watcher;
    escapeEachBox(watcher);
    load({"klwtest:one", "klwtest:two", "klwtest:three", "klwtest:four"});
    show();
    // Three presses the user made before seeing the box: only the first one counts.
    PostMessageW(form->edtTest->handle(), WM_KEYDOWN, VK_RETURN, 3 | (1 << 30));
    pump(app);
    EXPECT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(events, Events{"btnGoClick"});
    EXPECT_TRUE(openedAfterAWhile(1).empty());
}

TEST_F(Walk, NetworkPathsAndRiskySchemesFromOutsideAsk) {
    test::DialogWatcher watcher;
    watcher.answer = [](HWND box) {
        Sleep(350);
        pressInBox(box, VK_ESCAPE);
    };
    const Names risky = {"\\\\host\\share\\x",
                         "file://host/share/x",
                         "FILE:///C:/Windows/System32/calc.exe",
                         "ms-msdt:/id PCWDiagnostic",
                         "search-ms:query=x&crumb=location:\\\\host\\share",
                         "ms-officecmd:x",
                         "shell:startup",
                         "javascript:alert(1)",
                         " https://example.com/"};
    for (const std::string& e : risky) form->lbxURL->append(e);
    form->lbxURL->append("http://example.com/end");
    form->lbxURL->setItemIndex(0);
    form->btnGo->setEnabled(true);
    show();
    for (size_t i = 0; i < risky.size(); ++i) press(VK_RETURN);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), risky.size());
    for (size_t i = 0; i < risky.size(); ++i) EXPECT_EQ(seen[i].text, openQuestionText(risky[i]));
    EXPECT_EQ(form->lbxURL->itemIndex(), static_cast<int>(risky.size()));
    press(VK_RETURN);
    EXPECT_EQ(opened(1), Names{"http://example.com/end"}) << "No opened none of the others";
    EXPECT_EQ(watcher.seen().size(), risky.size());
}

TEST_F(Walk, AWwwNameThatIsAFileInTheListsFolderAsks) {
    test::DialogWatcher watcher;
    escapeEachBox(watcher);
    // The shell would take this for the program in the current folder, not for an address.
    test::writeFile("www.klwtest.com", "@exit\r\n");
    load({"www.klwtest.com", "WWW.klwtest.bat", "www.klwtest.org"});
    test::writeFile("WWW.klwtest.bat.cmd", "@exit\r\n");
    show();
    press(VK_RETURN);
    press(VK_RETURN);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 2u) << "a file as named, and one with a program extension";
    EXPECT_EQ(seen[0].text, openQuestionText("www.klwtest.com"));
    EXPECT_EQ(seen[1].text, openQuestionText("WWW.klwtest.bat"));
    press(VK_RETURN);
    EXPECT_EQ(watcher.seen().size(), 2u) << "a www. name that is no file opens as an address";
    EXPECT_EQ(opened(1).size(), 1u);
}

// ---- Addresses that a shell could take for a file, a program or a variable ----

TEST_F(Walk, AnAddressThatNamesAFileAsksAndOtherwiseReachesItsHandlerExactly) {
    test::DialogWatcher watcher;
    escapeEachBox(watcher);
    // Wine collapses the ".." and would run x.bat of the current folder.
    test::writeFile("x.bat", "@echo ran>ran.txt\r\n");
    load({"http://example.com/../../x.bat", "http://example.com/../../y.bat",
          "http://%USERNAME%.attacker.example/", "http://%NOSUCH_KLW%.example/%41%42"});
    show();
    press(VK_RETURN);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].text, openQuestionText("http://example.com/../../x.bat"));
    press(VK_RETURN);
    press(VK_RETURN);
    press(VK_RETURN);
    // The handler gets the text as it stands: no file put in, no variable expanded.
    EXPECT_EQ(openedAfterAWhile(2),
              (Names{"http://example.com/../../y.bat", "http://%NOSUCH_KLW%.example/%41%42"}));
    EXPECT_EQ(watcher.seen().size(), 2u) << "the user's name would have left the computer";
    EXPECT_EQ(GetFileAttributesA("ran.txt"), INVALID_FILE_ATTRIBUTES) << "x.bat ran";
}

TEST_F(Walk, TheHandlerClassReachesTheSchemesCommandAndTheWaitStillHolds) {
    // Straight to the command, the variable not expanded; and the wait for the handler that
    // holds 1.5 s without reading input still holds Go.
    setHandlerOptions("/hold:1500");
    const DWORD start = GetTickCount();
    openWithShell(nullptr, "http://%USERNAME%/../../y.bat", "http");
    const DWORD took = GetTickCount() - start;
    EXPECT_EQ(opened(1), Names{"http://%USERNAME%/../../y.bat"});
    EXPECT_GE(took, 1000u) << "Go did not wait for the handler";
    EXPECT_LT(took, 6000u);
}

TEST(ShellLookups, FindTheNamesTheShellWouldTry) {
    test::TempCurrentDirectory dir;
    PlatformShellLookups shell;
    test::writeFile("x.bat", "@exit\r\n");
    EXPECT_EQ(shell.fileFor("http://example.com/../../x.bat"), FileLookup::Found);
    EXPECT_EQ(shell.fileFor("mailto:x/../x.bat"), FileLookup::Found);
    EXPECT_EQ(shell.fileFor("http://example.com/../../x"), FileLookup::Found) << ".bat added";
    EXPECT_EQ(shell.fileFor("http://example.com/../../z.bat"), FileLookup::None);
    // Shortcuts come after the program extensions.
    EXPECT_EQ(shell.fileFor("www.x"), FileLookup::None);
    test::writeFile("www.x.lnk", "L");
    EXPECT_EQ(shell.fileFor("www.x"), FileLookup::Found);
    test::writeFile("www.y.pif", "P");
    EXPECT_EQ(shell.fileFor("www.y"), FileLookup::Found);
    // Addresses with a query, a fragment or a quote name no file: the shell finds none either.
    EXPECT_EQ(shell.fileFor("mailto:a@b.example?subject=Hi&body=x"), FileLookup::None);
    EXPECT_EQ(shell.fileFor("https://example.com/a?b=c#d"), FileLookup::None);
    // A folder counts: the shell would open it, not the address.
    EXPECT_NE(shell.fileFor("http://example.com/../.."), FileLookup::None);
    EXPECT_TRUE(shell.hasVariable("PATH"));
    EXPECT_TRUE(shell.hasVariable("path")) << "names without regard to letter case";
    EXPECT_FALSE(shell.hasVariable("NOSUCH_KLW_VARIABLE"));
}

TEST(ShellLookups, AFileBeyondMaxPathIsNoAddress) {
    test::TempCurrentDirectory dir;
    PlatformShellLookups shell;
    // Folders of 50 characters, six deep: the file's path is longer than MAX_PATH.
    std::wstring full = L"\\\\?\\" + wide(dir.path());
    std::string relative;
    for (int i = 0; i < 6; ++i) {
        const std::string part(50, static_cast<char>('a' + i));
        full += L"\\" + wide(part);
        relative += part + "/";
        ASSERT_TRUE(CreateDirectoryW(full.c_str(), nullptr)) << GetLastError();
    }
    const std::wstring file = full + L"\\x.bat";
    ASSERT_GT(file.size(), static_cast<std::size_t>(MAX_PATH));
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    // Found or a lookup that failed: either way Go asks.
    EXPECT_NE(shell.fileFor("http://example.com/../../" + relative + "x.bat"), FileLookup::None);
    EXPECT_NE(shell.fileFor("http://example.com/../../" + relative + "x"), FileLookup::None);
    EXPECT_EQ(shell.fileFor("http://example.com/../../" + relative + "y"), FileLookup::None);
    // Clean up the deep folders, which the temporary folder's removal may not reach.
    DeleteFileW(file.c_str());
    for (int i = 5; i >= 0; --i) {
        RemoveDirectoryW(full.c_str());
        full.resize(full.rfind(L'\\'));
    }
}

// ---- The question keeps the window's rules ----

TEST_F(Walk, WhileTheQuestionIsUpTheApplicationWindowIsDisabledAndItsCloseEndsNothing) {
    test::DialogWatcher watcher;
    std::atomic<bool> disabled{false};
    std::atomic<bool> boxStayed{false};
    watcher.answer = [&](HWND box) {
        Sleep(400);
        disabled = !IsWindowEnabled(app.handle()) && !IsWindowEnabled(form->handle());
        // The taskbar entry's Close, while Go waits for the answer.
        DWORD_PTR r = 0;
        SendMessageTimeoutW(app.handle(), WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL, 5000, &r);
        SendMessageTimeoutW(app.handle(), WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, &r);
        Sleep(200);
        boxStayed = IsWindow(box) != FALSE;
        pressInBox(box, VK_ESCAPE);
    };
    load({"klwtest:one", "klwtest:two"});
    show();
    press(VK_RETURN);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_TRUE(disabled) << "the application window took input under the question";
    EXPECT_TRUE(boxStayed);
    EXPECT_EQ(events, Events{"btnGoClick"}) << "the close route ran in the middle of Go";
    EXPECT_FALSE(app.terminated());
    EXPECT_EQ(GetFileAttributesA("korlinkwalker.dat"), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(IsWindowEnabled(app.handle())) << "enabled again afterwards";
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
}

// The session ends while Go's question is up, and a paste arrives behind the question (a drop
// cannot: the window is disabled): the session end's save runs at once, the paste is carried out
// once the question is answered, and the end of the process (after the loop, as the process's
// entry does) saves it too.
TEST_F(Walk, APasteQueuedBehindTheQuestionAtTheSessionsEndReachesTheFile) {
    ASSERT_TRUE(test::setClipboardText("https://pasted.example/"));
    test::DialogWatcher watcher;
    std::string atTheSessionsEnd = "?";
    watcher.answer = [&](HWND box) {
        Sleep(400);
        // Wine's end of the session: every top-level window is asked, then told.
        for (const HWND window : {app.handle(), form->handle()}) {
            DWORD_PTR r = 0;
            SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &r);
            SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &r);
        }
        atTheSessionsEnd = test::readFile("korlinkwalker.dat");
        sendBounded(form->lbxURL->handle(), WM_PASTE);
        pressInBox(box, VK_ESCAPE);
    };
    load({"klwtest:one"});
    show();
    const std::string before = test::writeImage(form->streamedList());
    press(VK_RETURN);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(atTheSessionsEnd, before) << "the session end's save waited for the question";
    EXPECT_EQ(entries(), (Names{"klwtest:one", "https://pasted.example/"}));
    EXPECT_TRUE(app.terminated());
    EXPECT_EQ(test::readFile("korlinkwalker.dat"), before) << "saved before the end";
    form->saveBeforeEnd();
    EXPECT_EQ(test::readFile("korlinkwalker.dat"), test::writeImage(form->streamedList()));
    EXPECT_NE(test::writeImage(form->streamedList()), before);
}

TEST_F(Walk, AfterTheQuestionTypingReachesTheFieldWhenNoControlHadTheFocus) {
    test::DialogWatcher watcher;
    escapeEachBox(watcher);
    load({"klwtest:a", "klwtest:b", "klwtest:c"});
    show();
    clickRow(1);
    // Tab from the list: Add is disabled and skipped; Space on Up disables it at the top.
    press(VK_TAB);
    ASSERT_EQ(focused(), form->btnUP.get());
    press(VK_SPACE);
    ASSERT_FALSE(form->btnUP->isEnabled());
    ASSERT_TRUE(focusIsOnForm());
    press(VK_RETURN);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(watcher.seen()[0].text, openQuestionText("klwtest:b"));
    type("abc");
    EXPECT_EQ(form->edtTest->text(), "abc");
    EXPECT_EQ(focused(), form->edtTest.get());
}

TEST_F(Walk, InputQueuedJustBeforeTheQuestionIsDropped) {
    test::DialogWatcher watcher;
    escapeEachBox(watcher);
    load({"klwtest:a", "klwtest:b", "klwtest:c"});
    show();
    // Enter, then a typed character and a click on the last entry, all in the queue at once.
    const HWND list = form->lbxURL->handle();
    PostMessageW(form->edtTest->handle(), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(form->edtTest->handle(), WM_CHAR, 'x', 1);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 2 * 12 + 6));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 2 * 12 + 6));
    pump(app);
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(form->edtTest->text(), "") << "the character reached the field after the answer";
    EXPECT_EQ(form->lbxURL->itemIndex(), 1) << "the click reached the list after the answer";
    EXPECT_EQ(events, Events{"btnGoClick"});
}

TEST_F(Walk, ADoubleClickQueuedBehindAGoOpensItsOwnEntry) {
    setHandlerOptions("/hold:1500");
    load({"http://example.com/1", "http://example.com/2", "http://example.com/3"});
    show();
    goWhileItWaits([&] {
        // While Go waits for the handler: a double-click on the third entry.
        const HWND list = form->lbxURL->handle();
        const LPARAM at = MAKELPARAM(20, 2 * 12 + 6);
        sendBounded(list, WM_LBUTTONDOWN, at);
        sendBounded(list, WM_LBUTTONUP, at);
        sendBounded(list, WM_LBUTTONDBLCLK, at);
        sendBounded(list, WM_LBUTTONUP, at);
    });
    pump(app);
    EXPECT_EQ(openedAfterAWhile(2), (Names{"http://example.com/1", "http://example.com/3"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
}

TEST_F(Walk, GoWithoutASelectionOpensNothing) {
    for (const char* e : {"http://example.com/1", "http://example.com/2"}) form->lbxURL->append(e);
    form->btnGo->setEnabled(true);
    show();
    clickOn(*form->btnGo);
    EXPECT_EQ(events, Events{"btnGoClick"});
    EXPECT_EQ(form->lbxURL->itemIndex(), -1);
    EXPECT_TRUE(openedAfterAWhile(1).empty());
    clickRow(1);
    clickOn(*form->btnGo);
    EXPECT_EQ(openedAfterAWhile(2), Names{"http://example.com/2"});
}

TEST_F(Walk, TypedAddressesAreAddedAndWalked) {
    show();
    for (const char* address : {"http://example.com/x", "http://example.com/y"}) {
        type(address);
        press(VK_RETURN);
    }
    ASSERT_EQ(entries(), (Names{"http://example.com/x", "http://example.com/y"}));
    // Back to the top with the keyboard, then Enter from the list walks on.
    press(VK_TAB);
    press(VK_TAB);
    ASSERT_EQ(focused(), form->lbxURL.get());
    press(VK_HOME);
    press(VK_RETURN);
    press(VK_RETURN);
    EXPECT_EQ(opened(2), (Names{"http://example.com/x", "http://example.com/y"}));
}

TEST_F(Walk, ListOperationFailuresAreShownAndTheWindowKeepsRunning) {
    test::DialogWatcher watcher;
    load({"a", "b", "c"});
    show();
    clickRow(0);
    // A handler that reads outside the list.
    int index = 3;
    form->btnDelete->onClick = [&](Control&) { form->lbxURL->item(index); };
    clickOn(*form->btnDelete);
    index = -1;
    clickOn(*form->btnDelete);
    pump(app, 300);
    auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].windowClass, "#32770");
    EXPECT_EQ(seen[0].caption, app.title());
    EXPECT_EQ(seen[0].text, std::string("リストのインデックスが範囲を超えています (3)"));
    EXPECT_EQ(seen[1].text, std::string("リストのインデックスが範囲を超えています (-1)"));
    EXPECT_EQ(entries(), (Names{"a", "b", "c"}));

    // The platform list refusing an entry: Add stops at the append.
    watcher.clear();
    ASSERT_NE(test::ListBoxHook::system, nullptr);
    test::ListBoxHook::refuseAfter = 0;
    clickOn(*form->edtTest);
    type("http://example.com/new");
    events.clear();
    press(VK_RETURN);
    pump(app, 300);
    seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, std::string("行を挿入できません."));
    EXPECT_EQ(events, Events{"btnAddClick"});
    EXPECT_EQ(entries(), (Names{"a", "b", "c"}));
    EXPECT_EQ(form->edtTest->text(), "http://example.com/new") << "the field was not cleared";
    EXPECT_TRUE(form->btnAdd->isEnabled());
    EXPECT_FALSE(app.terminated());
    // The window goes on working: once the list takes entries again, Enter adds.
    test::ListBoxHook::refuseAfter = -1;
    press(VK_RETURN);
    EXPECT_EQ(entries().back(), "http://example.com/new");
    EXPECT_EQ(form->edtTest->text(), "");
}

TEST_F(Walk, DiagnosticsShowTheCountAndTheSelection) {
    test::DialogWatcher watcher;
    load({"a", "b", "c"});
    show();
    clickRow(1);
    form->mnuMainTestItemCountClick(*form->mnuMainTestItemCount);
    form->mnuMainTestItemNoClick(*form->mnuMainTestItemNo);
    form->lbxURL->setItemIndex(-1);
    form->mnuMainTestItemNoClick(*form->mnuMainTestItemNo);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].windowClass, "TMessageForm");
    EXPECT_EQ(seen[0].text, "3");
    EXPECT_EQ(seen[1].text, "1");
    EXPECT_EQ(seen[2].text, "-1");
}

}  // namespace
}  // namespace klw
