#include "widgets/clipboard.h"

#include "runtime/codepage.h"
#include "runtime/exceptions.h"
#include "runtime/global_block.h"
#include "runtime/texts.h"
#include "widgets/platform_formats.h"

namespace klw {

ClipboardData::ClipboardData(HWND owner) {
    // Another program may hold the clipboard for a moment (a clipboard manager copying it).
    bool opened = false;
    for (int attempt = 0; attempt < 5 && !(opened = OpenClipboard(owner) != FALSE); ++attempt)
        Sleep(10);
    if (!opened) throw EClipboardBusy(std::string(texts::kCannotOpenClipboard));
}

ClipboardData::~ClipboardData() { CloseClipboard(); }

bool ClipboardData::offers(TransferFormat format) const {
    const UINT id = platformFormat(format);
    return id != 0 && IsClipboardFormatAvailable(id);
}

std::optional<std::string> ClipboardData::block(TransferFormat format) const {
    const UINT id = platformFormat(format);
    const HANDLE h = id ? GetClipboardData(id) : nullptr;
    if (!h) return std::nullopt;
    return globalBytes(h);
}

std::optional<std::string> clipboardText(HWND owner) {
    const ClipboardData clipboard(owner);
    const std::optional<std::string> block = clipboard.block(TransferFormat::UnicodeText);
    if (!block) return std::nullopt;
    return blockText(TransferFormat::UnicodeText, *block, ansiCodePage());
}

}  // namespace klw
