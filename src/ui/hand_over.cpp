#include "ui/hand_over.h"

#include <algorithm>

namespace klw {

HandOver waitForHandOver(HandlerProcess* process, std::uint32_t boundMs, std::uint32_t sliceMs) {
    if (!process) return HandOver::NoProcess;
    const std::uint32_t start = process->now();
    for (;;) {
        // An ended process counts as ended, whatever its idle state says.
        if (process->waitForEnd(0)) return HandOver::Ended;
        if (process->inputIdle()) return HandOver::Idle;
        // Unsigned difference: right across a wrap of the clock.
        const std::uint32_t elapsed = process->now() - start;
        if (elapsed >= boundMs) return HandOver::TimedOut;
        if (process->waitForEnd(std::min(std::max<std::uint32_t>(sliceMs, 1), boundMs - elapsed)))
            return HandOver::Ended;
    }
}

}  // namespace klw
