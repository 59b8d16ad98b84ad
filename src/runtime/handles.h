#pragma once
// Small owners for platform handles, released also when a step fails.
#include <windows.h>

#include <utility>

namespace klw {

template <class Handle, class Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::invalid()));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::invalid(); }
    Handle release() { return std::exchange(h_, Traits::invalid()); }
    void reset(Handle h = Traits::invalid()) {
        if (h_ != Traits::invalid()) Traits::close(h_);
        h_ = h;
    }

private:
    Handle h_ = Traits::invalid();
};

struct FileHandleTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
// A process or thread handle, which is null when there is none.
struct ProcessHandleTraits {
    static HANDLE invalid() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
    static HKEY invalid() { return nullptr; }
    static void close(HKEY h) { RegCloseKey(h); }
};
struct FontTraits {
    static HFONT invalid() { return nullptr; }
    static void close(HFONT h) { DeleteObject(h); }
};
struct BrushTraits {
    static HBRUSH invalid() { return nullptr; }
    static void close(HBRUSH h) { DeleteObject(h); }
};
// A movable memory block, freed unless it was handed to the platform (the clipboard).
struct GlobalTraits {
    static HGLOBAL invalid() { return nullptr; }
    static void close(HGLOBAL h) { GlobalFree(h); }
};
struct MenuTraits {
    static HMENU invalid() { return nullptr; }
    static void close(HMENU h) { DestroyMenu(h); }
};

// A folder's change notification, closed by its own call.
struct ChangeNotificationTraits {
    static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindCloseChangeNotification(h); }
};

using UniqueFile = UniqueHandle<HANDLE, FileHandleTraits>;
using UniqueChangeNotification = UniqueHandle<HANDLE, ChangeNotificationTraits>;
using UniqueProcess = UniqueHandle<HANDLE, ProcessHandleTraits>;
// A mutex, event or file mapping: null when there is none, as for a process.
using UniqueObject = UniqueHandle<HANDLE, ProcessHandleTraits>;
using UniqueKey = UniqueHandle<HKEY, RegKeyTraits>;
using UniqueFont = UniqueHandle<HFONT, FontTraits>;
using UniqueBrush = UniqueHandle<HBRUSH, BrushTraits>;
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;

// A view of a file mapping, unmapped when its owner goes.
class MappedView {
public:
    MappedView() = default;
    MappedView(HANDLE mapping, DWORD access, SIZE_T size)
        : view_(MapViewOfFile(mapping, access, 0, 0, size)) {}
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    MappedView(MappedView&& o) noexcept : view_(std::exchange(o.view_, nullptr)) {}
    MappedView& operator=(MappedView&& o) noexcept {
        if (this != &o) {
            reset();
            view_ = std::exchange(o.view_, nullptr);
        }
        return *this;
    }
    ~MappedView() { reset(); }

    void* get() const { return view_; }
    explicit operator bool() const { return view_ != nullptr; }
    void reset() {
        if (view_) UnmapViewOfFile(view_);
        view_ = nullptr;
    }

private:
    void* view_ = nullptr;
};

// A screen device context for measuring, released at the end of the scope.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() { ReleaseDC(nullptr, dc_); }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// Selects an object into a DC for the scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectedObject() { SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace klw
