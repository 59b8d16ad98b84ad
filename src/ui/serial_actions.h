#pragma once
// Go, drops and pastes one after another. Go waits for the shell, and the shell (a DDE
// hand-over) or a box inside Go may run a message loop of its own, which can deliver another
// Go, a drop or a paste; run there, it would work on a list that the running Go is still using
// and could open the same entry twice. What arrives while an action runs is kept and carried
// out after it, in the order it came.
#include <deque>
#include <exception>
#include <functional>

namespace klw {

class SerialActions {
public:
    using Action = std::function<void()>;

    // An error of an action that ran after the one that was running: the caller of that one
    // has gone on, so it is handed here. Without a handler it is dropped.
    std::function<void(std::exception_ptr)> onLaterError;

    // Runs `action` now and then whatever arrived meanwhile; true. While another action runs,
    // keeps it for later instead; false. An error of `action` itself goes on to the caller once
    // the actions that arrived meanwhile have run.
    bool perform(Action action);
    bool running() const { return running_; }
    std::size_t waiting() const { return waiting_.size(); }

private:
    std::deque<Action> waiting_;
    bool running_ = false;
};

}  // namespace klw
