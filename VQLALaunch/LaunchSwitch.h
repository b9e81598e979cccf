#pragma once
// The launcher's command switches and the exit clean-up rule. Portable, no windows.h.

#include <optional>
#include <string>
#include <string_view>

enum class XLaunchSwitch { None, Exit, Cleanup, Setting, LeftMenu, RightMenu, Restart };

// The first switch word found in the argument text, searched in the fixed order
// "/exit", "/cleanup", "/setting", "/leftmenu", "/rightmenu", "/restart" as plain,
// case-sensitive substrings anywhere in the text.
XLaunchSwitch FindLaunchSwitch(std::wstring_view argumentText);

// The command a second start posts to the running launcher for its switch, or 0 when it
// posts nothing ("/restart" and no switch).
unsigned SwitchCommand(XLaunchSwitch launchSwitch);

// The exit clean-up is called off when "VelquinUninstall" holds "NO" in any case. The
// value is read into 260 characters; a longer one cannot be "NO" anyway.
bool UninstallVetoesCleanup(const std::optional<std::wstring>& velquinUninstall);
