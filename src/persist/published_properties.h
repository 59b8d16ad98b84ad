#pragma once
// The published properties of the list control and its sub-objects: names in index order, kinds,
// defaults, stored conditions and name tables. The writer chooses its records from this
// description and the reader takes its vocabulary from it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "persist/list_control.h"

namespace klw {

class ObjectStreamWriter;
class ObjectStreamReader;
struct ClassInfo;

enum class PropertyKind {
    Integer,      // maybe with a table of names (colours, cursors, character sets)
    Enumeration,  // Booleans included: names False, True
    Set,
    String,
    Object,     // a sub-object held by the control (Font, Constraints, Items)
    Component,  // a reference to another component (PopupMenu)
    Event,
};

struct NamedValue {
    std::string_view name;
    std::int32_t value;
};

struct PropertyInfo {
    std::string_view name;
    PropertyKind kind;
    // Integer: the table of names, if any. Enumeration and Set: the names of the values or
    // members in order.
    std::span<const NamedValue> valueNames = {};
    std::span<const std::string_view> names = {};
    std::optional<std::int32_t> defaultValue = {};
    // nullptr: always stored.
    bool (*stored)(const ListControl&) = nullptr;
    // Integer, Enumeration, Set.
    std::int32_t (*getOrdinal)(const ListControl&) = nullptr;
    void (*setOrdinal)(ListControl&, std::int32_t) = nullptr;
    // String and Component (the referenced name).
    std::string (*getString)(const ListControl&) = nullptr;
    void (*setString)(ListControl&, std::string_view) = nullptr;
    // Object.
    const ClassInfo* objectClass = nullptr;
    // Event.
    ListEvent event = ListEvent::Click;
};

// A property the object streams itself (IsControl, DesignSize, Strings).
struct DefinedPropertyInfo {
    std::string_view name;
    bool (*hasData)(const ListControl&);
    void (*write)(ObjectStreamWriter&, const ListControl&);
    void (*read)(ObjectStreamReader&, ListControl&);
};

struct ClassInfo {
    std::string_view className;
    std::span<const PropertyInfo> properties;
    std::span<const DefinedPropertyInfo> defined;
    // Methods a stream may name as event handlers; the list control's class has none.
    std::span<const std::string_view> publishedMethods;

    const PropertyInfo* findProperty(std::string_view name) const;
    const DefinedPropertyInfo* findDefined(std::string_view name) const;
    bool hasPublishedMethod(std::string_view name) const;
};

// TListBox and the classes of its sub-objects.
const ClassInfo& listBoxClass();
const ClassInfo& fontClass();
const ClassInfo& sizeConstraintsClass();
const ClassInfo& listBoxStringsClass();

// The anchors that an alignment implies (Anchors is stored only when it differs from them).
std::uint32_t impliedAnchors(std::int32_t align);

std::span<const NamedValue> colorNames();
std::span<const NamedValue> cursorNames();
std::span<const NamedValue> charsetNames();

// First row with the value, in table order.
std::optional<std::string_view> nameOfValue(std::span<const NamedValue> table, std::int32_t value);
// The value of a name, any letter case.
std::optional<std::int32_t> valueOfName(std::span<const NamedValue> table, std::string_view name);
// Position of a name in a list of names, any letter case.
std::optional<std::int32_t> indexOfName(std::span<const std::string_view> names,
                                        std::string_view name);

}  // namespace klw
