#include "widgets/platform_formats.h"

namespace klw {
namespace {

UINT registered(const wchar_t* name) { return RegisterClipboardFormatW(name); }

struct Formats {
    UINT urlW = registered(L"UniformResourceLocatorW");
    UINT mozUrl = registered(L"text/x-moz-url");
    UINT netscapeUrl = registered(L"_NETSCAPE_URL");
    UINT url = registered(L"UniformResourceLocator");
    UINT plainUtf8 = registered(L"text/plain;charset=utf-8");
};

}  // namespace

UINT platformFormat(TransferFormat format) {
    // Registered once, on the first use.
    static const Formats f;
    switch (format) {
        case TransferFormat::UniformResourceLocatorW:
            return f.urlW;
        case TransferFormat::MozUrl:
            return f.mozUrl;
        case TransferFormat::NetscapeUrl:
            return f.netscapeUrl;
        case TransferFormat::UniformResourceLocator:
            return f.url;
        case TransferFormat::PlainTextUtf8:
            return f.plainUtf8;
        case TransferFormat::UnicodeText:
            return CF_UNICODETEXT;
        case TransferFormat::Text:
            return CF_TEXT;
    }
    return 0;
}

}  // namespace klw
