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
    // `isSiblingName` tells whether another component of the window has a name (any case);
    // `isTopLevelName` whether a top-level window of the application has it.
    StreamedListBox(ListBox& list, std::function<bool(std::string_view)> isSiblingName,
                    std::function<bool(std::string_view)> isTopLevelName);

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
    bool ownerHasComponent(std::string_view name) const override { return isSiblingName_(name); }
    bool topLevelHasName(std::string_view name) const override { return isTopLevelName_(name); }

protected:
    void applyColor(std::int32_t value) override;
    void loaded() override;

private:
    void setBounds(int left, int top, int width, int height);
    ListBox& list_;
    std::function<bool(std::string_view)> isSiblingName_;
    std::function<bool(std::string_view)> isTopLevelName_;
    // The input-method name stays empty unless a file gives one, as on a Japanese system.
    std::string imeName_;
};

}  // namespace klw
