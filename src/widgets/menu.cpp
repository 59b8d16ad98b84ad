#include "widgets/menu.h"

#include "runtime/unicode.h"

namespace klw {

MenuItem& MenuItem::add(std::string name, std::string caption, bool visible) {
    items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption), visible));
    return *items_.back();
}

MenuItem& MainMenu::add(std::string name, std::string caption, bool visible) {
    items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption), visible));
    return *items_.back();
}

void MainMenu::number(MenuItem& item) {
    item.command_ = nextCommand_++;
    for (auto& child : item.items_) number(*child);
}

void MainMenu::append(HMENU parent, const MenuItem& item) {
    if (!item.visible()) return;
    if (item.items().empty()) {
        AppendMenuW(parent, MF_STRING, item.command(), wide(item.caption()).c_str());
        return;
    }
    HMENU popup = CreatePopupMenu();
    for (const auto& child : item.items()) append(popup, *child);
    AppendMenuW(parent, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(popup),
                wide(item.caption()).c_str());
}

HMENU MainMenu::build() {
    nextCommand_ = 100;
    for (auto& item : items_) number(*item);
    HMENU bar = CreateMenu();
    for (const auto& item : items_) append(bar, *item);
    return bar;
}

MenuItem* MainMenu::find(MenuItem& item, UINT command) {
    if (item.command_ == command) return &item;
    for (auto& child : item.items_)
        if (MenuItem* hit = find(*child, command)) return hit;
    return nullptr;
}

bool MainMenu::dispatch(UINT command) {
    for (auto& item : items_) {
        if (MenuItem* hit = find(*item, command)) {
            if (hit->onClick) hit->onClick(*hit);
            return true;
        }
    }
    return false;
}

PopupMenu::PopupMenu() : menu_(CreatePopupMenu()) {}

void PopupMenu::add(std::string_view caption, bool enabled, std::function<void()> action) {
    actions_.push_back(std::move(action));
    // Command 0 means "nothing chosen": items are numbered from 1.
    AppendMenuW(menu_.get(), MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), actions_.size(),
                wide(caption).c_str());
}

void PopupMenu::addSeparator() { AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr); }

bool PopupMenu::popup(HWND owner, POINT screen) {
    if (!menu_) return false;
    const auto chosen = static_cast<std::size_t>(
        TrackPopupMenu(menu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                       screen.x, screen.y, 0, owner, nullptr));
    if (chosen == 0 || chosen > actions_.size() || !actions_[chosen - 1]) return false;
    actions_[chosen - 1]();
    return true;
}

}  // namespace klw
