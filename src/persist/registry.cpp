#include "persist/registry.h"

#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {

void TRegistry::setRootKey(HKEY root) {
    if (root == root_) return;
    closeKey();
    root_ = root;
}

bool TRegistry::openKey(std::string_view path, bool canCreate) {
    const bool absolute = !path.empty() && path.front() == '\\';
    if (absolute) path.remove_prefix(1);
    const bool relativeToCurrent = !absolute && current_;
    const HKEY base = relativeToCurrent ? current_.get() : root_;
    const std::wstring subKey = wide(path);

    HKEY opened = nullptr;
    LONG result;
    if (canCreate && !subKey.empty()) {
        result = RegCreateKeyExW(base, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access_,
                                 nullptr, &opened, nullptr);
    } else {
        result = RegOpenKeyExW(base, subKey.c_str(), 0, access_, &opened);
    }
    if (result != ERROR_SUCCESS) return false;

    std::string newPath =
        relativeToCurrent ? currentPath_ + "\\" + std::string(path) : std::string(path);
    closeKey();
    current_.reset(opened);
    currentPath_ = std::move(newPath);
    return true;
}

std::int32_t TRegistry::readInteger(std::string_view name) {
    const std::wstring n = wide(name);
    DWORD type = REG_NONE;
    std::uint32_t data = 0;
    DWORD size = sizeof data;
    if (RegQueryValueExW(current_.get(), n.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data),
                         &size) != ERROR_SUCCESS)
        throw ERegistryException(formatText(texts::kRegGetDataFailed, {name}));
    if (dataKindOf(type) != DataKind::Integer)
        throw ERegistryException(formatText(texts::kRegInvalidDataType, {name}));
    return static_cast<std::int32_t>(data);
}

void TRegistry::writeInteger(std::string_view name, std::int32_t value) {
    const std::wstring n = wide(name);
    const auto data = static_cast<std::uint32_t>(value);
    if (RegSetValueExW(current_.get(), n.c_str(), 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&data), sizeof data) != ERROR_SUCCESS)
        throw ERegistryException(formatText(texts::kRegSetDataFailed, {name}));
}

void TRegistry::closeKey() {
    current_.reset();
    currentPath_.clear();
}

TRegistry::DataKind TRegistry::dataKindOf(DWORD registryType) {
    switch (registryType) {
        case REG_SZ:
            return DataKind::String;
        case REG_EXPAND_SZ:
            return DataKind::ExpandString;
        case REG_DWORD:
            return DataKind::Integer;
        case REG_BINARY:
            return DataKind::Binary;
        default:
            return DataKind::Unknown;
    }
}

}  // namespace klw
