#include "ui/main_form.h"

#include "app/application.h"
#include "app/error_report.h"
#include "app/message_form.h"
#include "persist/position_store.h"
#include "persist/stream_format.h"
#include "runtime/format.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"
#include "ui/dropped_addresses.h"
#include "ui/open_question.h"
#include "ui/shell_open.h"
#include "widgets/error_sink.h"
#include "widgets/messages.h"

namespace klw {
namespace {

constexpr UINT_PTR kSaveTimer = 1;
constexpr UINT_PTR kSaveErrorTimer = 2;
constexpr UINT_PTR kPlaceTimer = 3;
constexpr UINT_PTR kFileQuietTimer = 4;
constexpr UINT_PTR kEndRequestTimer = 5;
// How often a waiting error box looks again whether it may be shown, and how long the window
// must stand still before its place counts as the one the user chose.
constexpr UINT kSaveErrorRetryMs = 250;
constexpr UINT kPlaceSettleMs = 500;
// Writers that do not rename write in pieces: the list file is looked at once it has been quiet
// this long.
constexpr UINT kFileQuietMs = 500;

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;

RECT toRect(const Bounds& b) { return {b.left, b.top, b.left + b.width, b.top + b.height}; }

HFONT createFont(int height, std::string_view face) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynW(lf.lfFaceName, wide(face).c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&lf);
}

}  // namespace

TfrmMain::TfrmMain(Application& app) : app_(app) {
    createWindow({"TfrmMain", 0, app.icon(), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)}, kExStyle,
                 kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 320, 240, app.handle(), nullptr);
    buildMenu();
    SetMenu(handle(), mnuMain.build());

    // Adapt the designed layout to the screen's density, measured in the window font.
    {
        ScreenDC dc;
        pixelsPerInch_ = GetDeviceCaps(dc.get(), LOGPIXELSY);
        windowFont_.reset(createFont(windowFontHeight(pixelsPerInch_), "ＭＳ Ｐゴシック"));
        SelectedObject selected(dc.get(), windowFont_.get());
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), L"0", 1, &size);
        layout_ = computeMainLayout(pixelsPerInch_, size.cy);
    }
    setFont(windowFont_.get());
    buildControls();

    RECT frame{0, 0, layout_.clientWidth, layout_.clientHeight};
    AdjustWindowRectEx(&frame, kStyle, TRUE, kExStyle);
    SetWindowPos(handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    edits_ = std::make_unique<ListEdits>(*lbxURL, schedule_, [] { return GetTickCount(); });
    // A change only ever moves the save later: a timer that is set already fires early at worst
    // and is set again then, so a drop of many lines sets it once, not once a line.
    edits_->onChanged = [this] {
        if (!saveTimerSet_) scheduleSave();
    };
    bindEvents();
    // Links dragged onto any part of the window; without OLE the window works without them.
    acceptDrops();
    streamedList_ = std::make_unique<StreamedListBox>(
        *lbxURL, StreamedListBox::Owner{
                     .isSiblingName =
                         [this](std::string_view n) { return hasComponentNamed(n, lbxURL.get()); },
                     .isTopLevelName = [](std::string_view n) { return sameText(n, "frmMain"); },
                     .tabOrder = [this] { return tabOrderOf(*lbxURL); },
                     .clickHandler = "lbxURLClick",
                     .dblClickHandler = "btnGoClick",
                     .toWindow = [m = layout_.scaleM, d = layout_.scaleD](
                                     const Bounds& b) { return scaleBounds(b, m, d); },
                     .toFile = [m = layout_.scaleM, d = layout_.scaleD](
                                   const Bounds& b) { return toDesignUnits(b, m, d); },
                     .placeRead = [this](const Bounds& b) { return placeListRead(b); }});
    app.setMainForm(*this);
    saver_ = std::make_unique<BackgroundSave>(
        [this](const ListSnapshot& list) { return listFile_.save(list); },
        [window = handle()] { PostMessageW(window, kSaveEnded, 0, 0); });

    // The create step has a guard of its own: an error is shown before the window is, and
    // start-up goes on.
    try {
        FormCreate();
    } catch (...) {
        reportCurrentError();
    }
    watch_ = std::make_unique<FolderWatch>(
        [window = handle()] { PostMessageW(window, kFolderChanged, 0, 0); });
}

Bounds TfrmMain::placeListRead(const Bounds& read) const {
    std::vector<Bounds> others;
    for (const Control* c : controls()) {
        if (c == lbxURL.get()) continue;
        const RECT r = c->bounds();
        others.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
    }
    if (listFitsWindow(read, layout_.clientWidth, layout_.clientHeight, others)) return read;
    return layout_.controls[static_cast<size_t>(Ctl::lbxURL)];
}

bool TfrmMain::hasComponentNamed(std::string_view name, const Control* except) const {
    for (const Control* c : controls())
        if (c != except && sameText(c->name(), name)) return true;
    std::function<bool(const MenuItem&)> inMenu = [&](const MenuItem& item) {
        if (sameText(item.name(), name)) return true;
        for (const auto& child : item.items())
            if (inMenu(*child)) return true;
        return false;
    };
    for (const auto& item : mnuMain.items())
        if (inMenu(*item)) return true;
    return sameText(name, "mnuMain");
}

TfrmMain::~TfrmMain() {
    watch_.reset();
    finishBackgroundSave();
    streamedList_.reset();
    btnDelete.reset();
    btnDown.reset();
    btnUP.reset();
    btnAdd.reset();
    lbxURL.reset();
    btnGo.reset();
    edtTest.reset();
}

void TfrmMain::buildMenu() {
    mnuMainFile = &mnuMain.add("mnuMainFile", "ファイル(&F)");
    mnuMainFileExit = &mnuMainFile->add("mnuMainFileExit", "終了(&X)");
    mnuMenuTest = &mnuMain.add("mnuMenuTest", "テスト", false);
    mnuMainTestItemCount = &mnuMenuTest->add("mnuMainTestItemCount", "リストボックスの項目数");
    mnuMainTestItemNo = &mnuMenuTest->add("mnuMainTestItemNo", "・・・で選択されている項目の番号");
    mnuMainHelp = &mnuMain.add("mnuMainHelp", "ﾍﾙﾌﾟ(&H)");
    mnuMainHelpVersion = &mnuMainHelp->add("mnuMainHelpVersion", "ﾊﾞｰｼﾞｮﾝ情報(&V)...");
}

void TfrmMain::buildControls() {
    const auto& c = layout_.controls;
    auto at = [&](Ctl id) { return toRect(c[static_cast<size_t>(id)]); };

    editFont_.reset(createFont(layout_.editFontHeight, "ＭＳ ゴシック"));
    // The field's height follows its font: the text cell plus eight one-pixel borders.
    RECT editRect = at(Ctl::edtTest);
    {
        ScreenDC dc;
        SelectedObject selected(dc.get(), editFont_.get());
        TEXTMETRICW tm{};
        GetTextMetricsW(dc.get(), &tm);
        editRect.bottom = editRect.top + tm.tmHeight + GetSystemMetrics(SM_CYBORDER) * 8;
    }
    edtTest = std::make_unique<Edit>(*this, "edtTest", editRect);
    edtTest->setFont(editFont_.get());
    btnGo = std::make_unique<Button>(*this, "btnGo", "Go", at(Ctl::btnGo),
                                     Button::Options{.isDefault = true, .enabled = false});
    lbxURL = std::make_unique<ListBox>(*this, "lbxURL", at(Ctl::lbxURL));
    btnAdd = std::make_unique<Button>(*this, "btnAdd", "Add", at(Ctl::btnAdd),
                                      Button::Options{.isDefault = true, .enabled = false});
    btnUP = std::make_unique<Button>(*this, "btnUP", "Up", at(Ctl::btnUP),
                                     Button::Options{.enabled = false});
    btnDown = std::make_unique<Button>(*this, "btnDown", "Down", at(Ctl::btnDown),
                                       Button::Options{.enabled = false});
    btnDelete = std::make_unique<Button>(*this, "btnDelete", "Delete", at(Ctl::btnDelete),
                                         Button::Options{.enabled = false});
    for (Control* ctl :
         {static_cast<Control*>(btnGo.get()), static_cast<Control*>(lbxURL.get()),
          static_cast<Control*>(btnAdd.get()), static_cast<Control*>(btnUP.get()),
          static_cast<Control*>(btnDown.get()), static_cast<Control*>(btnDelete.get())})
        ctl->setFont(windowFont_.get());
    lbxURL->setStoredItemHeight(design::kListItemHeight);
}

void TfrmMain::bindEvents() {
    auto bind = [this](void (TfrmMain::*handler)(Control&)) {
        return [this, handler](Control& sender) { (this->*handler)(sender); };
    };
    auto bindMenu = [this](void (TfrmMain::*handler)(MenuItem&)) {
        return [this, handler](MenuItem& sender) { (this->*handler)(sender); };
    };
    edtTest->onChange = bind(&TfrmMain::edtTestChange);
    btnGo->onClick = bind(&TfrmMain::btnGoClick);
    lbxURL->onClick = bind(&TfrmMain::lbxURLClick);
    lbxURL->onDblClick = bind(&TfrmMain::btnGoClick);
    btnAdd->onClick = bind(&TfrmMain::btnAddClick);
    btnUP->onClick = bind(&TfrmMain::btnUPClick);
    btnDown->onClick = bind(&TfrmMain::btnDownClick);
    btnDelete->onClick = bind(&TfrmMain::btnDeleteClick);
    mnuMainFileExit->onClick = bindMenu(&TfrmMain::mnuMainFileExitClick);
    mnuMainHelpVersion->onClick = bindMenu(&TfrmMain::mnuMainHelpVersionClick);
    mnuMainTestItemCount->onClick = bindMenu(&TfrmMain::mnuMainTestItemCountClick);
    mnuMainTestItemNo->onClick = bindMenu(&TfrmMain::mnuMainTestItemNoClick);
    onClose = [this](CloseAction& action) {
        // A later start in the folder waits for this close instead of finding a window that is
        // about to go; a close that fails leaves the window for it again.
        app_.setClosing(true);
        try {
            FormClose(action);
        } catch (...) {
            app_.setClosing(false);
            throw;
        }
    };
    onDragEnter = [this](const TransferData& data) { return FormDragEnter(data); };
    onDragDrop = [this](const TransferData& data, bool& taken) { FormDragDrop(data, taken); };
    actions_.onLaterError = [this](std::exception_ptr error) { reportLater(std::move(error)); };
    auto bindPaste = [this](bool (TfrmMain::*handler)(Control&, const std::string&)) {
        return [this, handler](Control& sender, const std::string& text) {
            return (this->*handler)(sender, text);
        };
    };
    edtTest->onPaste = bindPaste(&TfrmMain::edtTestPaste);
    lbxURL->onPaste = bindPaste(&TfrmMain::lbxURLPaste);
    lbxURL->onContextMenu = [this](Control& sender, POINT screen, int index) {
        lbxURLContextMenu(sender, screen, index);
    };
}

int TfrmMain::top() const {
    RECT r{};
    GetWindowRect(handle(), &r);
    return r.top;
}

int TfrmMain::left() const {
    RECT r{};
    GetWindowRect(handle(), &r);
    return r.left;
}

void TfrmMain::moveTo(int left, int top) {
    if (IsIconic(handle())) return;
    SetWindowPos(handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::setTop(int top) { moveTo(left(), top); }
void TfrmMain::setLeft(int left) { moveTo(left, top()); }

// ---- Handlers ----

void TfrmMain::FormCreate() {
    const StoredPosition stored = readPosition();
    if (stored.top) setTop(*stored.top);
    if (stored.left) setLeft(*stored.left);
    if (stored.top) bringOntoMonitor();
    // Where the window starts counts as kept: only a move away from it is written.
    storedPlace_ = place();
    listFile_.load(streamedList());
    edits_->forget();
    if (lbxURL->count() > 0) {
        lbxURL->setItemIndex(0);
        btnGo->setEnabled(true);
    }
}

void TfrmMain::FormClose(CloseAction&) {
    // A save after a change that is still running ends first: the close writes the list as it
    // stands now, after it.
    finishBackgroundSave();
    savePosition(place());
    storedPlace_ = place();
    std::string kept;
    try {
        kept = listFile_.save(streamedList());
    } catch (...) {
        // The close's box says it: no save after a change repeats it, and later failures stay
        // silent until a save succeeds.
        stopSaveTimer();
        saveErrorShown_ = true;
        saveError_ = nullptr;
        throw;
    }
    savedChanges_ = edits_->changes();
    schedule_.savedOutsideSchedule();
    stopSaveTimer();
    closed_ = true;
    if (!kept.empty()) otherVersion_ = kept;
    tellOtherVersion();
}

void TfrmMain::edtTestChange(Control&) { entryFieldChanged(*this); }
void TfrmMain::lbxURLClick(Control&) { refreshCommandStates(*this); }
void TfrmMain::btnGoClick(Control& sender) {
    // A double-click opens the entry it was on, also when it waits for a Go that moves on.
    const int clicked = &sender == lbxURL.get() ? lbxURL->itemIndex() : -1;
    actions_.perform([this, clicked] {
        if (clicked >= 0 && clicked < count()) setSelection(clicked);
        openEntry(*this, openPolicy_);
        // Go may have waited for the handler, and more presses may be queued behind it: show
        // the new selection now, not once the queue is empty.
        RedrawWindow(handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    });
}

void TfrmMain::lbxURLContextMenu(Control&, POINT screen, int index) {
    // Open and Delete are the buttons' own clicks, and greyed as the buttons are.
    const bool onEntry = index >= 0;
    PopupMenu menu;
    menu.add("元に戻す(&U)\tCtrl+Z", canUndo(), [this] { undoChange(); });
    menu.add("やり直し(&R)\tCtrl+Y", canRedo(), [this] { redoChange(); });
    menu.addSeparator();
    menu.add("コピー(&C)\tCtrl+C", onEntry, [this] { lbxURL->copySelection(); });
    menu.add("開く(&O)", onEntry && btnGo->isEnabled(), [this] { btnGo->click(); });
    menu.add("削除(&D)", onEntry && btnDelete->isEnabled(), [this] { btnDelete->click(); });
    menu.popup(handle(), screen);
}

void TfrmMain::mnuMainFileExitClick(MenuItem&) { close(); }

bool TfrmMain::FormDragEnter(const TransferData& data) { return offersAddresses(data); }

void TfrmMain::FormDragDrop(const TransferData& data, bool& taken) {
    // Decoded now: the data is the source's only during this call.
    std::vector<std::string> addresses = droppedAddresses(data);
    if (addresses.empty()) return;
    const int before = count();
    try {
        // Kept for after a running Go: the addresses are taken all the same.
        taken = !actions_.perform([this, addresses = std::move(addresses)] {
            edits_->asStep([&] { appendAddresses(*this, addresses); });
        });
    } catch (...) {
        taken = count() > before;
        throw;
    }
    taken = taken || count() > before;
}

bool TfrmMain::edtTestPaste(Control&, const std::string& text) {
    if (!actions_.running()) {
        bool handled = false;
        actions_.perform(
            [&] { handled = edits_->asStep([&] { return pasteIntoEntryField(*this, text); }); });
        return handled;
    }
    // Carried out after a running Go, the paste can no longer be left to the field: it gets
    // what the field's own paste would have put in, the first line.
    actions_.perform([this, text] {
        edits_->asStep([&] {
            if (!pasteIntoEntryField(*this, text))
                replaceEntrySelection(std::string(firstLine(text)));
        });
    });
    return true;
}

bool TfrmMain::lbxURLPaste(Control&, const std::string& text) {
    actions_.perform([this, text] { edits_->asStep([&] { pasteIntoList(*this, text); }); });
    return true;
}

void TfrmMain::mnuMainHelpVersionClick(MenuItem&) {
    MessageForm::show("Version 0.90 (2002.Jan.17)");
}

void TfrmMain::mnuMainTestItemCountClick(MenuItem&) {
    MessageForm::show(std::to_string(lbxURL->count()));
}

void TfrmMain::mnuMainTestItemNoClick(MenuItem&) {
    MessageForm::show(std::to_string(lbxURL->itemIndex()));
}

// ---- The window ----

void TfrmMain::onMenuCommand(UINT id) { mnuMain.dispatch(id); }

// The session ends without the close route: keep the position and the list anyway, silently,
// each on its own (a failed save leaves the old file as it was). Both this window and the
// application window hear of the ending, in either order; save once.
void TfrmMain::sessionEnding() noexcept {
    if (sessionSaved_) return;
    sessionSaved_ = true;
    app_.setClosing(true);
    finishBackgroundSave();
    try {
        savePosition(place());
    } catch (...) {
    }
    try {
        listFile_.save(streamedList());
        savedChanges_ = edits_->changes();
        schedule_.savedOutsideSchedule();
    } catch (...) {
    }
}

void TfrmMain::saveBeforeEnd() noexcept {
    finishBackgroundSave();
    if (!changeWaiting()) return;
    try {
        listFile_.save(streamedList());
        savedChanges_ = edits_->changes();
    } catch (...) {
        // At the session's end nobody is there to read a box.
        if (!sessionSaved_) Application::reportError(std::current_exception());
    }
}

void TfrmMain::endRequested() noexcept {
    // Not inside a Go, a drop or a paste, whose list would be saved half done, nor under a box.
    if (actions_.running() || !IsWindowEnabled(handle())) {
        SetTimer(handle(), kEndRequestTimer, kSaveErrorRetryMs, nullptr);
        return;
    }
    KillTimer(handle(), kEndRequestTimer);
    app_.setClosing(true);
    finishBackgroundSave();
    try {
        savePosition(place());
        storedPlace_ = place();
    } catch (...) {
        // The list matters more; the place is kept again at the next close.
    }
    std::exception_ptr error;
    try {
        // Another program's version, if any, is kept beside the list by the save itself.
        listFile_.save(streamedList());
        savedChanges_ = edits_->changes();
        schedule_.savedOutsideSchedule();
    } catch (...) {
        error = std::current_exception();
    }
    if (onEndAnswered) onEndAnswered(error);
    if (!error) {
        app_.terminate();
        return;
    }
    // As a failed close: the window stays, with the error box, and no save after the change
    // brings the same error up again.
    stopSaveTimer();
    saveErrorShown_ = true;
    saveError_ = nullptr;
    app_.setClosing(false);
    Application::reportError(error);
}

// ---- Saves after changes ----

void TfrmMain::scheduleSave() {
    if (const std::optional<std::uint32_t> due = schedule_.dueIn(GetTickCount())) {
        SetTimer(handle(), kSaveTimer, std::max<UINT>(*due, USER_TIMER_MINIMUM), nullptr);
        saveTimerSet_ = true;
    } else {
        stopSaveTimer();
    }
}

void TfrmMain::stopSaveTimer() {
    KillTimer(handle(), kSaveTimer);
    saveTimerSet_ = false;
}

void TfrmMain::startSave() {
    // The snapshot shares the list's blocks of entries, so it costs a pointer per block here;
    // the conversion, the writing and the flush happen on the save's own thread.
    auto snapshot = std::make_unique<ListSnapshot>(streamedList(), lbxURL->entries());
    // Marked once the thread runs: a thread that cannot start leaves the change waiting.
    saver_->start(std::move(snapshot));
    schedule_.started();
    savingChanges_ = edits_->changes();
}

void TfrmMain::saveEnded() {
    // Ended already when the close or the session's end waited for it; what was changed during
    // it starts the next save all the same.
    const BackgroundSave::Outcome outcome = saver_->finish();
    if (outcome.ended) {
        schedule_.runEnded();
        if (!outcome.error) {
            savedChanges_ = savingChanges_;
            saveErrorShown_ = false;
        } else if (!saveErrorShown_) {
            saveErrorShown_ = true;
            saveError_ = outcome.error;
        }
        if (!outcome.otherVersion.empty()) otherVersion_ = outcome.otherVersion;
        showWaitingBoxes();
    }
    if (!closed_) scheduleSave();
}

void TfrmMain::showWaitingBoxes() {
    if (!saveError_ && otherVersion_.empty()) return;
    // Not over a drag, which would keep the program it comes from waiting, nor over another box.
    if (dragInProgress() || !IsWindowEnabled(handle())) {
        SetTimer(handle(), kSaveErrorTimer, kSaveErrorRetryMs, nullptr);
        return;
    }
    KillTimer(handle(), kSaveErrorTimer);
    if (saveError_) Application::reportError(std::exchange(saveError_, nullptr));
    tellOtherVersion();
}

void TfrmMain::tellOtherVersion() {
    if (otherVersion_.empty()) return;
    const std::string copy = std::exchange(otherVersion_, {});
    applicationMessageBox(
        formatText(texts::kOtherVersionKept, {listFile_.fileName(), copy, listFile_.fileName()}),
        app_.currentTitle(), MB_OK | MB_ICONWARNING);
}

void TfrmMain::finishBackgroundSave() noexcept {
    if (!saver_) return;
    const BackgroundSave::Outcome outcome = saver_->finish();
    if (!outcome.ended) return;
    schedule_.runEnded();
    if (!outcome.error) savedChanges_ = savingChanges_;
    try {
        if (!outcome.otherVersion.empty()) otherVersion_ = outcome.otherVersion;
    } catch (...) {
    }
}

void TfrmMain::folderChanged() {
    // Each change starts the quiet time again.
    if (!closed_ && !sessionSaved_) SetTimer(handle(), kFileQuietTimer, kFileQuietMs, nullptr);
}

void TfrmMain::checkOtherVersion() {
    KillTimer(handle(), kFileQuietTimer);
    if (closed_ || sessionSaved_) return;
    // Not while the list is being written or walked, nor under a box: looked at again later.
    if (saver_->running() || actions_.running() || !IsWindowEnabled(handle())) {
        SetTimer(handle(), kFileQuietTimer, kFileQuietMs, nullptr);
        return;
    }
    switch (onOtherVersion(listFile_.knownState(), listFile_.currentState(), changeWaiting(),
                           listFile_.unreadableState())) {
        case OnOtherVersion::Nothing:
            return;
        case OnOtherVersion::KeepAndSave:
            // The save keeps the other version beside the list before it writes this one.
            stopSaveTimer();
            startSave();
            return;
        case OnOtherVersion::Reload:
            reloadList();
            return;
    }
}

void TfrmMain::reloadList() {
    const int selected = lbxURL->itemIndex();
    switch (listFile_.reload(streamedList())) {
        case ListFile::Reload::Busy:
            SetTimer(handle(), kFileQuietTimer, kFileQuietMs, nullptr);
            return;
        case ListFile::Reload::Unreadable:
            return;
        case ListFile::Reload::Loaded:
            // Another program's list: steps recorded on ours would put entries at wrong places.
            edits_->forget();
            lbxURL->setItemIndex(selectionAfterReload(selected, lbxURL->count()));
            refreshCommandStates(*this);
            return;
    }
}

void TfrmMain::positionSettled() {
    KillTimer(handle(), kPlaceTimer);
    // Showing maximized moves the window too, but not by the user's hand.
    if (!isShowing() || IsIconic(handle()) || IsZoomed(handle())) return;
    const WindowPlace now = place();
    if (storedPlace_ == now) return;
    try {
        savePosition(now);
        storedPlace_ = now;
    } catch (...) {
        // The close keeps the place again and reports what fails then.
    }
}

void TfrmMain::closeConfirmed(CloseAction) {
    if (app_.mainForm() == this) app_.terminate();
}

LRESULT TfrmMain::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SYSCOMMAND:
            // Minimizing the main window minimizes the application as a whole.
            if ((wp & 0xFFF0) == SC_MINIMIZE && app_.mainForm() == this) {
                app_.minimize();
                return 0;
            }
            return Form::handleMessage(msg, wp, lp);
        case WM_ENDSESSION:
            if (wp) sessionEnding();
            return Form::handleMessage(msg, wp, lp);
        case WM_TIMER:
            switch (wp) {
                case kSaveTimer:
                    KillTimer(handle(), kSaveTimer);
                    saveTimerSet_ = false;
                    if (schedule_.due(GetTickCount()))
                        startSave();
                    else
                        scheduleSave();
                    return 0;
                case kSaveErrorTimer:
                    showWaitingBoxes();
                    return 0;
                case kFileQuietTimer:
                    checkOtherVersion();
                    return 0;
                case kPlaceTimer:
                    positionSettled();
                    return 0;
                case kEndRequestTimer:
                    endRequested();
                    return 0;
                default:
                    return Form::handleMessage(msg, wp, lp);
            }
        case kSaveEnded:
            saveEnded();
            return 0;
        case WM_UNDO:
            // As an edit control answers it, for tools that drive the window.
            undoChange();
            return TRUE;
        case kEndRequested:
            endRequested();
            return 0;
        case kFolderChanged:
            folderChanged();
            return 0;
        case WM_ENTERSIZEMOVE:
            inSizeMove_ = true;
            return Form::handleMessage(msg, wp, lp);
        case WM_EXITSIZEMOVE:
            inSizeMove_ = false;
            positionSettled();
            return Form::handleMessage(msg, wp, lp);
        case WM_MOVE:
            // Moves that no move loop frames (a window manager's, a program's) count once the
            // window has stood still for a moment.
            if (!inSizeMove_ && isShowing())
                SetTimer(handle(), kPlaceTimer, kPlaceSettleMs, nullptr);
            return Form::handleMessage(msg, wp, lp);
        case WM_WINDOWPOSCHANGED: {
            // The taskbar entry follows the window's visibility.
            const LRESULT r = Form::handleMessage(msg, wp, lp);
            if (reinterpret_cast<WINDOWPOS*>(lp)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW))
                app_.updateVisible();
            return r;
        }
        default:
            return Form::handleMessage(msg, wp, lp);
    }
}

}  // namespace klw
