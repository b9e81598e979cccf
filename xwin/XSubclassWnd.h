#pragma once
// A control of a dialog served by an object: the object subclasses the existing window (its
// window procedure replaced, the previous one kept) and sees every message in one virtual
// WindowProc; what it does not handle goes on to the control's own procedure through
// Default. The objects are found from their windows in a table of this process: the
// system's subclass calls and window properties cost a trip to the window server per message
// under Wine, which made filling a tree of thousands of entries several times slower. The dialog offers the
// notifications it receives from such a control back to the control's object first (OnReflectedNotify,
// OnReflectedCommand), so that a control keeps its own behaviour in its own class.

#include <windows.h>
// NMHDR needs the types that windows.h declares.
#include <commctrl.h>

class CXSubclassWnd {
public:
    CXSubclassWnd() = default;
    // A window still attached is detached first.
    virtual ~CXSubclassWnd();
    CXSubclassWnd(const CXSubclassWnd&) = delete;
    CXSubclassWnd& operator=(const CXSubclassWnd&) = delete;

    bool Attach(HWND control);
    bool AttachItem(HWND dialog, int controlId) { return Attach(GetDlgItem(dialog, controlId)); }
    void Detach();

    HWND Handle() const { return hwnd; }
    int ControlId() const { return hwnd ? GetDlgCtrlID(hwnd) : 0; }
    // The object serving a window through this class, or null.
    static CXSubclassWnd* FromHandle(HWND window);

    // A WM_NOTIFY that the parent received from this control; true when handled, with the
    // message's result in result.
    virtual bool OnReflectedNotify(NMHDR& header, LRESULT& result)
    {
        (void)header;
        (void)result;
        return false;
    }
    // A WM_COMMAND notification (BN_CLICKED, EN_CHANGE, ...) that the parent received.
    virtual bool OnReflectedCommand(UINT code)
    {
        (void)code;
        return false;
    }

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone and the object detached (after WM_NCDESTROY). An object that
    // owns itself may delete itself here.
    virtual void OnWindowGone() {}

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND hwnd = nullptr;
};
