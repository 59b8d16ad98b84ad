#include "persist/published_properties.h"

#include <type_traits>

#include "persist/object_stream_reader.h"
#include "persist/object_stream_writer.h"
#include "persist/stream_format.h"

namespace klw {
namespace {

constexpr std::int32_t sys(std::int32_t n) { return kSystemColor + n; }

constexpr NamedValue kColors[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clActiveBorder", sys(10)},
    {"clActiveCaption", sys(2)},
    {"clAppWorkSpace", sys(12)},
    {"clBackground", sys(1)},
    {"clBtnFace", sys(15)},
    {"clBtnHighlight", sys(20)},
    {"clBtnShadow", sys(16)},
    {"clBtnText", sys(18)},
    {"clCaptionText", sys(9)},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", sys(27)},
    {"clGradientInactiveCaption", sys(28)},
    {"clGrayText", sys(17)},
    {"clHighlight", sys(13)},
    {"clHighlightText", sys(14)},
    {"clInactiveBorder", sys(11)},
    {"clInactiveCaption", sys(3)},
    {"clInactiveCaptionText", sys(19)},
    {"clInfoBk", sys(24)},
    {"clInfoText", sys(23)},
    {"clMenu", sys(4)},
    {"clMenuText", sys(7)},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", sys(0)},
    {"cl3DDkShadow", sys(21)},
    {"cl3DLight", sys(22)},
    {"clWindow", sys(5)},
    {"clWindowFrame", sys(6)},
    {"clWindowText", sys(8)},
};
static_assert(std::size(kColors) == 49);

constexpr NamedValue kCursors[] = {
    {"crDefault", 0},   {"crArrow", -2},      {"crCross", -3},      {"crIBeam", -4},
    {"crSizeNESW", -6}, {"crSizeNS", -7},     {"crSizeNWSE", -8},   {"crSizeWE", -9},
    {"crUpArrow", -10}, {"crHourGlass", -11}, {"crDrag", -12},      {"crNoDrop", -13},
    {"crHSplit", -14},  {"crVSplit", -15},    {"crMultiDrag", -16}, {"crSQLWait", -17},
    {"crNo", -18},      {"crAppStart", -19},  {"crHelp", -20},      {"crHandPoint", -21},
    {"crSizeAll", -22}, {"crSize", -22},
};

constexpr NamedValue kCharsets[] = {
    {"ANSI_CHARSET", 0},     {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},     {"SHIFTJIS_CHARSET", 128},   {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},  {"GB2312_CHARSET", 134},     {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},  {"TURKISH_CHARSET", 162},    {"HEBREW_CHARSET", 177},
    {"ARABIC_CHARSET", 178}, {"BALTIC_CHARSET", 186},     {"RUSSIAN_CHARSET", 204},
    {"THAI_CHARSET", 222},   {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
};

constexpr std::string_view kBooleans[] = {"False", "True"};
constexpr std::string_view kHelpTypes[] = {"htKeyword", "htContext"};
constexpr std::string_view kListStyles[] = {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable",
                                            "lbVirtual", "lbVirtualOwnerDraw"};
constexpr std::string_view kAligns[] = {"alNone",  "alTop",    "alBottom", "alLeft",
                                        "alRight", "alClient", "alCustom"};
constexpr std::string_view kBevelCuts[] = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
constexpr std::string_view kBevelKinds[] = {"bkNone", "bkTile", "bkSoft", "bkFlat"};
constexpr std::string_view kBiDiModes[] = {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign",
                                           "bdRightToLeftReadingOnly"};
constexpr std::string_view kBorderStyles[] = {"bsNone", "bsSingle"};
constexpr std::string_view kDragKinds[] = {"dkDrag", "dkDock"};
constexpr std::string_view kDragModes[] = {"dmManual", "dmAutomatic"};
constexpr std::string_view kImeModes[] = {"imDisable", "imClose",   "imOpen",     "imDontCare",
                                          "imSAlpha",  "imAlpha",   "imHira",     "imSKata",
                                          "imKata",    "imChinese", "imSHanguel", "imHanguel"};
constexpr std::string_view kFontPitches[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr std::string_view kAnchors[] = {"akLeft", "akTop", "akRight", "akBottom"};
constexpr std::string_view kBevelEdges[] = {"beLeft", "beTop", "beRight", "beBottom"};
constexpr std::string_view kFontStyles[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};

// Accessors of the stored values.
template <auto Member>
std::int32_t getOrd(const ListControl& c) {
    return static_cast<std::int32_t>(c.properties().*Member);
}
template <auto Member>
void setOrd(ListControl& c, std::int32_t v) {
    auto& field = c.properties().*Member;
    field = static_cast<std::remove_reference_t<decltype(field)>>(v);
}
template <auto Member>
std::int32_t getFontOrd(const ListControl& c) {
    return static_cast<std::int32_t>(c.properties().font.*Member);
}
template <auto Member>
void setFontOrd(ListControl& c, std::int32_t v) {
    auto& field = c.properties().font.*Member;
    field = static_cast<std::remove_reference_t<decltype(field)>>(v);
}
template <auto Member>
std::int32_t getLimit(const ListControl& c) {
    return c.properties().constraints.*Member;
}
template <auto Member>
void setLimit(ListControl& c, std::int32_t v) {
    c.properties().constraints.*Member = v;
}
template <auto Member>
std::string getStr(const ListControl& c) {
    return c.properties().*Member;
}
template <auto Member>
void setStr(ListControl& c, std::string_view v) {
    c.properties().*Member = std::string(v);
}

using Getter = std::int32_t (*)(const ListControl&);
using Setter = void (*)(ListControl&, std::int32_t);
using Stored = bool (*)(const ListControl&);

constexpr PropertyInfo integer(std::string_view name, Getter get, Setter set,
                               std::optional<std::int32_t> def,
                               std::span<const NamedValue> table = {}, Stored stored = nullptr) {
    return {.name = name,
            .kind = PropertyKind::Integer,
            .valueNames = table,
            .defaultValue = def,
            .stored = stored,
            .getOrdinal = get,
            .setOrdinal = set};
}

constexpr PropertyInfo enumeration(std::string_view name, std::span<const std::string_view> names,
                                   Getter get, Setter set, std::optional<std::int32_t> def,
                                   Stored stored = nullptr) {
    return {.name = name,
            .kind = PropertyKind::Enumeration,
            .names = names,
            .defaultValue = def,
            .stored = stored,
            .getOrdinal = get,
            .setOrdinal = set};
}

constexpr PropertyInfo boolean(std::string_view name, Getter get, Setter set,
                               std::optional<bool> def, Stored stored = nullptr) {
    return enumeration(name, kBooleans, get, set,
                       def ? std::optional<std::int32_t>(*def ? 1 : 0) : std::nullopt, stored);
}

constexpr PropertyInfo setProperty(std::string_view name, std::span<const std::string_view> members,
                                   Getter get, Setter set, std::optional<std::int32_t> def,
                                   Stored stored = nullptr) {
    return {.name = name,
            .kind = PropertyKind::Set,
            .names = members,
            .defaultValue = def,
            .stored = stored,
            .getOrdinal = get,
            .setOrdinal = set};
}

constexpr PropertyInfo string(std::string_view name, std::string (*get)(const ListControl&),
                              void (*set)(ListControl&, std::string_view),
                              Stored stored = nullptr) {
    return {.name = name,
            .kind = PropertyKind::String,
            .stored = stored,
            .getString = get,
            .setString = set};
}

constexpr PropertyInfo object(std::string_view name, const ClassInfo& cls,
                              Stored stored = nullptr) {
    return {.name = name, .kind = PropertyKind::Object, .stored = stored, .objectClass = &cls};
}

constexpr PropertyInfo event(std::string_view name, ListEvent e) {
    return {.name = name, .kind = PropertyKind::Event, .event = e};
}

constexpr bool never(const ListControl&) { return false; }

}  // namespace

// The edges an alignment glues the control to.
std::uint32_t impliedAnchors(std::int32_t align) {
    switch (align) {
        case 1:  // alTop
            return kAkLeft | kAkTop | kAkRight;
        case 2:  // alBottom
            return kAkLeft | kAkRight | kAkBottom;
        case 3:  // alLeft
            return kAkLeft | kAkTop | kAkBottom;
        case 4:  // alRight
            return kAkRight | kAkTop | kAkBottom;
        case 5:  // alClient
            return kAkLeft | kAkTop | kAkRight | kAkBottom;
        default:  // alNone, alCustom
            return kAkLeft | kAkTop;
    }
}

namespace {

// TFont
constexpr PropertyInfo kFontProperties[] = {
    integer("Charset", getFontOrd<&FontProperties::charset>, setFontOrd<&FontProperties::charset>,
            std::nullopt, kCharsets),
    integer("Color", getFontOrd<&FontProperties::color>, setFontOrd<&FontProperties::color>,
            std::nullopt, kColors),
    integer("Height", getFontOrd<&FontProperties::height>, setFontOrd<&FontProperties::height>,
            std::nullopt),
    string(
        "Name", [](const ListControl& c) { return c.properties().font.name; },
        [](ListControl& c, std::string_view v) { c.properties().font.name = std::string(v); }),
    enumeration("Pitch", kFontPitches, getFontOrd<&FontProperties::pitch>,
                setFontOrd<&FontProperties::pitch>, 0),
    // Size is the height in points at the screen's 96 pixels per inch; only Height is stored.
    integer(
        "Size",
        [](const ListControl& c) {
            const std::int64_t h = c.properties().font.height;
            return static_cast<std::int32_t>(-(h * 72 + (h < 0 ? -48 : 48)) / 96);
        },
        [](ListControl& c, std::int32_t v) {
            const std::int64_t h = (static_cast<std::int64_t>(v) * 96 + (v < 0 ? -36 : 36)) / 72;
            c.properties().font.height = static_cast<std::int32_t>(-h);
        },
        std::nullopt, {}, never),
    setProperty("Style", kFontStyles, getFontOrd<&FontProperties::style>,
                setFontOrd<&FontProperties::style>, std::nullopt),
};

constexpr PropertyInfo kConstraintProperties[] = {
    integer("MaxHeight", getLimit<&SizeConstraints::maxHeight>,
            setLimit<&SizeConstraints::maxHeight>, 0),
    integer("MaxWidth", getLimit<&SizeConstraints::maxWidth>, setLimit<&SizeConstraints::maxWidth>,
            0),
    integer("MinHeight", getLimit<&SizeConstraints::minHeight>,
            setLimit<&SizeConstraints::minHeight>, 0),
    integer("MinWidth", getLimit<&SizeConstraints::minWidth>, setLimit<&SizeConstraints::minWidth>,
            0),
};

const DefinedPropertyInfo kStringsDefined[] = {
    {"Strings", [](const ListControl& c) { return c.count() > 0; },
     [](ObjectStreamWriter& w, const ListControl& c) { w.EmitStrings(c); },
     [](ObjectStreamReader& r, ListControl& c) { r.ParseStrings(c); }},
};

const ClassInfo kFontClass{"TFont", kFontProperties, {}, {}};
const ClassInfo kConstraintsClass{"TSizeConstraints", kConstraintProperties, {}, {}};
const ClassInfo kStringsClass{"TListBoxStrings", {}, kStringsDefined, {}};

const PropertyInfo kListBoxProperties[] = {
    string(
        "Name", [](const ListControl& c) { return c.name(); },
        [](ListControl& c, std::string_view v) { renameControl(c, v); }, never),
    integer("Tag", getOrd<&ListBoxProperties::tag>, setOrd<&ListBoxProperties::tag>, 0),
    integer(
        "Left", [](const ListControl& c) { return c.left(); },
        [](ListControl& c, std::int32_t v) { c.setLeft(v); }, std::nullopt),
    integer(
        "Top", [](const ListControl& c) { return c.top(); },
        [](ListControl& c, std::int32_t v) { c.setTop(v); }, std::nullopt),
    integer(
        "Width", [](const ListControl& c) { return c.width(); },
        [](ListControl& c, std::int32_t v) { c.setWidth(v); }, std::nullopt),
    integer(
        "Height", [](const ListControl& c) { return c.height(); },
        [](ListControl& c, std::int32_t v) { c.setHeight(v); }, std::nullopt),
    integer("Cursor", getOrd<&ListBoxProperties::cursor>, setOrd<&ListBoxProperties::cursor>, 0,
            kCursors),
    string("Hint", getStr<&ListBoxProperties::hint>, setStr<&ListBoxProperties::hint>),
    enumeration("HelpType", kHelpTypes, getOrd<&ListBoxProperties::helpType>,
                setOrd<&ListBoxProperties::helpType>, 1),
    string("HelpKeyword", getStr<&ListBoxProperties::helpKeyword>,
           setStr<&ListBoxProperties::helpKeyword>),
    integer("HelpContext", getOrd<&ListBoxProperties::helpContext>,
            setOrd<&ListBoxProperties::helpContext>, 0),
    boolean("TabStop", getOrd<&ListBoxProperties::tabStop>, setOrd<&ListBoxProperties::tabStop>,
            true),
    enumeration("Style", kListStyles, getOrd<&ListBoxProperties::style>,
                setOrd<&ListBoxProperties::style>, 0),
    boolean("AutoComplete", getOrd<&ListBoxProperties::autoComplete>,
            setOrd<&ListBoxProperties::autoComplete>, true),
    enumeration("Align", kAligns, getOrd<&ListBoxProperties::align>,
                setOrd<&ListBoxProperties::align>, 0),
    setProperty("Anchors", kAnchors, getOrd<&ListBoxProperties::anchors>,
                setOrd<&ListBoxProperties::anchors>, kAkLeft | kAkTop,
                [](const ListControl& c) {
                    return c.properties().anchors != impliedAnchors(c.properties().align);
                }),
    setProperty("BevelEdges", kBevelEdges, getOrd<&ListBoxProperties::bevelEdges>,
                setOrd<&ListBoxProperties::bevelEdges>, 0xF),
    enumeration("BevelInner", kBevelCuts, getOrd<&ListBoxProperties::bevelInner>,
                setOrd<&ListBoxProperties::bevelInner>, 2),
    enumeration("BevelKind", kBevelKinds, getOrd<&ListBoxProperties::bevelKind>,
                setOrd<&ListBoxProperties::bevelKind>, 0),
    enumeration("BevelOuter", kBevelCuts, getOrd<&ListBoxProperties::bevelOuter>,
                setOrd<&ListBoxProperties::bevelOuter>, 1),
    enumeration("BiDiMode", kBiDiModes, getOrd<&ListBoxProperties::biDiMode>,
                setOrd<&ListBoxProperties::biDiMode>, std::nullopt,
                [](const ListControl& c) { return !c.properties().parentBiDiMode; }),
    enumeration("BorderStyle", kBorderStyles, getOrd<&ListBoxProperties::borderStyle>,
                setOrd<&ListBoxProperties::borderStyle>, 1),
    integer(
        "Color", [](const ListControl& c) { return c.color(); },
        [](ListControl& c, std::int32_t v) { c.setColor(v); }, kClWindow, kColors,
        [](const ListControl& c) { return !c.properties().parentColor; }),
    integer("Columns", getOrd<&ListBoxProperties::columns>, setOrd<&ListBoxProperties::columns>, 0),
    object("Constraints", kConstraintsClass),
    boolean("Ctl3D", getOrd<&ListBoxProperties::ctl3D>, setOrd<&ListBoxProperties::ctl3D>,
            std::nullopt, [](const ListControl& c) { return !c.properties().parentCtl3D; }),
    integer("DragCursor", getOrd<&ListBoxProperties::dragCursor>,
            setOrd<&ListBoxProperties::dragCursor>, -12, kCursors),
    enumeration("DragKind", kDragKinds, getOrd<&ListBoxProperties::dragKind>,
                setOrd<&ListBoxProperties::dragKind>, 0),
    enumeration("DragMode", kDragModes, getOrd<&ListBoxProperties::dragMode>,
                setOrd<&ListBoxProperties::dragMode>, 0),
    boolean("Enabled", getOrd<&ListBoxProperties::enabled>, setOrd<&ListBoxProperties::enabled>,
            true),
    boolean("ExtendedSelect", getOrd<&ListBoxProperties::extendedSelect>,
            setOrd<&ListBoxProperties::extendedSelect>, true),
    object("Font", kFontClass, [](const ListControl& c) { return !c.properties().parentFont; }),
    enumeration("ImeMode", kImeModes, getOrd<&ListBoxProperties::imeMode>,
                setOrd<&ListBoxProperties::imeMode>, 3),
    string(
        "ImeName", [](const ListControl& c) { return c.imeName(); },
        [](ListControl& c, std::string_view v) { c.setImeName(v); }),
    boolean("IntegralHeight", getOrd<&ListBoxProperties::integralHeight>,
            setOrd<&ListBoxProperties::integralHeight>, false),
    integer(
        "ItemHeight", [](const ListControl& c) { return c.itemHeight(); },
        [](ListControl& c, std::int32_t v) {
            if (v > 0) c.setItemHeight(v);
        },
        std::nullopt),
    object("Items", kStringsClass),
    boolean("MultiSelect", getOrd<&ListBoxProperties::multiSelect>,
            setOrd<&ListBoxProperties::multiSelect>, false),
    boolean("ParentBiDiMode", getOrd<&ListBoxProperties::parentBiDiMode>,
            setOrd<&ListBoxProperties::parentBiDiMode>, true),
    boolean("ParentColor", getOrd<&ListBoxProperties::parentColor>,
            setOrd<&ListBoxProperties::parentColor>, false),
    boolean("ParentCtl3D", getOrd<&ListBoxProperties::parentCtl3D>,
            setOrd<&ListBoxProperties::parentCtl3D>, true),
    boolean("ParentFont", getOrd<&ListBoxProperties::parentFont>,
            setOrd<&ListBoxProperties::parentFont>, true),
    boolean("ParentShowHint", getOrd<&ListBoxProperties::parentShowHint>,
            setOrd<&ListBoxProperties::parentShowHint>, true),
    {.name = "PopupMenu",
     .kind = PropertyKind::Component,
     .getString = getStr<&ListBoxProperties::popupMenu>,
     .setString = setStr<&ListBoxProperties::popupMenu>},
    integer("ScrollWidth", getOrd<&ListBoxProperties::scrollWidth>,
            setOrd<&ListBoxProperties::scrollWidth>, 0),
    boolean("ShowHint", getOrd<&ListBoxProperties::showHint>, setOrd<&ListBoxProperties::showHint>,
            std::nullopt, [](const ListControl& c) { return !c.properties().parentShowHint; }),
    boolean("Sorted", getOrd<&ListBoxProperties::sorted>, setOrd<&ListBoxProperties::sorted>,
            false),
    // The window keeps its own tab sequence: a stored tab order is accepted and dropped.
    integer(
        "TabOrder", [](const ListControl& c) { return c.tabOrder(); },
        [](ListControl&, std::int32_t) {}, -1),
    integer("TabWidth", getOrd<&ListBoxProperties::tabWidth>, setOrd<&ListBoxProperties::tabWidth>,
            0),
    boolean("Visible", getOrd<&ListBoxProperties::visible>, setOrd<&ListBoxProperties::visible>,
            true),
    event("OnClick", ListEvent::Click),
    event("OnContextPopup", ListEvent::ContextPopup),
    event("OnData", ListEvent::Data),
    event("OnDataFind", ListEvent::DataFind),
    event("OnDataObject", ListEvent::DataObject),
    event("OnDblClick", ListEvent::DblClick),
    event("OnDragDrop", ListEvent::DragDrop),
    event("OnDragOver", ListEvent::DragOver),
    event("OnDrawItem", ListEvent::DrawItem),
    event("OnEndDock", ListEvent::EndDock),
    event("OnEndDrag", ListEvent::EndDrag),
    event("OnEnter", ListEvent::Enter),
    event("OnExit", ListEvent::Exit),
    event("OnKeyDown", ListEvent::KeyDown),
    event("OnKeyPress", ListEvent::KeyPress),
    event("OnKeyUp", ListEvent::KeyUp),
    event("OnMeasureItem", ListEvent::MeasureItem),
    event("OnMouseDown", ListEvent::MouseDown),
    event("OnMouseMove", ListEvent::MouseMove),
    event("OnMouseUp", ListEvent::MouseUp),
    event("OnStartDock", ListEvent::StartDock),
    event("OnStartDrag", ListEvent::StartDrag),
};
static_assert(std::size(kListBoxProperties) == 72);

const DefinedPropertyInfo kControlDefined[] = {
    {"IsControl", [](const ListControl& c) { return c.properties().isControl; },
     [](ObjectStreamWriter& w, const ListControl&) { w.EmitIdent("True"); },
     [](ObjectStreamReader& r, ListControl& c) { c.properties().isControl = r.ParseBoolean(); }},
    // Written only for a control that holds an unaligned child anchored other than left and
    // top; the list control holds no child controls. A stored size is read and dropped.
    {"DesignSize", never,
     [](ObjectStreamWriter& w, const ListControl& c) {
         w.EmitListStart();
         w.EmitInteger(c.width());
         w.EmitInteger(c.height());
         w.EmitEnd();
     },
     [](ObjectStreamReader& r, ListControl&) {
         r.ParseListStart();
         r.ParseInteger();
         r.ParseInteger();
         r.ParseEnd();
     }},
};

const ClassInfo kListBoxClass{"TListBox", kListBoxProperties, kControlDefined, {}};

}  // namespace

const PropertyInfo* ClassInfo::findProperty(std::string_view name) const {
    for (const auto& p : properties)
        if (sameText(p.name, name)) return &p;
    return nullptr;
}

const DefinedPropertyInfo* ClassInfo::findDefined(std::string_view name) const {
    for (const auto& d : defined)
        if (sameText(d.name, name)) return &d;
    return nullptr;
}

bool ClassInfo::hasPublishedMethod(std::string_view name) const {
    for (const auto& m : publishedMethods)
        if (sameText(m, name)) return true;
    return false;
}

const ClassInfo& listBoxClass() { return kListBoxClass; }
const ClassInfo& fontClass() { return kFontClass; }
const ClassInfo& sizeConstraintsClass() { return kConstraintsClass; }
const ClassInfo& listBoxStringsClass() { return kStringsClass; }

std::span<const NamedValue> colorNames() { return kColors; }
std::span<const NamedValue> cursorNames() { return kCursors; }
std::span<const NamedValue> charsetNames() { return kCharsets; }

std::optional<std::string_view> nameOfValue(std::span<const NamedValue> table, std::int32_t value) {
    for (const auto& row : table)
        if (row.value == value) return row.name;
    return std::nullopt;
}

std::optional<std::int32_t> valueOfName(std::span<const NamedValue> table, std::string_view name) {
    for (const auto& row : table)
        if (sameText(row.name, name)) return row.value;
    return std::nullopt;
}

std::optional<std::int32_t> indexOfName(std::span<const std::string_view> names,
                                        std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (sameText(names[i], name)) return static_cast<std::int32_t>(i);
    return std::nullopt;
}

}  // namespace klw
