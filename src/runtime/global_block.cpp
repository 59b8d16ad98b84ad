#include "runtime/global_block.h"

#include "runtime/handles.h"
#include "runtime/unicode.h"

namespace klw {

std::optional<std::string> globalBytes(HGLOBAL h) {
    const LockedGlobal block(h);
    const std::optional<std::string_view> bytes = block.bytes();
    if (!bytes) return std::nullopt;
    return std::string(*bytes);
}

std::optional<std::string> readWholeFile(const std::string& path, std::size_t limit) {
    const UniqueFile file(CreateFileW(wide(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > limit)
        return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t got = 0;
    // A file that ends before its size is read counts as unreadable.
    while (got < bytes.size()) {
        DWORD n = 0;
        if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &n,
                      nullptr) ||
            n == 0)
            return std::nullopt;
        got += n;
    }
    return bytes;
}

}  // namespace klw
