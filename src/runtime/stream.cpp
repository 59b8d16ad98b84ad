#include "runtime/stream.h"

#include <algorithm>
#include <cstring>

namespace klw {

std::size_t MemoryStream::read(void* buffer, std::size_t count) {
    if (pos_ >= data_.size()) return 0;
    const std::size_t n = std::min(count, data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return n;
}

std::size_t MemoryStream::write(const void* buffer, std::size_t count) {
    const char* p = static_cast<const char*>(buffer);
    if (pos_ == data_.size()) {
        data_.append(p, count);
    } else {
        if (pos_ > data_.size()) data_.resize(pos_, '\0');
        const std::size_t over = std::min(count, data_.size() - pos_);
        data_.replace(pos_, over, p, count);
    }
    pos_ += count;
    return count;
}

std::int64_t MemoryStream::seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current) base = static_cast<std::int64_t>(pos_);
    if (origin == SeekOrigin::End) base = static_cast<std::int64_t>(data_.size());
    pos_ = static_cast<std::size_t>(std::max<std::int64_t>(0, base + offset));
    return static_cast<std::int64_t>(pos_);
}

}  // namespace klw
