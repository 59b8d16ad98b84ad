#pragma once
// Offered data without a platform: blocks by format, a file drop's names and the files'
// contents.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/exact_block.h"
#include "widgets/transfer_data.h"

namespace klw::test {

class FakeTransfer : public TransferData {
public:
    std::map<TransferFormat, std::string> blocks;
    std::vector<std::string> fileNames;
    std::map<std::string, std::string> contents;  // files that can be read
    mutable std::vector<std::string> read;        // files whose contents were asked for
    mutable int blocksRead = 0;                   // blocks asked for

    bool offers(TransferFormat format) const override { return blocks.count(format) != 0; }
    std::optional<std::string> block(TransferFormat format) const override {
        ++blocksRead;
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
