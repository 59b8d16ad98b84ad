#include "persist/position_store.h"

#include <algorithm>

#include "persist/registry.h"

namespace klw {

void restorePosition(HWND window, const std::function<void(int)>& setTop,
                     const std::function<void(int)>& setLeft) noexcept {
    bool moved = false;
    try {
        TRegistry reg;
        reg.setRootKey(HKEY_CURRENT_USER);
        if (reg.openKey(kPositionKeyPath, false)) {
            const int top = reg.readInteger("Top");
            setTop(top);
            moved = true;
            const int left = reg.readInteger("Left");
            setLeft(left);
            reg.closeKey();
        }
    } catch (...) {
        // A position that cannot be read leaves the window where the system put it.
    }
    if (!moved) return;
    try {
        bringOntoMonitor(window, setTop, setLeft);
    } catch (...) {
    }
}

void savePosition(int top, int left) {
    TRegistry reg;
    reg.setRootKey(HKEY_CURRENT_USER);
    if (!reg.openKey(kPositionKeyPath, true)) return;
    reg.writeInteger("Top", top);
    reg.writeInteger("Left", left);
    reg.closeKey();
}

bool bringOntoMonitor(HWND window, const std::function<void(int)>& setTop,
                      const std::function<void(int)>& setLeft) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return false;
    if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return false;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return false;
    const RECT& work = info.rcWork;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    // A window larger than the work area keeps its top-left corner inside it.
    const int left =
        std::clamp<int>(r.left, work.left, std::max<int>(work.left, work.right - width));
    const int top = std::clamp<int>(r.top, work.top, std::max<int>(work.top, work.bottom - height));
    if (top != r.top) setTop(top);
    if (left != r.left) setLeft(left);
    return true;
}

}  // namespace klw
