#pragma once
// The menu bar: a tree of items. An invisible item is not placed in the bar at all, so it
// cannot be reached; it keeps its handler.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace klw {

class MenuItem {
public:
    MenuItem(std::string name, std::string caption, bool visible = true)
        : name_(std::move(name)), caption_(std::move(caption)), visible_(visible) {}

    MenuItem& add(std::string name, std::string caption, bool visible = true);
    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    bool visible() const { return visible_; }
    const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
    UINT command() const { return command_; }

    std::function<void(MenuItem& sender)> onClick;

private:
    friend class MainMenu;
    std::string name_;
    std::string caption_;
    bool visible_;
    UINT command_ = 0;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

class MainMenu {
public:
    MenuItem& add(std::string name, std::string caption, bool visible = true);
    const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }

    // Builds the native menu bar from the visible items; the window takes ownership of it.
    HMENU build();
    // Raises the OnClick of the item with this command number. False when there is none.
    bool dispatch(UINT command);

private:
    void number(MenuItem& item);
    static void append(HMENU parent, const MenuItem& item);
    MenuItem* find(MenuItem& item, UINT command);
    std::vector<std::unique_ptr<MenuItem>> items_;
    UINT nextCommand_ = 100;
};

}  // namespace klw
