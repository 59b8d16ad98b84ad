#include "widgets/clipboard.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "runtime/codepage.h"
#include "runtime/exceptions.h"
#include "runtime/global_block.h"
#include "runtime/handles.h"
#include "runtime/texts.h"
#include "runtime/unicode.h"
#include "widgets/platform_formats.h"

namespace klw {
namespace {

void openClipboard(HWND owner) {
    // Another program may hold the clipboard for a moment (a clipboard manager copying it).
    bool opened = false;
    for (int attempt = 0; attempt < 5 && !(opened = OpenClipboard(owner) != FALSE); ++attempt)
        Sleep(10);
    if (!opened) throw EClipboardBusy(std::string(texts::kCannotOpenClipboard));
}

// The clipboard, open for the owner's lifetime.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) { openClipboard(owner); }
    ~OpenedClipboard() { CloseClipboard(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

}  // namespace

ClipboardData::ClipboardData(HWND owner) { openClipboard(owner); }

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

void setClipboardText(HWND owner, std::string_view text) {
    std::wstring units = wide(text);
    units.resize(std::min(units.size(), units.find(L'\0')));
    // The block is filled before the clipboard is opened, so that it is held open briefly.
    const std::size_t bytes = (units.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!block) throw std::bad_alloc();
    {
        const LockedGlobal locked(block.get());
        if (!locked.data()) throw std::bad_alloc();
        std::memcpy(locked.data(), units.c_str(), bytes);
    }
    const OpenedClipboard clipboard(owner);
    if (!EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, block.get()))
        throw EClipboardBusy(std::string(texts::kCannotOpenClipboard));
    // The clipboard owns the block now.
    block.release();
}

}  // namespace klw
