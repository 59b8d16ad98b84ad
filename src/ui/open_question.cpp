#include "ui/open_question.h"

#include <commctrl.h>

#include "app/application.h"
#include "app/error_report.h"
#include "runtime/unicode.h"
#include "ui/web_address.h"
#include "widgets/form.h"

namespace klw {
namespace {

constexpr UINT_PTR kBoxSubclassId = 0x4B4C5751;  // "KLWQ"

// The box being shown on this thread: the hook finds its window and ties the guard to it.
struct QuestionBox {
    HHOOK hook = nullptr;
    HWND window = nullptr;
    DWORD shownAt = 0;
};
thread_local QuestionBox* shownBox = nullptr;

LRESULT CALLBACK boxProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                         DWORD_PTR data) noexcept {
    auto* box = reinterpret_cast<QuestionBox*>(data);
    const bool early = GetTickCount() - box->shownAt < kQuestionAnswerDelayMs;
    if (msg == WM_COMMAND) {
        const WORD button = LOWORD(wp);
        if (button == IDYES || button == IDNO || button == IDCANCEL) {
            if (early) return 0;
            // Esc: No. The box has no Cancel, and on Windows would ignore it.
            if (button == IDCANCEL) wp = MAKEWPARAM(IDNO, HIWORD(wp));
        }
    } else if (msg == WM_NEXTDLGCTL) {
        // Tab or an arrow typed ahead would move the focus to Yes.
        if (early) return 0;
    } else if (msg == WM_CLOSE) {
        if (early) return 0;
        return DefSubclassProc(hwnd, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    } else if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, boxProc, id);
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK cbtProc(int code, WPARAM wp, LPARAM lp) noexcept {
    QuestionBox* box = shownBox;
    if (box && code == HCBT_ACTIVATE && !box->window) {
        const HWND hwnd = reinterpret_cast<HWND>(wp);
        wchar_t cls[16] = {};
        GetClassNameW(hwnd, cls, 16);
        if (lstrcmpW(cls, L"#32770") == 0) {
            box->window = hwnd;
            box->shownAt = GetTickCount();
            SetWindowSubclass(hwnd, boxProc, kBoxSubclassId, reinterpret_cast<DWORD_PTR>(box));
        }
    }
    return CallNextHookEx(box ? box->hook : nullptr, code, wp, lp);
}

// The hook for one box, removed also when showing it fails.
class BoxHook {
public:
    explicit BoxHook(QuestionBox& box) : box_(box) {
        box_.hook = SetWindowsHookExW(WH_CBT, cbtProc, nullptr, GetCurrentThreadId());
        shownBox = &box_;
    }
    ~BoxHook() {
        shownBox = nullptr;
        if (box_.hook) UnhookWindowsHookEx(box_.hook);
    }
    BoxHook(const BoxHook&) = delete;
    BoxHook& operator=(const BoxHook&) = delete;

private:
    QuestionBox& box_;
};

// Keys and clicks that were meant for the list: not an answer to the box.
void dropQueuedInput() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    }
    while (PeekMessageW(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
    }
}

}  // namespace

bool askToOpen(HWND owner, const std::string& entry) {
    Application* app = Application::instance();
    const std::wstring text = wide(openQuestionText(entry));
    const std::wstring caption = wide(app ? app->currentTitle() : std::string());
    const HWND focus = GetFocus();
    const HWND active = GetActiveWindow();
    dropQueuedInput();
    int answer = 0;
    {
        // The whole program takes no input, as under the error box: the application window's
        // Close would otherwise run the close route in the middle of Go.
        DisabledThreadWindows disabled(owner);
        QuestionBox box;
        BoxHook hook(box);
        answer = MessageBoxW(owner, text.c_str(), caption.c_str(),
                             MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
    }
    // The walk goes on with the next key: the window the box came from takes the keyboard back,
    // also where the box's end left no window active (Wine without a window manager).
    if (active && IsWindow(active)) {
        if (GetForegroundWindow() != active) SetForegroundWindow(active);
        SetActiveWindow(active);
    }
    // A control that had the focus gets it back; where none had it (a focused button had
    // disabled itself), it goes where activation puts it, so that typing reaches the field.
    const bool focusOnControl = focus && IsWindow(focus) && IsWindowEnabled(focus) &&
                                IsWindowVisible(focus) &&
                                (GetWindowLongW(focus, GWL_STYLE) & WS_CHILD);
    if (focusOnControl)
        SetFocus(focus);
    else if (auto* form = dynamic_cast<Form*>(Window::fromHandle(active)))
        form->activate();
    else if (focus && IsWindow(focus))
        SetFocus(focus);
    return answer == IDYES;
}

}  // namespace klw
