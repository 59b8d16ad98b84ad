#pragma once
// The window's list box as the component stream sees it: the native control holds the name,
// geometry, colour, rows and entries; the stored values of the other properties live here.
#include <functional>
#include <string>

#include "persist/list_control.h"
#include "widgets/bounds.h"

namespace klw {

class ListBox;

class StreamedListBox final : public ListControl {
public:
    // What the window that holds the list tells of it.
    struct Owner {
        // Whether another component of the window has this name (any case).
        std::function<bool(std::string_view)> isSiblingName;
        // Whether a top-level window of the application has it.
        std::function<bool(std::string_view)> isTopLevelName;
        // The list's place in the window's tab order.
        std::function<int()> tabOrder;
        // The names of the window's handlers bound to the list's click and double-click.
        std::string clickHandler;
        std::string dblClickHandler;
        // The list file keeps the list's rectangle in design units; these turn it into the
        // window's pixels and back. Unset, the two are the same.
        std::function<Bounds(const Bounds&)> toWindow;
        std::function<Bounds(const Bounds&)> toFile;
        // Where a rectangle read from a file is put: itself, or another one where it would break
        // the window. Unset, it is put as read.
        std::function<Bounds(const Bounds&)> placeRead;
    };
    StreamedListBox(ListBox& list, Owner owner);

    std::string name() const override;
    void setName(std::string_view name) override;
    int left() const override;
    void setLeft(int value) override;
    int top() const override;
    void setTop(int value) override;
    int width() const override;
    void setWidth(int value) override;
    int height() const override;
    void setHeight(int value) override;
    std::int32_t color() const override;
    int itemHeight() const override;
    void setItemHeight(int value) override;
    int tabOrder() const override;
    std::string imeName() const override { return imeName_; }
    void setImeName(std::string_view value) override { imeName_ = value; }
    int count() const override;
    void entryText(int index, std::string& out) const override;
    void clearEntries() override;
    void appendEntry(std::string_view text) override;
    void beginUpdate() override;
    void endUpdate() override;
    std::string handlerName(ListEvent event) const override;
    void removeHandler(ListEvent event) override;
    bool ownerHasComponent(std::string_view name) const override {
        return owner_.isSiblingName(name);
    }
    bool topLevelHasName(std::string_view name) const override {
        return owner_.isTopLevelName(name);
    }

protected:
    void applyColor(std::int32_t value) override;
    void loaded() override;
    void readEnded() override;

private:
    // Takes the rectangle in design units and moves the native list there.
    void setDesignBounds(const Bounds& design);
    Bounds windowBounds() const;
    ListBox& list_;
    Owner owner_;
    // The list's rectangle as the list file gives it; the native list is at its conversion.
    Bounds design_{};
    // Whether a read being carried out has given the list a rectangle.
    bool boundsRead_ = false;
    // The input-method name stays empty unless a file gives one, as on a Japanese system.
    std::string imeName_;
};

}  // namespace klw
