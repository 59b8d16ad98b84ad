#pragma once
// TRegistry: a short-lived accessor for one registry step. It opens one key at a time below a
// root key and reads and writes 32-bit integers there; every key is asked for with full access.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/handles.h"

namespace klw {

class TRegistry {
public:
    enum class DataKind { Unknown, String, ExpandString, Integer, Binary };

    TRegistry() = default;
    // Closes the current key, if any.
    ~TRegistry() = default;
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY rootKey() const { return root_; }
    // Another root closes the current key first; the same root changes nothing.
    void setRootKey(HKEY root);

    HKEY currentKey() const { return current_.get(); }
    // Path of the current key below the root, without a leading backslash.
    const std::string& currentPath() const { return currentPath_; }
    REGSAM access() const { return access_; }

    // A leading backslash makes the path absolute (below the root); otherwise it is relative to
    // the current key, or the root while none is open. False on any registry failure, and then
    // the key that was open stays open.
    bool openKey(std::string_view path, bool canCreate);
    // ERegistryException when the value is absent, longer than 4 bytes or not REG_DWORD.
    std::int32_t readInteger(std::string_view name);
    // REG_DWORD, two's complement; ERegistryException when the value cannot be written.
    void writeInteger(std::string_view name, std::int32_t value);
    // Releases the current key without forcing it to disk.
    void closeKey();

    static DataKind dataKindOf(DWORD registryType);

private:
    HKEY root_ = HKEY_CURRENT_USER;
    UniqueKey current_;
    std::string currentPath_;
    REGSAM access_ = KEY_ALL_ACCESS;
};

}  // namespace klw
