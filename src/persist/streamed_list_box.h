#pragma once
// The window's list box as the component stream sees it: the native control holds the name,
// geometry, colour, rows and entries; the stored values of the other properties live here.
#include <functional>
#include <string>

#include "persist/list_control.h"

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

private:
    void setBounds(int left, int top, int width, int height);
    ListBox& list_;
    Owner owner_;
    // The input-method name stays empty unless a file gives one, as on a Japanese system.
    std::string imeName_;
};

}  // namespace klw
