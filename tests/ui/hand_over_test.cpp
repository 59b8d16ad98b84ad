#include "ui/hand_over.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>

namespace klw {
namespace {

// A handler on a simulated clock: it ends and goes idle at the given moments (or never). Time
// passes only while the wait waits for the end.
class FakeHandler : public HandlerProcess {
public:
    FakeHandler(std::optional<std::uint32_t> endsAt, std::optional<std::uint32_t> idleAt,
                std::uint32_t start = 0)
        : start_(start), clock_(start), endsAt_(endsAt), idleAt_(idleAt) {}

    bool waitForEnd(std::uint32_t ms) override {
        ++waits;
        longestWait = std::max(longestWait, ms);
        if (ended()) return true;
        if (endsAt_ && *endsAt_ - elapsed() <= ms) {
            clock_ = start_ + *endsAt_;
            return true;
        }
        clock_ += ms;
        return false;
    }
    bool inputIdle() override { return idleAt_ && elapsed() >= *idleAt_; }
    std::uint32_t now() override {
        // A wait rule that loops without letting time pass fails here at once, not by the
        // test runner's time-out: no wait of these tests needs nearly so many looks.
        if (++clockReads > kMostClockReads) {
            ADD_FAILURE() << "the wait asked the clock " << clockReads << " times";
            std::abort();
        }
        return clock_;
    }
    static constexpr int kMostClockReads = 100000;
    int clockReads = 0;

    std::uint32_t elapsed() const { return clock_ - start_; }
    int waits = 0;
    std::uint32_t longestWait = 0;

private:
    bool ended() const { return endsAt_ && elapsed() >= *endsAt_; }
    std::uint32_t start_;
    std::uint32_t clock_;
    std::optional<std::uint32_t> endsAt_;
    std::optional<std::uint32_t> idleAt_;
};

constexpr auto kNever = std::nullopt;

TEST(HandOver, NoProcessMeansTheShellHasHandedItOver) {
    EXPECT_EQ(waitForHandOver(nullptr), HandOver::NoProcess);
}

TEST(HandOver, AHandlerThatPassesTheAddressOnAndEndsIsWaitedForUntilItEnds) {
    // winebrowser: never reads input, ends about 95 ms after the call.
    FakeHandler h(95, kNever);
    EXPECT_EQ(waitForHandOver(&h), HandOver::Ended);
    EXPECT_EQ(h.elapsed(), 95u) << "the wait ends with the process, not at the next slice";

    FakeHandler gone(0, kNever);
    EXPECT_EQ(waitForHandOver(&gone), HandOver::Ended);
    EXPECT_EQ(gone.elapsed(), 0u);
}

TEST(HandOver, AHandlerWaitingForInputHasTakenTheAddressOver) {
    FakeHandler h(kNever, 42);
    EXPECT_EQ(waitForHandOver(&h, 3000, 10), HandOver::Idle);
    EXPECT_GE(h.elapsed(), 42u);
    EXPECT_LE(h.elapsed(), 52u) << "seen within one slice of going idle";

    FakeHandler ready(kNever, 0);
    EXPECT_EQ(waitForHandOver(&ready), HandOver::Idle);
    EXPECT_EQ(ready.elapsed(), 0u);
}

TEST(HandOver, AnEndedHandlerCountsAsEndedEvenWhenItLooksIdle) {
    FakeHandler h(0, 0);
    EXPECT_EQ(waitForHandOver(&h), HandOver::Ended);
    EXPECT_EQ(h.elapsed(), 0u);
}

TEST(HandOver, AHandlerThatNeverGoesIdleNorEndsDelaysByTheBoundAndNoMore) {
    FakeHandler h(kNever, kNever);
    EXPECT_EQ(waitForHandOver(&h), HandOver::TimedOut);
    EXPECT_EQ(h.elapsed(), kHandOverBoundMs);
    EXPECT_LE(h.longestWait, kHandOverSliceMs) << "looked at again every slice";

    // A slice that does not divide the bound: the last wait is cut to what is left.
    FakeHandler odd(kNever, kNever);
    EXPECT_EQ(waitForHandOver(&odd, 100, 30), HandOver::TimedOut);
    EXPECT_EQ(odd.elapsed(), 100u);

    // Ending one millisecond too late is still a time-out, at the bound.
    FakeHandler late(kHandOverBoundMs + 1, kNever);
    EXPECT_EQ(waitForHandOver(&late), HandOver::TimedOut);
    EXPECT_EQ(late.elapsed(), kHandOverBoundMs);
}

TEST(HandOver, TheBoundHoldsAcrossAWrapOfTheClock) {
    constexpr std::uint32_t kNearWrap = std::numeric_limits<std::uint32_t>::max() - 500;
    FakeHandler h(kNever, kNever, kNearWrap);
    EXPECT_EQ(waitForHandOver(&h), HandOver::TimedOut);
    EXPECT_EQ(h.elapsed(), kHandOverBoundMs);

    FakeHandler ends(700, kNever, kNearWrap);
    EXPECT_EQ(waitForHandOver(&ends), HandOver::Ended);
    EXPECT_EQ(ends.elapsed(), 700u);
}

TEST(HandOver, AZeroSliceStillWaits) {
    // A slice of 0 would spin without letting time pass.
    FakeHandler h(kNever, kNever);
    EXPECT_EQ(waitForHandOver(&h, 50, 0), HandOver::TimedOut);
    EXPECT_EQ(h.elapsed(), 50u);
    EXPECT_EQ(h.longestWait, 1u);
}

}  // namespace
}  // namespace klw
