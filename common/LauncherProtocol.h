#pragma once
// How the programs talk to the running launcher: the registered message, its wParam codes
// and reload flags, and the names of the programs' instance blocks. The launcher serves this
// protocol; the settings tool speaks it. (The reply of a register request: HotKeyList.h.)

#include <cstdint>

inline constexpr wchar_t kLauncherMessageName[] = L"OfficeKestrahl_Velquin_Message";

// wParam codes of the registered message other than the launcher's command ids.
inline constexpr uint32_t kLauncherReload = 0x10000000;
inline constexpr uint32_t kLauncherRegisterHotKey = 0x10000001;
inline constexpr uint32_t kLauncherUnregisterHotKey = 0x10000002;
// The launcher's exit command; the tools close on it too.
inline constexpr uint32_t kLauncherExitCommand = 32773;

// lParam flags of kLauncherReload.
inline constexpr uint32_t kReloadLeftMenu = 0x01;
inline constexpr uint32_t kReloadRightMenu = 0x02;
inline constexpr uint32_t kReloadBehaviour = 0x10;
inline constexpr uint32_t kReloadFixedHotKeys = 0x20;
inline constexpr uint32_t kReloadAll = 0x33;

// The 8-byte named blocks that hold each program's main window handle.
inline constexpr wchar_t kLauncherBlockName[] = L"OfficeKestrahl_Velquin_FM";
inline constexpr wchar_t kSettingsToolBlockName[] = L"OfficeKestrahl_VelquinUI_FM";
inline constexpr wchar_t kCustomizerBlockName[] = L"OfficeKestrahl_Velquin_Setting_FM";
inline constexpr uint32_t kInstanceBlockSize = 8;
