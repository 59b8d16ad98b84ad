// The main window as a drop target under Wine: data objects made here, one per format a browser
// or a file manager offers, played through the window's registered target as the platform's
// drag loop calls it. Run under code page 932 and 1252.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <thread>

#include "runtime/exceptions.h"
#include "runtime/unicode.h"
#include "ui/data_object.h"
#include "ui/list_box_hook.h"
#include "ui/main_window_fixture.h"

namespace klw {
namespace {

using test::Events;
using test::ListBoxHook;
using test::pump;
using test::TestDataObject;
using Names = std::vector<std::string>;

const std::string kJapanese = "https://ja.wikipedia.org/wiki/日本語";
const std::string kCafe = "https://fr.wikipedia.org/wiki/Café";

// An address that the process's ANSI code page can carry, so that every format can hold it.
std::string address() { return GetACP() == 932 ? kJapanese : kCafe; }

constexpr DWORD kAnyEffect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;

std::wstring wideAnsi(const std::string& ansi) {
    const int n =
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), out.data(), n);
    return out;
}

void writeFileW(const std::wstring& path, const std::string& bytes) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    ASSERT_EQ(written, bytes.size());
}

class Drop : public test::MainWindowTest {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        ListBoxHook::install();
    }
    static void TearDownTestSuite() { OleUninitialize(); }
    void SetUp() override {
        ListBoxHook::refuseAfter = -1;
        MainWindowTest::SetUp();
        ASSERT_NE(form->dropTarget(), nullptr);
    }

    struct Answers {
        DWORD enter, over, drop;
    };
    // A drag onto the list as the platform's loop plays it: enter, a move, and the drop when the
    // move was answered with an effect.
    Answers drag(TestDataObject& data, DWORD allowed = kAnyEffect) {
        IDropTarget* target = form->dropTarget();
        RECT r{};
        GetWindowRect(form->lbxURL->handle(), &r);
        const POINTL at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        Answers a{};
        DWORD effect = allowed;
        EXPECT_EQ(target->DragEnter(&data, MK_LBUTTON, at, &effect), S_OK);
        a.enter = effect;
        effect = allowed;
        EXPECT_EQ(target->DragOver(MK_LBUTTON, at, &effect), S_OK);
        a.over = effect;
        if (a.over == DROPEFFECT_NONE) {
            target->DragLeave();
            return a;
        }
        effect = allowed;
        ListBoxHook::log.clear();
        EXPECT_EQ(target->Drop(&data, 0, at, &effect), S_OK);
        a.drop = effect;
        return a;
    }
    // The user has typed into the field and selected part of it; the focus is there.
    void typedIntoField() {
        form->edtTest->setText("typed");
        SendMessageW(form->edtTest->handle(), EM_SETSEL, 1, 4);
        ASSERT_EQ(focused(), form->edtTest.get());
        events.clear();
    }
    // The field as typedIntoField() left it.
    void expectFieldUntouched() {
        EXPECT_EQ(form->edtTest->text(), "typed");
        DWORD from = 0, to = 0;
        SendMessageW(form->edtTest->handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                     reinterpret_cast<LPARAM>(&to));
        EXPECT_EQ(from, 1u);
        EXPECT_EQ(to, 4u);
        EXPECT_EQ(focused(), form->edtTest.get());
    }
    std::wstring folder() const { return wideAnsi(dir.path()); }
};

// ---- One per format ----

struct FormatCase {
    const char* name;
    std::function<void(TestDataObject&, const std::wstring& folder)> offer;
};

class DropFormat : public Drop, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(DropFormat, AddsTheAddressSelectsItAndLeavesTheFieldAlone) {
    load({"https://before/"});
    show();
    typedIntoField();
    ASSERT_EQ(states(), "01000");
    TestDataObject data;
    GetParam().offer(data, folder());
    const Answers a = drag(data);
    EXPECT_EQ(a.enter, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(a.over, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(a.drop, static_cast<DWORD>(DROPEFFECT_COPY));
    pump(app);
    EXPECT_EQ(entries(), (Names{"https://before/", address()}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 1);
    EXPECT_EQ(states(), "11101") << "refreshed as after Add; Add keeps its state";
    expectFieldUntouched();
    EXPECT_EQ(events, Events{}) << "no control raised an event";
    EXPECT_EQ(data.outstanding(), 0) << "every medium given back";
    EXPECT_GT(data.handedOut(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachFormat, DropFormat,
    ::testing::Values(
        FormatCase{"UniformResourceLocatorW",
                   [](TestDataObject& d, const std::wstring&) {
                       d.set(L"UniformResourceLocatorW",
                             test::wideBytes(wide(address())) + std::string(2, '\0'));
                   }},
        FormatCase{"MozUrl",
                   [](TestDataObject& d, const std::wstring&) {
                       // The address, LF, the title; no NUL.
                       d.set(L"text/x-moz-url", test::wideBytes(wide(address() + "\nWikipedia")));
                   }},
        FormatCase{"NetscapeUrl",
                   [](TestDataObject& d, const std::wstring&) {
                       d.set(L"_NETSCAPE_URL", address() + "\nWikipedia");
                   }},
        FormatCase{"UniformResourceLocator",
                   [](TestDataObject& d, const std::wstring&) {
                       d.set(L"UniformResourceLocator",
                             test::ansiBytes(wide(address())) + std::string(1, '\0'));
                   }},
        FormatCase{"FileDropOfAShortcut",
                   [](TestDataObject& d, const std::wstring& folder) {
                       // A shortcut in the ANSI code page, as the profile functions write it,
                       // after a file that is no shortcut.
                       const std::wstring notes = folder + L"\\notes.txt";
                       const std::wstring link = folder + L"\\" + wide("リンク.url");
                       writeFileW(notes, "[InternetShortcut]\r\nURL=https://not-this/\r\n");
                       writeFileW(link, "[InternetShortcut]\r\nURL=" +
                                            test::ansiBytes(wide(address())) + "\r\n");
                       d.set(CF_HDROP, test::dropFilesBlock({notes, link}));
                   }},
        FormatCase{"PlainTextUtf8",
                   [](TestDataObject& d, const std::wstring&) {
                       d.set(L"text/plain;charset=utf-8", address());
                   }},
        FormatCase{"UnicodeText",
                   [](TestDataObject& d, const std::wstring&) {
                       d.set(CF_UNICODETEXT,
                             test::wideBytes(wide(address() + "\r\n")) + std::string(2, '\0'));
                   }},
        FormatCase{"Text",
                   [](TestDataObject& d, const std::wstring&) {
                       d.set(CF_TEXT, test::ansiBytes(wide(address())) + std::string(1, '\0'));
                   }}),
    [](const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; });

// ---- The target itself ----

TEST_F(Drop, TheMainWindowIsTheTargetForEveryControl) {
    // Its own registration is there; no control has one, so a drop on any control reaches the
    // window's.
    EXPECT_EQ(RegisterDragDrop(form->handle(), form->dropTarget()), DRAGDROP_E_ALREADYREGISTERED);
    for (const Control* c : form->controls()) {
        SCOPED_TRACE(c->name());
        EXPECT_EQ(RegisterDragDrop(c->handle(), form->dropTarget()), S_OK);
        EXPECT_EQ(RevokeDragDrop(c->handle()), S_OK);
    }
}

TEST_F(Drop, AnEmptyFileDropBesideMozUrlAsFirefoxOnLinuxSendsIt) {
    show();
    TestDataObject data;
    // Wine's file drop for a link: the header and the list's end, 22 bytes, no file.
    data.set(CF_HDROP, test::dropFilesBlock({}));
    data.set(L"text/x-moz-url", test::wideBytes(wide(kJapanese + "\n日本語 - Wikipedia")));
    data.set(L"_NETSCAPE_URL", kJapanese + "\n日本語 - Wikipedia");
    data.set(L"text/plain;charset=utf-8", kJapanese);
    // Chromium's text/plain, decoded by Wine as Latin-1: never what is added.
    data.set(CF_UNICODETEXT, test::wideBytes(L"https://ja.wikipedia.org/wiki/\u00E6\u2014\u00A5"));
    const Answers a = drag(data);
    EXPECT_EQ(a.drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{kJapanese});
    EXPECT_EQ(form->lbxURL->itemIndex(), 0);
    EXPECT_EQ(states(), "10001");
    EXPECT_EQ(data.outstanding(), 0);
}

TEST_F(Drop, AnUnknownFormatOnlyIsRefusedAndChangesNothing) {
    load({"https://a/", "https://b/"});
    show();
    typedIntoField();
    TestDataObject data;
    data.set(L"application/x-klw-unknown", "https://unknown/\r\n");
    data.set(L"HTML Format", "<a href=\"https://html/\">x</a>");
    const Answers a = drag(data);
    EXPECT_EQ(a.enter, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(a.over, static_cast<DWORD>(DROPEFFECT_NONE));
    // A drop that comes anyway is refused too.
    DWORD effect = kAnyEffect;
    EXPECT_EQ(form->dropTarget()->Drop(&data, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    pump(app);
    EXPECT_EQ(entries(), (Names{"https://a/", "https://b/"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 0);
    EXPECT_EQ(states(), "01000");
    expectFieldUntouched();
    EXPECT_EQ(events, Events{});
    EXPECT_EQ(data.outstanding(), 0);
}

TEST_F(Drop, EmptyAndMalformedDataGivesNothing) {
    show();
    TestDataObject data;
    data.set(L"UniformResourceLocatorW", "");
    data.set(L"text/x-moz-url", test::wideBytes(L"\ntitle only"));
    data.set(L"_NETSCAPE_URL", std::string(1, '\0'));
    // A file drop whose list runs past its block, another that points outside it.
    data.set(CF_TEXT, "\r\n\r\n");
    std::string cut = test::dropFilesBlock({L"C:\\x.url"});
    cut.resize(cut.size() - 4);
    data.set(CF_HDROP, cut);
    // Formats it reads are offered: the drag is welcome until the drop finds nothing in them.
    const Answers a = drag(data);
    EXPECT_EQ(a.over, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(a.drop, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(states(), "00000");
    std::string outside = test::dropFilesBlock({});
    outside[0] = 0x7F;
    TestDataObject other;
    other.set(CF_HDROP, outside);
    other.set(CF_UNICODETEXT, test::wideBytes(L"https://text/"));
    EXPECT_EQ(drag(other).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{"https://text/"});
    EXPECT_EQ(data.outstanding() + other.outstanding(), 0);
}

TEST_F(Drop, TheEffectIsACopyOrALinkNeverAMove) {
    show();
    TestDataObject data;
    data.set(L"text/x-moz-url", test::wideBytes(L"https://a/\ntitle"));
    EXPECT_EQ(drag(data, DROPEFFECT_LINK).drop, static_cast<DWORD>(DROPEFFECT_LINK));
    EXPECT_EQ(drag(data, DROPEFFECT_COPY | DROPEFFECT_LINK).drop,
              static_cast<DWORD>(DROPEFFECT_COPY));
    const Answers moveOnly = drag(data, DROPEFFECT_MOVE);
    EXPECT_EQ(moveOnly.enter, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(moveOnly.over, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(entries(), (Names{"https://a/", "https://a/"}));
}

TEST_F(Drop, NoDropWhileTheWindowIsDisabledByABox) {
    show();
    TestDataObject data;
    data.set(CF_UNICODETEXT, test::wideBytes(L"https://a/"));
    EnableWindow(form->handle(), FALSE);
    const Answers a = drag(data);
    EXPECT_EQ(a.enter, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(a.over, static_cast<DWORD>(DROPEFFECT_NONE));
    DWORD effect = kAnyEffect;
    form->dropTarget()->Drop(&data, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EnableWindow(form->handle(), TRUE);
    EXPECT_TRUE(entries().empty());
    EXPECT_EQ(drag(data).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{"https://a/"});
}

TEST_F(Drop, TenThousandLinesInOneUpdateOfTheList) {
    load({"https://before/"});
    show();
    std::wstring text;
    for (int i = 0; i < 10000; ++i) text += L"https://example.com/" + std::to_wstring(i) + L"\r\n";
    TestDataObject data;
    data.set(CF_UNICODETEXT, test::wideBytes(text) + std::string(2, '\0'));
    LARGE_INTEGER frequency{}, start{}, end{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const Answers a = drag(data);
    QueryPerformanceCounter(&end);
    EXPECT_EQ(a.drop, static_cast<DWORD>(DROPEFFECT_COPY));
    // Drawing is suspended once around all of them: no flicker.
    EXPECT_EQ(ListBoxHook::log, (Names{"redraw off", "add 10000", "redraw on"}));
    ASSERT_EQ(form->lbxURL->count(), 10001);
    EXPECT_EQ(form->lbxURL->item(1), "https://example.com/0");
    EXPECT_EQ(form->lbxURL->item(5000), "https://example.com/4999");
    EXPECT_EQ(form->lbxURL->item(10000), "https://example.com/9999");
    EXPECT_EQ(form->lbxURL->itemIndex(), 10000);
    EXPECT_GT(SendMessageW(form->lbxURL->handle(), LB_GETTOPINDEX, 0, 0), 9980)
        << "scrolled to the selection";
    EXPECT_EQ(states(), "10101");
    std::printf("[ figure   ] a drag of 10,000 lines (enter, move, drop): %.0f ms\n",
                1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                    static_cast<double>(frequency.QuadPart));
}

TEST_F(Drop, AListThatRefusesAnEntryShowsTheErrorAndKeepsWhatCameBefore) {
    test::DialogWatcher watcher;
    load({"https://before/"});
    show();
    TestDataObject data;
    data.set(CF_UNICODETEXT, test::wideBytes(L"https://a/\r\nhttps://b/\r\nhttps://c/\r\n"));
    ListBoxHook::refuseAfter = 2;
    drag(data);
    // The box comes once the drag has ended, not while the source waits for the drop.
    EXPECT_TRUE(watcher.seen().empty());
    pump(app, 300);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].windowClass, "#32770");
    EXPECT_EQ(seen[0].caption, app.title());
    EXPECT_EQ(seen[0].text, "行を挿入できません.");
    EXPECT_EQ(entries(), (Names{"https://before/", "https://a/", "https://b/"}));
    EXPECT_EQ(form->lbxURL->itemIndex(), 2) << "the last entry added";
    EXPECT_EQ(states(), "10101");
    EXPECT_EQ(ListBoxHook::log, (Names{"redraw off", "add 2", "redraw on"}))
        << "drawing resumes after the failure";
    EXPECT_FALSE(app.terminated());
    // Nothing added at all: the list and the states stay as they were.
    ListBoxHook::refuseAfter = 0;
    watcher.clear();
    drag(data);
    pump(app, 300);
    EXPECT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(entries().size(), 3u);
    EXPECT_EQ(form->lbxURL->itemIndex(), 2);
}

// A failed save after a change while a drag is over the window: its box waits for the drag to
// leave, so that the program the drag comes from is not kept waiting; and a drag whose source
// died (no leave ever comes) holds it back only while the button that dragged is down.
class DragAndSaveError : public Drop {
protected:
    // The list file cannot be replaced: a folder stands in its name.
    void SetUp() override {
        Drop::SetUp();
        ASSERT_TRUE(CreateDirectoryA("korlinkwalker.dat", nullptr));
        show();
    }
    void runFor(int ms) {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < static_cast<DWORD>(ms)) pump(app, 20);
    }
    void enterWithoutData() {
        RECT r{};
        GetWindowRect(form->lbxURL->handle(), &r);
        DWORD effect = kAnyEffect;
        ASSERT_EQ(
            form->dropTarget()->DragEnter(nullptr, MK_LBUTTON, {r.left + 5, r.top + 5}, &effect),
            S_OK);
    }
    void changeTheList() {
        form->edtTest->setText("http://changed/");
        form->btnAddClick(*form->btnAdd);
    }
    static void leftButton(DWORD flag) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flag;
        SendInput(1, &in, sizeof in);
    }
    test::TempCurrentDirectory dir;
    test::DialogWatcher watcher;
};

TEST_F(DragAndSaveError, TheBoxComesOnceTheDragHasLeft) {
    enterWithoutData();
    changeTheList();
    runFor(2500);
    EXPECT_TRUE(watcher.seen().empty()) << "no box while the drag is over the window";
    form->dropTarget()->DragLeave();
    runFor(700);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "ファイル korlinkwalker.dat を作成できません.");
}

TEST_F(DragAndSaveError, ADragWhoseSourceDiedHoldsTheBoxOnlyWhileTheButtonIsDown) {
    // The pointer away from the window: the button goes down and up over nothing of ours.
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 5, GetSystemMetrics(SM_CYSCREEN) - 5);
    leftButton(MOUSEEVENTF_LEFTDOWN);
    runFor(100);
    ASSERT_LT(GetAsyncKeyState(VK_LBUTTON), 0) << "premise: the button is seen down";
    enterWithoutData();
    changeTheList();
    runFor(2500);
    EXPECT_TRUE(watcher.seen().empty()) << "no box while the button drags";
    // The source is gone: no leave, no drop; only the button comes up.
    leftButton(MOUSEEVENTF_LEFTUP);
    runFor(700);
    EXPECT_EQ(watcher.seen().size(), 1u);
    form->dropTarget()->DragLeave();
}

// ---- A drag passing over, a drop taken in part, errors ----

TEST_F(Drop, ADragOverAThousandShortcutsReadsOnlyTheNamesTheDropReadsTheFiles) {
    show();
    std::vector<std::wstring> names;
    for (int i = 0; i < 1000; ++i) {
        names.push_back(folder() + L"\\link" + std::to_wstring(i) + L".url");
        writeFileW(names.back(),
                   "[InternetShortcut]\r\nURL=https://example.com/" + std::to_string(i) + "\r\n");
    }
    TestDataObject data;
    data.set(CF_HDROP, test::dropFilesBlock(names));
    data.set(CF_UNICODETEXT, test::wideBytes(L"https://text/"));
    IDropTarget* target = form->dropTarget();
    LARGE_INTEGER frequency{}, t0{}, t1{}, t2{};
    QueryPerformanceFrequency(&frequency);
    DWORD effect = kAnyEffect;
    QueryPerformanceCounter(&t0);
    ASSERT_EQ(target->DragEnter(&data, MK_LBUTTON, POINTL{0, 0}, &effect), S_OK);
    QueryPerformanceCounter(&t1);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_TRUE(data.asked().empty()) << "the text is offered: no block read, no name";
    // The pointer leaves and comes back: still nothing read.
    target->DragLeave();
    effect = kAnyEffect;
    target->DragEnter(&data, MK_LBUTTON, POINTL{0, 0}, &effect);
    EXPECT_TRUE(data.asked().empty());
    // A file drop alone: its names, and no file opened (that happens at the drop).
    TestDataObject files;
    files.set(CF_HDROP, test::dropFilesBlock(names));
    effect = kAnyEffect;
    target->DragEnter(&files, MK_LBUTTON, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(files.asked(), std::vector<CLIPFORMAT>{CF_HDROP});
    EXPECT_EQ(files.outstanding(), 0);
    target->DragLeave();
    effect = kAnyEffect;
    target->DragEnter(&data, MK_LBUTTON, POINTL{0, 0}, &effect);
    effect = kAnyEffect;
    ListBoxHook::log.clear();
    ASSERT_EQ(target->Drop(&data, 0, POINTL{0, 0}, &effect), S_OK);
    QueryPerformanceCounter(&t2);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_EQ(entries().size(), 1000u);
    EXPECT_EQ(entries()[0], "https://example.com/0");
    EXPECT_EQ(entries()[999], "https://example.com/999");
    EXPECT_EQ(data.outstanding(), 0);
    auto ms = [&](LARGE_INTEGER a, LARGE_INTEGER b) {
        return 1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    };
    std::printf("[ figure   ] 1,000 shortcuts: DragEnter %.1f ms; leave, enter and drop %.0f ms\n",
                ms(t0, t1), ms(t1, t2));
}

TEST_F(Drop, ADropTakenInPartTellsTheSourceCopyOrLink) {
    test::DialogWatcher watcher;
    load({"https://before/"});
    show();
    TestDataObject data;
    data.set(CF_UNICODETEXT, test::wideBytes(L"https://a/\r\nhttps://b/\r\nhttps://c/\r\n"));
    ListBoxHook::refuseAfter = 2;
    EXPECT_EQ(drag(data).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    ListBoxHook::refuseAfter = 1;
    EXPECT_EQ(drag(data, DROPEFFECT_LINK | DROPEFFECT_MOVE).drop,
              static_cast<DWORD>(DROPEFFECT_LINK));
    // Nothing taken: none.
    ListBoxHook::refuseAfter = 0;
    EXPECT_EQ(drag(data).drop, static_cast<DWORD>(DROPEFFECT_NONE));
    pump(app, 300);
    EXPECT_EQ(watcher.seen().size(), 3u) << "each refusal shown";
    EXPECT_EQ(entries(), (Names{"https://before/", "https://a/", "https://b/", "https://a/"}));
}

TEST_F(Drop, ADropOfferingOnlyAMoveIsRefusedEvenWithoutAnEntry) {
    load({"https://a/"});
    show();
    TestDataObject data;
    data.set(CF_UNICODETEXT, test::wideBytes(L"https://moved/"));
    DWORD effect = DROPEFFECT_MOVE;
    EXPECT_EQ(form->dropTarget()->Drop(&data, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    pump(app);
    EXPECT_EQ(entries(), Names{"https://a/"});
    EXPECT_TRUE(data.asked().empty()) << "nothing read";
}

class DropError : public Drop {
protected:
    void SetUp() override {
        Drop::SetUp();
        show();
        form->onDragEnter = [this](const TransferData&) -> bool {
            ++entries_;
            throw Exception("entering failed");
        };
        data.set(CF_UNICODETEXT, test::wideBytes(L"https://a/"));
    }
    void TearDown() override {
        mouseButton(MOUSEEVENTF_LEFTUP);
        Drop::TearDown();
    }
    DWORD enter() {
        DWORD effect = kAnyEffect;
        EXPECT_EQ(form->dropTarget()->DragEnter(&data, MK_LBUTTON, POINTL{0, 0}, &effect), S_OK);
        return effect;
    }
    // The boxes shown once the window's queue has run a while.
    std::vector<std::string> shown() {
        // For a fixed time: while the button is held the window's timer never lets it be quiet.
        for (const DWORD start = GetTickCount(); GetTickCount() - start < 300; Sleep(5)) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        std::vector<std::string> texts;
        for (const auto& box : watcher.seen()) texts.push_back(box.text);
        return texts;
    }
    static void mouseButton(DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        SendInput(1, &in, sizeof in);
    }
    test::DialogWatcher watcher;
    TestDataObject data;
    int entries_ = 0;
    const std::vector<std::string> once{"entering failed."};
};

TEST_F(DropError, AnErrorAsTheDragEntersIsShownOnceAtTheDrop) {
    EXPECT_EQ(enter(), static_cast<DWORD>(DROPEFFECT_NONE));
    DWORD effect = kAnyEffect;
    form->dropTarget()->DragOver(MK_LBUTTON, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(shown().empty()) << "not while the drag goes on";
    effect = kAnyEffect;
    form->dropTarget()->Drop(&data, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(shown(), once);
    EXPECT_EQ(entries_, 1);
    // A drop that comes all the same is taken as any drop is.
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{"https://a/"});
}

TEST_F(DropError, LeftWithNoButtonHeldTheDragHasEnded) {
    enter();
    form->dropTarget()->DragLeave();
    EXPECT_EQ(shown(), once);
    // Nothing more comes of it: not at a later drop.
    watcher.clear();
    form->onDragEnter = nullptr;
    DWORD effect = kAnyEffect;
    form->dropTarget()->Drop(&data, 0, POINTL{0, 0}, &effect);
    EXPECT_TRUE(shown().empty());
}

TEST_F(DropError, OnceHoweverOftenThePointerComesBackBeforeTheButtonIsUp) {
    // The drag's button is down, away from every window.
    RECT r{};
    GetWindowRect(form->handle(), &r);
    SetCursorPos(r.left + 4, r.bottom - 4);
    mouseButton(MOUSEEVENTF_LEFTDOWN);
    ASSERT_LT(GetAsyncKeyState(VK_LBUTTON), 0);
    for (int pass = 0; pass < 3; ++pass) {
        enter();
        form->dropTarget()->DragLeave();
        EXPECT_TRUE(shown().empty()) << "the drag may still come back";
    }
    mouseButton(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(shown(), once);
    EXPECT_EQ(entries_, 3);
    // A new drag that fails as it enters is shown again, once.
    watcher.clear();
    enter();
    form->dropTarget()->DragLeave();
    EXPECT_EQ(shown(), once);
}

// ---- Data at the edges ----

TEST_F(Drop, AFileDropWithAnsiNames) {
    show();
    const std::wstring name = folder() + L"\\" + wide(GetACP() == 932 ? "リンク.url" : "café.url");
    writeFileW(name, "[InternetShortcut]\r\nURL=https://ansi/\r\n");
    TestDataObject data;
    data.set(CF_HDROP, test::ansiDropFilesBlock(
                           {test::ansiBytes(L"C:\\nowhere\\x.url"), test::ansiBytes(name)}));
    EXPECT_EQ(drag(data).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{"https://ansi/"});
    EXPECT_EQ(data.outstanding(), 0);
}

TEST_F(Drop, MediaOtherThanAReleasedMemoryBlock) {
    show();
    // A stream where memory was asked for: not read, and given back.
    TestDataObject stream;
    stream.set(CF_UNICODETEXT, test::wideBytes(L"https://stream/"), TestDataObject::Medium::Stream);
    EXPECT_EQ(drag(stream).drop, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_GT(stream.handedOut(), 0);
    EXPECT_EQ(stream.outstanding(), 0);
    // A memory block without a releaser: read, and freed by the receiver.
    TestDataObject bare;
    bare.set(L"text/x-moz-url", test::wideBytes(L"https://bare/\ntitle"),
             TestDataObject::Medium::GlobalWithoutReleaser);
    EXPECT_EQ(drag(bare).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{"https://bare/"});
    ASSERT_FALSE(bare.leftToReceiver().empty());
    for (HGLOBAL h : bare.leftToReceiver()) EXPECT_EQ(GlobalSize(h), 0u) << "freed";
}

TEST_F(Drop, RealShortcutFilesAtTheEdges) {
    show();
    const std::string head = "[InternetShortcut]\r\nURL=https://limit/\r\n";
    const std::wstring limit = folder() + L"\\limit.url";
    writeFileW(limit, head + std::string((1 << 20) - head.size(), ' '));
    const std::wstring over = folder() + L"\\over.url";
    writeFileW(over, head + std::string((1 << 20) + 1 - head.size(), ' '));
    const std::wstring dirUrl = folder() + L"\\folder.url";
    ASSERT_TRUE(CreateDirectoryW(dirUrl.c_str(), nullptr));
    TestDataObject data;
    data.set(CF_HDROP, test::dropFilesBlock({over, dirUrl, limit, over}));
    EXPECT_EQ(drag(data).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{"https://limit/"}) << "1 MiB read, one byte more skipped";
    // Only the folder and the oversized file: nothing, and the text after them.
    TestDataObject none;
    none.set(CF_HDROP, test::dropFilesBlock({dirUrl, over}));
    none.set(CF_UNICODETEXT, test::wideBytes(L"https://after/"));
    EXPECT_EQ(drag(none).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), (Names{"https://limit/", "https://after/"}));
}

TEST_F(Drop, ANamedPipeNamedLikeAShortcutIsNotRead) {
    show();
    // A pipe's server that would hand over a shortcut to whoever opens it, and then ends.
    const std::wstring pipe =
        L"\\\\.\\pipe\\klw-drop-" + std::to_wstring(GetCurrentProcessId()) + L".url";
    HANDLE server = CreateNamedPipeW(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 4096,
                                     4096, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::thread serve([server] {
        if (ConnectNamedPipe(server, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED) {
            const std::string url = "[InternetShortcut]\r\nURL=https://pipe/\r\n";
            DWORD n = 0;
            WriteFile(server, url.data(), static_cast<DWORD>(url.size()), &n, nullptr);
            FlushFileBuffers(server);
            DisconnectNamedPipe(server);
        }
    });
    TestDataObject data;
    data.set(CF_HDROP, test::dropFilesBlock({pipe}));
    data.set(CF_UNICODETEXT, test::wideBytes(L"https://text/"));
    EXPECT_EQ(drag(data).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), Names{"https://text/"}) << "the pipe was read as a shortcut";
    // Let the server go, whether or not anything opened the pipe.
    HANDLE client = CreateFileW(pipe.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (client != INVALID_HANDLE_VALUE) CloseHandle(client);
    serve.join();
    CloseHandle(server);
}

TEST_F(Drop, TextLinesWithoutTheBlanksAroundThem) {
    show();
    TestDataObject data;
    data.set(CF_UNICODETEXT,
             test::wideBytes(L"   https://a.example/\t\r\n \t\r\n\u3000https://b.example/\r\n"));
    EXPECT_EQ(drag(data).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries(), (Names{"https://a.example/", "https://b.example/"}));
    TestDataObject link;
    link.set(L"text/x-moz-url", test::wideBytes(L"\u3000https://c.example/\u00A0\ntitle"));
    EXPECT_EQ(drag(link).drop, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(entries().back(), "https://c.example/");
}

}  // namespace
}  // namespace klw
