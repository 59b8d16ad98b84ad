#pragma once
// The platform's memory blocks and files as bytes, for data that comes from outside (the
// clipboard, a drag): every block taken at its real size, a file read whole or not at all.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace klw {

// A memory block locked for the owner's lifetime.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL h) : h_(h), p_(h ? GlobalLock(h) : nullptr) {}
    ~LockedGlobal() {
        if (p_) GlobalUnlock(h_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;

    // Exactly the block's bytes; nothing when it could not be locked.
    std::optional<std::string_view> bytes() const {
        if (!p_) return std::nullopt;
        return std::string_view(static_cast<const char*>(p_), GlobalSize(h_));
    }
    // The block's memory, for filling a block of our own; nullptr when it could not be locked.
    void* data() const { return p_; }

private:
    HGLOBAL h_;
    void* p_;
};

// A copy of a memory block's bytes; nothing when it could not be locked.
std::optional<std::string> globalBytes(HGLOBAL h);

// A file's whole contents, when it is a file on a disk (not a folder, a pipe or a device, which
// could keep the caller waiting) of at most `limit` bytes and reads whole; nothing otherwise.
std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit);

}  // namespace klw
