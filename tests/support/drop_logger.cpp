// A bare drop target that logs what a drag brings: a window "KLW Drop Logger" that answers
// DROPEFFECT_COPY to any data and appends, to a log file as UTF-8 lines, each format it was
// offered and, on the drop, each format's bytes in hex. Also dumps the clipboard the same way.
//   klw_drop_logger drop LOGFILE [X Y W H]   the window, at that place (default 600 100 400 300);
//                                            it closes itself after the first drop
//   klw_drop_logger clipboard LOGFILE        the clipboard's formats and bytes, then exits
// Log lines:
//   enter|over|drop X Y KEYSTATE EFFECT    a DragEnter, the first DragOver and the Drop
//   format CF NAME TYMED                   a format the data object lists
//   data CF NAME SIZE HEX                  its bytes (HGLOBAL: GlobalSize of them; IStream: read
//                                          to its end); "data CF NAME error HRESULT" when none
//   leave                                  DragLeave
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/unicode.h"
#include "support/tool_log.h"

namespace {

using klw::test::hresult;
using klw::test::logLine;

std::string formatName(CLIPFORMAT cf) {
    static const struct {
        UINT cf;
        const char* name;
    } standard[] = {{CF_TEXT, "CF_TEXT"},
                    {CF_BITMAP, "CF_BITMAP"},
                    {CF_OEMTEXT, "CF_OEMTEXT"},
                    {CF_DIB, "CF_DIB"},
                    {CF_UNICODETEXT, "CF_UNICODETEXT"},
                    {CF_HDROP, "CF_HDROP"},
                    {CF_LOCALE, "CF_LOCALE"},
                    {CF_DIBV5, "CF_DIBV5"}};
    for (const auto& s : standard)
        if (s.cf == cf) return s.name;
    wchar_t name[256] = {};
    const int n = GetClipboardFormatNameW(cf, name, 256);
    if (n > 0) return klw::narrow(std::wstring_view(name, static_cast<size_t>(n)));
    return "#" + std::to_string(cf);
}

std::string hex(const unsigned char* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * n);
    for (size_t i = 0; i < n; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

// The bytes of a medium that holds memory or a stream; false for any other kind.
bool mediumBytes(const STGMEDIUM& m, std::vector<unsigned char>& out) {
    if (m.tymed == TYMED_HGLOBAL) {
        const SIZE_T size = GlobalSize(m.hGlobal);
        const void* p = size ? GlobalLock(m.hGlobal) : nullptr;
        if (size && !p) return false;
        out.assign(static_cast<const unsigned char*>(p),
                   static_cast<const unsigned char*>(p) + size);
        if (p) GlobalUnlock(m.hGlobal);
        return true;
    }
    if (m.tymed == TYMED_ISTREAM && m.pstm) {
        unsigned char buf[4096];
        ULONG got = 0;
        // A bound, so that an endless stream cannot fill the log.
        while (out.size() < (1u << 20) && SUCCEEDED(m.pstm->Read(buf, sizeof buf, &got)) && got)
            out.insert(out.end(), buf, buf + got);
        return true;
    }
    return false;
}

void logFormats(IDataObject* data, bool withBytes) {
    IEnumFORMATETC* formats = nullptr;
    if (FAILED(data->EnumFormatEtc(DATADIR_GET, &formats)) || !formats) {
        logLine("formats none");
        return;
    }
    FORMATETC fe;
    ULONG got = 0;
    std::vector<FORMATETC> all;
    while (formats->Next(1, &fe, &got) == S_OK && got == 1) {
        if (fe.ptd) CoTaskMemFree(fe.ptd);
        fe.ptd = nullptr;
        all.push_back(fe);
    }
    formats->Release();
    for (FORMATETC& f : all) {
        const std::string name = formatName(f.cfFormat);
        if (!withBytes) {
            logLine("format " + std::to_string(f.cfFormat) + " " + name + " " +
                    std::to_string(f.tymed));
            continue;
        }
        FORMATETC want = f;
        want.tymed &= TYMED_HGLOBAL | TYMED_ISTREAM;
        STGMEDIUM m{};
        const HRESULT hr = want.tymed ? data->GetData(&want, &m) : DV_E_TYMED;
        std::vector<unsigned char> bytes;
        if (FAILED(hr)) {
            logLine("data " + std::to_string(f.cfFormat) + " " + name + " error " + hresult(hr));
            continue;
        }
        if (mediumBytes(m, bytes))
            logLine("data " + std::to_string(f.cfFormat) + " " + name + " " +
                    std::to_string(bytes.size()) + " " + hex(bytes.data(), bytes.size()));
        else
            logLine("data " + std::to_string(f.cfFormat) + " " + name + " tymed " +
                    std::to_string(m.tymed));
        ReleaseStgMedium(&m);
    }
}

class DropTarget : public IDropTarget {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDropTarget) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the stack

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL pt,
                                        DWORD* effect) override {
        logLine("enter " + where(pt, keys, *effect));
        logFormats(data, false);
        overs_ = 0;
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL pt, DWORD* effect) override {
        if (overs_++ == 0) logLine("over " + where(pt, keys, *effect));
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        logLine("leave");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL pt,
                                   DWORD* effect) override {
        logLine("drop " + where(pt, keys, *effect));
        logFormats(data, true);
        logLine("end");
        *effect = DROPEFFECT_COPY;
        PostQuitMessage(0);
        return S_OK;
    }

private:
    static std::string where(POINTL pt, DWORD keys, DWORD effect) {
        return std::to_string(pt.x) + " " + std::to_string(pt.y) + " " + std::to_string(keys) +
               " " + std::to_string(effect);
    }
    ULONG refs_ = 1;
    int overs_ = 0;
};

int dumpClipboard() {
    IDataObject* data = nullptr;
    const HRESULT hr = OleGetClipboard(&data);
    if (FAILED(hr) || !data) {
        logLine("clipboard error " + hresult(hr));
        return 1;
    }
    logLine("clipboard");
    logFormats(data, true);
    logLine("end");
    data->Release();
    return 0;
}

}  // namespace

int main() {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 2;
    const std::wstring mode = argv[1];
    klw::test::toolLogPath() = argv[2];
    int place[4] = {600, 100, 400, 300};
    for (int i = 0; i < 4 && 3 + i < argc; ++i) place[i] = _wtoi(argv[3 + i]);
    if (FAILED(OleInitialize(nullptr))) return 3;
    if (mode == L"clipboard") {
        const int code = dumpClipboard();
        OleUninitialize();
        return code;
    }
    WNDCLASSW wc{};
    wc.lpfnWndProc = &DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"KlwDropLogger";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, L"KlwDropLogger", L"KLW Drop Logger",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, place[0], place[1], place[2],
                                  place[3], nullptr, nullptr, instance, nullptr);
    if (!window) return 4;
    DropTarget target;
    const HRESULT hr = RegisterDragDrop(window, &target);
    logLine("ready " + hresult(hr));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    RevokeDragDrop(window);
    DestroyWindow(window);
    OleUninitialize();
    return 0;
}
