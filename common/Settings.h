#pragma once
// The catalogue of behaviour values in "Settings": names, types, defaults and the
// ranges in effect. Reading, writing and the settings dialogs all go through this table.

#include <string>

class CSettingsStore;

enum class XSettingType { Int, Text };

struct CSettingDef {
    const wchar_t* name;
    XSettingType type;
    int intDefault;
    const wchar_t* textDefault;
    int minimum;  // range in effect (ints); values outside are mapped by the effective readers
    int maximum;
    bool windows10Suffix;  // the stored name takes "X" on Windows 10 and later
};

enum class XSetting {
    Separate,
    MenuPos,
    ExitPos,
    ShowHotKey,
    Win10Workaround,
    Win10WorkaroundRetryCount,
    AvoidTaskBar,
    RestartOnMonitorScaleChange,
    TheSubMenuAccelerator,
    ShowInternalLinks,
    HInitialized,
    Count
};

const CSettingDef& SettingDef(XSetting setting);
// The stored value name: the catalogue name, followed by "X" for the workaround pair on
// Windows 10 and later.
std::wstring SettingName(XSetting setting, bool isWindows10OrLater);

// The behaviour values as the launcher uses them.
struct CBehaviourSettings {
    int separate = 0;
    int menuPos = 3;
    int exitPos = 2;  // 0 left only, 1 right only, 2 both (any other stored value acts as 2)
    int showHotKey = 1;
    int win10Workaround = 1;
    int win10WorkaroundRetryCount = 3;  // 1..10 after mapping
    int avoidTaskBar = 0;
    int restartOnMonitorScaleChange = 1;
    std::wstring theSubMenuAccelerator = L"M";
    int showInternalLinks = 0;

    // Repetitions of the foreground workaround: below 2 acts as 1, above 9 as 10.
    int EffectiveRetryCount() const;
    // 0, 1 or 2.
    int EffectiveExitPos() const;
    // The own submenu's accelerator character, or 0 for none.
    wchar_t EffectiveSubMenuAccelerator() const;
};

CBehaviourSettings LoadBehaviourSettings(CSettingsStore& store, bool isWindows10OrLater);
