#include "app/single_instance.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>

#include "app/claim_name.h"
#include "runtime/unicode.h"
#include "widgets/messages.h"

namespace klw {
namespace {

// What the holder publishes for a later start, in memory both processes share.
struct Published {
    std::uint64_t window;
    std::uint32_t process;
    std::uint32_t closing;
};

// The current directory's final path; empty when the platform cannot tell it.
std::string finalPath(HANDLE folder) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n =
            GetFinalPathNameByHandleW(folder, path.data(), static_cast<DWORD>(path.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return narrow(path);
        }
        path.resize(n + 1);
    }
}

// The name of the folder's claim. Empty when the folder cannot be asked.
std::wstring folderClaimName() {
    UniqueFile folder(CreateFileW(L".", FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !GetFileInformationByHandle(folder.get(), &info)) return {};
    const FolderIdentity identity{
        info.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    return wide(claimName(finalPath(folder.get()), identity));
}

// How long this process has run: the user waits from the start, Wine's own start-up included.
DWORD msSinceProcessStart() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    GetSystemTimeAsFileTime(&now);
    auto value = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    if (value(now) <= value(created)) return 0;
    return static_cast<DWORD>(
        std::min<std::uint64_t>((value(now) - value(created)) / 10000, FolderClaim::kAnswerWaitMs));
}

Published* published(const MappedView& view) { return static_cast<Published*>(view.get()); }

}  // namespace

UINT FolderClaim::activateMessage() {
    static const UINT message = RegisterWindowMessageW(kActivateMessageName);
    return message;
}

FolderClaim::FolderClaim() {
    const std::wstring name = folderClaimName();
    // A folder that cannot be asked keeps no claim: the program then works as it always did.
    if (name.empty()) return;
    mutex_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex_) return;
    mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(Published), (name + L".window").c_str()));
    if (mapping_)
        view_ = MappedView(mapping_.get(), FILE_MAP_READ | FILE_MAP_WRITE, sizeof(Published));
    waitForClaim(0);
}

FolderClaim::~FolderClaim() { release(); }

bool FolderClaim::waitForClaim(DWORD ms) {
    const DWORD got = WaitForSingleObject(mutex_.get(), ms);
    // An abandoned claim is one whose holder ended without letting go: the list is ours. A wait
    // that failed says nothing of the holder.
    if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) owned_ = true;
    if (got == WAIT_FAILED) Sleep(ms);
    return owned_;
}

FolderClaim::Holder FolderClaim::activateHolder() {
    // Time passes against the holder only while it gives no sign: not while it closes.
    DWORD silentSince = GetTickCount() - msSinceProcessStart();
    DWORD closingSince = 0;
    bool closing = false;
    // A holder that has just let go leaves the list to us, however long we have waited.
    while (heldElsewhere() && !waitForClaim(0)) {
        const DWORD now = GetTickCount();
        Published* holder = published(view_);
        const bool saysClosing =
            holder && std::atomic_ref<std::uint32_t>(holder->closing).load() != 0;
        if (saysClosing != closing) {
            closing = saysClosing;
            closingSince = now;
            silentSince = now;
        }
        if (closing) {
            if (now - closingSince >= kClosingWaitMs) return Holder::NotAnswering;
            waitForClaim(50);
            continue;
        }
        const DWORD silent = now - silentSince;
        if (silent >= kAnswerWaitMs) return Holder::NotAnswering;
        const std::uint64_t published =
            holder ? std::atomic_ref<std::uint64_t>(holder->window).load() : 0;
        const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(published));
        if (window && IsWindow(window)) {
            // We were started by the user and may pass the foreground on.
            AllowSetForegroundWindow(std::atomic_ref<std::uint32_t>(holder->process).load());
            DWORD_PTR answer = 0;
            if (SendMessageTimeoutW(window, activateMessage(), 0, 0, SMTO_ABORTIFHUNG,
                                    kAnswerWaitMs - silent, &answer)) {
                if (answer == static_cast<DWORD_PTR>(kActivated)) return Holder::Activated;
                if (answer == static_cast<DWORD_PTR>(kClosing)) {
                    closing = true;
                    closingSince = GetTickCount();
                    continue;
                }
            }
        }
        // The holder may still be starting, or ending after its window has gone.
        const DWORD elapsed = GetTickCount() - silentSince;
        if (elapsed < kAnswerWaitMs) waitForClaim(std::min<DWORD>(50, kAnswerWaitMs - elapsed));
    }
    return Holder::Gone;
}

void FolderClaim::publish(HWND window) {
    Published* mine = published(view_);
    if (!owned_ || !mine) return;
    std::atomic_ref<std::uint32_t>(mine->process).store(GetCurrentProcessId());
    std::atomic_ref<std::uint32_t>(mine->closing).store(0);
    std::atomic_ref<std::uint64_t>(mine->window)
        .store(static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window)));
}

void FolderClaim::setClosing(bool closing) {
    Published* mine = published(view_);
    if (!owned_ || !mine) return;
    std::atomic_ref<std::uint32_t>(mine->closing).store(closing ? 1 : 0);
}

void FolderClaim::release() {
    if (!owned_) return;
    owned_ = false;
    if (Published* mine = published(view_)) {
        std::atomic_ref<std::uint64_t>(mine->window).store(0);
        std::atomic_ref<std::uint32_t>(mine->process).store(0);
        std::atomic_ref<std::uint32_t>(mine->closing).store(0);
    }
    view_.reset();
    mapping_.reset();
    ReleaseMutex(mutex_.get());
    // Released for good: nobody else holds it on our account either.
    mutex_.reset();
}

}  // namespace klw
