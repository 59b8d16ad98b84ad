#pragma once
// The clipboard as data offered format by format, read through the same decoding as a drop.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/exceptions.h"
#include "widgets/transfer_data.h"

namespace klw {

// The clipboard stayed open in another program.
class EClipboardBusy : public Exception {
public:
    using Exception::Exception;
};

// The clipboard, open for the object's lifetime. Fails with the program's error when it cannot
// be opened (another program may hold it for a moment: it is tried a few times).
class ClipboardData final : public TransferData {
public:
    explicit ClipboardData(HWND owner);
    ~ClipboardData() override;
    ClipboardData(const ClipboardData&) = delete;
    ClipboardData& operator=(const ClipboardData&) = delete;

    bool offers(TransferFormat format) const override;
    std::optional<std::string> block(TransferFormat format) const override;
    // A paste takes text: the clipboard's files are not read.
    std::vector<std::string> files() const override { return {}; }
    std::optional<std::string> fileContents(const std::string&, std::size_t) const override {
        return std::nullopt;
    }
};

// The clipboard's Unicode text (CF_UNICODETEXT), taken at its block's real size; nothing when
// it holds no text.
std::optional<std::string> clipboardText(HWND owner);

// Replaces the clipboard's content by the text as Unicode text (CF_UNICODETEXT, up to a first
// zero character); the platform offers it in the other text formats itself. Fails as the
// reading does when another program keeps the clipboard open.
void setClipboardText(HWND owner, std::string_view text);

}  // namespace klw
