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

void savePosition(const WindowPlace& place) {
    TRegistry reg;
    reg.setRootKey(HKEY_CURRENT_USER);
    if (!reg.openKey(kPositionKeyPath, true)) return;
    reg.writeInteger("Top", place.top);
    reg.writeInteger("Left", place.left);
    reg.closeKey();
}

}  // namespace klw
