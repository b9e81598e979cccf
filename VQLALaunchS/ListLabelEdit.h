#pragma once
// Watches the list's label editor for Escape. Some versions of the list control report an
// edit ended with an empty text exactly like a cancelled one (no text at all); the list
// tells the two apart by whether Escape was pressed. It owns itself and goes with its window.

#include "XSubclassWnd.h"

class CListLabelEdit : public CXSubclassWnd {
public:
    // cancelled is cleared now and set when Escape reaches the editor.
    static void AttachTo(HWND edit, bool& cancelled);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnWindowGone() override { delete this; }

private:
    explicit CListLabelEdit(bool& cancelled) : cancelled(cancelled) {}
    bool& cancelled;
};
