#pragma once
// Bytes from outside as a test hands them to a decoder: in a heap buffer of exactly their size,
// so that AddressSanitizer catches a read past the end.
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace klw::test {

// Bytes in a buffer of their exact size (no terminating NUL, no spare capacity).
class ExactBlock {
public:
    explicit ExactBlock(std::string_view bytes)
        : size_(bytes.size()), data_(new char[bytes.size() ? bytes.size() : 1]) {
        std::copy(bytes.begin(), bytes.end(), data_.get());
    }
    std::string_view view() const { return {data_.get(), size_}; }

private:
    std::size_t size_;
    std::unique_ptr<char[]> data_;
};

// UTF-16 little-endian bytes, without a terminating NUL.
inline std::string utf16Bytes(std::u16string_view text) {
    std::string out;
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

}  // namespace klw::test
