#pragma once
// The 8-byte named blocks through which the programs find each other's main windows: the
// whole block is the window handle as a 64-bit little-endian value.

#include <windows.h>

#include <cstdint>

inline constexpr wchar_t kLauncherBlockName[] = L"OfficeKestrahl_Velquin_FM";
inline constexpr wchar_t kSettingsToolBlockName[] = L"OfficeKestrahl_VelquinUI_FM";
inline constexpr wchar_t kCustomizerBlockName[] = L"OfficeKestrahl_Velquin_Setting_FM";
inline constexpr DWORD kInstanceBlockSize = 8;

// True while some process keeps the named block open.
bool InstanceBlockExists(const wchar_t* name);
// The window handle kept in the named block; null when the block is missing.
HWND ReadInstanceWindow(const wchar_t* name);
// Writes a window handle into a mapped block.
void WriteInstanceWindow(void* view, HWND window);
HWND WindowFromBlockBytes(const void* view);

// Closes a running settings tool and customizer (WM_CLOSE to the windows of their blocks).
void CloseToolWindows();
