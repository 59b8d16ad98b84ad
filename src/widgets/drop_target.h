#pragma once
// A window as an OLE drop target. The COM object answers the platform's drag calls and hands the
// offered data, read through the transfer interface, to whoever registered the window; it never
// keeps the data object past a call. Registering a top-level window covers all its controls.
#include <windows.h>

#include <exception>

#include "widgets/transfer_data.h"

// The platform's interface, declared here so that users of this header need not the OLE headers.
struct IDropTarget;

namespace klw {

// What the window does with a drag.
class DropSink {
public:
    virtual ~DropSink() = default;
    // Whether the data would give the window something, judged from what it offers: called
    // each time the pointer enters, so it reads no more than it must.
    virtual bool dropWanted(const TransferData& data) = 0;
    // Takes the data; sets `taken` as soon as anything has been taken, so that the source hears
    // of it even when an error ends the call part-way.
    virtual void dropTaken(const TransferData& data, bool& taken) = 0;
    // An error out of either call, once the drag has ended: one from the entry at most once
    // per drag, however often the pointer comes back.
    virtual void dropFailed(std::exception_ptr error) noexcept = 0;
};

class DropTarget;

// The window's registration for its lifetime: RegisterDragDrop at construction, RevokeDragDrop
// when it ends (before the window goes). Without OLE on the thread the window just takes no
// drops.
class DropRegistration {
public:
    DropRegistration(HWND window, DropSink& sink);
    ~DropRegistration();
    DropRegistration(const DropRegistration&) = delete;
    DropRegistration& operator=(const DropRegistration&) = delete;

    bool registered() const { return registered_; }
    // The target the platform calls, for tests that play a drag through it.
    IDropTarget* target() const;
    // Whether a drag is over the window now.
    bool dragging() const;

private:
    HWND window_;
    DropTarget* target_;
    bool registered_ = false;
};

}  // namespace klw
