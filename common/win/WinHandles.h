#pragma once
// Owning wrappers for Windows handles: one move-only type per handle kind, each closing its
// handle with the function that kind needs. get() lends, release() gives up ownership,
// reset() closes and takes another; copies are deleted so a handle is never closed twice.

#include <windows.h>
// These need the types that windows.h declares.
#include <commctrl.h>
#include <objbase.h>

#include <utility>

template <typename Traits> class CUniqueHandle {
public:
    using Type = typename Traits::Type;

    CUniqueHandle() noexcept : handle(Traits::Invalid()) {}
    explicit CUniqueHandle(Type h) noexcept : handle(h) {}
    ~CUniqueHandle() { reset(); }

    CUniqueHandle(const CUniqueHandle&) = delete;
    CUniqueHandle& operator=(const CUniqueHandle&) = delete;
    CUniqueHandle(CUniqueHandle&& other) noexcept : handle(other.release()) {}
    CUniqueHandle& operator=(CUniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    Type get() const noexcept { return handle; }
    Type release() noexcept { return std::exchange(handle, Traits::Invalid()); }
    void reset(Type h = Traits::Invalid()) noexcept
    {
        Type old = std::exchange(handle, h);
        if (old != Traits::Invalid())
            Traits::Close(old);
    }
    // For functions that return a handle through an out parameter; closes the current one first.
    Type* put() noexcept
    {
        reset();
        return &handle;
    }
    explicit operator bool() const noexcept { return handle != Traits::Invalid(); }

private:
    Type handle;
};

namespace handle_traits {
struct Key {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};
struct Kernel {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { CloseHandle(h); }
};
// CreateFileW reports failure as INVALID_HANDLE_VALUE rather than null.
struct File {
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) { CloseHandle(h); }
};
struct Icon {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DestroyIcon(h); }
};
template <typename T> struct GdiObject {
    using Type = T;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteObject(h); }
};
struct Menu {
    using Type = HMENU;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DestroyMenu(h); }
};
// A device context made by CreateCompatibleDC or CreateDCW.
struct MemoryDC {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { DeleteDC(h); }
};
struct MappedView {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { UnmapViewOfFile(p); }
};
struct Global {
    using Type = HGLOBAL;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { GlobalFree(h); }
};
// Memory handed out by the shell and COM (item identifier lists, strings).
struct CoTaskMem {
    using Type = void*;
    static Type Invalid() { return nullptr; }
    static void Close(Type p) { CoTaskMemFree(p); }
};
struct ImageList {
    using Type = HIMAGELIST;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ImageList_Destroy(h); }
};
} // namespace handle_traits

using CKeyHandle = CUniqueHandle<handle_traits::Key>;
using CKernelHandle = CUniqueHandle<handle_traits::Kernel>;
using CFileHandle = CUniqueHandle<handle_traits::File>;
using CIconHandle = CUniqueHandle<handle_traits::Icon>;
using CBitmapHandle = CUniqueHandle<handle_traits::GdiObject<HBITMAP>>;
using CFontHandle = CUniqueHandle<handle_traits::GdiObject<HFONT>>;
using CBrushHandle = CUniqueHandle<handle_traits::GdiObject<HBRUSH>>;
using CMenuHandle = CUniqueHandle<handle_traits::Menu>;
using CMemoryDCHandle = CUniqueHandle<handle_traits::MemoryDC>;
using CMappedViewHandle = CUniqueHandle<handle_traits::MappedView>;
using CGlobalHandle = CUniqueHandle<handle_traits::Global>;
using CCoTaskMemHandle = CUniqueHandle<handle_traits::CoTaskMem>;
using CImageListHandle = CUniqueHandle<handle_traits::ImageList>;

// A window's device context (GetDC/GetWindowDC), given back to its window with ReleaseDC.
class CWindowDCHandle {
public:
    CWindowDCHandle() noexcept = default;
    CWindowDCHandle(HWND window, HDC dc) noexcept : window(window), dc(dc) {}
    explicit CWindowDCHandle(HWND window) noexcept : window(window), dc(GetDC(window)) {}
    ~CWindowDCHandle() { reset(); }

    CWindowDCHandle(const CWindowDCHandle&) = delete;
    CWindowDCHandle& operator=(const CWindowDCHandle&) = delete;
    CWindowDCHandle(CWindowDCHandle&& other) noexcept
        : window(std::exchange(other.window, nullptr)), dc(std::exchange(other.dc, nullptr))
    {
    }
    CWindowDCHandle& operator=(CWindowDCHandle&& other) noexcept
    {
        if (this != &other) {
            HWND w = std::exchange(other.window, nullptr);
            reset(w, std::exchange(other.dc, nullptr));
        }
        return *this;
    }

    HDC get() const noexcept { return dc; }
    HDC release() noexcept
    {
        window = nullptr;
        return std::exchange(dc, nullptr);
    }
    void reset(HWND newWindow = nullptr, HDC newDc = nullptr) noexcept
    {
        if (dc)
            ReleaseDC(window, dc);
        window = newWindow;
        dc = newDc;
    }
    explicit operator bool() const noexcept { return dc != nullptr; }

private:
    HWND window = nullptr;
    HDC dc = nullptr;
};

// Selects an object into a device context and puts the previous one back at scope end.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) noexcept : dc(dc), previous(SelectObject(dc, object)) {}
    ~CSelectObject()
    {
        if (previous && previous != HGDI_ERROR)
            SelectObject(dc, previous);
    }
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};

// A COM interface pointer that releases its reference.
template <typename T> class CComPtr {
public:
    CComPtr() noexcept = default;
    // Takes over a reference the caller already owns.
    explicit CComPtr(T* p) noexcept : ptr(p) {}
    ~CComPtr() { reset(); }

    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : ptr(other.release()) {}
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    T* get() const noexcept { return ptr; }
    T* operator->() const noexcept { return ptr; }
    T* release() noexcept { return std::exchange(ptr, nullptr); }
    void reset(T* p = nullptr) noexcept
    {
        if (T* old = std::exchange(ptr, p))
            old->Release();
    }
    T** put() noexcept
    {
        reset();
        return &ptr;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }
    explicit operator bool() const noexcept { return ptr != nullptr; }

    template <typename U> HRESULT QueryInterface(CComPtr<U>& out) const noexcept
    {
        if (!ptr)
            return E_POINTER;
        return ptr->QueryInterface(__uuidof(U), out.put_void());
    }

private:
    T* ptr = nullptr;
};
