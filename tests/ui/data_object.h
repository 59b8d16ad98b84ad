#pragma once
// A data object made in the test, as a drag source hands one over: blocks of exactly the bytes
// given, per format. Each GetData hands out a fresh copy whose release is counted, so that a
// test sees every medium given back.
#include <windows.h>
// The OLE declarations need those of windows.h.
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace klw::test {

class TestDataObject final : public IDataObject {
public:
    // How a block is handed out: in memory with a release of its own (as a drag source does),
    // in memory left to the receiver to free, or as a stream, even when memory was asked for.
    enum class Medium { Global, GlobalWithoutReleaser, Stream };
    // Blocks of this size are handed out as they are; GlobalSize gives exactly their size.
    void set(CLIPFORMAT format, std::string bytes, Medium medium = Medium::Global) {
        blocks_[format] = {std::move(bytes), medium};
    }
    void set(const wchar_t* registeredName, std::string bytes, Medium medium = Medium::Global) {
        set(static_cast<CLIPFORMAT>(RegisterClipboardFormatW(registeredName)), std::move(bytes),
            medium);
    }
    // Blocks handed out without a releaser, which the receiver should have freed.
    const std::vector<HGLOBAL>& leftToReceiver() const { return leftToReceiver_; }
    // Media handed out and not yet released.
    int outstanding() const { return handedOut_ - released_; }
    int handedOut() const { return handedOut_; }
    // Formats asked for, in order.
    const std::vector<CLIPFORMAT>& asked() const { return asked_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack; references are only counted.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* etc, STGMEDIUM* medium) override {
        if (!etc || !medium) return E_INVALIDARG;
        asked_.push_back(etc->cfFormat);
        const auto it = blocks_.find(etc->cfFormat);
        if (it == blocks_.end()) return DV_E_FORMATETC;
        if (!(etc->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
        const std::string& bytes = it->second.bytes;
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        if (!h) return E_OUTOFMEMORY;
        if (!bytes.empty()) {
            void* p = GlobalLock(h);
            std::memcpy(p, bytes.data(), bytes.size());
            GlobalUnlock(h);
        }
        ++handedOut_;
        switch (it->second.medium) {
            case Medium::Global:
                medium->tymed = TYMED_HGLOBAL;
                medium->hGlobal = h;
                // The receiver's ReleaseStgMedium calls this back instead of freeing the block.
                medium->pUnkForRelease = new Releaser(*this, h);
                break;
            case Medium::GlobalWithoutReleaser:
                medium->tymed = TYMED_HGLOBAL;
                medium->hGlobal = h;
                medium->pUnkForRelease = nullptr;
                leftToReceiver_.push_back(h);
                ++released_;
                break;
            case Medium::Stream: {
                IStream* stream = nullptr;
                if (FAILED(CreateStreamOnHGlobal(h, TRUE, &stream))) return E_OUTOFMEMORY;
                medium->tymed = TYMED_ISTREAM;
                medium->pstm = stream;
                // Counted when the receiver lets go; the stream frees the block.
                medium->pUnkForRelease = new Releaser(*this, nullptr);
                break;
            }
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* etc) override {
        if (!etc) return E_INVALIDARG;
        return blocks_.count(etc->cfFormat) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    class Releaser final : public IUnknown {
    public:
        Releaser(TestDataObject& owner, HGLOBAL h) : owner_(owner), h_(h) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
            if (!out) return E_POINTER;
            *out = nullptr;
            if (!IsEqualIID(iid, IID_IUnknown)) return E_NOINTERFACE;
            *out = this;
            AddRef();
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
        ULONG STDMETHODCALLTYPE Release() override {
            const ULONG left = --refs_;
            if (left == 0) {
                if (h_) GlobalFree(h_);
                ++owner_.released_;
                delete this;
            }
            return left;
        }

    private:
        TestDataObject& owner_;
        HGLOBAL h_;
        ULONG refs_ = 1;
    };

    struct Block {
        std::string bytes;
        Medium medium;
    };
    std::map<CLIPFORMAT, Block> blocks_;
    std::vector<HGLOBAL> leftToReceiver_;
    std::vector<CLIPFORMAT> asked_;
    ULONG refs_ = 1;
    int handedOut_ = 0;
    int released_ = 0;
};

// A file drop block: the DROPFILES header, then the names as UTF-16, each ending in a NUL, and
// the NUL that ends the list.
inline std::string dropFilesBlock(const std::vector<std::wstring>& paths) {
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    for (const std::wstring& path : paths)
        block.append(reinterpret_cast<const char*>(path.c_str()), (path.size() + 1) * 2);
    block.append(2, '\0');
    return block;
}

// The same with the names in the ANSI code page (fWide 0), as older programs hand them over.
inline std::string ansiDropFilesBlock(const std::vector<std::string>& ansiPaths) {
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = FALSE;
    std::memcpy(block.data(), &header, sizeof header);
    for (const std::string& path : ansiPaths) block.append(path.c_str(), path.size() + 1);
    block.push_back('\0');
    return block;
}

// UTF-16 bytes of a wide text, without a terminating NUL unless the text holds one.
inline std::string wideBytes(std::wstring_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

// Bytes in the ANSI code page the process runs with.
inline std::string ansiBytes(std::wstring_view text) {
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

}  // namespace klw::test
