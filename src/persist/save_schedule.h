#pragma once
// When the list goes to disk while the program runs: a quiet second after the last change of a
// burst, and never more than five seconds after the first change that is not yet on disk, so
// that a steady stream of changes still reaches the disk. One save runs at a time; a change made
// while it runs is taken by the next one. Times are tick counts in milliseconds, which may wrap.
#include <cstdint>
#include <optional>

namespace klw {

class SaveSchedule {
public:
    static constexpr std::uint32_t kQuietMs = 1000;
    static constexpr std::uint32_t kLongestWaitMs = 5000;

    // The list changed at `now`.
    void changed(std::uint32_t now);
    // Milliseconds from `now` until a save should start; nothing while there is nothing to save
    // or a save is running. 0 means at once.
    std::optional<std::uint32_t> dueIn(std::uint32_t now) const;
    bool due(std::uint32_t now) const { return dueIn(now) == std::uint32_t{0}; }

    // A save took the list as it stands now.
    void started();
    // The running save ended. A failed one is not retried by itself: the next change tries again.
    void runEnded();
    // The list went to disk by another way (the close, the session's end): nothing is waiting.
    void savedOutsideSchedule();

    bool pending() const { return pending_; }
    bool running() const { return running_; }

private:
    bool pending_ = false;
    bool running_ = false;
    std::uint32_t firstChange_ = 0;
    std::uint32_t lastChange_ = 0;
};

}  // namespace klw
