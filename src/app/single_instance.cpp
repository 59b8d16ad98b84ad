#include "app/single_instance.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace klw {
namespace {

// What the holder publishes for a later start.
struct Published {
    std::uint64_t window;
    std::uint32_t process;
};

// The name of the folder's claim: its volume and file index, so that every name of the folder
// (letter case, a short name, a link) gives the same. Empty when the folder cannot be asked.
std::wstring claimName() {
    UniqueFile folder(CreateFileW(L".", FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!folder || !GetFileInformationByHandle(folder.get(), &info)) return {};
    wchar_t name[96];
    std::swprintf(name, sizeof name / sizeof name[0], L"Local\\KORVANE.LINKWALKER.%08lX.%08lX%08lX",
                  static_cast<unsigned long>(info.dwVolumeSerialNumber),
                  static_cast<unsigned long>(info.nFileIndexHigh),
                  static_cast<unsigned long>(info.nFileIndexLow));
    return name;
}

bool readPublished(HANDLE mapping, Published& out) {
    void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof out);
    if (!view) return false;
    std::memcpy(&out, view, sizeof out);
    UnmapViewOfFile(view);
    return out.window != 0;
}

}  // namespace

UINT FolderClaim::activateMessage() {
    static const UINT message = RegisterWindowMessageW(L"KORVANE.LINKWALKER.Activate");
    return message;
}

FolderClaim::FolderClaim() {
    const std::wstring name = claimName();
    // A folder that cannot be asked keeps no claim: the program then works as it always did.
    if (name.empty()) return;
    mutex_.reset(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex_) return;
    mapping_.reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(Published), (name + L".window").c_str()));
    tryTake();
}

FolderClaim::~FolderClaim() { release(); }

bool FolderClaim::tryTake() {
    const DWORD got = WaitForSingleObject(mutex_.get(), 0);
    // An abandoned claim is one whose holder ended without letting go: the list is ours.
    owned_ = got == WAIT_OBJECT_0 || got == WAIT_ABANDONED;
    return owned_;
}

void FolderClaim::activateHolder() {
    const DWORD start = GetTickCount();
    while (heldElsewhere()) {
        Published holder{};
        if (mapping_ && readPublished(mapping_.get(), holder)) {
            const HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(holder.window));
            if (IsWindow(window)) {
                // We were started by the user and may pass the foreground on.
                AllowSetForegroundWindow(holder.process);
                DWORD_PTR answer = 0;
                if (SendMessageTimeoutW(window, activateMessage(), 0, 0, SMTO_ABORTIFHUNG, 2000,
                                        &answer) &&
                    answer == static_cast<DWORD_PTR>(kActivated))
                    return;
            }
        }
        if (GetTickCount() - start >= 5000) return;
        // The holder may still be starting, or ending after its window has gone.
        if (WaitForSingleObject(mutex_.get(), 50) != WAIT_TIMEOUT) owned_ = true;
    }
}

void FolderClaim::publish(HWND window) {
    if (!owned_ || !mapping_) return;
    void* view = MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(Published));
    if (!view) return;
    const Published mine{static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(window)),
                         GetCurrentProcessId()};
    std::memcpy(view, &mine, sizeof mine);
    UnmapViewOfFile(view);
}

void FolderClaim::release() {
    if (!owned_) return;
    owned_ = false;
    if (mapping_) {
        if (void* view = MapViewOfFile(mapping_.get(), FILE_MAP_WRITE, 0, 0, sizeof(Published))) {
            std::memset(view, 0, sizeof(Published));
            UnmapViewOfFile(view);
        }
    }
    ReleaseMutex(mutex_.get());
}

}  // namespace klw
