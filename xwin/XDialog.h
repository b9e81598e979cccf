#pragma once
// Dialogs as C++ objects, bound like windows: the object travels with the creation call,
// is bound on WM_INITDIALOG and receives every message in one virtual DialogProc, where a
// dialog handles its messages in one switch and passes the rest to CXDialog::DialogProc.
//
// DoModal runs the dialog in a message loop of its own rather than the system's, so that a
// dialog can see every message first (PreTranslateMessage; the default is the dialog
// manager's keyboard handling) and the window is shown only once the messages waiting after
// its initialisation are handled: a dialog that cancels itself there is never seen.

#include <windows.h>

#include <string>

class CXDialog {
public:
    explicit CXDialog(int templateId) : templateId(templateId) {}
    virtual ~CXDialog();
    CXDialog(const CXDialog&) = delete;
    CXDialog& operator=(const CXDialog&) = delete;

    // Runs the dialog modally with owner disabled meanwhile; the value given to EndDialog,
    // or -1 when the dialog could not be created.
    INT_PTR DoModal(HWND owner = nullptr);
    // Ends a modal run with this result (the window goes when the loop ends). Dialogs run
    // modally from within this one end first, with IDCANCEL: a dialog told to close (the
    // launcher's exit closes the settings tool) does not wait for the user to close them.
    void EndDialog(INT_PTR result);

    HWND Handle() const { return hwnd; }
    HWND Item(int controlId) const { return GetDlgItem(hwnd, controlId); }
    // A control's whole text, of any length.
    std::wstring ItemText(int controlId) const;
    void SetItemText(int controlId, const std::wstring& text) const;
    static CXDialog* FromHandle(HWND window);

protected:
    // The default: WM_INITDIALOG calls OnInitDialog; IDOK and IDCANCEL call OnOK and
    // OnCancel; WM_NOTIFY and WM_COMMAND of a control served by a CXSubclassWnd go to it.
    // Returns as a dialog procedure does (TRUE: handled).
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    // True lets the dialog manager give the focus to the first control.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // True when the message was used up and is not to be dispatched.
    virtual bool PreTranslateMessage(MSG& message);
    // Sets a message's result for the dialog manager; returns TRUE for DialogProc to return.
    INT_PTR SetResult(LRESULT result);

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();

    int templateId;
    HWND hwnd = nullptr;
    bool ended = false;
    INT_PTR endResult = IDCANCEL;
};
