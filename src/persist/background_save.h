#pragma once
// One save of the list file at a time on a thread of its own, so that the window stays quick
// however long the list: the window hands over a snapshot and hears through a callback, called
// on the save's thread, that the save has ended.
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "persist/list_snapshot.h"

namespace klw {

class BackgroundSave {
public:
    // Writes the snapshot; returns the name of a file that now holds what another program had
    // put in its place, or nothing. Raises what makes the save fail.
    using Work = std::function<std::string(const ListSnapshot&)>;

    // `ended` is called on the save's thread when a save has ended, after its outcome is kept.
    BackgroundSave(Work work, std::function<void()> ended);
    // Waits for a running save.
    ~BackgroundSave();
    BackgroundSave(const BackgroundSave&) = delete;
    BackgroundSave& operator=(const BackgroundSave&) = delete;

    // Starts saving `snapshot`; no save may be running. Raises std::system_error when the
    // thread cannot start: then no save runs.
    void start(std::unique_ptr<ListSnapshot> snapshot);
    bool running() const { return worker_.joinable(); }

    struct Outcome {
        bool ended = false;        // false: no save was running
        std::exception_ptr error;  // what made it fail, or null
        std::string otherVersion;  // where another program's version was kept, or empty
    };
    // Waits for the running save, if any, and tells how it ended.
    Outcome finish();

private:
    Work work_;
    std::function<void()> ended_;
    std::thread worker_;
    std::exception_ptr error_;
    std::string otherVersion_;
};

}  // namespace klw
