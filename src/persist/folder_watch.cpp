#include "persist/folder_watch.h"

#include <system_error>
#include <utility>

namespace klw {

FolderWatch::FolderWatch(std::function<void()> changed) : changed_(std::move(changed)) {
    notification_.reset(FindFirstChangeNotificationW(
        L".", FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE));
    stop_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!notification_ || !stop_) return;
    try {
        worker_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // Without the thread the window still saves; it only misses changes from elsewhere.
    }
}

FolderWatch::~FolderWatch() {
    if (!worker_.joinable()) return;
    SetEvent(stop_.get());
    worker_.join();
}

void FolderWatch::run() {
    const HANDLE waits[] = {stop_.get(), notification_.get()};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
        if (woke != WAIT_OBJECT_0 + 1) return;
        changed_();
        if (!FindNextChangeNotification(notification_.get())) return;
    }
}

}  // namespace klw
