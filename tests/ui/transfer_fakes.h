#pragma once
// Offered data without a platform: blocks by format, a file drop's names and the files' contents,
// each block in a heap buffer of exactly its size, so that a read past it is caught.
#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "widgets/transfer_data.h"

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

class FakeTransfer : public TransferData {
public:
    std::map<TransferFormat, std::string> blocks;
    std::vector<std::string> fileNames;
    std::map<std::string, std::string> contents;  // files that can be read
    mutable std::vector<std::string> read;        // files whose contents were asked for

    std::optional<std::string> block(TransferFormat format) const override {
        const auto it = blocks.find(format);
        if (it == blocks.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::string> files() const override { return fileNames; }
    std::optional<std::string> fileContents(const std::string& path,
                                            std::size_t limit) const override {
        read.push_back(path);
        const auto it = contents.find(path);
        if (it == contents.end() || it->second.size() > limit) return std::nullopt;
        return it->second;
    }
};

}  // namespace klw::test
