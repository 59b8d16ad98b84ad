#pragma once
// A list control without a window: the entries in one block of memory. Stands in for the native
// list box in the tests, the fuzzer and the benchmarks.
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "persist/list_control.h"

namespace klw {

class MemoryListControl : public ListControl {
public:
    // As the window builds `lbxURL`: design geometry, white, rows of 12 pixels, tab order 2,
    // OnClick and OnDblClick bound to the window's handlers.
    MemoryListControl();

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
    void setItemHeight(int v) override;
    int tabOrder() const override { return tabOrder_; }
    void setTabOrder(int v) { tabOrder_ = v; }
    std::string imeName() const override { return imeName_; }
    void setImeName(std::string_view v) override { imeName_ = v; }

    int count() const override { return static_cast<int>(ends_.size()); }
    void entryText(int index, std::string& out) const override;
    std::string_view entryView(int index, std::string& scratch) const override;
    void clearEntries() override;
    void appendEntry(std::string_view text) override;
    void beginUpdate() override { ++updateDepth_; }
    void endUpdate() override { --updateDepth_; }

    std::string handlerName(ListEvent event) const override {
        return handlers_[static_cast<std::size_t>(event)];
    }
    void removeHandler(ListEvent event) override {
        handlers_[static_cast<std::size_t>(event)].clear();
    }
    void setHandler(ListEvent event, std::string name) {
        handlers_[static_cast<std::size_t>(event)] = std::move(name);
    }

    bool ownerHasComponent(std::string_view name) const override;
    bool topLevelHasName(std::string_view name) const override;

    // Test hooks.
    std::vector<std::string> entries() const;
    void setEntries(const std::vector<std::string>& entries);
    int selection() const { return selection_; }
    void setSelection(int index) { selection_ = index; }
    int updateDepth() const { return updateDepth_; }
    int recreateCount() const { return recreateCount_; }
    int loadedCount() const { return loadedCount_; }
    // Entries beyond this many are refused, as a full native list refuses them.
    void setCapacity(std::size_t n) { capacity_ = n; }
    std::vector<std::string> siblings{"edtTest", "btnGo",   "btnAdd",
                                      "btnUP",   "btnDown", "btnDelete"};
    std::vector<std::string> topLevelWindows{"frmMain"};
    std::int32_t windowColor = kClBtnFace;

protected:
    void applyColor(std::int32_t v) override { color_ = v; }
    void loaded() override;

private:
    std::string name_ = "lbxURL";
    int left_ = 4, top_ = 4, width_ = 267, height_ = 133;
    std::int32_t color_ = kClWhite;
    int itemHeight_ = 12;
    int tabOrder_ = 2;
    std::string imeName_;
    std::array<std::string, kListEventCount> handlers_;
    // Entry i is text_[ends_[i-1] .. ends_[i]): one allocation for the whole list.
    std::string text_;
    std::vector<std::size_t> ends_;
    int selection_ = -1;
    int updateDepth_ = 0;
    int recreateCount_ = 0;
    int loadedCount_ = 0;
    std::size_t capacity_ = static_cast<std::size_t>(-1);
};

}  // namespace klw
