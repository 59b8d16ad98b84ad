#pragma once
// How long Go waits for the desktop's handler to take an address over. The shell may start a
// process for the open and return before that process has passed the address on (Wine's
// winebrowser, a browser being started); a second open started then can overtake the first.
// So Go waits until the handler is waiting for input or has ended, within a bound, and never
// for the page or the browser itself.
#include <cstdint>

namespace klw {

// The longest Go waits for one hand-over, in milliseconds.
constexpr std::uint32_t kHandOverBoundMs = 3000;
// How often a handler that has neither ended nor gone idle is looked at again.
constexpr std::uint32_t kHandOverSliceMs = 10;

// The process the shell started for one open, as the wait sees it.
class HandlerProcess {
public:
    virtual ~HandlerProcess() = default;
    // True once the process has ended; waits at most `ms` for that. While it waits it may do
    // what the caller's thread must keep doing (answer sent messages).
    virtual bool waitForEnd(std::uint32_t ms) = 0;
    // True when the process is waiting for input with none pending.
    virtual bool inputIdle() = 0;
    // A millisecond clock.
    virtual std::uint32_t now() = 0;
};

enum class HandOver {
    NoProcess,  // the shell handed the address over itself and said so when it returned
    Ended,      // the handler process ended
    Idle,       // the handler process is waiting for input
    TimedOut,   // neither within the bound: Go goes on
};

// Waits until `process` (nullptr: the shell started none) has taken the address over, for at
// most `boundMs`.
HandOver waitForHandOver(HandlerProcess* process, std::uint32_t boundMs = kHandOverBoundMs,
                         std::uint32_t sliceMs = kHandOverSliceMs);

}  // namespace klw
