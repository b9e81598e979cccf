#include "HankakuEdit.h"

bool CHankakuEdit::AttachEdit(HWND dialog, int controlId)
{
    if (!AttachItem(dialog, controlId))
        return false;
    previousContext = ImmAssociateContext(Handle(), nullptr);
    return true;
}

LRESULT CHankakuEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ImmAssociateContext(Handle(), previousContext);
        previousContext = nullptr;
    }
    return Default(message, wParam, lParam);
}
