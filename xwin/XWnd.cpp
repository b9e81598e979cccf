#include "XWnd.h"

#include "XWinApp.h"

CXWnd::~CXWnd()
{
    if (hwnd) {
        HWND window = hwnd;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        hwnd = nullptr;
        DestroyWindow(window);
    }
}

bool CXWnd::RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HCURSOR cursor, HBRUSH background)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, className, &existing))
        return true;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = StaticWindowProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0;
}

bool CXWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int cx,
                     int cy, HWND parent, HMENU menu)
{
    HWND window =
        CreateWindowExW(exStyle, className, title, style, x, y, cx, cy, parent, menu, GetModuleHandleW(nullptr), this);
    return window != nullptr && window == hwnd;
}

void CXWnd::Destroy()
{
    if (hwnd)
        DestroyWindow(hwnd);
}

CXWnd* CXWnd::FromHandle(HWND window)
{
    return reinterpret_cast<CXWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

LRESULT CXWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return Default(message, wParam, lParam);
}

LRESULT CXWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CXWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CXWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CXWnd*>(create->lpCreateParams);
        if (self) {
            self->hwnd = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    } else {
        self = FromHandle(window);
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);

    LRESULT result = self->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->hwnd = nullptr;
        self->OnWindowGone();
    }
    return result;
}

bool CXFrameWnd::Create(const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect, DWORD exStyle)
{
    return CreateEx(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top);
}

void CXFrameWnd::OnWindowGone()
{
    CXWinApp* app = CXWinApp::Current();
    if (app && app->mainWindow == this) {
        app->mainWindow = nullptr;
        PostQuitMessage(0);
    }
}
