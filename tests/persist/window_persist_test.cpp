// The main window's create and close handlers with the real registry and file system under
// Wine: position restore and save, the list file load and save, their failures as the user sees
// them, and the save at the end of the session.
#include <gtest/gtest.h>

#include <memory>

#include "app/application.h"
#include "runtime/unicode.h"
#include "stream_bytes.h"
#include "support/gui_test.h"
#include "ui/main_form.h"
#include "win_helpers.h"

namespace klw {
namespace {

using test::pump;
using test::readFile;
using test::writeFile;

const std::string kDat = "korlinkwalker.dat";
const std::string kBak = "korlinkwalker.dat.bak";

// One run of the program inside this process: the application object, then the main window
// (whose construction runs FormCreate), shown as the start-up shows it.
struct ProgramRun {
    Application app;
    TfrmMain form{app};
    ProgramRun() {
        ShowWindow(form.handle(), SW_SHOWNORMAL);
        test::activate(app, form.handle());
    }
    // Posts WM_CLOSE and lets the loop run; true when the close route ended the loop.
    bool close() {
        PostMessageA(form.handle(), WM_CLOSE, 0, 0);
        pump(app, 250);
        return app.terminated();
    }
    std::vector<std::string> entries() {
        std::vector<std::string> out;
        for (int i = 0; i < form.lbxURL->count(); ++i) out.push_back(form.lbxURL->item(i));
        return out;
    }
    // Enabled flags of Go, Add, Up, Down, Delete.
    std::vector<bool> commands() {
        return {form.btnGo->isEnabled(), form.btnAdd->isEnabled(), form.btnUP->isEnabled(),
                form.btnDown->isEnabled(), form.btnDelete->isEnabled()};
    }
    void add(const std::string& address) {
        SetFocus(form.edtTest->handle());
        test::typeText(address);
        test::key(VK_RETURN);
        pump(app, 80);
    }
    RECT rect() {
        RECT r{};
        GetWindowRect(form.handle(), &r);
        return r;
    }
};

std::string imageOf(const std::vector<std::string>& entries) {
    test::TempCurrentDirectory scratch;
    ProgramRun run;
    for (const auto& e : entries) run.form.streamedList().appendEntry(e);
    return test::writeImage(run.form.streamedList());
}

std::vector<std::string> texts(const std::vector<test::SeenDialog>& seen) {
    std::vector<std::string> out;
    for (const auto& d : seen) out.push_back(d.text);
    return out;
}

using Texts = std::vector<std::string>;
const std::vector<bool> kOnlyGo{true, false, false, false, false};
const std::vector<bool> kNone{false, false, false, false, false};

class WindowPersist : public ::testing::Test {
protected:
    void SetUp() override { test::deletePositionKey(); }
    void TearDown() override { test::deletePositionKey(); }

    // Where the system puts the window when nothing is restored.
    static POINT defaultPlace() {
        test::TempCurrentDirectory scratch;
        test::deletePositionKey();
        ProgramRun run;
        const RECT r = run.rect();
        return {r.left, r.top};
    }

    test::TempCurrentDirectory dir;
    test::DialogWatcher watcher;
};

TEST_F(WindowPersist, FirstRunStoresTopAndLeftAsDwordsAtClose) {
    {
        ProgramRun run;
        EXPECT_FALSE(test::positionKeyExists()) << "the restore creates nothing";
        RECT r = run.rect();
        EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
        // The user moves the window, then closes it.
        run.form.setLeft(123);
        run.form.setTop(77);
        ASSERT_TRUE(run.close());
    }
    const auto values = test::regQueryPosition();
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values.at("Top").type, "REG_DWORD");
    EXPECT_EQ(values.at("Top").data, test::dwordText(77));
    EXPECT_EQ(values.at("Left").type, "REG_DWORD");
    EXPECT_EQ(values.at("Left").data, test::dwordText(123));
    EXPECT_TRUE(watcher.seen().empty());

    ProgramRun next;
    EXPECT_EQ(next.form.left(), 123);
    EXPECT_EQ(next.form.top(), 77);
}

TEST_F(WindowPersist, NegativePositionsAreTwosComplementAndRestoredWhenVisible) {
    {
        ProgramRun run;
        run.form.setLeft(-100);
        run.form.setTop(40);
        ASSERT_TRUE(run.close());
    }
    const auto values = test::regQueryPosition();
    EXPECT_EQ(values.at("Left").data, "0xffffff9c");
    EXPECT_EQ(values.at("Top").data, "0x28");
    ProgramRun next;
    EXPECT_EQ(next.form.left(), -100) << "partly visible: exactly where it was stored";
    EXPECT_EQ(next.form.top(), 40);
}

// -1200 with the window's width lies left of the only screen: stored and read back exactly, then
// moved by the least distance into the nearest work area.
TEST_F(WindowPersist, APositionOnNoMonitorIsBroughtIntoView) {
    int width = 0, height = 0;
    {
        ProgramRun run;
        run.form.setLeft(-1200);
        run.form.setTop(40);
        RECT r = run.rect();
        width = r.right - r.left;
        height = r.bottom - r.top;
        ASSERT_EQ(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr) << "premise: off-screen";
        ASSERT_TRUE(run.close());
    }
    const auto values = test::regQueryPosition();
    EXPECT_EQ(values.at("Left").data, "0xfffffb50");
    EXPECT_EQ(values.at("Top").data, "0x28");

    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT stored{-1200, 40, -1200 + width, 40 + height};
    GetMonitorInfoA(MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &info);
    {
        ProgramRun next;
        EXPECT_EQ(next.form.left(), info.rcWork.left);
        EXPECT_EQ(next.form.top(), 40);
        RECT r = next.rect();
        EXPECT_NE(MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
        EXPECT_EQ(r.right - r.left, width) << "the size is kept";
    }
    // Below the screen: the top comes up to the work area's bottom, the left stays.
    test::setPositionDword("Top", 5000);
    test::setPositionDword("Left", 100);
    {
        ProgramRun below;
        EXPECT_EQ(below.form.left(), 100);
        EXPECT_EQ(below.form.top(), info.rcWork.bottom - height);
    }
    // Right of every monitor: the whole window comes back into the work area, its right edge at
    // the work area's, its top where it was.
    RECT right{5000, 100, 5000 + width, 100 + height};
    ASSERT_EQ(MonitorFromRect(&right, MONITOR_DEFAULTTONULL), nullptr) << "premise: off-screen";
    GetMonitorInfoA(MonitorFromRect(&right, MONITOR_DEFAULTTONEAREST), &info);
    test::setPositionDword("Top", 100);
    test::setPositionDword("Left", 5000);
    ProgramRun fromRight;
    const RECT r = fromRight.rect();
    EXPECT_EQ(r.right, info.rcWork.right);
    EXPECT_EQ(r.left, info.rcWork.right - width);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.bottom - r.top, height);
    EXPECT_TRUE(r.left >= info.rcWork.left && r.top >= info.rcWork.top &&
                r.right <= info.rcWork.right && r.bottom <= info.rcWork.bottom)
        << "wholly inside the work area";
}

TEST_F(WindowPersist, BadValuesRestoreWhatTheyCan) {
    const POINT place = defaultPlace();
    struct Case {
        const char* what;
        std::function<void()> store;
        POINT expected;
    };
    const Case cases[] = {
        {"empty key", [] { test::setPositionValue("Other", REG_SZ, "x", 2); }, place},
        {"Top as REG_SZ \"100\"",
         [] {
             test::setPositionValue("Top", REG_SZ, "100", 4);
             test::setPositionDword("Left", 50);
         },
         place},
        {"Top longer than 4 bytes",
         [] {
             test::setPositionValue("Top", REG_BINARY, "12345678", 8);
             test::setPositionDword("Left", 50);
         },
         place},
        {"only Top", [] { test::setPositionDword("Top", 200); }, {place.x, 200}},
        {"good Top, Left as REG_SZ",
         [] {
             test::setPositionDword("Top", 210);
             test::setPositionValue("Left", REG_SZ, "50", 3);
         },
         {place.x, 210}},
        {"good Top, Left as REG_BINARY",
         [] {
             test::setPositionDword("Top", 220);
             test::setPositionValue("Left", REG_BINARY, "\x32\0\0\0", 4);
         },
         {place.x, 220}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::deletePositionKey();
        c.store();
        ProgramRun run;
        EXPECT_EQ(run.form.left(), c.expected.x);
        EXPECT_EQ(run.form.top(), c.expected.y);
    }
    EXPECT_TRUE(watcher.seen().empty()) << "restore failures never reach the user";
}

// A key that cannot be created (here: a persistent key below a volatile parent) is skipped
// silently at close; the list is still saved and the close completes.
TEST_F(WindowPersist, APositionKeyThatCannotBeCreatedIsSkippedSilently) {
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\KORVANE");
    HKEY parent = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\KORVANE", 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &parent, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(parent);
    {
        ProgramRun run;
        run.add("http://still/saved/");
        EXPECT_TRUE(run.close());
    }
    EXPECT_FALSE(test::positionKeyExists());
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(readFile(kDat), imageOf({"http://still/saved/"}));
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\KORVANE");
}

TEST_F(WindowPersist, TheListIsSavedAtCloseAndLoadedAtTheNextStart) {
    {
        ProgramRun run;
        EXPECT_EQ(run.entries().size(), 0u);
        EXPECT_EQ(run.commands(), kNone);
        run.add("http://example.com/a");
        run.add("http://example.org/b");
        ASSERT_EQ(run.entries().size(), 2u);
        ASSERT_TRUE(run.close());
    }
    EXPECT_EQ(readFile(kDat), imageOf({"http://example.com/a", "http://example.org/b"}));
    EXPECT_EQ(test::folderNames(), std::set<std::string>{kDat});
    {
        ProgramRun next;
        EXPECT_EQ(next.entries(), (Texts{"http://example.com/a", "http://example.org/b"}));
        EXPECT_EQ(next.form.lbxURL->itemIndex(), 0);
        EXPECT_EQ(next.commands(), kOnlyGo);
        // Closing without any change still rewrites the file.
        DeleteFileA(kDat.c_str());
        ASSERT_TRUE(next.close());
    }
    EXPECT_EQ(readFile(kDat), imageOf({"http://example.com/a", "http://example.org/b"}));
    {
        // A list emptied by deleting every entry is saved empty.
        ProgramRun third;
        for (int i = 0; i < 2; ++i) {
            third.form.lbxURL->setItemIndex(0);
            third.form.btnDeleteClick(*third.form.btnDelete);
        }
        ASSERT_EQ(third.entries().size(), 0u);
        ASSERT_TRUE(third.close());
    }
    EXPECT_EQ(readFile(kDat).size(), 93u);
    ProgramRun fourth;
    EXPECT_EQ(fourth.entries().size(), 0u);
    EXPECT_EQ(fourth.commands(), kNone);
    EXPECT_TRUE(watcher.seen().empty());
}

TEST_F(WindowPersist, TheCurrentDirectoryDecidesWhichFileIsUsed) {
    const std::string image = imageOf({"http://here/"});
    writeFile(kDat, image);
    const std::string first = dir.path();
    test::TempCurrentDirectory other;
    {
        ProgramRun run;
        EXPECT_EQ(run.entries().size(), 0u) << "the file of the first folder is not used";
        run.add("http://there/");
        ASSERT_TRUE(run.close());
    }
    EXPECT_EQ(readFile(kDat), imageOf({"http://there/"}));
    EXPECT_EQ(readFile(first + "\\" + kDat), image);
    SetCurrentDirectoryA(first.c_str());
    {
        ProgramRun back;
        EXPECT_EQ(back.entries(), Texts{"http://here/"});
    }
    SetCurrentDirectoryA(other.path().c_str());
}

TEST_F(WindowPersist, AFileLockedAtStartAndAtClose) {
    const std::string old = imageOf({"http://locked/"});
    writeFile(kDat, old);
    auto lock = std::make_unique<test::FileLock>(kDat);
    ASSERT_TRUE(lock->held());
    ProgramRun run;
    EXPECT_EQ(texts(watcher.seen()),
              Texts{std::string("ファイル korlinkwalker.dat は開けません.")});
    EXPECT_EQ(run.entries().size(), 0u);
    EXPECT_EQ(run.form.lbxURL->itemIndex(), -1);
    EXPECT_EQ(run.commands(), kNone);
    watcher.clear();

    run.add("http://typed/");
    EXPECT_FALSE(run.close());
    EXPECT_EQ(texts(watcher.seen()),
              Texts{std::string("ファイル korlinkwalker.dat を作成できません.")});
    EXPECT_TRUE(IsWindowVisible(run.form.handle()));
    EXPECT_TRUE(test::positionKeyExists()) << "the position was saved before the list";
    lock.reset();
    EXPECT_EQ(readFile(kDat), old);
    EXPECT_EQ(test::folderNames(), std::set<std::string>{kDat});
    watcher.clear();

    // Each close runs the whole handler again; now it completes and keeps the old file.
    EXPECT_TRUE(run.close());
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(readFile(kDat), imageOf({"http://typed/"}));
    EXPECT_EQ(readFile(kBak), old);
}

TEST_F(WindowPersist, AReadOnlyFileOrAFolderAtClose) {
    const std::string old = imageOf({"http://old/"});
    writeFile(kDat, old);
    SetFileAttributesA(kDat.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        ProgramRun run;
        EXPECT_EQ(run.entries(), Texts{"http://old/"}) << "read-only still loads";
        run.add("http://new/");
        EXPECT_FALSE(run.close());
        EXPECT_EQ(texts(watcher.seen()),
                  Texts{std::string("ファイル korlinkwalker.dat を作成できません.")});
        EXPECT_TRUE(IsWindowVisible(run.form.handle()));
        EXPECT_EQ(readFile(kDat), old);
        SetFileAttributesA(kDat.c_str(), FILE_ATTRIBUTE_NORMAL);
        watcher.clear();
        EXPECT_TRUE(run.close());
        EXPECT_TRUE(watcher.seen().empty());
    }
    EXPECT_EQ(readFile(kDat), imageOf({"http://old/", "http://new/"}));
    EXPECT_EQ(test::folderNames(), std::set<std::string>{kDat}) << "no backup after a good load";

    DeleteFileA(kDat.c_str());
    CreateDirectoryA(kDat.c_str(), nullptr);
    ProgramRun run;
    EXPECT_TRUE(watcher.seen().empty()) << "a folder counts as no file at start";
    EXPECT_EQ(run.commands(), kNone);
    EXPECT_FALSE(run.close());
    EXPECT_EQ(texts(watcher.seen()),
              Texts{std::string("ファイル korlinkwalker.dat を作成できません.")});
    RemoveDirectoryA(kDat.c_str());
    EXPECT_TRUE(run.close());
    EXPECT_EQ(readFile(kDat), imageOf({}));
}

TEST_F(WindowPersist, AWriteFailureAtCloseKeepsTheOldFileAndTheWindow) {
    const std::string old = imageOf({"http://old/"});
    writeFile(kDat, old);
    ProgramRun run;
    run.add("http://new/");
    run.form.listFile().setWriteFilter(
        [](Stream& s) { return std::make_unique<test::WriteLimit>(s, 50); });
    EXPECT_FALSE(run.close());
    EXPECT_EQ(texts(watcher.seen()), Texts{std::string("ストリームへの書き込みエラー.")});
    EXPECT_TRUE(IsWindowVisible(run.form.handle()));
    EXPECT_EQ(readFile(kDat), old);
    EXPECT_EQ(test::folderNames(), std::set<std::string>{kDat});
    run.form.listFile().setWriteFilter(nullptr);
    EXPECT_TRUE(run.close());
    EXPECT_EQ(readFile(kDat), imageOf({"http://old/", "http://new/"}));
}

TEST_F(WindowPersist, AnUnreadableFileIsReportedAndKeptAsBackup) {
    const std::string unreadable = "TPF0 this is not a list control";
    writeFile(kDat, unreadable);
    ProgramRun run;
    ASSERT_EQ(watcher.seen().size(), 1u);
    EXPECT_NE(watcher.seen()[0].text, "");
    EXPECT_EQ(run.commands(), kNone);
    EXPECT_EQ(run.form.lbxURL->itemIndex(), -1);
    test::FileLock probe(kDat);
    EXPECT_TRUE(probe.held()) << "the file is no longer held open";
    probe.release();
    watcher.clear();
    run.add("http://after/");
    EXPECT_TRUE(run.close());
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(readFile(kBak), unreadable);
    EXPECT_EQ(readFile(kDat), imageOf({"http://after/"}));
}

// ---- Saves after changes ----

FILETIME lastWrite(const std::string& name) {
    WIN32_FILE_ATTRIBUTE_DATA d{};
    GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &d);
    return d.ftLastWriteTime;
}
bool operator==(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

// Runs the loop for `ms`, however busy it is (a blinking caret never lets it fall quiet).
void runFor(ProgramRun& run, int ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(ms)) pump(run.app, 20);
}

// Runs the loop until no save after a change waits or runs, for at most `ms`.
void settle(ProgramRun& run, int ms = 4000) {
    const DWORD start = GetTickCount();
    do {
        pump(run.app, 20);
    } while ((run.form.saveSchedule().pending() || run.form.saveSchedule().running()) &&
             GetTickCount() - start < static_cast<DWORD>(ms));
}

TEST_F(WindowPersist, ChangesReachTheFileASecondAfterTheLastOne) {
    const std::string three = imageOf({"http://a/", "http://b/", "http://c/"});
    writeFile(kDat, three);
    ProgramRun run;
    const FILETIME loaded = lastWrite(kDat);
    // Moving the selection, typing into the field and Go change nothing on disk.
    run.form.lbxURL->setItemIndex(2);
    run.form.lbxURLClick(*run.form.lbxURL);
    SetFocus(run.form.edtTest->handle());
    test::typeText("typed");
    runFor(run, 1300);
    EXPECT_EQ(readFile(kDat), three);
    EXPECT_TRUE(lastWrite(kDat) == loaded);
    EXPECT_FALSE(run.form.saveSchedule().pending());

    SendMessageW(run.form.edtTest->handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    run.add("http://d/");
    run.form.btnUPClick(*run.form.btnUP);
    runFor(run, 400);
    EXPECT_EQ(readFile(kDat), three) << "saved before the burst had a quiet second";
    settle(run);
    EXPECT_EQ(readFile(kDat), imageOf({"http://a/", "http://b/", "http://d/", "http://c/"}));
    EXPECT_EQ(test::folderNames(), std::set<std::string>{kDat});
    // A delete is a change too.
    run.form.btnDeleteClick(*run.form.btnDelete);
    settle(run);
    EXPECT_EQ(readFile(kDat), imageOf({"http://a/", "http://b/", "http://c/"}));
    EXPECT_TRUE(watcher.seen().empty());
    // The close still writes the list as it stands.
    DeleteFileA(kDat.c_str());
    EXPECT_TRUE(run.close());
    EXPECT_EQ(readFile(kDat), imageOf({"http://a/", "http://b/", "http://c/"}));
}

TEST_F(WindowPersist, AFailedSaveAfterAChangeIsToldOnceUntilOneSucceeds) {
    const std::string old = imageOf({"http://old/"});
    writeFile(kDat, old);
    ProgramRun run;
    run.form.listFile().setWriteFilter(
        [](Stream& s) { return std::make_unique<test::WriteLimit>(s, 50); });
    run.add("http://one/");
    settle(run);
    runFor(run, 300);
    EXPECT_EQ(texts(watcher.seen()), Texts{std::string("ストリームへの書き込みエラー.")});
    EXPECT_EQ(readFile(kDat), old);
    EXPECT_EQ(test::folderNames(), std::set<std::string>{kDat});
    // The next change tries again, and fails silently.
    run.add("http://two/");
    settle(run);
    runFor(run, 300);
    EXPECT_EQ(watcher.seen().size(), 1u);
    EXPECT_EQ(readFile(kDat), old);
    // Once one succeeds, a later failure is told again.
    run.form.listFile().setWriteFilter(nullptr);
    run.add("http://three/");
    settle(run);
    EXPECT_EQ(readFile(kDat),
              imageOf({"http://old/", "http://one/", "http://two/", "http://three/"}));
    run.form.listFile().setWriteFilter(
        [](Stream& s) { return std::make_unique<test::WriteLimit>(s, 50); });
    run.form.btnDeleteClick(*run.form.btnDelete);
    settle(run);
    runFor(run, 300);
    EXPECT_EQ(watcher.seen().size(), 2u);
    EXPECT_EQ(readFile(kDat),
              imageOf({"http://old/", "http://one/", "http://two/", "http://three/"}));
    run.form.listFile().setWriteFilter(nullptr);
}

// What is carried out after the close's save (a drop or a paste queued behind a question) is
// saved before the process ends; with nothing changed since, the end writes nothing.
TEST_F(WindowPersist, AChangeAfterTheClosesSaveIsSavedBeforeTheEnd) {
    writeFile(kDat, imageOf({"http://old/"}));
    ProgramRun run;
    ASSERT_TRUE(run.close());
    const FILETIME closed = lastWrite(kDat);
    run.form.saveBeforeEnd();
    EXPECT_TRUE(lastWrite(kDat) == closed) << "nothing changed after the close";
    run.form.edtTest->setText("http://after-the-close/");
    run.form.btnAddClick(*run.form.btnAdd);
    run.form.saveBeforeEnd();
    EXPECT_EQ(readFile(kDat), imageOf({"http://old/", "http://after-the-close/"}));
    EXPECT_TRUE(watcher.seen().empty());
}

TEST_F(WindowPersist, TheFirstSaveAfterAFailedLoadKeepsTheBackup) {
    const std::string unreadable = "TPF0 this is not a list control";
    writeFile(kDat, unreadable);
    ProgramRun run;
    ASSERT_EQ(watcher.seen().size(), 1u);
    watcher.clear();
    run.add("http://after/");
    settle(run);
    EXPECT_EQ(readFile(kBak), unreadable);
    EXPECT_EQ(readFile(kDat), imageOf({"http://after/"}));
    // Only the first save: the next one keeps the backup as it is.
    run.add("http://later/");
    settle(run);
    EXPECT_EQ(readFile(kBak), unreadable);
    EXPECT_EQ(readFile(kDat), imageOf({"http://after/", "http://later/"}));
    EXPECT_TRUE(watcher.seen().empty());
}

TEST_F(WindowPersist, ThePlaceIsKeptOnceTheUserHasFinishedMovingTheWindow) {
    ProgramRun run;
    runFor(run, 700);
    // Shown where the system put it: nothing is written until the window moves.
    EXPECT_FALSE(test::positionKeyExists());
    // A move in the system's move loop counts at its end.
    SendMessageW(run.form.handle(), WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(run.form.handle(), nullptr, 150, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pump(run.app, 50);
    EXPECT_FALSE(test::positionKeyExists()) << "kept while the move goes on";
    SendMessageW(run.form.handle(), WM_EXITSIZEMOVE, 0, 0);
    auto values = test::regQueryPosition();
    EXPECT_EQ(values["Top"].data, test::dwordText(90));
    EXPECT_EQ(values["Left"].data, test::dwordText(150));
    // A move that no loop frames (a window manager's) counts once the window stands still.
    SetWindowPos(run.form.handle(), nullptr, 210, 130, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    runFor(run, 200);
    SetWindowPos(run.form.handle(), nullptr, 220, 140, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    runFor(run, 200);
    values = test::regQueryPosition();
    EXPECT_EQ(values["Left"].data, test::dwordText(150)) << "kept before the window stood still";
    runFor(run, 600);
    values = test::regQueryPosition();
    EXPECT_EQ(values["Top"].data, test::dwordText(140));
    EXPECT_EQ(values["Left"].data, test::dwordText(220));
    // Minimized with the program, the window's place is not one to keep.
    test::deletePositionKey();
    run.app.minimize();
    runFor(run, 700);
    EXPECT_FALSE(test::positionKeyExists());
    run.app.restore();
    EXPECT_TRUE(run.close());
    values = test::regQueryPosition();
    EXPECT_EQ(values["Left"].data, test::dwordText(220));
}

TEST_F(WindowPersist, TheListKeepsItsEntriesBesideThePlatformsList) {
    ProgramRun run;
    auto platform = [&] {
        std::vector<std::u16string> out;
        const HWND list = run.form.lbxURL->handle();
        const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            std::u16string text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)),
                                u'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
            out.push_back(text);
        }
        return out;
    };
    for (const char* e : {"http://a/", "Café 🍣", "\xED\xA0\xBC", "", "http://e/"})
        run.form.streamedList().appendEntry(e);
    // A zero character ends what the platform's list keeps.
    run.form.lbxURL->append(std::string("cut\0here", 8));
    EXPECT_EQ(run.form.lbxURL->entries(), platform());
    run.form.lbxURL->setItemIndex(1);
    run.form.btnDownClick(*run.form.btnDown);
    run.form.btnUPClick(*run.form.btnUP);
    run.form.btnUPClick(*run.form.btnUP);
    run.form.btnDeleteClick(*run.form.btnDelete);
    EXPECT_EQ(run.form.lbxURL->entries(), platform());
    run.form.lbxURL->setItemHeight(20);
    EXPECT_EQ(run.form.lbxURL->entries(), platform());
    EXPECT_EQ(run.form.lbxURL->item(4), "cut");
    EXPECT_EQ(run.form.lbxURL->entries().size(), 5u);
    run.form.streamedList().clearEntries();
    EXPECT_EQ(run.form.lbxURL->entries(), platform());
    EXPECT_EQ(run.form.lbxURL->count(), 0);
    settle(run);
}

// At log-off the system asks every top-level window, then tells them the session ends.
void endSession(ProgramRun& run, BOOL ending) {
    for (HWND w : {run.form.handle(), run.app.handle()})
        EXPECT_TRUE(SendMessageA(w, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    for (HWND w : {run.form.handle(), run.app.handle()})
        SendMessageA(w, WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
    pump(run.app, 100);
}

TEST_F(WindowPersist, TheEndOfTheSessionSavesPositionAndListSilently) {
    {
        ProgramRun run;
        run.add("http://kept/");
        run.form.setLeft(150);
        run.form.setTop(60);
        endSession(run, FALSE);
        EXPECT_FALSE(listFileExists(kDat)) << "a cancelled ending saves nothing";
        EXPECT_FALSE(test::positionKeyExists());
        EXPECT_FALSE(run.app.terminated());
        endSession(run, TRUE);
        EXPECT_TRUE(run.app.terminated());
        EXPECT_EQ(readFile(kDat), imageOf({"http://kept/"}));
        const auto values = test::regQueryPosition();
        EXPECT_EQ(values.at("Left").data, test::dwordText(150));
        EXPECT_EQ(values.at("Top").data, test::dwordText(60));
    }
    EXPECT_TRUE(watcher.seen().empty());

    // A save that fails at the end of the session shows nothing and harms nothing.
    const std::string old = readFile(kDat);
    ProgramRun run;
    run.add("http://lost/");
    test::FileLock lock(kDat);
    endSession(run, TRUE);
    EXPECT_TRUE(run.app.terminated());
    lock.release();
    EXPECT_EQ(readFile(kDat), old);
    EXPECT_EQ(test::folderNames(), std::set<std::string>{kDat});
    EXPECT_TRUE(watcher.seen().empty());
}

// The system may tell the application window first; the loop can end before the main window
// hears of it, and the list must be kept all the same, once.
TEST_F(WindowPersist, TheEndOfTheSessionToldToTheApplicationWindowAloneSaves) {
    ProgramRun run;
    run.add("http://first/");
    EXPECT_TRUE(SendMessageA(run.app.handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageA(run.app.handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_TRUE(run.app.terminated());
    EXPECT_EQ(readFile(kDat), imageOf({"http://first/"}));
    // Told again through the main window, nothing is written a second time.
    run.add("http://second/");
    SendMessageA(run.form.handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(readFile(kDat), imageOf({"http://first/"}));
    EXPECT_TRUE(watcher.seen().empty());
}

}  // namespace
}  // namespace klw
