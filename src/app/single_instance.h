#pragma once
// One window per list: the list of a folder belongs to the instance that was started there first.
// A later start there brings that instance's window to the front and ends. A folder is known by
// its identity (volume and file index), not by the name it was reached through.
#include <windows.h>

#include "runtime/handles.h"

namespace klw {

class FolderClaim {
public:
    // Claims the current directory for this process, or finds the instance that holds it.
    FolderClaim();
    ~FolderClaim();
    FolderClaim(const FolderClaim&) = delete;
    FolderClaim& operator=(const FolderClaim&) = delete;

    // Another running instance holds the folder's list.
    bool heldElsewhere() const { return mutex_ && !owned_; }
    // Brings the holder's window to the front, restored when it was minimized. Waits up to 5 s
    // for a holder that is still starting; takes the claim instead when the holder ends meanwhile
    // (then heldElsewhere() turns false).
    void activateHolder();
    // The window a later start is to bring to the front: the application window.
    void publish(HWND window);
    // The list is saved and the window gone: a start from now on opens the list itself.
    void release();

    // Sent to the holder's application window; it answers kActivated.
    static UINT activateMessage();
    static constexpr LRESULT kActivated = 0x4B4C57;

private:
    bool tryTake();
    UniqueObject mutex_;
    UniqueObject mapping_;
    bool owned_ = false;
};

}  // namespace klw
