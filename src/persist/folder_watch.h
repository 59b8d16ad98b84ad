#pragma once
// Watches the current directory for files that come, go or change, on a thread of its own, and
// calls back on that thread after each change the system reports. Without the system's help (a
// folder that cannot be watched) it does nothing.
#include <windows.h>

#include <functional>
#include <thread>

#include "runtime/handles.h"

namespace klw {

class FolderWatch {
public:
    explicit FolderWatch(std::function<void()> changed);
    // Stops the thread and waits for it.
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    bool watching() const { return worker_.joinable(); }

private:
    void run();

    std::function<void()> changed_;
    UniqueChangeNotification notification_;
    UniqueObject stop_;
    std::thread worker_;
};

}  // namespace klw
