#pragma once
// One save of the list file at a time on a thread of its own, so that the window stays quick
// however long the list: the window hands over a snapshot and hears by a posted message that
// the save has ended.
#include <windows.h>

#include <exception>
#include <memory>
#include <thread>

#include "persist/list_file.h"
#include "persist/list_snapshot.h"

namespace klw {

class BackgroundSave {
public:
    // `done` is posted to `window` when a save ends.
    BackgroundSave(ListFile& file, HWND window, UINT done);
    // Waits for a running save.
    ~BackgroundSave();
    BackgroundSave(const BackgroundSave&) = delete;
    BackgroundSave& operator=(const BackgroundSave&) = delete;

    // Starts saving `snapshot`; no save may be running.
    void start(std::unique_ptr<ListSnapshot> snapshot);
    bool running() const { return worker_.joinable(); }

    struct Outcome {
        bool ended = false;        // false: no save was running
        std::exception_ptr error;  // what made it fail, or null
    };
    // Waits for the running save, if any, and tells how it ended.
    Outcome finish();

private:
    ListFile& file_;
    HWND window_;
    UINT done_;
    std::thread worker_;
    std::exception_ptr error_;
};

}  // namespace klw
