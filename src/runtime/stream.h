#pragma once
// Byte streams: the list file and the in-memory images that the component stream works on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace klw {

enum class SeekOrigin { Begin, Current, End };

class Stream {
public:
    virtual ~Stream() = default;
    // Reads up to `count` bytes; returns how many were read, 0 at the end.
    virtual std::size_t read(void* buffer, std::size_t count) = 0;
    // Writes up to `count` bytes; returns how many were taken (fewer means the medium is full).
    virtual std::size_t write(const void* buffer, std::size_t count) = 0;
    // Moves the position and returns the new one.
    virtual std::int64_t seek(std::int64_t offset, SeekOrigin origin) = 0;

    std::int64_t position() { return seek(0, SeekOrigin::Current); }
};

// A stream over a growable byte string.
class MemoryStream : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string data) : data_(std::move(data)) {}

    std::size_t read(void* buffer, std::size_t count) override;
    std::size_t write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;

    const std::string& data() const { return data_; }
    std::size_t size() const { return data_.size(); }
    // Empties the stream but keeps its storage, so that repeated writes do not reallocate.
    void clear() {
        data_.clear();
        pos_ = 0;
    }
    void reserve(std::size_t n) { data_.reserve(n); }

private:
    std::string data_;
    std::size_t pos_ = 0;
};

}  // namespace klw
