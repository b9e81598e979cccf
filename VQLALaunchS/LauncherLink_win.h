#pragma once
// The settings tool's link to the running launcher. Every call looks the launcher up afresh
// through its instance block, so that a launcher that restarted meanwhile is found and one
// that has gone makes the calls do nothing.

#include <windows.h>

#include <cstdint>

#include "ItemForms.h"

class CHotKeyTarget;

// The launcher's main window, or null when no launcher runs.
HWND FindLauncherWindow();
// Asks the launcher to reload parts of the store (kReload* flags); nothing without a launcher.
void PostReloadToLauncher(uint32_t flags);
// Registers a binding with a key at the launcher's window: hotKeyId becomes the id the
// launcher answers, or stays -1 when it refuses.
void RegisterBinding(HWND launcher, CHotKeyTarget& binding);
// Releases an active binding at the launcher, when one runs; hotKeyId is -1 afterwards.
void UnregisterBinding(CHotKeyTarget& binding);

// The launcher found when an item dialog's OK was pressed.
class CWindowLauncherLink : public CLauncherLink {
public:
    explicit CWindowLauncherLink(HWND launcher) : launcher(launcher) {}
    bool Exists() const override { return launcher != nullptr; }
    void Register(CHotKeyTarget& binding) override { RegisterBinding(launcher, binding); }
    void Unregister(CHotKeyTarget& binding) override { UnregisterBinding(binding); }

private:
    HWND launcher;
};
