#include "widgets/drop_target.h"

// The OLE declarations need those of windows.h.
#include <ole2.h>
#include <shellapi.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "runtime/global_block.h"
#include "runtime/unicode.h"
#include "widgets/platform_formats.h"

namespace klw {
namespace {

CLIPFORMAT formatId(TransferFormat format) {
    return static_cast<CLIPFORMAT>(platformFormat(format));
}

// A storage medium from GetData, released at the end of the scope.
struct Medium {
    Medium() = default;
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
    ~Medium() {
        if (owned) ReleaseStgMedium(&m);
    }
    STGMEDIUM m{};
    bool owned = false;
};

// The data object of one drag call, read format by format.
class OleData final : public TransferData {
public:
    explicit OleData(IDataObject* data) : data_(data) {}

    bool offers(TransferFormat format) const override {
        const CLIPFORMAT id = formatId(format);
        if (id == 0) return false;
        FORMATETC etc{id, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return data_->QueryGetData(&etc) == S_OK;
    }

    std::optional<std::string> block(TransferFormat format) const override {
        Medium medium;
        if (!get(formatId(format), medium)) return std::nullopt;
        return globalBytes(medium.m.hGlobal);
    }

    std::vector<std::string> files() const override {
        Medium medium;
        if (!get(CF_HDROP, medium)) return {};
        // The platform's reader trusts the block: hand it only one whose names all end inside.
        const std::optional<std::string> bytes = globalBytes(medium.m.hGlobal);
        const std::optional<std::size_t> count = bytes ? dropFileCount(*bytes) : std::nullopt;
        if (!count || *count == 0) return {};
        const auto drop = static_cast<HDROP>(medium.m.hGlobal);
        if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != *count) return {};
        std::vector<std::string> names;
        std::wstring name;
        for (UINT i = 0; i < *count; ++i) {
            const UINT length = DragQueryFileW(drop, i, nullptr, 0);
            name.assign(length + 1, L'\0');
            name.resize(DragQueryFileW(drop, i, name.data(), length + 1));
            names.push_back(narrow(name));
        }
        return names;
    }

    std::optional<std::string> fileContents(const std::string& path,
                                            std::size_t limit) const override {
        return readWholeFile(path, limit);
    }

private:
    bool get(CLIPFORMAT format, Medium& medium) const {
        if (format == 0) return false;
        FORMATETC etc{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        if (FAILED(data_->GetData(&etc, &medium.m))) return false;
        medium.owned = true;
        return medium.m.tymed == TYMED_HGLOBAL && medium.m.hGlobal != nullptr;
    }

    IDataObject* data_;
};

}  // namespace

class DropTarget final : public IDropTarget {
public:
    DropTarget(HWND window, DropSink& sink) : window_(window), sink_(&sink) {}
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    // No later call reaches the sink, and no timer of the window calls this object.
    void detach() {
        stopWaitingForRelease();
        enterError_ = nullptr;
        sink_ = nullptr;
    }
    // Between a drag's entering the window and its leaving or dropping. A source that died
    // mid-drag never says the drag left, but the button that dragged is up by then (where the
    // button could be seen at all: a drag from another X client may show none).
    bool dragging() const { return dragging_ && (!buttonSeen_ || dragButtonHeld()); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The platform calls a drop target on the thread that registered it only.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        wanted_ = false;
        // The pointer is back within the same drag: its error is still to be shown.
        dragging_ = true;
        buttonSeen_ = dragButtonHeld();
        stopWaitingForRelease();
        if (data && open()) {
            try {
                wanted_ = sink_->dropWanted(OleData(data));
            } catch (...) {
                if (!enterError_) enterError_ = std::current_exception();
            }
        }
        *effect = answer(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        *effect = answer(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        wanted_ = false;
        dragging_ = false;
        // The drag goes on elsewhere and may come back: an error of its entry is shown once the
        // button that drags is up.
        if (enterError_) {
            if (dragButtonHeld())
                waiting_ = SetTimer(window_, timerId(), kReleasePollMs, &DropTarget::released) != 0;
            if (!waiting_) reportEnterError();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        const DWORD chosen = choose(*effect);
        wanted_ = false;
        dragging_ = false;
        stopWaitingForRelease();
        reportEnterError();
        bool taken = false;
        if (data && open() && chosen != DROPEFFECT_NONE) {
            try {
                sink_->dropTaken(OleData(data), taken);
            } catch (...) {
                if (sink_) sink_->dropFailed(std::current_exception());
            }
        }
        // What was taken before an error stays taken: the source must not think otherwise.
        *effect = taken ? chosen : DROPEFFECT_NONE;
        return S_OK;
    }

private:
    ~DropTarget() = default;

    static constexpr UINT kReleasePollMs = 50;

    // Drops are taken while the window takes input, not while a modal box has disabled it.
    bool open() const { return sink_ && IsWindowEnabled(window_); }
    DWORD answer(DWORD allowed) const {
        return wanted_ && open() ? choose(allowed) : DROPEFFECT_NONE;
    }
    // A copy; a link where the source allows only that. Never a move, which would have the
    // source delete what was dragged.
    static DWORD choose(DWORD allowed) {
        if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
        if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
        return DROPEFFECT_NONE;
    }
    static bool dragButtonHeld() {
        for (int button : {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON})
            if (GetAsyncKeyState(button) < 0) return true;
        return false;
    }
    UINT_PTR timerId() const { return reinterpret_cast<UINT_PTR>(this); }
    static void CALLBACK released(HWND, UINT, UINT_PTR id, DWORD) {
        auto* self = reinterpret_cast<DropTarget*>(id);
        if (dragButtonHeld()) return;
        self->stopWaitingForRelease();
        self->reportEnterError();
    }
    void stopWaitingForRelease() {
        if (std::exchange(waiting_, false)) KillTimer(window_, timerId());
    }
    void reportEnterError() {
        if (!enterError_) return;
        std::exception_ptr error = std::exchange(enterError_, nullptr);
        if (sink_) sink_->dropFailed(std::move(error));
    }

    ULONG refs_ = 1;
    HWND window_;
    DropSink* sink_;
    bool wanted_ = false;
    bool dragging_ = false;
    bool buttonSeen_ = false;  // a mouse button was down when the drag entered
    // An error raised as the drag entered, kept until the drag has ended.
    std::exception_ptr enterError_;
    bool waiting_ = false;  // for the drag's button to be released
};

DropRegistration::DropRegistration(HWND window, DropSink& sink)
    : window_(window), target_(new DropTarget(window, sink)) {
    registered_ = SUCCEEDED(RegisterDragDrop(window, target_));
}

DropRegistration::~DropRegistration() {
    if (registered_) RevokeDragDrop(window_);
    target_->detach();
    target_->Release();
}

IDropTarget* DropRegistration::target() const { return target_; }
bool DropRegistration::dragging() const { return target_->dragging(); }

}  // namespace klw
