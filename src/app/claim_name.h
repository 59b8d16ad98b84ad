#pragma once
// The name under which the instance holding a folder's list can be found. Two names are equal
// exactly when they name one folder: the folder's final path (links followed, the file system's
// own spelling), with letter case folded, together with its identity (volume and file index).
// Either alone can collide: under Wine the roots of two mounts share volume and index, and a
// case-sensitive file system holds two folders whose paths differ in letter case only.
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/unicode.h"

namespace klw {

struct FolderIdentity {
    std::uint32_t volume = 0;
    std::uint64_t index = 0;
};

// `finalPath` is what the platform gives for the open folder (UTF-8), perhaps with the "\\?\"
// or "\\?\UNC\" prefix and a trailing separator, which name the same folder without them. An
// empty path leaves the identity alone to tell folders apart. The result is a kernel object
// name in the session's namespace, at most kMaxClaimNameUnits UTF-16 units long, without
// backslashes after the namespace.
std::string claimName(std::string_view finalPath, FolderIdentity identity,
                      const LetterCase& letterCase = platformLetterCase());

// Room left for a suffix that tells the claim's objects apart (".window").
inline constexpr std::size_t kClaimSuffixUnits = 8;
inline constexpr std::size_t kMaxClaimNameUnits = 250;

}  // namespace klw
