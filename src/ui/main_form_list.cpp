#include "ui/main_form.h"
#include "ui/open_question.h"
#include "ui/shell_open.h"

// The main window's list: every change of it through the history, undo and redo with their
// keys, and the rules' view of the controls.
namespace klw {

void TfrmMain::btnAddClick(Control&) {
    edits_->asStep([this] { addEntry(*this, openPolicy_); });
}
void TfrmMain::btnDeleteClick(Control&) {
    edits_->asStep([this] { deleteEntry(*this); });
}
void TfrmMain::btnUPClick(Control&) {
    edits_->asStep([this] { moveEntryUp(*this); });
}
void TfrmMain::btnDownClick(Control&) {
    edits_->asStep([this] { moveEntryDown(*this); });
}

void TfrmMain::undoChange() {
    actions_.perform([this] { showStep(edits_->undo()); });
}
void TfrmMain::redoChange() {
    actions_.perform([this] { showStep(edits_->redo()); });
}
void TfrmMain::showStep(std::optional<int> selection) {
    if (!selection) return;
    stepShown(*this, *selection);
    lbxURL->showEntry(*selection);
}

bool TfrmMain::previewKey(UINT keyMsg, WPARAM vk, LPARAM lp) {
    // In the field its own undo works on the typing.
    if (GetFocus() == edtTest->handle()) return false;
    const bool alt = keyMsg == WM_SYSKEYDOWN || (lp & (1 << 29)) != 0;
    const HistoryKey key = historyKey(static_cast<unsigned>(vk), GetKeyState(VK_CONTROL) < 0,
                                      GetKeyState(VK_SHIFT) < 0, alt);
    if (key == HistoryKey::None) return false;
    // Claimed, Alt+Backspace would never reach the system, which would then take the Alt
    // released after it for a press of Alt alone and open the menu bar.
    if (alt) DefWindowProcW(handle(), keyMsg, vk, lp);
    key == HistoryKey::Undo ? undoChange() : redoChange();
    return true;
}

// ---- AddressListView over the controls ----

int TfrmMain::count() const { return lbxURL->count(); }
std::string TfrmMain::item(int index) const { return lbxURL->item(index); }
int TfrmMain::append(const std::string& text) { return edits_->append(text); }
void TfrmMain::replace(int index, const std::string& text) {
    const int selected = selection();
    edits_->replace(index, text);
    setSelection(selected);
}
void TfrmMain::remove(int index) { edits_->remove(index); }
int TfrmMain::selection() const { return lbxURL->itemIndex(); }
void TfrmMain::setSelection(int index) { lbxURL->setItemIndex(index); }
std::string TfrmMain::entryText() const { return edtTest->text(); }
void TfrmMain::clearEntry() { edtTest->clear(); }
void TfrmMain::replaceEntrySelection(const std::string& text) { edtTest->replaceSelection(text); }
void TfrmMain::beginUpdate() { lbxURL->beginUpdate(); }
void TfrmMain::endUpdate() { lbxURL->endUpdate(); }

void TfrmMain::setEnabled(Command command, bool enabled) {
    Button* const buttons[] = {btnGo.get(), btnAdd.get(), btnUP.get(), btnDown.get(),
                               btnDelete.get()};
    buttons[static_cast<size_t>(command)]->setEnabled(enabled);
}

void TfrmMain::shellOpen(const std::string& text, const std::string& handlerClass) {
    // The entry's exact text: whatever the user typed, in any script.
    openWithShell(handle(), text, handlerClass);
}

bool TfrmMain::confirmOpen(const std::string& text) {
    keyRepeatsInterrupted();
    return askToOpen(handle(), text);
}

}  // namespace klw
