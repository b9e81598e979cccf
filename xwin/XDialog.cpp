#include "XDialog.h"

#include <algorithm>
#include <vector>

#include "XSubclassWnd.h"

namespace {
// The dialogs in a modal run, the innermost last.
std::vector<CXDialog*>& ModalRuns()
{
    static std::vector<CXDialog*> runs;
    return runs;
}
} // namespace

CXDialog::~CXDialog()
{
    if (hwnd) {
        HWND window = hwnd;
        SetWindowLongPtrW(window, DWLP_USER, 0);
        hwnd = nullptr;
        DestroyWindow(window);
    }
}

std::wstring CXDialog::ItemText(int controlId) const
{
    HWND control = Item(controlId);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void CXDialog::SetItemText(int controlId, const std::wstring& text) const
{
    SetDlgItemTextW(hwnd, controlId, text.c_str());
}

CXDialog* CXDialog::FromHandle(HWND window)
{
    return reinterpret_cast<CXDialog*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR CXDialog::DoModal(HWND owner)
{
    ended = false;
    endResult = IDCANCEL;
    HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, StaticDialogProc,
                                     reinterpret_cast<LPARAM>(this));
    if (!window)
        return -1;
    const bool disableOwner = owner && IsWindowEnabled(owner);
    if (disableOwner)
        EnableWindow(owner, FALSE);
    ModalRuns().push_back(this);
    RunModalLoop();
    ModalRuns().erase(std::find(ModalRuns().begin(), ModalRuns().end(), this));
    // The owner comes back before the dialog goes, so that the activation returns to it.
    if (disableOwner)
        EnableWindow(owner, TRUE);
    if (hwnd)
        DestroyWindow(hwnd);
    return endResult;
}

void CXDialog::RunModalLoop()
{
    bool shown = IsWindowVisible(hwnd) != FALSE;
    MSG message;
    while (!ended && hwnd) {
        if (!shown && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            ShowWindow(hwnd, SW_SHOWNORMAL);
            UpdateWindow(hwnd);
            shown = true;
            continue;
        }
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // The quit belongs to the loop outside this one.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1)
            break;
        if (PreTranslateMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void CXDialog::EndDialog(INT_PTR result)
{
    auto& runs = ModalRuns();
    if (auto self = std::find(runs.begin(), runs.end(), this); self != runs.end()) {
        for (auto inner = runs.end() - 1; inner != self; --inner)
            (*inner)->EndDialog(IDCANCEL);
    }
    endResult = result;
    ended = true;
    // Wakes the loop when the call comes from outside a dispatched message.
    if (hwnd)
        PostMessageW(hwnd, WM_NULL, 0, 0);
}

bool CXDialog::PreTranslateMessage(MSG& message)
{
    return hwnd && IsDialogMessageW(hwnd, &message);
}

INT_PTR CXDialog::SetResult(LRESULT result)
{
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CXDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND:
        if (lParam) {
            if (CXSubclassWnd* control = CXSubclassWnd::FromHandle(reinterpret_cast<HWND>(lParam))) {
                if (control->OnReflectedCommand(HIWORD(wParam)))
                    return TRUE;
            }
        }
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            return TRUE;
        }
        return FALSE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (CXSubclassWnd* control = CXSubclassWnd::FromHandle(header->hwndFrom)) {
            LRESULT result = 0;
            if (control->OnReflectedNotify(*header, result))
                return SetResult(result);
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK CXDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CXDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<CXDialog*>(lParam);
        if (self) {
            self->hwnd = window;
            SetWindowLongPtrW(window, DWLP_USER, lParam);
        }
    } else {
        self = FromHandle(window);
    }
    if (!self)
        return FALSE;
    const INT_PTR result = self->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        self->hwnd = nullptr;
    }
    return result;
}
