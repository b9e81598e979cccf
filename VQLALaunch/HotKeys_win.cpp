#include "HotKeys_win.h"

bool CWin32HotKeyWindow::RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey)
{
    return ::RegisterHotKey(window, id, modifiers, virtualKey) != FALSE;
}

void CWin32HotKeyWindow::UnregisterHotKey(int id)
{
    ::UnregisterHotKey(window, id);
}
