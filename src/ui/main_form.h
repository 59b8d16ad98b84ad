#pragma once
// The main window frmMain: its seven controls, the menu bar and the handlers bound to them.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "persist/background_save.h"
#include "persist/folder_watch.h"
#include "persist/list_file.h"
#include "persist/position_store.h"
#include "persist/save_schedule.h"
#include "persist/streamed_list_box.h"
#include "runtime/handles.h"
#include "ui/address_list.h"
#include "ui/layout.h"
#include "ui/list_edits.h"
#include "ui/serial_actions.h"
#include "ui/shell_open.h"
#include "widgets/button.h"
#include "widgets/edit.h"
#include "widgets/form.h"
#include "widgets/list_box.h"
#include "widgets/menu.h"

namespace klw {

class Application;

class TfrmMain : public Form, private AddressListView {
public:
    static constexpr const char* kCaption = "KORVANE LINKWALKER";

    // Builds the window hidden, adapts it to the screen and runs FormCreate in its own guard.
    explicit TfrmMain(Application& app);
    ~TfrmMain() override;

    // Controls in creation order.
    std::unique_ptr<Edit> edtTest;
    std::unique_ptr<Button> btnGo;
    std::unique_ptr<ListBox> lbxURL;
    std::unique_ptr<Button> btnAdd;
    std::unique_ptr<Button> btnUP;
    std::unique_ptr<Button> btnDown;
    std::unique_ptr<Button> btnDelete;

    MainMenu mnuMain;
    MenuItem* mnuMainFile = nullptr;
    MenuItem* mnuMainFileExit = nullptr;
    MenuItem* mnuMenuTest = nullptr;
    MenuItem* mnuMainTestItemCount = nullptr;
    MenuItem* mnuMainTestItemNo = nullptr;
    MenuItem* mnuMainHelp = nullptr;
    MenuItem* mnuMainHelpVersion = nullptr;

    // The window's outer top-left corner in screen coordinates.
    int top() const;
    int left() const;
    void setTop(int top);
    void setLeft(int left);

    // lbxURL as the list file reads and writes it.
    StreamedListBox& streamedList() { return *streamedList_; }
    // The list file of the current directory, loaded by FormCreate and saved by FormClose.
    ListFile& listFile() { return listFile_; }
    void sessionEnding() noexcept override;
    // The terminal the program was started from asks it to end (Ctrl+C): keep the position and
    // the list, then end. A list that cannot be saved is reported as the close reports it, and
    // the window stays. Carried out once no Go, drop, paste or box is in progress.
    void endRequested() noexcept;  // posted from another thread as kEndRequested
    // Hears how endRequested() went: null when the list was saved, else why it was not.
    std::function<void(std::exception_ptr)> onEndAnswered;
    // The loop has ended: what was changed after the close's or the session's save (a drop or a
    // paste carried out behind a question) goes to disk before the process ends.
    void saveBeforeEnd() noexcept;

    // The list's changes of this run, taken back and made again (Ctrl+Z, Ctrl+Y); nothing when
    // there is no such step. A refused entry shows the error box and leaves the list as it was.
    bool canUndo() const { return edits_->canUndo(); }
    bool canRedo() const { return edits_->canRedo(); }
    void undoChange();
    void redoChange();

    // What Go opens without asking in this run, and how.
    OpenPolicy& openPolicy() { return openPolicy_; }

    // Saves after changes: whether one is waiting or running, for tests.
    const SaveSchedule& saveSchedule() const { return schedule_; }

    const MainLayout& layout() const { return layout_; }
    // Where the list goes after a read gave it `read`: there when the window stays usable,
    // otherwise at its designed place.
    Bounds placeListRead(const Bounds& read) const;
    int pixelsPerInch() const { return pixelsPerInch_; }

    // Handlers, bound by name to the events in bindEvents().
    void FormCreate();
    void FormClose(CloseAction& action);
    void edtTestChange(Control& sender);
    void lbxURLClick(Control& sender);
    void btnGoClick(Control& sender);
    void btnAddClick(Control& sender);
    void btnDeleteClick(Control& sender);
    void btnUPClick(Control& sender);
    void btnDownClick(Control& sender);
    void mnuMainFileExitClick(MenuItem& sender);
    void mnuMainHelpVersionClick(MenuItem& sender);
    void mnuMainTestItemCountClick(MenuItem& sender);
    void mnuMainTestItemNoClick(MenuItem& sender);
    bool FormDragEnter(const TransferData& data);
    void FormDragDrop(const TransferData& data, bool& taken);
    bool edtTestPaste(Control& sender, const std::string& text);
    bool lbxURLPaste(Control& sender, const std::string& text);
    void lbxURLContextMenu(Control& sender, POINT screen, int index);

protected:
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    bool previewKey(UINT keyMsg, WPARAM vk, LPARAM lp) override;
    void onMenuCommand(UINT id) override;
    void closeConfirmed(CloseAction action) override;

private:
    void buildMenu();
    void buildControls();
    void bindEvents();
    void moveTo(int left, int top);
    WindowPlace place() const { return {left(), top()}; }

    // AddressListView
    int count() const override;
    std::string item(int index) const override;
    int append(const std::string& text) override;
    void replace(int index, const std::string& text) override;
    void remove(int index) override;
    int selection() const override;
    void setSelection(int index) override;
    void setEnabled(Command command, bool enabled) override;
    std::string entryText() const override;
    void clearEntry() override;
    void replaceEntrySelection(const std::string& text) override;
    void shellOpen(const std::string& text, const std::string& handlerClass) override;
    bool confirmOpen(const std::string& text) override;
    void beginUpdate() override;
    void endUpdate() override;

    bool hasComponentNamed(std::string_view name, const Control* except) const;

    // Shows the list after an undo or a redo: the step's entry selected and in view.
    void showStep(std::optional<int> selection);
    // Sets the timer for the next save after changes, or stops it when none is due.
    void scheduleSave();
    void startSave();
    void saveEnded();
    void stopSaveTimer();
    // A save after a change failed, or kept another program's version: the user hears of it
    // once, when no drag or box is up.
    void showWaitingBoxes();
    // Says where another program's version of the list was kept.
    void tellOtherVersion();
    // Waits for a save after a change that is running, before the list is saved otherwise.
    void finishBackgroundSave() noexcept;
    // The folder changed: once the list file has been quiet for a moment, see what became of it.
    void folderChanged();
    void checkOtherVersion();
    void reloadList();
    bool changeWaiting() const { return edits_->changes() != savedChanges_; }
    // Keeps the window's place once the user has finished moving it.
    void positionSettled();

    Application& app_;
    std::unique_ptr<StreamedListBox> streamedList_;
    ListFile listFile_;
    bool sessionSaved_ = false;
    SaveSchedule schedule_;
    std::unique_ptr<BackgroundSave> saver_;
    std::exception_ptr saveError_;  // waiting to be shown
    bool saveErrorShown_ = false;   // since the last save that succeeded
    bool saveTimerSet_ = false;
    std::string otherVersion_;  // the copy of another program's version, to be told of
    // Every change of the list, and how many of them are on disk (or being written).
    std::unique_ptr<ListEdits> edits_;
    std::uint64_t savedChanges_ = 0;
    std::uint64_t savingChanges_ = 0;
    bool closed_ = false;  // the close has saved; the process ends
    std::unique_ptr<FolderWatch> watch_;
    std::optional<WindowPlace> storedPlace_;  // as last read or kept
    bool inSizeMove_ = false;
    UniqueFont windowFont_;
    UniqueFont editFont_;
    MainLayout layout_{};
    int pixelsPerInch_ = 96;
    // Go, drops and pastes, one at a time: what arrives while Go runs waits for it.
    SerialActions actions_;
    PlatformShellLookups shellLookups_;
    OpenPolicy openPolicy_{shellLookups_};
};

}  // namespace klw
