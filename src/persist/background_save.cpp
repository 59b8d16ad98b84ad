#include "persist/background_save.h"

#include <utility>

namespace klw {

BackgroundSave::BackgroundSave(Work work, std::function<void()> ended)
    : work_(std::move(work)), ended_(std::move(ended)) {}

BackgroundSave::~BackgroundSave() { finish(); }

void BackgroundSave::start(std::unique_ptr<ListSnapshot> snapshot) {
    error_ = nullptr;
    otherVersion_.clear();
    worker_ = std::thread([this, list = std::move(snapshot)] {
        try {
            otherVersion_ = work_(*list);
        } catch (...) {
            error_ = std::current_exception();
        }
        if (ended_) ended_();
    });
}

BackgroundSave::Outcome BackgroundSave::finish() {
    if (!worker_.joinable()) return {};
    worker_.join();
    return {true, std::exchange(error_, nullptr), std::exchange(otherVersion_, {})};
}

}  // namespace klw
