#pragma once
// The accelerator fields (1069) of the property dialogs: an edit control without an input
// method context while it exists, so that it takes half-width characters only whatever
// input method the user has switched on elsewhere. The context it had comes back when the
// window goes.

#include <windows.h>
// Needs the types that windows.h declares.
#include <imm.h>

#include "XSubclassWnd.h"

class CHankakuEdit : public CXSubclassWnd {
public:
    // Serves the dialog's edit control and takes its input method context away.
    bool AttachEdit(HWND dialog, int controlId);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    HIMC previousContext = nullptr;
};
