#pragma once
// The address list's rules: the command-state refresh, the entry-field rule, the editing
// commands and Go. They work on the window through this small view, so that they also run
// without one.
#include <string>

namespace klw {

enum class Command { Go, Add, Up, Down, Delete };

class AddressListView {
public:
    virtual ~AddressListView() = default;
    virtual int count() const = 0;
    virtual std::string item(int index) const = 0;
    virtual int append(const std::string& text) = 0;
    // Keeps the selection index.
    virtual void replace(int index, const std::string& text) = 0;
    virtual void remove(int index) = 0;
    virtual int selection() const = 0;
    // Silent; an index outside the list selects nothing.
    virtual void setSelection(int index) = 0;
    virtual void setEnabled(Command command, bool enabled) = 0;
    virtual std::string entryText() const = 0;
    // Clears the entry field; raises its change event (and so the entry-field rule) at once.
    virtual void clearEntry() = 0;
    // Hands the text to the desktop's "open"; the outcome is not examined.
    virtual void shellOpen(const std::string& text) = 0;
};

// lbxURLClick
void refreshCommandStates(AddressListView& view);
// edtTestChange
void entryFieldChanged(AddressListView& view);
// btnAddClick, btnDeleteClick, btnUPClick, btnDownClick, btnGoClick
void addEntry(AddressListView& view);
void deleteEntry(AddressListView& view);
void moveEntryUp(AddressListView& view);
void moveEntryDown(AddressListView& view);
void openEntry(AddressListView& view);

}  // namespace klw
