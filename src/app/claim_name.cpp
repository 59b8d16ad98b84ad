#include "app/claim_name.h"

#include <cstdio>

namespace klw {
namespace {

constexpr std::string_view kPrefix = "Local\\KORVANE.LINKWALKER.";

constexpr std::string_view kLongUnc = "\\\\?\\UNC\\";
constexpr std::string_view kLong = "\\\\?\\";

// The path without the prefix that only lifts the length limit ("\\?\UNC\" leaves the server's
// name) and without trailing separators.
std::string_view plainPath(std::string_view path) {
    if (path.substr(0, kLongUnc.size()) == kLongUnc)
        path.remove_prefix(kLongUnc.size());
    else if (path.substr(0, kLong.size()) == kLong)
        path.remove_prefix(kLong.size());
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
    return path;
}

std::size_t utf16Units(std::string_view utf8) {
    std::size_t n = 0;
    forEachUtf16Unit(utf8, [&](char16_t) { ++n; });
    return n;
}

// Two 64-bit FNV-1a sums with different starting values: a long path is named by 128 bits.
std::string digest(std::string_view text) {
    std::uint64_t a = 0xcbf29ce484222325ULL;
    std::uint64_t b = 0x84222325cbf29ce4ULL;
    for (const char c : text) {
        a = (a ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        b = (b ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
        b ^= b >> 29;
    }
    char out[40];
    std::snprintf(out, sizeof out, "#%016llX%016llX", static_cast<unsigned long long>(a),
                  static_cast<unsigned long long>(b));
    return out;
}

}  // namespace

std::string claimName(std::string_view finalPath, FolderIdentity identity,
                      const LetterCase& letterCase) {
    const std::string_view plain = plainPath(finalPath);
    // A network path as "//server/share", as its short form "\\server\share" gives.
    std::string path = finalPath.substr(0, kLongUnc.size()) == kLongUnc ? "//" : "";
    std::size_t at = 0;
    while (at < plain.size()) {
        const DecodedChar c = decodeUtf8At(plain, at);
        at += c.length;
        // A backslash would make the rest a folder of the object namespace; "/" is no part of
        // a Windows file name, so the mapping keeps names apart.
        if (c.code == '\\')
            path += '/';
        else
            appendUtf8(letterCase.upper(c.code), path);
    }
    char id[40];
    std::snprintf(id, sizeof id, "%08lX.%016llX.", static_cast<unsigned long>(identity.volume),
                  static_cast<unsigned long long>(identity.index));
    std::string name = std::string(kPrefix) + id;
    const std::size_t room = kMaxClaimNameUnits - kClaimSuffixUnits - name.size();
    name += utf16Units(path) <= room ? path : digest(path);
    return name;
}

}  // namespace klw
