#include "widgets/clipboard.h"

#include "runtime/block_text.h"
#include "runtime/exceptions.h"
#include "runtime/global_block.h"
#include "runtime/texts.h"

namespace klw {
namespace {

struct OpenedClipboard {
    ~OpenedClipboard() { CloseClipboard(); }
};

}  // namespace

std::optional<std::string> clipboardText(HWND owner) {
    // Another program may hold the clipboard for a moment (a clipboard manager copying it).
    bool opened = false;
    for (int attempt = 0; attempt < 5 && !(opened = OpenClipboard(owner) != FALSE); ++attempt)
        Sleep(10);
    if (!opened) throw Exception(std::string(texts::kCannotOpenClipboard));
    const OpenedClipboard closer;
    const HANDLE h = GetClipboardData(CF_UNICODETEXT);
    if (!h) return std::nullopt;
    const LockedGlobal block(h);
    const std::optional<std::string_view> bytes = block.bytes();
    if (!bytes) return std::nullopt;
    return utf16BlockText(*bytes);
}

}  // namespace klw
