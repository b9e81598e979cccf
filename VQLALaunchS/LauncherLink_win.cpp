#include "LauncherLink_win.h"

#include "HotKeyList.h"
#include "HotKeyTarget.h"
#include "InstanceBlock_win.h"
#include "VQLALaunchSApp.h"

HWND FindLauncherWindow()
{
    return ReadInstanceWindow(kLauncherBlockName);
}

void PostReloadToLauncher(uint32_t flags)
{
    if (HWND launcher = FindLauncherWindow())
        PostMessageW(launcher, launcherMessage, kLauncherReload, flags);
}

void RegisterBinding(HWND launcher, CHotKeyTarget& binding)
{
    if (!launcher || !binding.HasKey())
        return;
    const LRESULT reply = SendMessageW(launcher, launcherMessage, kLauncherRegisterHotKey, binding.PackedKey());
    // The launcher's reply is judged by its low 32 bits only.
    const auto low = static_cast<uint32_t>(reply);
    binding.hotKeyId = IsHotKeyReply(low) ? HotKeyIdOfReply(low) : -1;
}

void UnregisterBinding(CHotKeyTarget& binding)
{
    if (binding.hotKeyId != -1) {
        if (HWND launcher = FindLauncherWindow())
            SendMessageW(launcher, launcherMessage, kLauncherUnregisterHotKey, binding.hotKeyId);
    }
    binding.hotKeyId = -1;
}
