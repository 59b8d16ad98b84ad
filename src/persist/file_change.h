#pragma once
// Whether another program changed the list file since this window last read or wrote it, and
// what the window does about it. The file is known by its size, its last write time and its
// file index: a writer that replaces it by a rename changes the index, one that writes in place
// the time or the size.
#include <cstdint>
#include <string>

namespace klw {

struct FileState {
    bool exists = false;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;  // in the system's own units
    std::uint64_t index = 0;
    bool operator==(const FileState&) const = default;
};

// Another program has put a file in place that this window has not seen: a file that is gone
// is not such a change (the next save writes it again), a file that came or changed is.
bool changedElsewhere(const FileState& known, const FileState& now);

enum class OnOtherVersion {
    Nothing,      // the file is as the window left it
    Reload,       // show the other version: nothing of the window's is waiting
    KeepAndSave,  // keep the other version beside the list, then save the window's
};
// What the window does once the file has been quiet for a moment. `changeWaiting`: the window
// has a change not yet on disk. `failedToRead`: the state of a file that could not be read the
// last time, which is not tried again.
OnOtherVersion onOtherVersion(const FileState& known, const FileState& now, bool changeWaiting,
                              const FileState& failedToRead = {});

// The name beside the list under which another program's version is kept:
// "korlinkwalker (changed elsewhere 2026-12-09 195500).dat"; from the second on a number is
// added before the extension, " 2", " 3", so that no earlier copy is overwritten.
struct LocalTime {
    int year, month, day, hour, minute, second;
};
std::string otherVersionName(const LocalTime& at, int attempt = 1);

// Where the selection goes when the list is read again: the same index while the list still has
// it, none otherwise.
int selectionAfterReload(int selected, int count);

}  // namespace klw
