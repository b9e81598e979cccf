#include "ListLabelEdit.h"

void CListLabelEdit::AttachTo(HWND edit, bool& cancelled)
{
    cancelled = false;
    if (!edit)
        return;
    auto* self = new CListLabelEdit(cancelled);
    if (!self->Attach(edit))
        delete self;
}

LRESULT CListLabelEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE)
        cancelled = true;
    return Default(message, wParam, lParam);
}
