#include "persist/position_store.h"

#include "persist/registry.h"

namespace klw {

StoredPosition readPosition() noexcept {
    StoredPosition stored;
    try {
        TRegistry reg;
        reg.setRootKey(HKEY_CURRENT_USER);
        if (reg.openKey(kPositionKeyPath, false)) {
            stored.top = reg.readInteger("Top");
            stored.left = reg.readInteger("Left");
            reg.closeKey();
        }
    } catch (...) {
        // A position that cannot be read leaves the window where the system put it.
    }
    return stored;
}

void savePosition(int top, int left) {
    TRegistry reg;
    reg.setRootKey(HKEY_CURRENT_USER);
    if (!reg.openKey(kPositionKeyPath, true)) return;
    reg.writeInteger("Top", top);
    reg.writeInteger("Left", left);
    reg.closeKey();
}

}  // namespace klw
