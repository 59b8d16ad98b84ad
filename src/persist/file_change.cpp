#include "persist/file_change.h"

#include <cstdio>

namespace klw {

bool changedElsewhere(const FileState& known, const FileState& now) {
    return now.exists && now != known;
}

OnOtherVersion onOtherVersion(const FileState& known, const FileState& now, bool changeWaiting,
                              const FileState& failedToRead) {
    if (!changedElsewhere(known, now)) return OnOtherVersion::Nothing;
    if (changeWaiting) return OnOtherVersion::KeepAndSave;
    // A version that could not be read waits for the next save, which keeps it.
    if (failedToRead.exists && now == failedToRead) return OnOtherVersion::Nothing;
    return OnOtherVersion::Reload;
}

std::string otherVersionName(const LocalTime& at, int attempt) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d%02d%02d", at.year, at.month, at.day,
                  at.hour, at.minute, at.second);
    std::string name = "korlinkwalker (changed elsewhere ";
    name += stamp;
    name += ')';
    if (attempt > 1) name += " " + std::to_string(attempt);
    return name + ".dat";
}

int selectionAfterReload(int selected, int count) {
    return selected >= 0 && selected < count ? selected : -1;
}

}  // namespace klw
