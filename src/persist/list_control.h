#pragma once
// The list control as the component stream sees it. What the native list box holds itself
// (name, geometry, colour, row height, entries, handlers) is reached through virtual calls; every
// other published property is kept in ListBoxProperties, so that a value read from the list
// file is written again by the next save.
#include <cstdint>
#include <string>
#include <string_view>

namespace klw {

// Colour values: 0x00BBGGRR, or 0x80000000 plus a system colour number.
inline constexpr std::int32_t kSystemColor = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t kClWindow = kSystemColor + 5;
inline constexpr std::int32_t kClWindowText = kSystemColor + 8;
inline constexpr std::int32_t kClBtnFace = kSystemColor + 15;
inline constexpr std::int32_t kClWhite = 0xFFFFFF;

// Set members: member n is bit n.
enum AnchorBits : std::uint32_t { kAkLeft = 1, kAkTop = 2, kAkRight = 4, kAkBottom = 8 };

// The events of the list control, in the order of its published properties.
enum class ListEvent {
    Click,
    ContextPopup,
    Data,
    DataFind,
    DataObject,
    DblClick,
    DragDrop,
    DragOver,
    DrawItem,
    EndDock,
    EndDrag,
    Enter,
    Exit,
    KeyDown,
    KeyPress,
    KeyUp,
    MeasureItem,
    MouseDown,
    MouseMove,
    MouseUp,
    StartDock,
    StartDrag,
};
inline constexpr int kListEventCount = 22;

struct FontProperties {
    std::int32_t charset = 128;  // SHIFTJIS_CHARSET
    std::int32_t color = kClWindowText;
    std::int32_t height = -12;
    std::string name;         // the constructor of ListBoxProperties sets the window font's
    std::int32_t pitch = 0;   // fpDefault
    std::uint32_t style = 0;  // fsBold, fsItalic, fsUnderline, fsStrikeOut

    bool operator==(const FontProperties&) const = default;
};

struct SizeConstraints {
    std::int32_t maxHeight = 0;
    std::int32_t maxWidth = 0;
    std::int32_t minHeight = 0;
    std::int32_t minWidth = 0;

    bool operator==(const SizeConstraints&) const = default;
};

// Stored values of the published properties that the native control does not hold. Enumerations
// are kept as the position of their name; Booleans as bool; sets as bits.
struct ListBoxProperties {
    ListBoxProperties();

    std::int32_t tag = 0;
    std::int32_t cursor = 0;  // crDefault
    std::string hint;
    std::int32_t helpType = 1;  // htContext
    std::string helpKeyword;
    std::int32_t helpContext = 0;
    bool tabStop = true;
    std::int32_t style = 0;  // lbStandard
    bool autoComplete = true;
    std::int32_t align = 0;  // alNone
    std::uint32_t anchors = kAkLeft | kAkTop;
    std::uint32_t bevelEdges = 0xF;
    std::int32_t bevelInner = 2;   // bvRaised
    std::int32_t bevelKind = 0;    // bkNone
    std::int32_t bevelOuter = 1;   // bvLowered
    std::int32_t biDiMode = 0;     // bdLeftToRight
    std::int32_t borderStyle = 1;  // bsSingle
    std::int32_t columns = 0;
    SizeConstraints constraints;
    bool ctl3D = true;
    std::int32_t dragCursor = -12;  // crDrag
    std::int32_t dragKind = 0;
    std::int32_t dragMode = 0;
    bool enabled = true;
    bool extendedSelect = true;
    FontProperties font;
    std::int32_t imeMode = 3;  // imDontCare
    bool integralHeight = false;
    bool multiSelect = false;
    bool parentBiDiMode = true;
    bool parentColor = false;
    bool parentCtl3D = true;
    bool parentFont = true;
    bool parentShowHint = true;
    std::string popupMenu;  // name of the referenced menu; empty for none
    std::int32_t scrollWidth = 0;
    bool showHint = false;
    bool sorted = false;
    std::int32_t tabWidth = 0;
    bool visible = true;
    bool isControl = false;

    bool operator==(const ListBoxProperties&) const = default;
};

class ListControl {
public:
    virtual ~ListControl() = default;

    ListBoxProperties& properties() { return properties_; }
    const ListBoxProperties& properties() const { return properties_; }

    // The component name.
    virtual std::string name() const = 0;
    virtual void setName(std::string_view name) = 0;

    // Geometry in pixels of the parent's client area.
    virtual int left() const = 0;
    virtual void setLeft(int value) = 0;
    virtual int top() const = 0;
    virtual void setTop(int value) = 0;
    virtual int width() const = 0;
    virtual void setWidth(int value) = 0;
    virtual int height() const = 0;
    virtual void setHeight(int value) = 0;

    // Background colour; giving the control a colour of its own ends ParentColor.
    virtual std::int32_t color() const = 0;
    void setColor(std::int32_t value) {
        properties_.parentColor = false;
        applyColor(value);
    }

    // Row height as the control reports it. A value of 0 or less, or the current one, is
    // ignored; another one re-creates the native window with its entries, selection and scroll
    // position.
    virtual int itemHeight() const = 0;
    virtual void setItemHeight(int value) = 0;

    // Place in the window's tab sequence; fixed by the window.
    virtual int tabOrder() const = 0;

    // Input-method name; empty on Japanese systems.
    virtual std::string imeName() const = 0;
    virtual void setImeName(std::string_view value) = 0;

    // Entries: the program's text (UTF-8), without zero characters.
    virtual int count() const = 0;
    // Copies entry i into `out`, reusing its storage.
    virtual void entryText(int index, std::string& out) const = 0;
    // Entry i, either viewed where the control keeps it or copied into `scratch`; valid until the
    // entries or `scratch` change.
    virtual std::string_view entryView(int index, std::string& scratch) const {
        entryText(index, scratch);
        return scratch;
    }
    std::string entry(int index) const {
        std::string s;
        entryText(index, s);
        return s;
    }
    // Removes every entry; the list has no selection afterwards.
    virtual void clearEntries() = 0;
    // Appends an entry; EOutOfResources "行を挿入できません" when the control refuses it.
    virtual void appendEntry(std::string_view text) = 0;
    // Suspend and resume redrawing while many entries change.
    virtual void beginUpdate() = 0;
    virtual void endUpdate() = 0;

    // Name of the method bound to an event; empty when none is bound.
    virtual std::string handlerName(ListEvent event) const = 0;
    virtual void removeHandler(ListEvent event) = 0;

    // Whether another control or component of the window has this name (any letter case).
    virtual bool ownerHasComponent(std::string_view) const { return false; }
    // Whether one of the application's top-level windows has this name (any letter case).
    virtual bool topLevelHasName(std::string_view) const { return false; }

    // Loading marks, set while a stream is read into the control.
    bool loading() const { return loading_; }
    void beginLoading() { loading_ = true; }
    // Clears the marks; the control takes again what it follows from its window.
    void endLoading() {
        loading_ = false;
        loaded();
        readEnded();
    }
    // Clears the marks after a failed read, leaving everything as the read left it.
    void cancelLoading() {
        loading_ = false;
        readEnded();
    }

protected:
    virtual void applyColor(std::int32_t value) = 0;
    // Loading is over: take the window's colour, font and so on where Parent... is true.
    virtual void loaded() {}
    // A read has ended, whether it succeeded or failed.
    virtual void readEnded() {}

private:
    ListBoxProperties properties_;
    bool loading_ = false;
};

}  // namespace klw
