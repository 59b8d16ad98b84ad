#include "runtime/entry_blocks.h"

#include <algorithm>
#include <utility>

namespace klw {

EntryBlocks::EntryBlocks(const std::vector<std::u16string>& entries) {
    for (const std::u16string& e : entries) push_back(e);
}

std::pair<std::size_t, std::size_t> EntryBlocks::locate(std::size_t i) const {
    const auto it = std::upper_bound(starts_.begin(), starts_.end(), i);
    const auto b = static_cast<std::size_t>(it - starts_.begin()) - 1;
    return {b, i - starts_[b]};
}

const std::u16string& EntryBlocks::operator[](std::size_t i) const {
    const auto [b, at] = locate(i);
    return (*blocks_[b])[at];
}

EntryBlocks::Block& EntryBlocks::own(std::size_t b) {
    // Only this thread hands out copies, so a count of one cannot grow behind our back.
    if (blocks_[b].use_count() > 1) blocks_[b] = std::make_shared<Block>(*blocks_[b]);
    return *blocks_[b];
}

void EntryBlocks::recount(std::size_t fromBlock) {
    starts_.resize(blocks_.size());
    std::size_t n = fromBlock == 0 ? 0 : starts_[fromBlock - 1] + blocks_[fromBlock - 1]->size();
    for (std::size_t b = fromBlock; b < blocks_.size(); ++b) {
        starts_[b] = n;
        n += blocks_[b]->size();
    }
    size_ = n;
}

void EntryBlocks::push_back(std::u16string text) {
    if (blocks_.empty() || blocks_.back()->size() >= kBlockSize) {
        blocks_.push_back(std::make_shared<Block>());
        blocks_.back()->reserve(kBlockSize);
        starts_.push_back(size_);
    }
    own(blocks_.size() - 1).push_back(std::move(text));
    ++size_;
}

void EntryBlocks::insert(std::size_t i, std::u16string text) {
    if (i >= size_) {
        push_back(std::move(text));
        return;
    }
    const auto [b, at] = locate(i);
    Block& block = own(b);
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(at), std::move(text));
    if (block.size() > 2 * kBlockSize) {
        // Split, so that no block grows past what a change may copy.
        auto tail = std::make_shared<Block>(std::make_move_iterator(block.begin() + kBlockSize),
                                            std::make_move_iterator(block.end()));
        block.resize(kBlockSize);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(tail));
    }
    recount(b);
}

void EntryBlocks::erase(std::size_t i) {
    const auto [b, at] = locate(i);
    if (blocks_[b]->size() == 1) {
        blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
    } else {
        Block& block = own(b);
        block.erase(block.begin() + static_cast<std::ptrdiff_t>(at));
    }
    recount(b);
}

void EntryBlocks::clear() {
    blocks_.clear();
    starts_.clear();
    size_ = 0;
}

std::vector<std::u16string> EntryBlocks::toVector() const {
    std::vector<std::u16string> out;
    out.reserve(size_);
    forEach([&](const std::u16string& e) { out.push_back(e); });
    return out;
}

bool EntryBlocks::operator==(const std::vector<std::u16string>& other) const {
    if (other.size() != size_) return false;
    std::size_t i = 0;
    bool same = true;
    forEach([&](const std::u16string& e) { same = same && e == other[i++]; });
    return same;
}

bool EntryBlocks::sharesBlock(std::size_t blockIndex, const EntryBlocks& other) const {
    const auto& mine = blocks_.at(blockIndex);
    return std::any_of(other.blocks_.begin(), other.blocks_.end(),
                       [&](const auto& b) { return b == mine; });
}

}  // namespace klw
