#pragma once
// The menu bar: a tree of items. An invisible item is not placed in the bar at all, so it
// cannot be reached; it keeps its handler. And a menu that pops up at a point.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/handles.h"

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

// A menu built for one showing: its items' actions run after the menu has gone, so that an
// action may show a box or change the window.
class PopupMenu {
public:
    PopupMenu();
    PopupMenu(const PopupMenu&) = delete;
    PopupMenu& operator=(const PopupMenu&) = delete;

    // A greyed item is shown and cannot be chosen.
    void add(std::string_view caption, bool enabled, std::function<void()> action);
    void addSeparator();
    // Shows the menu with its top-left corner at `screen` and runs what was chosen; false when
    // the menu was left without a choice.
    bool popup(HWND owner, POINT screen);

private:
    UniqueMenu menu_;
    std::vector<std::function<void()>> actions_;
};

}  // namespace klw
