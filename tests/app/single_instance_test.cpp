// The folder's claim between two holders, each on a thread of its own (a mutex belongs to a
// thread), in a folder of the test's own.
#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <thread>

namespace klw {

struct FolderClaimTestAccess {
    // From now on every wait for the claim fails: its handle can no longer be waited on.
    static void failWaits(FolderClaim& claim) {
        HANDLE restricted = nullptr;
        ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), claim.mutex_.get(), GetCurrentProcess(),
                                    &restricted, MUTEX_MODIFY_STATE, FALSE, 0));
        claim.mutex_.reset(restricted);
        ASSERT_EQ(WaitForSingleObject(claim.mutex_.get(), 0), WAIT_FAILED);
    }
};

namespace {

// A fresh current directory for the test, and the old one back afterwards.
class ClaimTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t old[MAX_PATH], temp[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, old);
        old_ = old;
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"klw-claim-" + std::to_wstring(GetCurrentProcessId()) +
                  L"-" + std::to_wstring(GetTickCount());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    }
    void TearDown() override {
        SetCurrentDirectoryW(old_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring old_, folder_;
};

// Holds the claim on a thread of its own until told to let go; `closing` as its close has begun.
class OtherHolder {
public:
    explicit OtherHolder(bool closing) {
        thread_ = std::thread([this, closing] {
            FolderClaim claim;
            if (closing) claim.setClosing(true);
            held_.set_value(!claim.heldElsewhere());
            letGo_.get_future().wait();
            claim.release();
        });
        ok_ = held_.get_future().get();
    }
    ~OtherHolder() { letGo(); }
    bool holds() const { return ok_; }
    // Returns once the claim is let go.
    void letGo() {
        if (!let_) letGo_.set_value();
        let_ = true;
        if (thread_.joinable()) thread_.join();
    }

private:
    std::promise<bool> held_;
    std::promise<void> letGo_;
    std::thread thread_;
    bool ok_ = false, let_ = false;
};

std::uint64_t msSinceProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    auto value = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return (value(now) - value(created)) / 10000;
}

TEST_F(ClaimTest, ReleasedClaimIsNeitherOwnedNorHeldElsewhere) {
    FolderClaim claim;
    ASSERT_FALSE(claim.heldElsewhere());
    claim.release();
    EXPECT_FALSE(claim.heldElsewhere());
    // Released for good: another holder takes it at once.
    OtherHolder other(false);
    EXPECT_TRUE(other.holds());
}

TEST_F(ClaimTest, SilentHolderIsNotAnswering) {
    OtherHolder other(false);
    ASSERT_TRUE(other.holds());
    FolderClaim claim;
    ASSERT_TRUE(claim.heldElsewhere());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(claim.activateHolder(), FolderClaim::Holder::NotAnswering);
    // Counted from the start of the process: given up then, and not before. The claim counts on
    // the tick clock and this test on the system time: they may differ by their resolution.
    constexpr std::uint64_t kClockSlackMs = 20;
    EXPECT_LT(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(FolderClaim::kAnswerWaitMs));
    EXPECT_GE(msSinceProcessStart() + kClockSlackMs, FolderClaim::kAnswerWaitMs);
    EXPECT_LT(msSinceProcessStart(), FolderClaim::kAnswerWaitMs + 1000);
    EXPECT_TRUE(claim.heldElsewhere());
}

// A wait that fails says nothing of the holder: the start does not take the list for its own,
// neither at once nor once the holder has let go.
TEST_F(ClaimTest, AFailedWaitIsNotAnOwnedClaim) {
    OtherHolder other(false);
    ASSERT_TRUE(other.holds());
    FolderClaim claim;
    ASSERT_TRUE(claim.heldElsewhere());
    FolderClaimTestAccess::failWaits(claim);
    other.letGo();
    EXPECT_EQ(claim.activateHolder(), FolderClaim::Holder::NotAnswering);
    EXPECT_TRUE(claim.heldElsewhere());
}

TEST_F(ClaimTest, ClosingHolderIsWaitedForLongerThanASilentOne) {
    OtherHolder other(true);
    ASSERT_TRUE(other.holds());
    FolderClaim claim;
    ASSERT_TRUE(claim.heldElsewhere());
    std::thread later([&] {
        Sleep(FolderClaim::kAnswerWaitMs + 500);
        other.letGo();
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(claim.activateHolder(), FolderClaim::Holder::Gone);
    EXPECT_GE(std::chrono::steady_clock::now() - start,
              std::chrono::milliseconds(FolderClaim::kAnswerWaitMs));
    later.join();
    EXPECT_FALSE(claim.heldElsewhere());
}

TEST_F(ClaimTest, HolderThatLetGoLeavesTheListToTheStart) {
    OtherHolder other(false);
    ASSERT_TRUE(other.holds());
    FolderClaim claim;
    ASSERT_TRUE(claim.heldElsewhere());
    other.letGo();
    // Run last, when this process is older than the wait for an answer: the claim that is free
    // now is taken all the same.
    ASSERT_GE(msSinceProcessStart(), FolderClaim::kAnswerWaitMs);
    EXPECT_EQ(claim.activateHolder(), FolderClaim::Holder::Gone);
    EXPECT_FALSE(claim.heldElsewhere());
}

}  // namespace
}  // namespace klw
