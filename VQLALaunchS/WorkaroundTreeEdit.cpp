#include "WorkaroundTreeEdit.h"

void CWorkaroundTreeEdit::AttachTo(HWND edit)
{
    if (!edit || (SendMessageW(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS))
        return;
    auto* self = new CWorkaroundTreeEdit;
    if (!self->Attach(edit))
        delete self;
}

LRESULT CWorkaroundTreeEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return Default(message, wParam, lParam) | DLGC_WANTALLKEYS;
    return Default(message, wParam, lParam);
}
