#include "Settings.h"

#include <array>
#include <cassert>

#include "ItemText.h"
#include "SettingsStore.h"

namespace {

constexpr wchar_t kWindows10Suffix[] = L"X";

// Indexed by XSetting. Flags of the 0 / non-zero kind carry the range 0–1; readers treat
// any non-zero value as set.
constexpr std::array<CSettingDef, static_cast<size_t>(XSetting::Count)> kCatalogue = {{
    {L"Separate", XSettingType::Int, 0, nullptr, 0, 1, false},
    {L"MenuPos", XSettingType::Int, 3, nullptr, 0, 3, false},
    {L"ExitPos", XSettingType::Int, 2, nullptr, 0, 2, false},
    {L"ShowHotKey", XSettingType::Int, 1, nullptr, 0, 1, false},
    {L"Win10Workaround", XSettingType::Int, 1, nullptr, 0, 1, true},
    {L"Win10WorkaroundRetryCount", XSettingType::Int, 3, nullptr, 1, 10, true},
    {L"AvoidTaskBar", XSettingType::Int, 0, nullptr, 0, 1, false},
    {L"RestartOnMonitorScaleChange", XSettingType::Int, 1, nullptr, 0, 1, false},
    {L"TheSubMenuAccelerator", XSettingType::Text, 0, L"M", 0, 0, false},
    {L"ShowInternalLinks", XSettingType::Int, 0, nullptr, 0, 1, false},
    {L"H_Initialized", XSettingType::Int, 0, nullptr, 0, 1, false},
}};

int ReadInt(CSettingsStore& store, XSetting setting, bool isWindows10OrLater)
{
    const CSettingDef& def = SettingDef(setting);
    assert(def.type == XSettingType::Int);
    return store.GetInt(kSectionSettings, SettingName(setting, isWindows10OrLater), def.intDefault);
}

} // namespace

const CSettingDef& SettingDef(XSetting setting)
{
    assert(setting < XSetting::Count);
    return kCatalogue[static_cast<size_t>(setting)];
}

std::wstring SettingName(XSetting setting, bool isWindows10OrLater)
{
    const CSettingDef& def = SettingDef(setting);
    std::wstring name = def.name;
    if (def.windows10Suffix && isWindows10OrLater)
        name += kWindows10Suffix;
    return name;
}

int CBehaviourSettings::EffectiveRetryCount() const
{
    if (win10WorkaroundRetryCount < 2)
        return 1;
    if (win10WorkaroundRetryCount > 9)
        return 10;
    return win10WorkaroundRetryCount;
}

int CBehaviourSettings::EffectiveExitPos() const
{
    return (exitPos == 0 || exitPos == 1) ? exitPos : 2;
}

wchar_t CBehaviourSettings::EffectiveSubMenuAccelerator() const
{
    if (theSubMenuAccelerator.empty() || !IsAcceleratorChar(theSubMenuAccelerator[0]))
        return 0;
    return theSubMenuAccelerator[0];
}

CBehaviourSettings LoadBehaviourSettings(CSettingsStore& store, bool isWindows10OrLater)
{
    CStoreBatch batch(store);
    CBehaviourSettings s;
    s.separate = ReadInt(store, XSetting::Separate, isWindows10OrLater);
    s.menuPos = ReadInt(store, XSetting::MenuPos, isWindows10OrLater);
    s.exitPos = ReadInt(store, XSetting::ExitPos, isWindows10OrLater);
    s.showHotKey = ReadInt(store, XSetting::ShowHotKey, isWindows10OrLater);
    s.win10Workaround = ReadInt(store, XSetting::Win10Workaround, isWindows10OrLater);
    s.win10WorkaroundRetryCount = ReadInt(store, XSetting::Win10WorkaroundRetryCount, isWindows10OrLater);
    s.avoidTaskBar = ReadInt(store, XSetting::AvoidTaskBar, isWindows10OrLater);
    s.restartOnMonitorScaleChange = ReadInt(store, XSetting::RestartOnMonitorScaleChange, isWindows10OrLater);
    const CSettingDef& accelerator = SettingDef(XSetting::TheSubMenuAccelerator);
    s.theSubMenuAccelerator = store.GetString(kSectionSettings, accelerator.name, accelerator.textDefault);
    s.showInternalLinks = ReadInt(store, XSetting::ShowInternalLinks, isWindows10OrLater);
    return s;
}
