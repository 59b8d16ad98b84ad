#include "persist/object_stream_writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "persist/stream_format.h"
#include "runtime/exceptions.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {

ObjectStreamWriter::ObjectStreamWriter(Stream& stream) : stream_(stream) {}

ObjectStreamWriter::~ObjectStreamWriter() {
    try {
        flushBuffer();
    } catch (...) {
        // A destructor must not throw; flush() reports the failure to callers who ask.
    }
}

void ObjectStreamWriter::flush() { flushBuffer(); }

void ObjectStreamWriter::flushBuffer() {
    if (used_ == 0) return;
    const std::size_t n = used_;
    used_ = 0;
    if (stream_.write(buffer_.data(), n) != n) throw EWriteError(std::string(texts::kWriteError));
}

void ObjectStreamWriter::writeByte(std::uint8_t b) {
    if (used_ == buffer_.size()) flushBuffer();
    buffer_[used_++] = b;
}

void ObjectStreamWriter::writeBytes(const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    while (n > 0) {
        if (used_ == buffer_.size()) flushBuffer();
        const std::size_t k = std::min(n, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, p, k);
        used_ += k;
        p += k;
        n -= k;
    }
}

void ObjectStreamWriter::writeInt32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    const unsigned char b[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                static_cast<unsigned char>(u >> 16),
                                static_cast<unsigned char>(u >> 24)};
    writeBytes(b, 4);
}

void ObjectStreamWriter::EmitSignature() {
    writeBytes(kStreamSignature.data(), kStreamSignature.size());
}

void ObjectStreamWriter::EmitObject(const ListControl& control, const ClassInfo& cls) {
    rootClass_ = &cls;
    EmitShortName(cls.className);
    EmitShortName(control.name());
    prefix_.clear();
    EmitProperties(control, cls);
    EmitEnd();
    // A list control owns no child objects.
    EmitEnd();
}

void ObjectStreamWriter::emitPath(std::string_view name) {
    path_.assign(prefix_);
    path_.append(name);
    EmitShortName(path_);
}

void ObjectStreamWriter::EmitProperties(const ListControl& control, const ClassInfo& cls) {
    for (const PropertyInfo& p : cls.properties) {
        if (p.stored && !p.stored(control)) continue;
        switch (p.kind) {
            case PropertyKind::Integer: {
                const std::int32_t v = p.getOrdinal(control);
                if (p.defaultValue && v == *p.defaultValue) break;
                emitPath(p.name);
                if (const auto name = nameOfValue(p.valueNames, v))
                    EmitIdent(*name);
                else
                    EmitInteger(v);
                break;
            }
            case PropertyKind::Enumeration: {
                const std::int32_t v = p.getOrdinal(control);
                if (p.defaultValue && v == *p.defaultValue) break;
                emitPath(p.name);
                if (v >= 0 && static_cast<std::size_t>(v) < p.names.size())
                    EmitIdent(p.names[static_cast<std::size_t>(v)]);
                else
                    EmitInteger(v);
                break;
            }
            case PropertyKind::Set: {
                const std::int32_t v = p.getOrdinal(control);
                if (p.defaultValue && v == *p.defaultValue) break;
                emitPath(p.name);
                std::vector<std::string_view> members;
                for (std::size_t i = 0; i < p.names.size(); ++i)
                    if (static_cast<std::uint32_t>(v) & (1u << i)) members.push_back(p.names[i]);
                EmitSet(members);
                break;
            }
            case PropertyKind::String: {
                const std::string s = p.getString(control);
                if (s.empty()) break;
                emitPath(p.name);
                EmitWideText(utf8ToUtf16(s));
                break;
            }
            case PropertyKind::Object: {
                const std::size_t keep = prefix_.size();
                prefix_.append(p.name);
                prefix_.push_back('.');
                EmitProperties(control, *p.objectClass);
                prefix_.resize(keep);
                break;
            }
            case PropertyKind::Component: {
                const std::string s = p.getString(control);
                if (s.empty()) break;
                emitPath(p.name);
                EmitIdent(s);
                break;
            }
            case PropertyKind::Event: {
                // Only a published method of the root's class can be named in the stream.
                const std::string h = control.handlerName(p.event);
                if (h.empty() || !rootClass_ || !rootClass_->hasPublishedMethod(h)) break;
                emitPath(p.name);
                EmitIdent(h);
                break;
            }
        }
    }
    for (const DefinedPropertyInfo& d : cls.defined) {
        if (!d.hasData(control)) continue;
        emitPath(d.name);
        d.write(*this, control);
    }
}

void ObjectStreamWriter::EmitShortName(std::string_view name) {
    const std::size_t n = std::min<std::size_t>(name.size(), 255);
    writeByte(static_cast<std::uint8_t>(n));
    writeBytes(name.data(), n);
}

void ObjectStreamWriter::EmitInteger(std::int32_t value) {
    if (value >= -128 && value <= 127) {
        writeByte(static_cast<std::uint8_t>(ValueTag::Int8));
        writeByte(static_cast<std::uint8_t>(value));
    } else if (value >= -32768 && value <= 32767) {
        const auto u = static_cast<std::uint16_t>(value);
        const unsigned char b[3] = {static_cast<unsigned char>(ValueTag::Int16),
                                    static_cast<unsigned char>(u),
                                    static_cast<unsigned char>(u >> 8)};
        writeBytes(b, 3);
    } else {
        writeByte(static_cast<std::uint8_t>(ValueTag::Int32));
        writeInt32(value);
    }
}

void ObjectStreamWriter::writeSevenBitText(std::string_view text) {
    if (text.size() <= 255) {
        const unsigned char head[2] = {static_cast<unsigned char>(ValueTag::ShortString),
                                       static_cast<unsigned char>(text.size())};
        writeBytes(head, 2);
    } else {
        writeByte(static_cast<std::uint8_t>(ValueTag::LongString));
        writeInt32(static_cast<std::int32_t>(text.size()));
    }
    writeBytes(text.data(), text.size());
}

void ObjectStreamWriter::writeUtf8Text(std::string_view utf8) {
    writeByte(static_cast<std::uint8_t>(ValueTag::Utf8String));
    writeInt32(static_cast<std::int32_t>(utf8.size()));
    writeBytes(utf8.data(), utf8.size());
}

void ObjectStreamWriter::EmitText(std::string_view text) {
    // 7-bit text is its own UTF-8 form and reads the same in every ANSI code page. When it fits,
    // it is copied into place and checked in the same pass, and kept only if it is 7-bit.
    const std::size_t n = text.size();
    const std::size_t head = n <= 255 ? 2 : 5;
    std::size_t plain;
    if (head + n <= buffer_.size() - used_) {
        unsigned char* out = buffer_.data() + used_;
        plain = copySevenBitPrefix(text, reinterpret_cast<char*>(out + head));
        if (plain == n) {
            if (head == 2) {
                out[0] = static_cast<unsigned char>(ValueTag::ShortString);
                out[1] = static_cast<unsigned char>(n);
            } else {
                out[0] = static_cast<unsigned char>(ValueTag::LongString);
                for (int i = 0; i < 4; ++i) out[1 + i] = static_cast<unsigned char>(n >> (8 * i));
            }
            used_ += head + n;
            return;
        }
    } else {
        plain = sevenBitPrefix(text);
        if (plain == n) {
            writeSevenBitText(text);
            return;
        }
    }
    // Tag 20. The leading 7-bit run is its own stream form; the rest is encoded straight into
    // the buffer when it may take three bytes per byte there, else through a scratch string.
    const std::size_t most = 5 + plain + 3 * (n - plain);
    if (most <= buffer_.size()) {
        if (most > buffer_.size() - used_) flushBuffer();
        char* out = reinterpret_cast<char*>(buffer_.data() + used_);
        std::memcpy(out + 5, text.data(), plain);
        const std::size_t length = plain + encodeStreamUtf8(text.substr(plain), out + 5 + plain);
        out[0] = static_cast<char>(ValueTag::Utf8String);
        for (std::size_t i = 0; i < 4; ++i) out[1 + i] = static_cast<char>(length >> (8 * i));
        used_ += 5 + length;
        return;
    }
    utf8_.resize(plain + 3 * (n - plain));
    std::memcpy(utf8_.data(), text.data(), plain);
    utf8_.resize(plain + encodeStreamUtf8(text.substr(plain), utf8_.data() + plain));
    writeUtf8Text(utf8_);
}

void ObjectStreamWriter::EmitWideText(std::u16string_view text) {
    // The stream's UTF-8 form, by way of the program's text (string properties are short).
    const std::string programText = utf16ToUtf8(text);
    utf8_.resize(3 * programText.size());
    utf8_.resize(encodeStreamUtf8(programText, utf8_.data()));
    if (utf8_.size() < 2 * text.size()) {
        if (utf8_.size() == text.size())
            writeSevenBitText(utf8_);
        else
            writeUtf8Text(utf8_);
        return;
    }
    writeByte(static_cast<std::uint8_t>(ValueTag::WideString));
    writeInt32(static_cast<std::int32_t>(text.size()));
    for (const char16_t u : text) {
        const unsigned char b[2] = {static_cast<unsigned char>(u & 0xFF),
                                    static_cast<unsigned char>(u >> 8)};
        writeBytes(b, 2);
    }
}

void ObjectStreamWriter::EmitIdent(std::string_view ident) {
    if (sameText(ident, "False")) {
        writeByte(static_cast<std::uint8_t>(ValueTag::False));
    } else if (sameText(ident, "True")) {
        writeByte(static_cast<std::uint8_t>(ValueTag::True));
    } else if (sameText(ident, "Null")) {
        writeByte(static_cast<std::uint8_t>(ValueTag::Null));
    } else if (sameText(ident, "nil")) {
        writeByte(static_cast<std::uint8_t>(ValueTag::Nil));
    } else {
        writeByte(static_cast<std::uint8_t>(ValueTag::Ident));
        EmitShortName(ident);
    }
}

void ObjectStreamWriter::EmitListStart() { writeByte(static_cast<std::uint8_t>(ValueTag::List)); }

void ObjectStreamWriter::EmitEnd() { writeByte(static_cast<std::uint8_t>(ValueTag::Null)); }

void ObjectStreamWriter::EmitSet(std::span<const std::string_view> members) {
    writeByte(static_cast<std::uint8_t>(ValueTag::Set));
    for (const auto& m : members) EmitShortName(m);
    writeByte(0);
}

void ObjectStreamWriter::EmitStrings(const ListControl& control) {
    EmitListStart();
    const int n = control.count();
    for (int i = 0; i < n; ++i) EmitText(control.entryView(i, entry_));
    EmitEnd();
}

}  // namespace klw
