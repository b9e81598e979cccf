#include "XSubclassWnd.h"

#include <unordered_map>

namespace {
struct CServedWindow {
    CXSubclassWnd* object; // null once detached
    WNDPROC previous;      // the procedure the window had before
};

// Every window subclassed by this class. The user interface has one thread, which alone
// touches the table.
std::unordered_map<HWND, CServedWindow>& Served()
{
    static std::unordered_map<HWND, CServedWindow> served;
    return served;
}
} // namespace

CXSubclassWnd::~CXSubclassWnd()
{
    Detach();
}

bool CXSubclassWnd::Attach(HWND control)
{
    if (!control || hwnd || Served().count(control))
        return false;
    // Entered first, so that the first message through the new procedure finds its way on.
    CServedWindow& entry = Served()[control];
    entry.object = this;
    entry.previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_WNDPROC));
    if (!entry.previous ||
        !SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CXSubclassWnd::SubclassProc))) {
        Served().erase(control);
        return false;
    }
    hwnd = control;
    return true;
}

void CXSubclassWnd::Detach()
{
    if (!hwnd)
        return;
    const auto found = Served().find(hwnd);
    if (found != Served().end()) {
        // A procedure put in after this one keeps calling it, which then only passes on.
        if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &CXSubclassWnd::SubclassProc) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
            Served().erase(found);
        } else {
            found->second.object = nullptr;
        }
    }
    hwnd = nullptr;
}

CXSubclassWnd* CXSubclassWnd::FromHandle(HWND window)
{
    const auto found = Served().find(window);
    return found != Served().end() ? found->second.object : nullptr;
}

LRESULT CXSubclassWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CXSubclassWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = Served().find(hwnd);
    if (found == Served().end())
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return CallWindowProcW(found->second.previous, hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CXSubclassWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto found = Served().find(window);
    if (found == Served().end())
        return DefWindowProcW(window, message, wParam, lParam);
    CXSubclassWnd* self = found->second.object;
    if (!self) {
        const WNDPROC previous = found->second.previous;
        if (message == WM_NCDESTROY)
            Served().erase(found);
        return CallWindowProcW(previous, window, message, wParam, lParam);
    }
    const LRESULT result = self->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->Detach();
        Served().erase(window);
        self->OnWindowGone();
    }
    return result;
}
