// The platform's ANSI code page (CP_ACP).
#include <windows.h>

#include "runtime/codepage.h"

namespace klw {
namespace {

class AnsiCodePage final : public CodePage {
public:
    std::u16string toUtf16(std::string_view bytes) const override {
        if (bytes.empty()) return {};
        const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                          nullptr, 0);
        std::u16string out(static_cast<size_t>(n), u'\0');
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                            reinterpret_cast<wchar_t*>(out.data()), n);
        return out;
    }

    std::string fromUtf16(std::u16string_view text) const override {
        if (text.empty()) return {};
        const auto* w = reinterpret_cast<const wchar_t*>(text.data());
        const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, static_cast<int>(text.size()), nullptr, 0,
                                          nullptr, nullptr);
        std::string out(static_cast<size_t>(n), '\0');
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, static_cast<int>(text.size()), out.data(), n, nullptr,
                            nullptr);
        return out;
    }

    bool isLeadByte(unsigned char b) const override { return IsDBCSLeadByte(b) != FALSE; }
};

}  // namespace

const CodePage& ansiCodePage() {
    static const AnsiCodePage cp;
    return cp;
}

}  // namespace klw
