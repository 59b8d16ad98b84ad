#include "persist/background_save.h"

#include <utility>

namespace klw {

BackgroundSave::BackgroundSave(ListFile& file, HWND window, UINT done)
    : file_(file), window_(window), done_(done) {}

BackgroundSave::~BackgroundSave() { finish(); }

void BackgroundSave::start(std::unique_ptr<ListSnapshot> snapshot) {
    error_ = nullptr;
    worker_ = std::thread([this, list = std::move(snapshot)] {
        try {
            file_.save(*list);
        } catch (...) {
            error_ = std::current_exception();
        }
        PostMessageW(window_, done_, 0, 0);
    });
}

BackgroundSave::Outcome BackgroundSave::finish() {
    if (!worker_.joinable()) return {};
    worker_.join();
    return {true, std::exchange(error_, nullptr)};
}

}  // namespace klw
