#pragma once
// The 8-byte named blocks through which the programs find each other's main windows: the
// whole block is the window handle as a 64-bit little-endian value.

#include <windows.h>

#include <cstdint>

#include "LauncherProtocol.h"
#include "WinHandles.h"

// True while some process keeps the named block open.
bool InstanceBlockExists(const wchar_t* name);
// The window handle kept in the named block; null when the block is missing.
HWND ReadInstanceWindow(const wchar_t* name);
// Writes a window handle into a mapped block.
void WriteInstanceWindow(void* view, HWND window);
HWND WindowFromBlockBytes(const void* view);

enum class XPublish {
    Published,   // this process holds the block, with its window in it
    AnotherRuns, // the block existed: another process is the instance
    Unavailable, // the block could not be created at all
};
// Elects the single instance of a program: creates the named block and, when this process is
// the first, writes window into it and hands the open block to `block`, which keeps the
// election for as long as it is open. When another process holds the block, `other` is the
// window kept there (null when it cannot be read).
XPublish PublishInstanceWindow(const wchar_t* name, HWND window, CKernelHandle& block, HWND& other);

// The election of a program whose window exists already: true when this process is the
// instance, or runs without the protection because the block could not be created; false when
// another process is, whose window (restored if minimised) is then brought to the front.
bool BecomeInstanceOrBringOtherForward(const wchar_t* name, HWND window, CKernelHandle& block);

// The election taken before this process has a window: the block is created (or found) at
// once, so that no other process can win it while the window is being made, and the window
// is written into it afterwards. Until then the block holds a null handle.
class CInstanceClaim {
public:
    explicit CInstanceClaim(const wchar_t* name);
    XPublish Result() const { return result; }
    // After AnotherRuns: the window of the process that holds the block, waiting up to
    // timeoutMs while that process is still making it; null when none appears.
    HWND OtherWindow(DWORD timeoutMs) const;
    // After Published: writes window into the block and hands the open block to `block`.
    void Publish(HWND window, CKernelHandle& block);

private:
    XPublish result = XPublish::Unavailable;
    CKernelHandle created;
    CMappedViewHandle view;
};

// Closes a running settings tool and customizer (WM_CLOSE to the windows of their blocks).
void CloseToolWindows();
