// Drags a link out of its window with DoDragDrop, as browsers on Windows offer a dragged link:
// "UniformResourceLocatorW" (UTF-16), "UniformResourceLocator" (ANSI code page),
// "text/x-moz-url" (UTF-16, address LF title) and CF_UNICODETEXT, each NUL-terminated.
//   klw_drag_source LOGFILE ADDRESS TITLE [X Y [press|now]]
// The window "KLW Drag Source" (120x80 at X Y, default 900 600) starts the drag when the left
// button goes down in it ("press", the default) or as soon as it is shown ("now"), then exits.
// Log lines (UTF-8): "ready", "start", "keys K" at each change of the button and key state the
// drag loop reports, "feedback E" at each change of the effect the target answers, "getdata NAME"
// for each format the target reads, and last "result HRESULT EFFECT".
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/unicode.h"
#include "support/tool_log.h"

namespace {

using klw::test::hresult;
using klw::test::logLine;

struct Offer {
    CLIPFORMAT cf;
    std::string name;
    std::string bytes;
};

std::string utf16Bytes(const std::wstring& text) {
    std::string out(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
    return out;
}

std::string ansiBytes(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
    return out;
}

std::vector<Offer> browserOffers(const std::wstring& address, const std::wstring& title) {
    const auto reg = [](const wchar_t* name) {
        return static_cast<CLIPFORMAT>(RegisterClipboardFormatW(name));
    };
    return {{reg(L"UniformResourceLocatorW"), "UniformResourceLocatorW", utf16Bytes(address)},
            {reg(L"UniformResourceLocator"), "UniformResourceLocator", ansiBytes(address)},
            {reg(L"text/x-moz-url"), "text/x-moz-url", utf16Bytes(address + L"\n" + title)},
            {CF_UNICODETEXT, "CF_UNICODETEXT", utf16Bytes(address)}};
}

class DataObject : public IDataObject {
public:
    explicit DataObject(std::vector<Offer> offers) : offers_(std::move(offers)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the stack

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* fe, STGMEDIUM* m) override {
        const Offer* o = find(fe);
        if (!o) return DV_E_FORMATETC;
        logLine("getdata " + o->name);
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, o->bytes.size());
        if (!h) return E_OUTOFMEMORY;
        void* p = GlobalLock(h);
        std::memcpy(p, o->bytes.data(), o->bytes.size());
        GlobalUnlock(h);
        m->tymed = TYMED_HGLOBAL;
        m->hGlobal = h;
        m->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* fe) override {
        return find(fe) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        std::vector<FORMATETC> all;
        for (const Offer& o : offers_)
            all.push_back({o.cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(all.size()), all.data(), out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    const Offer* find(const FORMATETC* fe) const {
        if (!fe || !(fe->tymed & TYMED_HGLOBAL) || fe->dwAspect != DVASPECT_CONTENT) return nullptr;
        for (const Offer& o : offers_)
            if (o.cf == fe->cfFormat) return &o;
        return nullptr;
    }
    std::vector<Offer> offers_;
    ULONG refs_ = 1;
};

class DropSource : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (keys != lastKeys_) logLine("keys " + std::to_string(keys));
        lastKeys_ = keys;
        if (escape) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
        if (effect != lastEffect_) logLine("feedback " + std::to_string(effect));
        lastEffect_ = effect;
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    ULONG refs_ = 1;
    DWORD lastKeys_ = ~0u;
    DWORD lastEffect_ = ~0u;
};

DataObject* dataObject = nullptr;
bool dragged = false;

void drag(HWND window) {
    if (dragged) return;
    dragged = true;
    DropSource source;
    DWORD effect = DROPEFFECT_NONE;
    logLine("start");
    const HRESULT hr = DoDragDrop(dataObject, &source, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
    logLine("result " + hresult(hr) + " " + std::to_string(effect));
    DestroyWindow(window);
}

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_LBUTTONDOWN:
            drag(hwnd);
            return 0;
        case WM_TIMER:
            KillTimer(hwnd, 1);
            drag(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 4) return 2;
    klw::test::toolLogPath() = argv[1];
    const int x = argc > 5 ? _wtoi(argv[4]) : 900;
    const int y = argc > 5 ? _wtoi(argv[5]) : 600;
    const bool now = argc > 6 && std::wstring(argv[6]) == L"now";
    if (FAILED(OleInitialize(nullptr))) return 3;
    DataObject data(browserOffers(argv[2], argv[3]));
    dataObject = &data;

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &windowProc;
    wc.hInstance = instance;
    wc.lpszClassName = L"KlwDragSource";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, L"KlwDragSource", L"KLW Drag Source",
                                  WS_POPUP | WS_VISIBLE | WS_BORDER, x, y, 120, 80, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) return 4;
    if (now) SetTimer(window, 1, 200, nullptr);
    logLine("ready");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    OleUninitialize();
    return 0;
}
