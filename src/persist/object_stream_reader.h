#pragma once
// Reads a component stream ("TPF0" image) into an existing control.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "persist/list_control.h"
#include "persist/published_properties.h"
#include "persist/stream_format.h"
#include "runtime/codepage.h"
#include "runtime/stream.h"

namespace klw {

class ObjectStreamReader {
public:
    explicit ObjectStreamReader(Stream& stream, const CodePage& codePage = ansiCodePage());
    // Moves the stream back to just after the last byte consumed.
    ~ObjectStreamReader();
    ObjectStreamReader(const ObjectStreamReader&) = delete;
    ObjectStreamReader& operator=(const ObjectStreamReader&) = delete;

    // Reads the whole stream into the control; raises the first error. Records before a failing
    // one keep their effect.
    void ParseRoot(ListControl& control, const ClassInfo& cls = listBoxClass());
    // EReadError "不正なイメージ リスト" unless the next 4 bytes are "TPF0".
    void ParseSignature();
    // Reads one property record and applies it; errors come as EReadError
    // "<object>.<path> の読み込み中のエラー : <first error>".
    void ParseProperty(ListControl& control, const ClassInfo& cls = listBoxClass());

    ValueTag PeekTag();
    bool AtEnd();
    std::string ParseShortName();
    std::int32_t ParseInteger();
    // Tags 6, 12, 18, 20, as the program's text (tags 6 and 12 hold bytes in the ANSI code page).
    std::string ParseText();
    // Tags 6, 12, 18, 20, as UTF-16.
    std::u16string ParseWideText();
    // Tag 7; tags 8, 9, 13 and 0 give "False", "True", "nil" and "Null".
    std::string ParseIdent();
    bool ParseBoolean();
    // Tag 11: the bits of the named members; other names are passed over.
    std::uint32_t ParseSet(std::span<const std::string_view> memberNames);
    void ParseListStart();
    void ParseEnd();
    // The entries of a string list: they replace the control's, with redrawing suspended.
    void ParseStrings(ListControl& control);

private:
    std::uint8_t peekByte();
    std::uint8_t readByte();
    void readBytes(void* out, std::size_t n);
    std::int32_t readInt32();
    std::size_t readLength();
    // `n` bytes, viewed in the buffer when they are there, else gathered in raw_. Valid until the
    // next read.
    std::string_view readView(std::size_t n);
    std::string_view parseTextView();
    // Bytes of tag 6 or 12 as the program's text; a view of `bytes` itself or of text_.
    std::string_view ansiText(std::string_view bytes);
    void readUtf16(std::size_t units, std::u16string& out);
    void refill();
    void applyProperty(ListControl& control, const ClassInfo& cls, std::string_view path);
    void readValue(ListControl& control, const PropertyInfo& p);
    void skipChild();

    Stream& stream_;
    const CodePage& codePage_;
    std::array<char, 4096> buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    const ClassInfo* rootClass_ = &listBoxClass();
    std::string raw_;
    std::string text_;
    std::u16string wide_;
};

// Gives a name read from a stream to the control: an empty name, or one that differs from the
// control's in more than letter case, is passed over (the window finds its list by that name);
// one that is no identifier, or another control's, is an EComponentError.
void renameControl(ListControl& control, std::string_view name);

}  // namespace klw
