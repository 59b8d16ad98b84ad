#pragma once
// Helpers that spell component stream images for the tests.
#include <cstdint>
#include <string>
#include <string_view>

#include "persist/list_control.h"
#include "persist/object_stream_writer.h"
#include "runtime/stream.h"

namespace klw::test {

// "54 50 46 30" -> the four bytes.
inline std::string hex(std::string_view text) {
    std::string out;
    int nibbles = 0;
    unsigned value = 0;
    for (const char c : text) {
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else
            continue;
        value = value * 16 + d;
        if (++nibbles == 2) {
            out.push_back(static_cast<char>(value));
            nibbles = 0;
            value = 0;
        }
    }
    return out;
}

inline std::string le32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    return {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
            static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
}

// A short name: length byte and bytes.
inline std::string shortName(std::string_view s) {
    return std::string(1, static_cast<char>(s.size())) + std::string(s);
}

inline std::string int8(int v) { return hex("02") + std::string(1, static_cast<char>(v)); }
inline std::string ident(std::string_view s) { return hex("07") + shortName(s); }
inline std::string shortText(std::string_view s) { return hex("06") + shortName(s); }
inline std::string longText(std::string_view s) {
    return hex("0C") + le32(static_cast<std::int32_t>(s.size())) + std::string(s);
}
inline std::string utf8Text(std::string_view s) {
    return hex("14") + le32(static_cast<std::int32_t>(s.size())) + std::string(s);
}
inline std::string record(std::string_view path, std::string_view value) {
    return shortName(path) + std::string(value);
}

// Signature and object header.
inline std::string head(std::string_view cls = "TListBox", std::string_view name = "lbxURL") {
    return "TPF0" + shortName(cls) + shortName(name);
}
// A whole image of the given property records.
inline std::string image(std::string_view records) {
    return head() + std::string(records) + std::string(2, '\0');
}
// The Items.Strings record of these entries, as tag 6 texts.
template <typename... T>
std::string strings(const T&... entries) {
    return record("Items.Strings",
                  hex("01") + (std::string() + ... + shortText(entries)) + hex("00"));
}

// The list file image of a control.
inline std::string writeImage(const ListControl& control) {
    MemoryStream s;
    ObjectStreamWriter w(s);
    w.EmitSignature();
    w.EmitObject(control);
    w.flush();
    return s.data();
}

// What `emit` writes through a writer.
template <typename F>
std::string emitted(F emit) {
    MemoryStream s;
    ObjectStreamWriter w(s);
    emit(w);
    w.flush();
    return s.data();
}

}  // namespace klw::test
