#pragma once
// The tree's label editor as a dialog control: the edit asks for every key, so that Enter and
// Escape end the edit instead of pressing the dialog's buttons. It owns itself and goes with
// its window.

#include "XSubclassWnd.h"

class CWorkaroundTreeEdit : public CXSubclassWnd {
public:
    // Serves edit unless it already asks for every key itself.
    static void AttachTo(HWND edit);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override { delete this; }
};
