#include "persist/file_stream.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

// Any negative handle value counts as a failure, not only INVALID_HANDLE_VALUE.
bool failed(HANDLE h) { return reinterpret_cast<std::intptr_t>(h) < 0; }

constexpr std::size_t kMaxChunk = std::numeric_limits<DWORD>::max() / 2;

}  // namespace

TFileStream::TFileStream(const std::string& fileName, unsigned mode) {
    if (mode == fmCreate) {
        HANDLE h = CreateFileW(wide(fileName).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (failed(h)) throw EFCreateError(formatText(texts::kFCreateError, {fileName}));
        handle_.reset(h);
    } else {
        HANDLE h = CreateFileW(wide(fileName).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (failed(h)) throw EFOpenError(formatText(texts::kFOpenError, {fileName}));
        handle_.reset(h);
    }
}

std::size_t TFileStream::read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const auto chunk = static_cast<DWORD>(std::min(count - total, kMaxChunk));
        DWORD got = 0;
        if (!ReadFile(handle_.get(), out + total, chunk, &got, nullptr)) break;
        total += got;
        if (got < chunk) break;
    }
    return total;
}

std::size_t TFileStream::write(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t total = 0;
    while (total < count) {
        const auto chunk = static_cast<DWORD>(std::min(count - total, kMaxChunk));
        DWORD put = 0;
        if (!WriteFile(handle_.get(), in + total, chunk, &put, nullptr)) break;
        total += put;
        if (put < chunk) break;
    }
    return total;
}

std::int64_t TFileStream::seek(std::int64_t offset, SeekOrigin origin) {
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER now{};
    const DWORD method = origin == SeekOrigin::Begin     ? FILE_BEGIN
                         : origin == SeekOrigin::Current ? FILE_CURRENT
                                                         : FILE_END;
    if (!SetFilePointerEx(handle_.get(), distance, &now, method)) return -1;
    return now.QuadPart;
}

bool TFileStream::flushToDisk() { return FlushFileBuffers(handle_.get()) != FALSE; }

}  // namespace klw
