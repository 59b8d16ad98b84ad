#pragma once
// One window per list: the list of a folder belongs to the instance that was started there first.
// A later start there brings that instance's window to the front and ends. A folder is known by
// its final path together with its identity (see claim_name.h), not by the name it was reached
// through.
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

    enum class Holder {
        Activated,     // its window is in front now: this start has nothing to do
        Gone,          // it ended (after its close, perhaps): the claim is ours now
        NotAnswering,  // stopped or hung: no answer in kAnswerWaitMs
    };
    // Brings the holder's window to the front, restored when it was minimized. Waits for a holder
    // that is still starting, up to kAnswerWaitMs without an answer in all (a message that times
    // out counts against it); waits for the claim while the holder closes, as its save may take
    // a while, up to kClosingWaitMs.
    Holder activateHolder();
    // Counted from the start of the process, and short of 5 s by the time a fresh process takes
    // to show its first window under load (up to 0.5 s measured under Wine): a start that finds
    // no answer says so within 5 s in all.
    static constexpr DWORD kAnswerWaitMs = 4000;
    static constexpr DWORD kClosingWaitMs = 60000;

    // The window a later start is to bring to the front: the application window.
    void publish(HWND window);
    // The holder has begun its close (true), or a close failed and the window stays (false): a
    // later start waits for the claim instead of asking the window.
    void setClosing(bool closing);
    // The list is saved and the window gone: a start from now on opens the list itself.
    void release();

    // Sent to the holder's application window; it answers kActivated, or kClosing once its
    // close has begun.
    static UINT activateMessage();
    static constexpr LRESULT kActivated = 0x4B4C57;
    static constexpr LRESULT kClosing = 0x4B4C43;

private:
    // Tests make the claim's waits fail through it.
    friend struct FolderClaimTestAccess;
    // Waits up to `ms` for the claim; true when it is ours.
    bool waitForClaim(DWORD ms);
    UniqueObject mutex_;
    UniqueObject mapping_;
    MappedView view_;
    bool owned_ = false;
};

}  // namespace klw
