#include "ui/serial_actions.h"

#include <utility>

namespace klw {

bool SerialActions::perform(Action action) {
    if (running_) {
        waiting_.push_back(std::move(action));
        return false;
    }
    running_ = true;
    std::exception_ptr error;
    try {
        action();
    } catch (...) {
        error = std::current_exception();
    }
    // An action that is run may itself keep more for later: take them one at a time.
    while (!waiting_.empty()) {
        const Action next = std::move(waiting_.front());
        waiting_.pop_front();
        try {
            next();
        } catch (...) {
            if (onLaterError) onLaterError(std::current_exception());
        }
    }
    running_ = false;
    if (error) std::rethrow_exception(error);
    return true;
}

}  // namespace klw
