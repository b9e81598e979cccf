#include "XSubclassWnd.h"

namespace {
// One subclass id for every object of this framework: a window is served by one object.
constexpr UINT_PTR kSubclassId = 0x5851; // "XQ"
// The object is found from its window through this property (the call that reads a
// subclass's reference data is not exported by name).
constexpr wchar_t kObjectProperty[] = L"CXSubclassWnd";
} // namespace

CXSubclassWnd::~CXSubclassWnd()
{
    Detach();
}

bool CXSubclassWnd::Attach(HWND control)
{
    if (!control || hwnd)
        return false;
    if (!SetWindowSubclass(control, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd = control;
    SetPropW(control, kObjectProperty, this);
    return true;
}

void CXSubclassWnd::Detach()
{
    if (!hwnd)
        return;
    RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    RemovePropW(hwnd, kObjectProperty);
    hwnd = nullptr;
}

CXSubclassWnd* CXSubclassWnd::FromHandle(HWND window)
{
    return window ? static_cast<CXSubclassWnd*>(GetPropW(window, kObjectProperty)) : nullptr;
}

LRESULT CXSubclassWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CXSubclassWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CXSubclassWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                             DWORD_PTR selfData)
{
    (void)id;
    auto* self = reinterpret_cast<CXSubclassWnd*>(selfData);
    if (!self || self->hwnd != window)
        return DefSubclassProc(window, message, wParam, lParam);
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        RemovePropW(window, kObjectProperty);
        self->hwnd = nullptr;
        self->OnWindowGone();
    }
    return result;
}
