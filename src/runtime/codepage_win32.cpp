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
};

}  // namespace

const CodePage& ansiCodePage() {
    static const AnsiCodePage cp;
    return cp;
}

}  // namespace klw
