#include "widgets/form.h"

#include <algorithm>
#include <utility>

#include "widgets/button.h"
#include "widgets/error_sink.h"
#include "widgets/messages.h"
#include "widgets/placement.h"

namespace klw {
Form::~Form() = default;

bool Form::acceptDrops() {
    DropSink& sink = *this;
    if (!drops_) drops_ = std::make_unique<DropRegistration>(handle(), sink);
    return drops_->registered();
}

bool Form::dropWanted(const TransferData& data) { return onDragEnter && onDragEnter(data); }

void Form::dropTaken(const TransferData& data, bool& taken) {
    if (onDragDrop) onDragDrop(data, taken);
}

void Form::dropFailed(std::exception_ptr error) noexcept { reportLater(std::move(error)); }

void Form::reportLater(std::exception_ptr error) noexcept {
    try {
        dropErrors_.push_back(std::move(error));
        PostMessageW(handle(), kReportDropErrors, 0, 0);
    } catch (...) {
    }
}

void Form::addControl(Control& control) { controls_.push_back(&control); }

int Form::tabOrderOf(const Control& control) const {
    const auto it = std::find(controls_.begin(), controls_.end(), &control);
    return it == controls_.end() ? -1 : static_cast<int>(it - controls_.begin());
}

void Form::removeControl(Control& control) {
    std::erase(controls_, &control);
    if (active_ == &control) active_ = nullptr;
}

void Form::focusControl(Control& control) { SetFocus(control.handle()); }

void Form::focusFormItself() {
    if (active_) {
        Control* old = active_;
        active_ = nullptr;
        old->onExit();
    }
    SetFocus(handle());
    updateEnterFlags(nullptr);
}

void Form::controlFocused(Control& control) {
    if (active_ != &control) {
        Control* old = active_;
        active_ = &control;
        if (old) old->onExit();
        control.onEnter();
    }
    updateEnterFlags(&control);
}

void Form::updateEnterFlags(Control* focused) {
    for (Control* c : controls_) {
        if (!c->isButton()) continue;
        auto* b = static_cast<Button*>(c);
        b->setEnterFlag(focused && focused->isButton() ? c == focused : b->isDefault());
    }
}

void Form::selectNext(Control* from, bool forward, bool tabStopOnly) {
    const int n = static_cast<int>(controls_.size());
    if (n == 0) return;
    int start = -1;
    if (from) {
        const auto it = std::find(controls_.begin(), controls_.end(), from);
        if (it != controls_.end()) start = static_cast<int>(it - controls_.begin());
    }
    if (start < 0) start = forward ? n - 1 : 0;
    for (int step = 1; step <= n; ++step) {
        const int i = ((forward ? start + step : start - step) % n + n) % n;
        Control* c = controls_[static_cast<size_t>(i)];
        if (c->isVisible() && c->isEnabled() && (!tabStopOnly || c->isTabStop())) {
            if (c != from || !c->focused()) focusControl(*c);
            return;
        }
    }
}

bool Form::dialogKey(Control* target, UINT keyMsg, WPARAM vk, LPARAM lp) {
    if (keyMsg != WM_KEYDOWN && keyMsg != WM_SYSKEYDOWN) return false;
    if (previewKey(keyMsg, vk, lp)) return true;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = keyMsg == WM_SYSKEYDOWN || (lp & (1 << 29)) != 0;
    switch (vk) {
        case VK_TAB:
            if (keyMsg != WM_KEYDOWN || ctrl) return false;
            selectNext(active_ && active_->focused() ? active_ : nullptr, !shift, true);
            return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            // The field and the list use the arrows themselves.
            if (target && !target->isButton()) return false;
            if (target && !alt) selectNext(target, vk == VK_RIGHT || vk == VK_DOWN, false);
            return true;
        case VK_RETURN:
        case VK_ESCAPE: {
            if (shift || ctrl || alt) return false;
            // While the program is busy the system folds the automatic repeats of a held key
            // into one message and counts them: each is a press of its own, offered anew.
            const int presses = std::max(1, static_cast<int>(lp & 0xFFFF));
            const unsigned interruptions = interruptions_;
            for (int i = 0; i < presses && interruptions == interruptions_; ++i) {
                Button* b = dialogButton(vk);
                if (!b) return i > 0;
                b->click();
            }
            return true;
        }
        default:
            return false;
    }
}

Button* Form::dialogButton(WPARAM vk) const {
    for (Control* c : controls_) {
        if (!c->isButton() || !c->isVisible() || !c->isEnabled()) continue;
        auto* b = static_cast<Button*>(c);
        if (vk == VK_RETURN ? b->enterFlag() : b->isCancel()) return b;
    }
    return nullptr;
}

void Form::activate() {
    if (active_ && active_->isVisible() && active_->isEnabled()) {
        SetFocus(active_->handle());
        return;
    }
    for (Control* c : controls_) {
        if (c->isVisible() && c->isEnabled() && c->isTabStop()) {
            SetFocus(c->handle());
            return;
        }
    }
    SetFocus(handle());
}

bool Form::bringOntoMonitor() {
    RECT r{};
    if (!GetWindowRect(handle(), &r) || MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return false;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return false;
    const RECT& work = info.rcWork;
    const ScreenPoint to = fitIntoWorkArea({r.left, r.top, r.right, r.bottom},
                                           {work.left, work.top, work.right, work.bottom});
    if (to == ScreenPoint{r.left, r.top}) return false;
    SetWindowPos(handle(), nullptr, to.left, to.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

void Form::close() {
    if (onCloseQuery && !onCloseQuery()) return;
    CloseAction action = CloseAction::Hide;
    if (onClose) onClose(action);
    if (action != CloseAction::None) closeConfirmed(action);
}

LRESULT Form::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            if (lp != 0) {
                if (Control* c = Control::fromHandle(reinterpret_cast<HWND>(lp)))
                    c->reflectCommand(HIWORD(wp));
            } else if (HIWORD(wp) == 0) {
                onMenuCommand(LOWORD(wp));
            }
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            if (Control* c = Control::fromHandle(reinterpret_cast<HWND>(lp))) {
                if (HBRUSH b = c->reflectColor(reinterpret_cast<HDC>(wp)))
                    return reinterpret_cast<LRESULT>(b);
            }
            return defaultProc(msg, wp, lp);
        case WM_DRAWITEM: {
            // Found among the form's own controls: a window property would cost Wine a server
            // call for every row painted.
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            for (Control* c : controls_) {
                if (c->handle() == item->hwndItem && c->reflectDrawItem(*item)) return TRUE;
            }
            return defaultProc(msg, wp, lp);
        }
        case WM_DELETEITEM:
            // Answered here, past no reflection and no default procedure: the rows own nothing,
            // and an owner-drawn list sends this for every row it empties or loses with itself.
            return TRUE;
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && !HIWORD(wp)) {
                activate();
                return 0;
            }
            return defaultProc(msg, wp, lp);
        case WM_CLOSE:
            close();
            return 0;
        case WM_DESTROY:
            // The platform keeps no target for a window that is gone.
            drops_.reset();
            return defaultProc(msg, wp, lp);
        case kReportDropErrors:
            for (std::exception_ptr& error : std::exchange(dropErrors_, {})) {
                try {
                    std::rethrow_exception(error);
                } catch (...) {
                    reportCurrentError();
                }
            }
            return 0;
        case WM_QUERYENDSESSION:
            return (!onCloseQuery || onCloseQuery()) ? TRUE : FALSE;
        case kKeyNotifyBase + WM_KEYDOWN:
        case kKeyNotifyBase + WM_SYSKEYDOWN:
            return dialogKey(nullptr, msg - kKeyNotifyBase, wp, lp) ? 1 : 0;
        default:
            if (msg >= kKeyNotifyBase + WM_KEYFIRST && msg <= kKeyNotifyBase + WM_KEYLAST) return 0;
            return defaultProc(msg, wp, lp);
    }
}

}  // namespace klw
