#include "persist/object_stream_reader.h"

#include <algorithm>
#include <cstring>

#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"

namespace klw {
namespace {

[[noreturn]] void invalidValue() { throw EReadError(std::string(texts::kInvalidPropertyValue)); }

// Ends the redraw suspension also when reading the entries fails.
class UpdateScope {
public:
    explicit UpdateScope(ListControl& c) : control_(c) { control_.beginUpdate(); }
    ~UpdateScope() { control_.endUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

private:
    ListControl& control_;
};

// Clears the loading marks of a read that did not complete.
class LoadingScope {
public:
    explicit LoadingScope(ListControl& c) : control_(c) { control_.beginLoading(); }
    ~LoadingScope() {
        if (!done_) control_.cancelLoading();
    }
    void finish() {
        done_ = true;
        control_.endLoading();
    }
    LoadingScope(const LoadingScope&) = delete;
    LoadingScope& operator=(const LoadingScope&) = delete;

private:
    ListControl& control_;
    bool done_ = false;
};

std::uint32_t le32(const unsigned char* b) {
    return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
           (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

// The text up to its first zero byte. Entries seldom hold one, which eight bytes at a time show
// faster than a search.
std::string_view beforeZero(std::string_view text) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull, kHigh = 0x8080808080808080ull;
    auto hasZero = [](std::uint64_t w) { return ((w - kOnes) & ~w & kHigh) != 0; };
    const char* p = text.data();
    const std::size_t n = text.size();
    bool zero = false;
    if (n >= 8) {
        std::uint64_t w;
        for (std::size_t i = 0; !zero && i + 8 < n; i += 8) {
            std::memcpy(&w, p + i, 8);
            zero = hasZero(w);
        }
        std::memcpy(&w, p + n - 8, 8);
        zero = zero || hasZero(w);
    } else {
        for (std::size_t i = 0; i < n; ++i) zero = zero || p[i] == '\0';
    }
    return zero ? text.substr(0, text.find('\0')) : text;
}

}  // namespace

void renameControl(ListControl& control, std::string_view name) {
    if (name.empty()) return;
    if (!isValidIdent(name))
        throw EComponentError(formatText(texts::kInvalidComponentName, {ansiToUtf8(name)}));
    const std::string current = control.name();
    if (name == current) return;
    if (sameText(name, current)) {
        control.setName(name);
        return;
    }
    if (control.ownerHasComponent(name))
        throw EComponentError(formatText(texts::kDuplicateComponentName, {name}));
    // Any other name would take the list away from the name the window finds it by.
}

ObjectStreamReader::ObjectStreamReader(Stream& stream, const CodePage& codePage)
    : stream_(stream), codePage_(codePage) {}

ObjectStreamReader::~ObjectStreamReader() {
    if (end_ > pos_) {
        try {
            stream_.seek(-static_cast<std::int64_t>(end_ - pos_), SeekOrigin::Current);
        } catch (...) {
            // Nothing to report from a destructor; the stream stays where it is.
        }
    }
}

void ObjectStreamReader::refill() {
    pos_ = 0;
    end_ = stream_.read(buffer_.data(), buffer_.size());
    if (end_ == 0) throw EReadError(std::string(texts::kReadError));
}

std::uint8_t ObjectStreamReader::peekByte() {
    if (pos_ == end_) refill();
    return static_cast<std::uint8_t>(buffer_[pos_]);
}

std::uint8_t ObjectStreamReader::readByte() {
    if (pos_ == end_) refill();
    return static_cast<std::uint8_t>(buffer_[pos_++]);
}

void ObjectStreamReader::readBytes(void* out, std::size_t n) {
    auto* p = static_cast<char*>(out);
    while (n > 0) {
        if (pos_ == end_) refill();
        const std::size_t k = std::min(n, end_ - pos_);
        std::memcpy(p, buffer_.data() + pos_, k);
        pos_ += k;
        p += k;
        n -= k;
    }
}

std::int32_t ObjectStreamReader::readInt32() {
    unsigned char b[4];
    readBytes(b, 4);
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
        (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24));
}

std::size_t ObjectStreamReader::readLength() {
    const std::int32_t n = readInt32();
    if (n < 0) invalidValue();
    return static_cast<std::size_t>(n);
}

std::string_view ObjectStreamReader::readView(std::size_t n) {
    if (n <= end_ - pos_) {
        std::string_view v(buffer_.data() + pos_, n);
        pos_ += n;
        return v;
    }
    // Gathered as it arrives, so that a length the stream does not hold costs no allocation.
    raw_.clear();
    while (n > 0) {
        if (pos_ == end_) refill();
        const std::size_t k = std::min(n, end_ - pos_);
        raw_.append(buffer_.data() + pos_, k);
        pos_ += k;
        n -= k;
    }
    return raw_;
}

void ObjectStreamReader::readUtf16(std::size_t units, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < units; ++i) {
        unsigned char b[2];
        readBytes(b, 2);
        out.push_back(static_cast<char16_t>(b[0] | (b[1] << 8)));
    }
}

ValueTag ObjectStreamReader::PeekTag() { return static_cast<ValueTag>(peekByte()); }

bool ObjectStreamReader::AtEnd() { return peekByte() == 0; }

void ObjectStreamReader::ParseSignature() {
    char sig[4];
    readBytes(sig, sizeof sig);
    if (std::string_view(sig, sizeof sig) != kStreamSignature)
        throw EReadError(std::string(texts::kInvalidImage));
}

std::string ObjectStreamReader::ParseShortName() {
    const std::size_t n = readByte();
    return std::string(readView(n));
}

std::int32_t ObjectStreamReader::ParseInteger() {
    switch (static_cast<ValueTag>(readByte())) {
        case ValueTag::Int8:
            return static_cast<std::int8_t>(readByte());
        case ValueTag::Int16: {
            unsigned char b[2];
            readBytes(b, 2);
            return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[0] | (b[1] << 8)));
        }
        case ValueTag::Int32:
            return readInt32();
        default:
            invalidValue();
    }
}

std::string_view ObjectStreamReader::parseTextView() {
    switch (static_cast<ValueTag>(readByte())) {
        case ValueTag::ShortString:
            return ansiText(readView(readByte()));
        case ValueTag::LongString:
            return ansiText(readView(readLength()));
        case ValueTag::WideString:
            readUtf16(readLength(), wide_);
            text_.clear();
            appendUtf16AsUtf8(wide_, text_);
            return text_;
        case ValueTag::Utf8String: {
            bool broken = false;
            return streamUtf8AsText(readView(readLength()), text_, broken);
        }
        default:
            invalidValue();
    }
}

std::string_view ObjectStreamReader::ansiText(std::string_view bytes) {
    // 7-bit text reads the same in every code page and in UTF-8.
    const std::size_t plain = sevenBitPrefix(bytes);
    if (plain == bytes.size()) return bytes;
    text_.assign(bytes.substr(0, plain));
    appendAnsiAsUtf8(bytes.substr(plain), codePage_, text_);
    return text_;
}

std::string ObjectStreamReader::ParseText() { return std::string(parseTextView()); }

std::u16string ObjectStreamReader::ParseWideText() {
    switch (static_cast<ValueTag>(readByte())) {
        case ValueTag::ShortString:
            return codePage_.toUtf16(readView(readByte()));
        case ValueTag::LongString:
            return codePage_.toUtf16(readView(readLength()));
        case ValueTag::WideString: {
            std::u16string out;
            readUtf16(readLength(), out);
            return out;
        }
        case ValueTag::Utf8String: {
            std::u16string out;
            decodeStreamUtf8(readView(readLength()), out);
            return out;
        }
        default:
            invalidValue();
    }
}

std::string ObjectStreamReader::ParseIdent() {
    switch (static_cast<ValueTag>(readByte())) {
        case ValueTag::Ident:
            return ParseShortName();
        case ValueTag::False:
            return "False";
        case ValueTag::True:
            return "True";
        case ValueTag::Nil:
            return "nil";
        case ValueTag::Null:
            return "Null";
        default:
            invalidValue();
    }
}

bool ObjectStreamReader::ParseBoolean() {
    constexpr std::string_view kNames[] = {"False", "True"};
    const auto v = indexOfName(kNames, ParseIdent());
    if (!v) invalidValue();
    return *v == 1;
}

std::uint32_t ObjectStreamReader::ParseSet(std::span<const std::string_view> memberNames) {
    if (readByte() != static_cast<std::uint8_t>(ValueTag::Set)) invalidValue();
    std::uint32_t bits = 0;
    for (;;) {
        const std::size_t n = readByte();
        if (n == 0) break;
        const auto i = indexOfName(memberNames, readView(n));
        if (i && *i < 32) bits |= 1u << *i;
    }
    return bits;
}

void ObjectStreamReader::ParseListStart() {
    if (readByte() != static_cast<std::uint8_t>(ValueTag::List)) invalidValue();
}

void ObjectStreamReader::ParseEnd() {
    if (readByte() != static_cast<std::uint8_t>(ValueTag::Null)) invalidValue();
}

void ObjectStreamReader::ParseStrings(ListControl& control) {
    ParseListStart();
    {
        UpdateScope update(control);
        control.clearEntries();
        // The next zero byte in the buffer after the last search, or the buffer's end; null when
        // unknown. One search serves all the entries up to that zero byte.
        const char* zero = nullptr;
        for (;;) {
            // Short strings and UTF-8 held whole in the buffer are taken where they lie.
            std::string_view text;
            bool inBuffer = true;
            const auto* at = reinterpret_cast<const unsigned char*>(buffer_.data() + pos_);
            const std::size_t held = end_ - pos_;
            if (held >= 2 && at[0] == static_cast<unsigned char>(ValueTag::ShortString) &&
                at[1] <= held - 2) {
                const std::string_view bytes(reinterpret_cast<const char*>(at + 2), at[1]);
                pos_ += 2 + bytes.size();
                text = ansiText(bytes);
                inBuffer = text.data() == bytes.data();
            } else if (held >= 5 && at[0] == static_cast<unsigned char>(ValueTag::Utf8String) &&
                       le32(at + 1) <= held - 5) {
                const std::string_view utf8(reinterpret_cast<const char*>(at + 5), le32(at + 1));
                pos_ += 5 + utf8.size();
                bool broken = false;
                text = streamUtf8AsText(utf8, text_, broken);
                inBuffer = text.data() == utf8.data();
            } else {
                if (AtEnd()) break;
                text = parseTextView();
                inBuffer = false;
                zero = nullptr;  // the buffer may hold other bytes now
            }
            // The native list keeps an entry up to its first zero character (in UTF-8 the only
            // zero byte).
            if (inBuffer) {
                const char* heldEnd = buffer_.data() + end_;
                if (!zero || zero < text.data()) {
                    zero = static_cast<const char*>(std::memchr(
                        text.data(), 0, static_cast<std::size_t>(heldEnd - text.data())));
                    if (!zero) zero = heldEnd;
                }
                if (zero < text.data() + text.size())
                    text = text.substr(0, static_cast<std::size_t>(zero - text.data()));
            } else {
                text = beforeZero(text);
            }
            control.appendEntry(text);
        }
    }
    ParseEnd();
}

void ObjectStreamReader::readValue(ListControl& control, const PropertyInfo& p) {
    switch (p.kind) {
        case PropertyKind::Integer:
            if (PeekTag() == ValueTag::Ident) {
                if (p.valueNames.empty()) invalidValue();
                const auto v = valueOfName(p.valueNames, ParseIdent());
                if (!v) invalidValue();
                p.setOrdinal(control, *v);
            } else {
                p.setOrdinal(control, ParseInteger());
            }
            return;
        case PropertyKind::Enumeration: {
            const auto v = indexOfName(p.names, ParseIdent());
            if (!v) invalidValue();
            p.setOrdinal(control, *v);
            return;
        }
        case PropertyKind::Set:
            p.setOrdinal(control, static_cast<std::int32_t>(ParseSet(p.names)));
            return;
        case PropertyKind::String:
            p.setString(control, parseTextView());
            return;
        case PropertyKind::Object:
            switch (PeekTag()) {
                case ValueTag::Nil:
                    readByte();
                    throw EConvertError(
                        formatText(texts::kAssignError, {"nil", p.objectClass->className}));
                case ValueTag::Ident:
                    // A reference by name: the window offers no component to refer to, so it
                    // resolves to nothing and the held object stays.
                    ParseIdent();
                    return;
                default:
                    // Includes tag 14: none of these objects is a collection.
                    invalidValue();
            }
        case PropertyKind::Component:
            switch (PeekTag()) {
                case ValueTag::Nil:
                    readByte();
                    p.setString(control, {});
                    return;
                case ValueTag::Ident:
                    // The window has no pop-up menu: the name resolves to nothing.
                    ParseIdent();
                    return;
                default:
                    invalidValue();
            }
        case PropertyKind::Event:
            switch (PeekTag()) {
                case ValueTag::Nil:
                    readByte();
                    control.removeHandler(p.event);
                    return;
                case ValueTag::Ident:
                    // Only a published method of the root's class may be named; the list
                    // control's class has none.
                    if (!rootClass_->hasPublishedMethod(ParseIdent())) invalidValue();
                    return;
                default:
                    invalidValue();
            }
    }
}

void ObjectStreamReader::applyProperty(ListControl& control, const ClassInfo& cls,
                                       std::string_view path) {
    const ClassInfo* current = &cls;
    std::size_t start = 0;
    for (std::size_t dot; (dot = path.find('.', start)) != std::string_view::npos;
         start = dot + 1) {
        const PropertyInfo* p = current->findProperty(path.substr(start, dot - start));
        if (!p) throw EReadError(std::string(texts::kUnknownProperty));
        if (p->kind != PropertyKind::Object || !p->objectClass)
            throw EReadError(std::string(texts::kInvalidPropertyPath));
        current = p->objectClass;
    }
    const std::string_view last = path.substr(start);
    if (const PropertyInfo* p = current->findProperty(last)) {
        readValue(control, *p);
    } else if (const DefinedPropertyInfo* d = current->findDefined(last)) {
        d->read(*this, control);
    } else {
        throw EReadError(std::string(texts::kUnknownProperty));
    }
}

void ObjectStreamReader::ParseProperty(ListControl& control, const ClassInfo& cls) {
    const std::string path = ParseShortName();
    try {
        applyProperty(control, cls, path);
    } catch (const Exception& e) {
        std::string owner = control.name();
        if (owner.empty()) owner = std::string(cls.className);
        throw EReadError(
            formatText(texts::kPropertyReadError, {owner, ".", ansiToUtf8(path), e.message()}));
    }
}

void ObjectStreamReader::skipChild() {
    if (peekByte() >= 0xF0) {
        if (readByte() & 2) ParseInteger();
    }
    const std::string className = ParseShortName();
    // No child class can be built inside the list control.
    throw EClassNotFound(formatText(texts::kClassNotFound, {ansiToUtf8(className)}));
}

void ObjectStreamReader::ParseRoot(ListControl& control, const ClassInfo& cls) {
    rootClass_ = &cls;
    ParseSignature();
    if (peekByte() >= 0xF0) {
        // Flags of an inherited or inline image, and a child position: meaningless for a root.
        if (readByte() & 2) ParseInteger();
    }
    ParseShortName();  // the class name is not compared with the control's
    LoadingScope loading(control);
    const std::string name = ParseShortName();
    std::string unique = name;
    for (std::int64_t i = 1; control.topLevelHasName(unique); ++i)
        unique = formatText("%s_%d", {name, i});
    renameControl(control, unique);
    while (!AtEnd()) ParseProperty(control, cls);
    ParseEnd();
    while (!AtEnd()) skipChild();
    ParseEnd();
    loading.finish();
}

}  // namespace klw
