#include "runtime/codepage.h"

#include <cstring>

#include "runtime/unicode.h"

namespace klw {

void appendAnsiAsUtf8(std::string_view bytes, const CodePage& cp, std::string& out) {
    const ByteCodeTables* t = cp.byteCodeTables();
    if (!t) {
        appendUtf16AsUtf8(cp.toUtf16(bytes), out);
        return;
    }
    const std::size_t start = out.size();
    out.resize(start + 3 * bytes.size() + 1);  // 3 bytes per unit at most, 1 spare for the copy
    char* o = out.data() + start;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    static_assert(sizeof(ByteCodeTables::Utf8) == 4);
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            *o++ = static_cast<char>(b);
            ++p;
            continue;
        }
        const ByteCodeTables::Utf8* u;
        if (t->lead[b] && p + 1 < end) {
            u = &t->pairs[b * 256u + p[1]];
            p += 2;
        } else {
            u = &t->single[b];
            ++p;
        }
        // All four bytes at once: the length byte lands on the spare byte or is overwritten.
        std::memcpy(o, u, 4);
        o += u->length;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
}

std::string ansiToUtf8(std::string_view bytes, const CodePage& cp) {
    std::string out;
    appendAnsiAsUtf8(bytes, cp, out);
    return out;
}

}  // namespace klw
