#pragma once
// A copy of the list control as the list file's writer reads it, made on the window's thread in
// an instant and written by another thread while the window goes on. Its entries share the
// list's blocks as the platform's list holds them, UTF-16, and are turned into the program's
// text only while written.
#include <array>
#include <string>
#include <vector>

#include "persist/list_control.h"
#include "runtime/entry_blocks.h"

namespace klw {

class ListSnapshot final : public ListControl {
public:
    // Everything of `list` but its entries, which come as `entries`.
    ListSnapshot(const ListControl& list, EntryBlocks entries);

    std::string name() const override { return name_; }
    void setName(std::string_view name) override { name_ = name; }
    int left() const override { return left_; }
    void setLeft(int v) override { left_ = v; }
    int top() const override { return top_; }
    void setTop(int v) override { top_ = v; }
    int width() const override { return width_; }
    void setWidth(int v) override { width_ = v; }
    int height() const override { return height_; }
    void setHeight(int v) override { height_ = v; }
    std::int32_t color() const override { return color_; }
    int itemHeight() const override { return itemHeight_; }
    void setItemHeight(int v) override { itemHeight_ = v; }
    int tabOrder() const override { return tabOrder_; }
    std::string imeName() const override { return imeName_; }
    void setImeName(std::string_view v) override { imeName_ = v; }

    int count() const override { return static_cast<int>(entries_.size()); }
    void entryText(int index, std::string& out) const override;
    void clearEntries() override { entries_.clear(); }
    void appendEntry(std::string_view text) override;
    void beginUpdate() override {}
    void endUpdate() override {}

    std::string handlerName(ListEvent event) const override {
        return handlers_[static_cast<std::size_t>(event)];
    }
    void removeHandler(ListEvent event) override {
        handlers_[static_cast<std::size_t>(event)].clear();
    }

protected:
    void applyColor(std::int32_t v) override { color_ = v; }

private:
    std::string name_;
    int left_, top_, width_, height_;
    std::int32_t color_;
    int itemHeight_;
    int tabOrder_;
    std::string imeName_;
    std::array<std::string, kListEventCount> handlers_;
    EntryBlocks entries_;
};

}  // namespace klw
