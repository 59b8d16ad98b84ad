// When the list goes to disk while the program runs, on a simulated clock: a quiet second after
// the last change, at most five seconds after the first one not yet on disk, one save at a time.
#include "persist/save_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace klw {
namespace {

// Plays a timeline: changes at the given times, a timer that fires when the schedule says, and
// saves that take `saveMs`. Returns the times at which saves started.
std::vector<std::uint32_t> play(const std::vector<std::uint32_t>& changes, std::uint32_t saveMs,
                                std::uint32_t start = 0, std::uint32_t until = 30000) {
    SaveSchedule s;
    std::vector<std::uint32_t> saves;
    std::size_t next = 0;
    std::uint32_t saveEnds = 0;
    for (std::uint32_t t = 0; t <= until; ++t) {
        const std::uint32_t now = start + t;
        if (s.running() && t == saveEnds) s.runEnded();
        while (next < changes.size() && changes[next] == t) {
            s.changed(now);
            ++next;
        }
        if (s.due(now)) {
            s.started();
            saves.push_back(t);
            saveEnds = t + saveMs;
            if (saveMs == 0) s.runEnded();
        }
    }
    return saves;
}

TEST(SaveSchedule, NothingToSaveWithoutAChange) {
    SaveSchedule s;
    EXPECT_FALSE(s.dueIn(0).has_value());
    EXPECT_FALSE(s.due(100000));
    EXPECT_TRUE(play({}, 10).empty());
}

TEST(SaveSchedule, OneQuietSecondAfterTheLastChangeOfABurst) {
    SaveSchedule s;
    s.changed(100);
    EXPECT_EQ(s.dueIn(100), 1000u);
    s.changed(600);
    EXPECT_EQ(s.dueIn(600), 1000u);
    EXPECT_EQ(s.dueIn(1599), 1u);
    EXPECT_FALSE(s.due(1599));
    EXPECT_TRUE(s.due(1600));
    // Three changes close together give one save, a second after the last of them.
    EXPECT_EQ(play({0, 300, 700}, 20), (std::vector<std::uint32_t>{1700}));
    // Two bursts apart from each other give one save each.
    EXPECT_EQ(play({0, 5000}, 20), (std::vector<std::uint32_t>{1000, 6000}));
}

TEST(SaveSchedule, ASteadyStreamStillReachesTheDiskEveryFiveSeconds) {
    // A change every 33 ms for 12 s (a held key): never a quiet second.
    std::vector<std::uint32_t> changes;
    for (std::uint32_t t = 0; t < 12000; t += 33) changes.push_back(t);
    const auto saves = play(changes, 40);
    ASSERT_GE(saves.size(), 3u);
    EXPECT_EQ(saves[0], 5000u);
    // The next waits for the first change after the save started, then five seconds at most.
    EXPECT_LE(saves[1] - saves[0], 5040u);
    EXPECT_LE(saves[2] - saves[1], 5040u);
    // And the last state is on disk a quiet second after the stream ends.
    EXPECT_EQ(saves.back(), changes.back() + 1000);
}

TEST(SaveSchedule, TheFiveSecondBoundHoldsWhenTheTimerFiresLate) {
    // A change every 500 ms never leaves a quiet second; a timer that fires 10 ms after the bound
    // (a busy machine) still finds the save due, and so does any later look.
    SaveSchedule s;
    for (std::uint32_t t = 0; t <= 4500; t += 500) s.changed(t);
    EXPECT_FALSE(s.due(4999));
    EXPECT_TRUE(s.due(5010));
    EXPECT_TRUE(s.due(5400));
    EXPECT_EQ(s.dueIn(5010), 0u);
    // Just before the bound the schedule says how long is left, not the quiet second.
    EXPECT_EQ(s.dueIn(4990), 10u);
}

TEST(SaveSchedule, OneSaveAtATimeAndAChangeDuringOneIsInTheNext) {
    SaveSchedule s;
    s.changed(0);
    ASSERT_TRUE(s.due(1000));
    s.started();
    EXPECT_FALSE(s.pending());
    EXPECT_FALSE(s.dueIn(1000).has_value());
    // A change while the save runs waits for it, however long it takes.
    s.changed(1100);
    EXPECT_TRUE(s.pending());
    EXPECT_FALSE(s.due(2100));
    EXPECT_FALSE(s.due(9000));
    s.runEnded();
    EXPECT_TRUE(s.due(9000));
    // A save that is slow: the change made during it starts the next save as soon as it ends.
    EXPECT_EQ(play({0, 1500}, 3000), (std::vector<std::uint32_t>{1000, 4000}));
    // Nothing more once that one is done.
    EXPECT_EQ(play({0, 1500}, 3000).size(), 2u);
}

TEST(SaveSchedule, AFailedSaveWaitsForTheNextChange) {
    SaveSchedule s;
    s.changed(0);
    s.started();
    s.runEnded();
    EXPECT_FALSE(s.dueIn(50000).has_value());
    s.changed(60000);
    EXPECT_TRUE(s.due(61000));
}

TEST(SaveSchedule, TheCloseSavesWhatWasWaiting) {
    SaveSchedule s;
    s.changed(0);
    s.savedOutsideSchedule();
    EXPECT_FALSE(s.dueIn(5000).has_value());
}

TEST(SaveSchedule, TheTickCountMayWrap) {
    const std::uint32_t nearWrap = 0xFFFFFFFFu - 400;
    SaveSchedule s;
    s.changed(nearWrap);
    EXPECT_EQ(s.dueIn(nearWrap + 300), 700u);  // wrapped: nearWrap + 300 is small
    EXPECT_FALSE(s.due(nearWrap + 999));
    EXPECT_TRUE(s.due(nearWrap + 1000));
    std::vector<std::uint32_t> changes;
    for (std::uint32_t t = 0; t < 7000; t += 100) changes.push_back(t);
    EXPECT_EQ(play(changes, 10, nearWrap, 10000), play(changes, 10, 0, 10000));
}

}  // namespace
}  // namespace klw
