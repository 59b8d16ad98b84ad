#include "ui/address_list.h"

#include "ui/dropped_addresses.h"

namespace klw {
namespace {

// Redrawing stays off for the scope, and comes back also when an append fails.
class ListUpdate {
public:
    explicit ListUpdate(AddressListView& v) : v_(v) { v_.beginUpdate(); }
    ~ListUpdate() { v_.endUpdate(); }
    ListUpdate(const ListUpdate&) = delete;
    ListUpdate& operator=(const ListUpdate&) = delete;

private:
    AddressListView& v_;
};

}  // namespace

void refreshCommandStates(AddressListView& v) {
    const int count = v.count();
    const int s = v.selection();
    if (s != -1) {
        if (count == 1) {
            v.setEnabled(Command::Up, false);
            v.setEnabled(Command::Down, false);
        } else {
            v.setEnabled(Command::Up, s != 0);
            v.setEnabled(Command::Down, s != count - 1);
        }
    }
    v.setEnabled(Command::Delete, count != 0);
    v.setEnabled(Command::Go, count != 0);
}

void entryFieldChanged(AddressListView& v) {
    if (!v.entryText().empty()) {
        v.setEnabled(Command::Add, true);
        v.setEnabled(Command::Up, false);
        v.setEnabled(Command::Down, false);
        v.setEnabled(Command::Delete, false);
        v.setEnabled(Command::Go, false);
    } else {
        v.setEnabled(Command::Add, false);
        refreshCommandStates(v);
    }
}

void addEntry(AddressListView& v, OpenPolicy& policy) {
    const std::string text = v.entryText();
    v.append(text);
    policy.addedByUser(text);
    v.setSelection(v.count() - 1);
    refreshCommandStates(v);
    v.clearEntry();
}

void deleteEntry(AddressListView& v) {
    const int s = v.selection();
    if (s != -1) v.remove(s);
    if (v.count() > 0) v.setSelection(s);
    if (v.count() == 1) v.setSelection(0);
    if (s >= v.count()) v.setSelection(v.count() - 1);
    refreshCommandStates(v);
}

void moveEntryUp(AddressListView& v) {
    const int s = v.selection();
    // The button is enabled only inside this range; outside it nothing is exchanged.
    if (s < 1 || s >= v.count()) return;
    const std::string above = v.item(s - 1);
    const std::string current = v.item(s);
    v.replace(s - 1, current);
    v.replace(s, above);
    v.setSelection(s - 1);
    refreshCommandStates(v);
}

void moveEntryDown(AddressListView& v) {
    const int s = v.selection();
    if (s < 0 || s > v.count() - 2) return;
    const std::string current = v.item(s);
    const std::string below = v.item(s + 1);
    v.replace(s + 1, current);
    v.replace(s, below);
    v.setSelection(s + 1);
    refreshCommandStates(v);
}

void openEntry(AddressListView& v, OpenPolicy& policy) {
    const int s = v.selection();
    if (s < 0) return;
    const std::string text = v.item(s);
    const OpenWay way = policy.wayFor(text);
    if (!way.ask) {
        v.shellOpen(text, way.handlerClass);
    } else if (v.confirmOpen(text)) {
        policy.allowed(text);
        v.shellOpen(text, {});
    }
    // No: nothing opened, and the walk goes on as after an open that failed.
    if (s != v.count() - 1) {
        v.setSelection(s + 1);
        refreshCommandStates(v);
    }
}

void stepShown(AddressListView& v, int selection) {
    v.setSelection(selection);
    entryFieldChanged(v);
}

void appendAddresses(AddressListView& v, const std::vector<std::string>& addresses) {
    if (addresses.empty()) return;
    int last = -1;
    // What was added before a refused entry is kept, selected and counted in the states, so
    // that the window matches its list when the error is shown.
    auto selectLast = [&] {
        if (last < 0) return;
        v.setSelection(last);
        refreshCommandStates(v);
    };
    ListUpdate update(v);
    try {
        for (const std::string& address : addresses) last = v.append(address);
    } catch (...) {
        selectLast();
        throw;
    }
    selectLast();
}

bool pasteIntoEntryField(AddressListView& v, std::string_view text) {
    const std::vector<std::string> lines = splitAddresses(text);
    if (lines.empty()) return false;
    // The field holds one line: the platform's own paste would stop at the first line break,
    // which may come before the address.
    if (lines.size() == 1)
        v.replaceEntrySelection(lines.front());
    else
        appendAddresses(v, lines);
    return true;
}

void pasteIntoList(AddressListView& v, std::string_view text) {
    appendAddresses(v, splitAddresses(text));
}

}  // namespace klw
