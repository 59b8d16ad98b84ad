#pragma once
// Writes a control as a component stream ("TPF0" image).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "persist/list_control.h"
#include "persist/published_properties.h"
#include "runtime/stream.h"

namespace klw {

class ObjectStreamWriter {
public:
    explicit ObjectStreamWriter(Stream& stream);
    // Hands what is still buffered to the stream, ignoring a failure: call flush() first to
    // learn of it.
    ~ObjectStreamWriter();
    ObjectStreamWriter(const ObjectStreamWriter&) = delete;
    ObjectStreamWriter& operator=(const ObjectStreamWriter&) = delete;

    void EmitSignature();
    // The object record: class name, object name, properties, 0, children (none), 0.
    void EmitObject(const ListControl& control, const ClassInfo& cls = listBoxClass());
    // The records of the published and then the defined properties of `cls`, with the current
    // path prefix.
    void EmitProperties(const ListControl& control, const ClassInfo& cls);
    void EmitShortName(std::string_view name);
    void EmitInteger(std::int32_t value);
    // The program's text: tag 6 or 12 when it is all 7-bit (then it reads the same in every code
    // page), else tag 20 with each UTF-16 unit on its own.
    void EmitText(std::string_view text);
    // String properties: tag 6, 12 or 20 when UTF-8 is shorter than UTF-16, else tag 18.
    void EmitWideText(std::u16string_view text);
    void EmitIdent(std::string_view ident);
    void EmitListStart();
    void EmitEnd();
    // Tag 11, the member names (in ascending order), an empty name.
    void EmitSet(std::span<const std::string_view> members);
    // The entries of a string list: tag 1, each entry as text, tag 0.
    void EmitStrings(const ListControl& control);

    // Hands the buffered bytes to the stream; EWriteError when it takes fewer.
    void flush();

private:
    void writeByte(std::uint8_t b);
    void writeBytes(const void* data, std::size_t n);
    void writeInt32(std::int32_t v);
    void writeSevenBitText(std::string_view text);
    void writeUtf8Text(std::string_view utf8);
    void emitPath(std::string_view name);
    void flushBuffer();

    Stream& stream_;
    std::array<unsigned char, 4096> buffer_;
    std::size_t used_ = 0;
    const ClassInfo* rootClass_ = nullptr;
    std::string prefix_;
    std::string path_;
    std::string entry_;
    std::string utf8_;
};

}  // namespace klw
