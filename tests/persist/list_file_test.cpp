// The list file on Wine's real file system: TFileStream, the existence test, the load, and the
// safe save with every way it can fail.
#include "persist/list_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "persist/file_stream.h"
#include "persist/memory_list_control.h"
#include "runtime/exceptions.h"
#include "runtime/unicode.h"
#include "stream_bytes.h"
#include "support/gui_test.h"
#include "win_helpers.h"

namespace klw {
namespace {

using test::folderNames;
using test::readFile;
using test::writeFile;
using Names = std::set<std::string>;

const std::string kDat = "korlinkwalker.dat";
const std::string kBak = "korlinkwalker.dat.bak";

std::string createMessage() { return std::string("ファイル korlinkwalker.dat を作成できません"); }
std::string openMessage() { return std::string("ファイル korlinkwalker.dat は開けません"); }
std::string writeMessage() { return std::string("ストリームへの書き込みエラー"); }

MemoryListControl listOf(const std::vector<std::string>& entries) {
    MemoryListControl list;
    list.setEntries(entries);
    return list;
}

// Runs `step` and returns the message of the stream error it raises, or "<no error>".
template <class Step>
std::string streamError(Step step) {
    try {
        step();
    } catch (const EStreamError& e) {
        return e.message();
    }
    return "<no error>";
}

class ListFileTest : public ::testing::Test {
protected:
    test::TempCurrentDirectory dir;
};

TEST_F(ListFileTest, FileStreamOpensUnsharedReadsWritesAndSeeks) {
    {
        TFileStream out(kDat, TFileStream::fmCreate);
        EXPECT_EQ(out.write("abcdef", 6), 6u);
        // Nobody else can open it meanwhile.
        EXPECT_EQ(CreateFileA(kDat.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(out.seek(2, SeekOrigin::Begin), 2);
        char two[2] = {};
        EXPECT_EQ(out.read(two, 2), 2u);
        EXPECT_EQ(std::string(two, 2), "cd");
        EXPECT_EQ(out.seek(0, SeekOrigin::End), 6);
        EXPECT_TRUE(out.flushToDisk());
    }
    EXPECT_EQ(readFile(kDat), "abcdef") << "released: closed and complete";
    {
        TFileStream in(kDat, TFileStream::fmOpenRead);
        EXPECT_EQ(CreateFileA(kDat.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr),
                  INVALID_HANDLE_VALUE);
        char buf[16] = {};
        EXPECT_EQ(in.read(buf, sizeof buf), 6u);
        EXPECT_EQ(in.read(buf, sizeof buf), 0u) << "at the end";
        EXPECT_EQ(in.write("x", 1), 0u) << "opened for reading only";
        EXPECT_EQ(in.position(), 6);
    }
    // Creating again cuts the file to nothing.
    { TFileStream again(kDat, TFileStream::fmCreate); }
    EXPECT_EQ(readFile(kDat), "");
}

TEST_F(ListFileTest, FileStreamErrorsNameTheFileAsGiven) {
    EXPECT_EQ(streamError([] { TFileStream s(kDat, TFileStream::fmOpenRead); }), openMessage());
    CreateDirectoryA("sub", nullptr);
    EXPECT_EQ(streamError([] { TFileStream s("sub", TFileStream::fmCreate); }),
              std::string("ファイル sub を作成できません"));
    writeFile(kDat, "x");
    test::FileLock lock(kDat);
    ASSERT_TRUE(lock.held());
    EXPECT_EQ(streamError([] { TFileStream s(kDat, TFileStream::fmOpenRead); }), openMessage());
    EXPECT_EQ(streamError([] { TFileStream s(kDat, TFileStream::fmCreate); }), createMessage());
}

TEST_F(ListFileTest, AFolderOfThatNameCountsAsAbsent) {
    EXPECT_FALSE(listFileExists(kDat));
    CreateDirectoryA(kDat.c_str(), nullptr);
    EXPECT_FALSE(listFileExists(kDat));
    ListFile file;
    MemoryListControl list = listOf({"kept"});
    EXPECT_FALSE(file.load(list));
    EXPECT_EQ(list.entries(), std::vector<std::string>{"kept"});
    EXPECT_FALSE(file.loadFailed());
    RemoveDirectoryA(kDat.c_str());
    writeFile(kDat, "");
    EXPECT_TRUE(listFileExists(kDat));
}

TEST_F(ListFileTest, SaveWritesTheImageAndLeavesNothingElse) {
    ListFile file;
    const MemoryListControl list = listOf({"abc", "de"});
    file.save(list);
    EXPECT_EQ(readFile(kDat), test::writeImage(list));
    EXPECT_EQ(readFile(kDat).size(), 118u);
    EXPECT_EQ(folderNames(), Names{kDat});

    // An existing file is replaced; an empty list is saved too.
    const MemoryListControl empty;
    file.save(empty);
    EXPECT_EQ(readFile(kDat), test::writeImage(empty));
    EXPECT_EQ(readFile(kDat).size(), 93u);
    EXPECT_EQ(folderNames(), Names{kDat});

    // What was saved loads back.
    MemoryListControl back = listOf({"stale"});
    file.save(list);
    ASSERT_TRUE(file.load(back));
    EXPECT_EQ(back.entries(), (std::vector<std::string>{"abc", "de"}));
}

TEST_F(ListFileTest, JapaneseEntriesGoThroughTheFileUnchanged) {
    const std::vector<std::string> entries = {std::string("http://例え.jp/ページ"),
                                              std::string("ｶﾀｶﾅ"), "plain"};
    ListFile file;
    file.save(listOf(entries));
    const std::string bytes = readFile(kDat);
    EXPECT_EQ(bytes, test::writeImage(listOf(entries)));
    EXPECT_NE(bytes.find("\xE3\x83\x9A\xE3\x83\xBC\xE3\x82\xB8"), std::string::npos)
        << "stored as UTF-8";
    MemoryListControl back;
    ASSERT_TRUE(file.load(back));
    EXPECT_EQ(back.entries(), entries);
}

TEST_F(ListFileTest, TheCurrentDirectoryDecidesWhichFileIsUsed) {
    ListFile file;
    file.save(listOf({"in the first folder"}));
    const std::string first = dir.path();
    {
        test::TempCurrentDirectory second;
        MemoryListControl list;
        EXPECT_FALSE(file.load(list)) << "no file in the second folder";
        file.save(listOf({"in the second folder"}));
        SetCurrentDirectoryA(first.c_str());
        ASSERT_TRUE(file.load(list));
        EXPECT_EQ(list.entries(), std::vector<std::string>{"in the first folder"});
        SetCurrentDirectoryA(second.path().c_str());
        ASSERT_TRUE(file.load(list));
        EXPECT_EQ(list.entries(), std::vector<std::string>{"in the second folder"});
    }
}

// Each way in which the file cannot be replaced: the create message, the old bytes untouched,
// no temporary file left; once the obstacle is gone the same object saves.
TEST_F(ListFileTest, AFileThatCannotBeReplacedStaysAsItWas) {
    const std::string old = test::writeImage(listOf({"old entry"}));
    const MemoryListControl list = listOf({"new entry"});
    struct Case {
        const char* what;
        std::function<void()> block;
        std::function<void()> unblock;
    };
    std::unique_ptr<test::FileLock> lock;
    HANDLE sharedHandle = INVALID_HANDLE_VALUE;
    const Case cases[] = {
        {"read-only file", [] { SetFileAttributesA(kDat.c_str(), FILE_ATTRIBUTE_READONLY); },
         [] { SetFileAttributesA(kDat.c_str(), FILE_ATTRIBUTE_NORMAL); }},
        {"held open without sharing by another handle",
         [&] { lock = std::make_unique<test::FileLock>(kDat); }, [&] { lock.reset(); }},
        {"held open for reading with sharing for reading",
         [&] {
             lock.reset();
             HANDLE h = CreateFileA(kDat.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
             ASSERT_NE(h, INVALID_HANDLE_VALUE);
             sharedHandle = h;
         },
         [&] { CloseHandle(sharedHandle); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(kDat, old);
        ListFile file;
        MemoryListControl seen;
        ASSERT_TRUE(file.load(seen));
        c.block();
        EXPECT_EQ(streamError([&] { file.save(list); }), createMessage());
        EXPECT_EQ(streamError([&] { file.save(list); }), createMessage()) << "every attempt";
        c.unblock();
        EXPECT_EQ(readFile(kDat), old);
        EXPECT_EQ(folderNames(), Names{kDat});
        file.save(list);
        EXPECT_EQ(readFile(kDat), test::writeImage(list));
        EXPECT_EQ(folderNames(), Names{kDat});
    }
}

TEST_F(ListFileTest, AFolderNamedLikeTheFileBlocksTheSave) {
    CreateDirectoryA(kDat.c_str(), nullptr);
    writeFile(kDat + "\\inside", "x");
    ListFile file;
    EXPECT_EQ(streamError([&] { file.save(listOf({"a"})); }), createMessage());
    EXPECT_EQ(GetFileAttributesA(kDat.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(readFile(kDat + "\\inside"), "x");
    EXPECT_EQ(folderNames(), Names{kDat});
}

// A write refused at any offset of the image: the write message, the old file byte-identical,
// the temporary file gone. The image spans several 4096-byte buffers.
TEST_F(ListFileTest, AWriteFailureAtAnyOffsetKeepsTheOldFile) {
    std::vector<std::string> entries;
    for (int i = 0; i < 600; ++i) entries.push_back("http://example.com/page/" + std::to_string(i));
    const MemoryListControl list = listOf(entries);
    const std::string image = test::writeImage(list);
    ASSERT_GT(image.size(), 3 * 4096u);
    const std::string old = test::writeImage(listOf({"old", "entries"}));

    std::vector<std::size_t> offsets;
    for (std::size_t o = 0; o < 130; ++o) offsets.push_back(o);
    for (std::size_t o = 130; o < image.size(); o += 97) offsets.push_back(o);
    for (std::size_t b = 4096; b < image.size(); b += 4096)
        for (std::size_t o : {b - 1, b, b + 1}) offsets.push_back(o);
    offsets.push_back(image.size() - 1);

    writeFile(kDat, old);
    ListFile file;
    MemoryListControl seen;
    ASSERT_TRUE(file.load(seen));
    for (const std::size_t offset : offsets) {
        SCOPED_TRACE(offset);
        file.setWriteFilter(
            [offset](Stream& s) { return std::make_unique<test::WriteLimit>(s, offset); });
        ASSERT_EQ(streamError([&] { file.save(list); }), writeMessage());
        ASSERT_EQ(readFile(kDat), old);
        ASSERT_EQ(folderNames(), Names{kDat});
    }
    // With the whole image allowed the same save goes through.
    file.setWriteFilter(
        [&](Stream& s) { return std::make_unique<test::WriteLimit>(s, image.size()); });
    file.save(list);
    EXPECT_EQ(readFile(kDat), image);
    EXPECT_EQ(folderNames(), Names{kDat});
}

TEST_F(ListFileTest, AWriteFailureOnTheFirstSaveLeavesNoFile) {
    ListFile file;
    file.setWriteFilter([](Stream& s) { return std::make_unique<test::WriteLimit>(s, 10); });
    EXPECT_EQ(streamError([&] { file.save(listOf({"a"})); }), writeMessage());
    EXPECT_EQ(folderNames(), Names{});
}

TEST_F(ListFileTest, LoadReadsTheEntriesAndClosesTheFile) {
    writeFile(kDat, test::writeImage(listOf({"one", "two", "three"})));
    ListFile file;
    MemoryListControl list;
    ASSERT_TRUE(file.load(list));
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_FALSE(file.loadFailed());
    test::FileLock lock(kDat);
    EXPECT_TRUE(lock.held()) << "the file is no longer held";
}

TEST_F(ListFileTest, UnreadableContentIsReportedAndTheFileClosed) {
    // The reader's own message for a bad signature, and entries read before a failure stay.
    writeFile(kDat, "TPX0garbage");
    ListFile file;
    MemoryListControl list;
    try {
        file.load(list);
        FAIL() << "a bad signature was read";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.message(), std::string("不正なイメージ リスト"));
    }
    EXPECT_TRUE(file.loadFailed());
    test::FileLock lock(kDat);
    EXPECT_TRUE(lock.held()) << "closed after the failure";
}

// The file that could not be loaded is kept as korlinkwalker.dat.bak by the first completed
// save of the run, replacing an older backup; later saves leave the backup alone.
TEST_F(ListFileTest, AFileThatFailedToLoadIsKeptAsBackup) {
    // Cut off after the entries: they are read, then the reader fails.
    std::string unreadable = test::writeImage(listOf({"precious", "entries"}));
    unreadable.resize(unreadable.size() - 4);
    writeFile(kDat, unreadable);
    writeFile(kBak, "an older backup");
    ListFile file;
    MemoryListControl list;
    EXPECT_THROW(file.load(list), EReadError);
    EXPECT_TRUE(file.loadFailed());
    // The list holds what was read before the failure.
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"precious", "entries"}));

    list.setEntries({"partial"});
    file.save(list);
    EXPECT_EQ(readFile(kBak), unreadable);
    EXPECT_EQ(readFile(kDat), test::writeImage(list));
    EXPECT_EQ(folderNames(), (Names{kDat, kBak}));
    EXPECT_FALSE(file.loadFailed());

    file.save(listOf({"later"}));
    EXPECT_EQ(readFile(kBak), unreadable) << "only the first completed save keeps a backup";
}

TEST_F(ListFileTest, AFileLockedAtStartIsKeptAsBackupOnceItCanBeReplaced) {
    const std::string locked = test::writeImage(listOf({"locked away"}));
    writeFile(kDat, locked);
    ListFile file;
    MemoryListControl list;
    auto lock = std::make_unique<test::FileLock>(kDat);
    EXPECT_EQ(streamError([&] { file.load(list); }), openMessage());
    EXPECT_TRUE(file.loadFailed());
    EXPECT_EQ(list.count(), 0);

    list.setEntries({"typed meanwhile"});
    EXPECT_EQ(streamError([&] { file.save(list); }), createMessage()) << "still locked";
    EXPECT_TRUE(file.loadFailed()) << "a failed save keeps the backup due";
    lock.reset();
    EXPECT_EQ(readFile(kDat), locked);
    EXPECT_EQ(folderNames(), Names{kDat});
    file.save(list);
    EXPECT_EQ(readFile(kBak), locked);
    EXPECT_EQ(readFile(kDat), test::writeImage(list));
}

TEST_F(ListFileTest, NoBackupWhenTheLoadSucceededOrFoundNothing) {
    ListFile fresh;
    MemoryListControl list;
    EXPECT_FALSE(fresh.load(list));
    fresh.save(listOf({"a"}));
    ListFile next;
    ASSERT_TRUE(next.load(list));
    next.save(listOf({"b"}));
    EXPECT_EQ(folderNames(), Names{kDat});
}

TEST_F(ListFileTest, AReadOnlyBackupMakesTheSaveFailWithoutHarm) {
    const std::string unreadable = "not a list";
    writeFile(kDat, unreadable);
    writeFile(kBak, "older");
    SetFileAttributesA(kBak.c_str(), FILE_ATTRIBUTE_READONLY);
    ListFile file;
    MemoryListControl list;
    EXPECT_THROW(file.load(list), EReadError);
    EXPECT_EQ(streamError([&] { file.save(listOf({"x"})); }), createMessage());
    EXPECT_EQ(readFile(kDat), unreadable);
    EXPECT_EQ(readFile(kBak), "older");
    EXPECT_EQ(folderNames(), (Names{kDat, kBak}));
}

// Another program's version of the file, put in place by a rename, written in place with the
// same size, or created where there was none: the save keeps it byte for byte beside the list,
// once, and never over an earlier copy; a save over its own last write keeps nothing.
TEST_F(ListFileTest, AVersionFromElsewhereIsKeptByTheNextSave) {
    const auto otherCopies = [] {
        Names out;
        for (const std::string& n : folderNames())
            if (n.rfind("korlinkwalker (changed elsewhere ", 0) == 0) out.insert(n);
        return out;
    };
    ListFile file;
    MemoryListControl seen;
    EXPECT_FALSE(file.load(seen));
    EXPECT_FALSE(file.knownState().exists);
    // Created by someone else after the start.
    const std::string created = test::writeImage(listOf({"from elsewhere"}));
    writeFile(kDat, created);
    std::string kept = file.save(listOf({"mine"}));
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(readFile(kept), created);
    EXPECT_EQ(readFile(kDat), test::writeImage(listOf({"mine"})));
    EXPECT_EQ(file.currentState(), file.knownState()) << "the save knows what it wrote";
    // Saved again with nothing from elsewhere: no copy.
    EXPECT_EQ(file.save(listOf({"mine", "more"})), "");
    EXPECT_EQ(otherCopies().size(), 1u);

    // Replaced by a rename.
    const std::string renamed = test::writeImage(listOf({"renamed in"}));
    writeFile("sync.tmp", renamed);
    ASSERT_TRUE(MoveFileExA("sync.tmp", kDat.c_str(), MOVEFILE_REPLACE_EXISTING));
    const std::string second = file.save(listOf({"mine"}));
    ASSERT_FALSE(second.empty());
    EXPECT_NE(second, kept) << "an earlier copy is never overwritten";
    EXPECT_EQ(readFile(second), renamed);
    EXPECT_EQ(readFile(kept), created);

    // Rewritten in place with as many bytes, a moment later.
    std::string same = readFile(kDat);
    same.back() ^= 1;
    Sleep(20);
    {
        HANDLE h = CreateFileA(kDat.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD put = 0;
        WriteFile(h, same.data(), static_cast<DWORD>(same.size()), &put, nullptr);
        CloseHandle(h);
    }
    const std::string third = file.save(listOf({"mine"}));
    ASSERT_FALSE(third.empty());
    EXPECT_EQ(readFile(third), same);
    EXPECT_EQ(otherCopies().size(), 3u);

    // Gone: written again, nothing to keep.
    DeleteFileA(kDat.c_str());
    EXPECT_EQ(file.save(listOf({"again"})), "");
    EXPECT_EQ(otherCopies().size(), 3u);
}

// Reading another program's version again: a readable one replaces the entries and counts as
// known; an unreadable one leaves them as they were and is kept by the next save.
TEST_F(ListFileTest, AVersionFromElsewhereIsReadAgainOrLeftForTheNextSave) {
    writeFile(kDat, test::writeImage(listOf({"a", "b"})));
    ListFile file;
    MemoryListControl list;
    ASSERT_TRUE(file.load(list));
    writeFile("sync.tmp", test::writeImage(listOf({"x", "y", "z"})));
    ASSERT_TRUE(MoveFileExA("sync.tmp", kDat.c_str(), MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(changedElsewhere(file.knownState(), file.currentState()));
    EXPECT_EQ(file.reload(list), ListFile::Reload::Loaded);
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(file.knownState(), file.currentState());
    EXPECT_EQ(file.save(list), "") << "what was read again is not someone else's any more";

    const std::string broken = "TPF0 cut off by its writer";
    writeFile("sync.tmp", broken);
    ASSERT_TRUE(MoveFileExA("sync.tmp", kDat.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(file.reload(list), ListFile::Reload::Unreadable);
    EXPECT_EQ(list.entries(), (std::vector<std::string>{"x", "y", "z"}));
    EXPECT_EQ(file.unreadableState(), file.currentState());
    {
        test::FileLock lock(kDat);
        EXPECT_EQ(file.reload(list), ListFile::Reload::Busy);
    }
    const std::string kept = file.save(list);
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(readFile(kept), broken);
    EXPECT_EQ(readFile(kDat), test::writeImage(list));
}

}  // namespace
}  // namespace klw
