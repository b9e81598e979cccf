#pragma once
// Windows as C++ objects. CXWnd binds a window handle to its object when the window is
// created (WM_NCCREATE carries the object) and hands every message to one virtual
// WindowProc; a class handles its messages in one switch there, each case calling a named
// handler, and passes the rest to Default.

#include <windows.h>

class CXWnd {
public:
    CXWnd() = default;
    // A window still alive is destroyed without calling back into the object.
    virtual ~CXWnd();
    CXWnd(const CXWnd&) = delete;
    CXWnd& operator=(const CXWnd&) = delete;

    // Registers a class whose windows are served by this framework. Registering the same
    // name again is not an error.
    static bool RegisterWindowClass(const wchar_t* className, UINT style = 0, HICON icon = nullptr,
                                    HCURSOR cursor = nullptr, HBRUSH background = nullptr);

    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x, int y, int cx,
                  int cy, HWND parent = nullptr, HMENU menu = nullptr);
    void Destroy();

    HWND Handle() const { return hwnd; }
    // The object bound to a window of this framework, or null.
    static CXWnd* FromHandle(HWND window);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone and unbound (after WM_NCDESTROY).
    virtual void OnWindowGone() {}

private:
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd = nullptr;
};

// A top-level frame. When it is the application's main window, its destruction ends the
// message loop.
class CXFrameWnd : public CXWnd {
public:
    bool Create(const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect, DWORD exStyle = 0);

protected:
    void OnWindowGone() override;
};

// Many entries at once into a list or tree view: the view draws once when they are all there
// instead of after each (under Wine a drop of a thousand files otherwise took half a minute,
// and its tree rearranged itself after every entry). A hidden view is left alone:
// WM_SETREDRAW TRUE would also make it visible.
class CXRedrawPause {
public:
    explicit CXRedrawPause(HWND view) : view((GetWindowLongW(view, GWL_STYLE) & WS_VISIBLE) ? view : nullptr)
    {
        if (this->view)
            SendMessageW(this->view, WM_SETREDRAW, FALSE, 0);
    }
    ~CXRedrawPause()
    {
        if (!view)
            return;
        SendMessageW(view, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(view, nullptr, TRUE);
    }
    CXRedrawPause(const CXRedrawPause&) = delete;
    CXRedrawPause& operator=(const CXRedrawPause&) = delete;

private:
    HWND view;
};
