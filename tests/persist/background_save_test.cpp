// The save on a thread of its own: the work runs away from the caller, the completion callback
// comes after the outcome is kept, and finish() tells that outcome once.
#include "persist/background_save.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "persist/memory_list_control.h"

namespace klw {
namespace {

std::unique_ptr<ListSnapshot> snapshotOf(std::vector<std::string> entries) {
    MemoryListControl list;
    list.setEntries(entries);
    std::vector<std::u16string> units;
    for (const auto& e : entries) units.emplace_back(e.begin(), e.end());
    return std::make_unique<ListSnapshot>(list, std::move(units));
}

// The callback's side: counts the calls and lets the test wait for them.
struct Ended {
    std::mutex m;
    std::condition_variable cv;
    int calls = 0;
    std::thread::id thread;
    void operator()() {
        std::lock_guard lock(m);
        ++calls;
        thread = std::this_thread::get_id();
        cv.notify_all();
    }
    bool waitFor(int n) {
        std::unique_lock lock(m);
        return cv.wait_for(lock, std::chrono::seconds(10), [&] { return calls >= n; });
    }
};

TEST(BackgroundSave, RunsTheWorkOnItsOwnThreadAndCallsBackWhenItEnds) {
    Ended ended;
    std::thread::id workThread;
    int seen = 0;
    std::atomic<bool> workDone{false};
    bool doneBeforeCallback = false;
    BackgroundSave save(
        [&](const ListSnapshot& list) {
            workThread = std::this_thread::get_id();
            seen = list.count();
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            workDone = true;
            return std::string();
        },
        [&] {
            doneBeforeCallback = workDone;
            ended();
        });
    EXPECT_FALSE(save.finish().ended);
    save.start(snapshotOf({"a", "b", "c"}));
    EXPECT_TRUE(save.running());
    ASSERT_TRUE(ended.waitFor(1));
    // The outcome is there by the time the callback runs.
    const BackgroundSave::Outcome outcome = save.finish();
    EXPECT_TRUE(outcome.ended);
    EXPECT_FALSE(outcome.error);
    EXPECT_TRUE(outcome.otherVersion.empty());
    EXPECT_EQ(seen, 3);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_EQ(ended.thread, workThread);
    EXPECT_TRUE(doneBeforeCallback) << "the callback comes once the work has ended";
    EXPECT_FALSE(save.running());
    // Told once only.
    EXPECT_FALSE(save.finish().ended);
}

TEST(BackgroundSave, AFailureAndAKeptVersionReachTheOutcomeOfTheirOwnSaveOnly) {
    Ended ended;
    int run = 0;
    BackgroundSave save(
        [&](const ListSnapshot&) -> std::string {
            ++run;
            if (run == 1) throw std::runtime_error("disk full");
            if (run == 2) return "korlinkwalker (changed elsewhere 2026-12-09 195500).dat";
            return {};
        },
        [&] { ended(); });
    save.start(snapshotOf({"x"}));
    ASSERT_TRUE(ended.waitFor(1));
    BackgroundSave::Outcome outcome = save.finish();
    ASSERT_TRUE(outcome.error);
    EXPECT_THROW(std::rethrow_exception(outcome.error), std::runtime_error);

    save.start(snapshotOf({"x"}));
    ASSERT_TRUE(ended.waitFor(2));
    outcome = save.finish();
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(outcome.otherVersion, "korlinkwalker (changed elsewhere 2026-12-09 195500).dat");

    save.start(snapshotOf({"x"}));
    ASSERT_TRUE(ended.waitFor(3));
    outcome = save.finish();
    EXPECT_FALSE(outcome.error);
    EXPECT_TRUE(outcome.otherVersion.empty());
}

TEST(BackgroundSave, FinishWaitsForASlowSave) {
    std::atomic<bool> done{false};
    BackgroundSave save(
        [&](const ListSnapshot&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            done = true;
            return std::string();
        },
        {});
    save.start(snapshotOf({"slow"}));
    EXPECT_TRUE(save.finish().ended);
    EXPECT_TRUE(done);
}

}  // namespace
}  // namespace klw
