#pragma once
// The list's entries (UTF-16, as the platform's list keeps them) in blocks that are never
// changed once another owner shares them: a copy of the whole list shares every block and costs
// one pointer per block, and a change copies only the block it falls in. So the save takes the
// list as it stands without copying a million strings on the window's thread.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace klw {

class EntryBlocks {
public:
    // Entries per block: a change copies at most about twice this many strings.
    static constexpr std::size_t kBlockSize = 512;

    EntryBlocks() = default;
    EntryBlocks(const std::vector<std::u16string>& entries);  // NOLINT: a list, as the vector

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Entry i; i below size().
    const std::u16string& operator[](std::size_t i) const;

    void push_back(std::u16string text);
    // Before entry i; i up to size().
    void insert(std::size_t i, std::u16string text);
    void erase(std::size_t i);
    void clear();

    std::vector<std::u16string> toVector() const;
    bool operator==(const std::vector<std::u16string>& other) const;
    // Blocks held by this list alone, for tests: what a change would not have to copy.
    std::size_t blockCount() const { return blocks_.size(); }
    bool sharesBlock(std::size_t blockIndex, const EntryBlocks& other) const;

    template <typename F>
    void forEach(F&& f) const {
        for (const auto& b : blocks_)
            for (const std::u16string& e : *b) f(e);
    }

private:
    using Block = std::vector<std::u16string>;
    // The block holding entry i, and i's place in it.
    std::pair<std::size_t, std::size_t> locate(std::size_t i) const;
    // Block b, copied first when another list shares it.
    Block& own(std::size_t b);
    void recount(std::size_t fromBlock);

    std::vector<std::shared_ptr<Block>> blocks_;
    std::vector<std::size_t> starts_;  // index of each block's first entry
    std::size_t size_ = 0;
};

}  // namespace klw
