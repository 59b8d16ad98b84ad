#pragma once
// TFileStream: a Stream over one open file handle, released with the object.
#include <windows.h>

#include <cstdint>
#include <string>

#include "runtime/handles.h"
#include "runtime/stream.h"

namespace klw {

class TFileStream final : public Stream {
public:
    // Opens an existing file for reading only; nobody else may open it meanwhile.
    static constexpr unsigned fmOpenRead = 0x0000;
    // Creates the file, or cuts an existing one to 0 bytes, for reading and writing, unshared.
    static constexpr unsigned fmCreate = 0xFFFF;

    // EFOpenError or EFCreateError with `fileName` exactly as given when the file cannot be
    // opened or created.
    TFileStream(const std::string& fileName, unsigned mode);

    std::size_t read(void* buffer, std::size_t count) override;
    std::size_t write(const void* buffer, std::size_t count) override;
    std::int64_t seek(std::int64_t offset, SeekOrigin origin) override;

    HANDLE handle() const { return handle_.get(); }
    // Hands what the system still buffers to the disk; false when it fails.
    bool flushToDisk();

private:
    UniqueFile handle_;
};

}  // namespace klw
