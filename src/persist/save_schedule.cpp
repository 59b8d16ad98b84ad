#include "persist/save_schedule.h"

#include <algorithm>

namespace klw {

void SaveSchedule::changed(std::uint32_t now) {
    if (!pending_) firstChange_ = now;
    pending_ = true;
    lastChange_ = now;
}

std::optional<std::uint32_t> SaveSchedule::dueIn(std::uint32_t now) const {
    if (!pending_ || running_) return std::nullopt;
    // Unsigned differences stay right across a wrap of the tick count.
    const std::uint32_t sinceLast = now - lastChange_;
    const std::uint32_t sinceFirst = now - firstChange_;
    if (sinceLast >= kQuietMs || sinceFirst >= kLongestWaitMs) return 0;
    return std::min(kQuietMs - sinceLast, kLongestWaitMs - sinceFirst);
}

void SaveSchedule::started() {
    pending_ = false;
    running_ = true;
}

void SaveSchedule::runEnded() { running_ = false; }

void SaveSchedule::savedOutsideSchedule() { pending_ = false; }

}  // namespace klw
