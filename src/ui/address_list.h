#pragma once
// The address list's rules: the command-state refresh, the entry-field rule, the editing
// commands, Go, and the addresses that arrive by a drop or a paste. They work on the window
// through this small view, so that they also run without one.
#include <string>
#include <string_view>
#include <vector>

#include "ui/open_policy.h"

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
    // Puts the text in place of the entry field's selection, as a paste does; raises the change
    // event as clearEntry() does.
    virtual void replaceEntrySelection(const std::string& text) = 0;
    // Hands the text to the desktop's "open"; the outcome is not examined. With a handler
    // class, to that scheme's registered command only (see OpenWay).
    virtual void shellOpen(const std::string& text, const std::string& handlerClass) = 0;
    // Asks the user whether an entry that is not a web address may be opened; true for Yes.
    virtual bool confirmOpen(const std::string& text) = 0;
    // The list stops and resumes redrawing while many entries arrive; pairs nest.
    virtual void beginUpdate() = 0;
    virtual void endUpdate() = 0;
};

// lbxURLClick
void refreshCommandStates(AddressListView& view);
// edtTestChange
void entryFieldChanged(AddressListView& view);
// btnAddClick, btnDeleteClick, btnUPClick, btnDownClick, btnGoClick
// Add also tells `policy` that the user added the text.
void addEntry(AddressListView& view, OpenPolicy& policy);
void deleteEntry(AddressListView& view);
void moveEntryUp(AddressListView& view);
void moveEntryDown(AddressListView& view);
// Go: the entry goes to the shell when `policy` lets it open unasked, else only once the user
// has said Yes to it. Then the selection moves on.
void openEntry(AddressListView& view, OpenPolicy& policy);

// After an undo or a redo: `selection` selected (-1 for none) and the command states as right
// after the step, the entry field's rule included.
void stepShown(AddressListView& view, int selection);

// Addresses from a drop or a paste: each appended in order, in one update of the list; then the
// last one added is selected and the command states are refreshed as after Add. The entry field
// is not touched. When the list refuses an entry, the error goes on to the caller; the entries
// added before it stay, and the last of them is selected and the states refreshed as above.
void appendAddresses(AddressListView& view, const std::vector<std::string>& addresses);
// A paste into the entry field: text of two or more address lines (see splitAddresses) is
// appended as a drop is, and the field keeps its text; text of one such line puts that line, as
// splitAddresses takes it, in place of the field's selection (true). Text without one is left
// to the field's own paste (false).
bool pasteIntoEntryField(AddressListView& view, std::string_view text);
// A paste into the list: every address line is appended as a drop is.
void pasteIntoList(AddressListView& view, std::string_view text);

}  // namespace klw
