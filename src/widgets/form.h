#pragma once
// A top-level window holding controls: focus and the active control, the Enter flags of the
// buttons, the keyboard rules for Tab, arrows, Enter and Esc, reflection of notifications, and
// the close route.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "widgets/control.h"
#include "widgets/drop_target.h"
#include "widgets/window.h"

namespace klw {

class Button;

enum class CloseAction { None, Hide, Free, Minimize };

class Form : public Window, private DropSink {
public:
    ~Form() override;

    // Controls in creation order, which is also the tab order and the order in which Enter is
    // offered to the buttons.
    const std::vector<Control*>& controls() const { return controls_; }
    // The control's place in that order; -1 for one that is not the form's.
    int tabOrderOf(const Control& control) const;
    void addControl(Control& control);
    void removeControl(Control& control);

    Control* activeControl() const { return active_; }
    void focusControl(Control& control);
    // The form itself takes the focus: no control has it and the Enter flags go back to Default.
    void focusFormItself();
    // Called by a control that has just received the focus.
    void controlFocused(Control& control);
    // The pre-translation of a key for `target` (nullptr: the form itself). True claims it.
    bool dialogKey(Control* target, UINT keyMsg, WPARAM vk, LPARAM lp);
    // A box has asked the user something: the rest of a held key's folded repeats, pressed
    // before the user saw it, is dropped.
    void keyRepeatsInterrupted() { ++interruptions_; }
    // Moves the focus from `from` to the next (or previous) control that is visible, enabled
    // and, when `tabStopOnly`, a tab stop, wrapping around. nullptr starts before the first
    // (after the last).
    void selectNext(Control* from, bool forward, bool tabStopOnly);

    HFONT font() const { return font_; }

    // The close route: close query, close action, OnClose, then closeConfirmed().
    void close();
    std::function<void(CloseAction&)> onClose;
    std::function<bool()> onCloseQuery;

    bool isShowing() const { return IsWindowVisible(handle()) != FALSE; }
    // A window that lies on no monitor (one that has been removed) moves by the least distance
    // into the work area of the nearest one; true when it moved.
    bool bringOntoMonitor();

    // The session ends with the form still open: keep what must survive, showing nothing.
    virtual void sessionEnding() noexcept {}

    // Drops onto the window and every control on it, once acceptDrops() has registered it:
    // OnDragEnter says, from what the data offers, whether it would be taken; OnDragDrop takes
    // it and sets `taken` as soon as it has taken anything. An error out of either is reported
    // once the drag has ended, so that the program the drag came from is not kept waiting by
    // the error box.
    std::function<bool(const TransferData&)> onDragEnter;
    std::function<void(const TransferData&, bool& taken)> onDragDrop;
    // False when the platform refuses (no OLE on the thread): the window then takes no drops.
    bool acceptDrops();
    // The drop target the platform calls, or nullptr.
    IDropTarget* dropTarget() const { return drops_ ? drops_->target() : nullptr; }
    bool dragInProgress() const { return drops_ && drops_->dragging(); }

protected:
    Form() = default;
    void setFont(HFONT font) { font_ = font; }
    LRESULT handleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Sees a key before the focused control and the dialog keys (KeyPreview).
    virtual bool previewKey(UINT keyMsg, WPARAM vk, LPARAM lp) {
        (void)keyMsg;
        (void)vk;
        (void)lp;
        return false;
    }
    // A menu command of this window's menu bar.
    virtual void onMenuCommand(UINT id) { (void)id; }
    // The close route decided that the window may go.
    virtual void closeConfirmed(CloseAction action) { (void)action; }
    void updateEnterFlags(Control* focused);
    // Shows the error once the window's message loop runs again, not inside the current call.
    void reportLater(std::exception_ptr error) noexcept;

public:
    // The focus goes where the window's activation puts it: the active control, or else the
    // first enabled control in tab order.
    void activate();

private:
    // The first button, in creation order, that takes Enter (VK_RETURN) or Esc now.
    Button* dialogButton(WPARAM vk) const;
    bool dropWanted(const TransferData& data) override;
    void dropTaken(const TransferData& data, bool& taken) override;
    void dropFailed(std::exception_ptr error) noexcept override;
    std::vector<Control*> controls_;
    Control* active_ = nullptr;
    HFONT font_ = nullptr;
    std::unique_ptr<DropRegistration> drops_;
    std::vector<std::exception_ptr> dropErrors_;
    unsigned interruptions_ = 0;
};

}  // namespace klw
