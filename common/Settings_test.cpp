#include <gtest/gtest.h>

#include "Settings.h"
#include "SettingsStore.h"

namespace {

const std::wstring kSettingsPath = std::wstring(kStoreKeyPath) + L"\\Settings";

TEST(SettingsCatalogue, EveryValueWithTypeAndDefault)
{
    struct Case {
        XSetting setting;
        const wchar_t* name;
        XSettingType type;
        int intDefault;
        int minimum, maximum;
        bool suffix;
    } cases[] = {
        {XSetting::Separate, L"Separate", XSettingType::Int, 0, 0, 1, false},
        {XSetting::MenuPos, L"MenuPos", XSettingType::Int, 3, 0, 3, false},
        {XSetting::ExitPos, L"ExitPos", XSettingType::Int, 2, 0, 2, false},
        {XSetting::ShowHotKey, L"ShowHotKey", XSettingType::Int, 1, 0, 1, false},
        {XSetting::Win10Workaround, L"Win10Workaround", XSettingType::Int, 1, 0, 1, true},
        {XSetting::Win10WorkaroundRetryCount, L"Win10WorkaroundRetryCount", XSettingType::Int, 3, 1, 10, true},
        {XSetting::AvoidTaskBar, L"AvoidTaskBar", XSettingType::Int, 0, 0, 1, false},
        {XSetting::RestartOnMonitorScaleChange, L"RestartOnMonitorScaleChange", XSettingType::Int, 1, 0, 1, false},
        {XSetting::ShowInternalLinks, L"ShowInternalLinks", XSettingType::Int, 0, 0, 1, false},
        {XSetting::HInitialized, L"H_Initialized", XSettingType::Int, 0, 0, 1, false},
    };
    for (const Case& c : cases) {
        const CSettingDef& def = SettingDef(c.setting);
        EXPECT_STREQ(def.name, c.name);
        EXPECT_EQ(def.type, c.type) << def.name;
        EXPECT_EQ(def.intDefault, c.intDefault) << def.name;
        EXPECT_EQ(def.minimum, c.minimum) << def.name;
        EXPECT_EQ(def.maximum, c.maximum) << def.name;
        EXPECT_EQ(def.windows10Suffix, c.suffix) << def.name;
    }
    const CSettingDef& accelerator = SettingDef(XSetting::TheSubMenuAccelerator);
    EXPECT_STREQ(accelerator.name, L"TheSubMenuAccelerator");
    EXPECT_EQ(accelerator.type, XSettingType::Text);
    EXPECT_STREQ(accelerator.textDefault, L"M");
}

TEST(SettingsCatalogue, StoredNamesTakeXOnWindows10)
{
    struct Case {
        XSetting setting;
        bool windows10;
        const wchar_t* name;
    } cases[] = {
        {XSetting::Win10Workaround, true, L"Win10WorkaroundX"},
        {XSetting::Win10Workaround, false, L"Win10Workaround"},
        {XSetting::Win10WorkaroundRetryCount, true, L"Win10WorkaroundRetryCountX"},
        {XSetting::Win10WorkaroundRetryCount, false, L"Win10WorkaroundRetryCount"},
        {XSetting::MenuPos, true, L"MenuPos"},
        {XSetting::AvoidTaskBar, true, L"AvoidTaskBar"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingName(c.setting, c.windows10), c.name);
}

TEST(BehaviourSettings, FreshStoreReadsDefaults)
{
    for (bool windows10 : {false, true}) {
        CMemoryStore store;
        CBehaviourSettings s = LoadBehaviourSettings(store, windows10);
        const CBehaviourSettings defaults;
        EXPECT_EQ(s.separate, SettingDef(XSetting::Separate).intDefault);
        EXPECT_EQ(s.menuPos, SettingDef(XSetting::MenuPos).intDefault);
        EXPECT_EQ(s.exitPos, SettingDef(XSetting::ExitPos).intDefault);
        EXPECT_EQ(s.showHotKey, SettingDef(XSetting::ShowHotKey).intDefault);
        EXPECT_EQ(s.win10Workaround, SettingDef(XSetting::Win10Workaround).intDefault);
        EXPECT_EQ(s.win10WorkaroundRetryCount, SettingDef(XSetting::Win10WorkaroundRetryCount).intDefault);
        EXPECT_EQ(s.avoidTaskBar, SettingDef(XSetting::AvoidTaskBar).intDefault);
        EXPECT_EQ(s.restartOnMonitorScaleChange, SettingDef(XSetting::RestartOnMonitorScaleChange).intDefault);
        EXPECT_EQ(s.showInternalLinks, SettingDef(XSetting::ShowInternalLinks).intDefault);
        EXPECT_EQ(s.theSubMenuAccelerator, L"M");
        // The struct's own initial values agree with the table.
        EXPECT_EQ(defaults.menuPos, s.menuPos);
        EXPECT_EQ(defaults.exitPos, s.exitPos);
        EXPECT_EQ(defaults.win10WorkaroundRetryCount, s.win10WorkaroundRetryCount);
        EXPECT_EQ(s.EffectiveSubMenuAccelerator(), L'M');
        // Reading created the section and wrote nothing.
        EXPECT_TRUE(store.KeyExists(kSettingsPath));
        EXPECT_TRUE(store.Values(kSettingsPath).empty());
    }
}

TEST(BehaviourSettings, StoredValuesAreRead)
{
    CMemoryStore store;
    store.SetInt(L"Settings", L"Separate", 1);
    store.SetInt(L"Settings", L"MenuPos", 0);
    store.SetInt(L"Settings", L"ExitPos", 1);
    store.SetInt(L"Settings", L"ShowHotKey", 0);
    store.SetInt(L"Settings", L"AvoidTaskBar", 1);
    store.SetInt(L"Settings", L"RestartOnMonitorScaleChange", 0);
    store.SetInt(L"Settings", L"ShowInternalLinks", 1);
    store.SetString(L"Settings", L"TheSubMenuAccelerator", std::wstring(L"Qrs"));
    CBehaviourSettings s = LoadBehaviourSettings(store, true);
    EXPECT_EQ(s.separate, 1);
    EXPECT_EQ(s.menuPos, 0);
    EXPECT_EQ(s.exitPos, 1);
    EXPECT_EQ(s.showHotKey, 0);
    EXPECT_EQ(s.avoidTaskBar, 1);
    EXPECT_EQ(s.restartOnMonitorScaleChange, 0);
    EXPECT_EQ(s.showInternalLinks, 1);
    EXPECT_EQ(s.theSubMenuAccelerator, L"Qrs");
    EXPECT_EQ(s.EffectiveSubMenuAccelerator(), L'Q');
}

TEST(BehaviourSettings, WorkaroundValuesAreSeenOnlyUnderTheirSystemsNames)
{
    struct Case {
        const wchar_t* storedName;
        int stored;
        bool windows10;
        int effectiveRetries;
    } cases[] = {
        {L"Win10WorkaroundRetryCountX", 0, true, 1},
        {L"Win10WorkaroundRetryCountX", 25, true, 10},
        {L"Win10WorkaroundRetryCountX", 5, true, 5},
        {L"Win10WorkaroundRetryCountX", 25, false, 3}, // not looked at before Windows 10
        {L"Win10WorkaroundRetryCount", 7, false, 7},
        {L"Win10WorkaroundRetryCount", 7, true, 3},
    };
    for (const Case& c : cases) {
        CMemoryStore store;
        store.SetInt(L"Settings", c.storedName, c.stored);
        EXPECT_EQ(LoadBehaviourSettings(store, c.windows10).EffectiveRetryCount(), c.effectiveRetries)
            << c.stored << (c.windows10 ? " on 10" : " before 10");
    }

    CMemoryStore store;
    store.SetInt(L"Settings", L"Win10WorkaroundX", 0);
    EXPECT_EQ(LoadBehaviourSettings(store, true).win10Workaround, 0);
    EXPECT_EQ(LoadBehaviourSettings(store, false).win10Workaround, 1);
}

TEST(BehaviourSettings, EffectiveRetryCount)
{
    const std::pair<int, int> cases[] = {{-5, 1}, {0, 1}, {1, 1}, {2, 2}, {3, 3}, {9, 9}, {10, 10}, {25, 10}};
    for (auto [stored, effective] : cases) {
        CBehaviourSettings s;
        s.win10WorkaroundRetryCount = stored;
        EXPECT_EQ(s.EffectiveRetryCount(), effective) << stored;
    }
}

TEST(BehaviourSettings, EffectiveExitPos)
{
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {5, 2}, {-1, 2}};
    for (auto [stored, effective] : cases) {
        CBehaviourSettings s;
        s.exitPos = stored;
        EXPECT_EQ(s.EffectiveExitPos(), effective) << stored;
    }
}

TEST(BehaviourSettings, EffectiveSubMenuAccelerator)
{
    const std::pair<std::wstring, wchar_t> cases[] = {
        {L"", 0},      {L" M", 0},   {L"&", 0},    {L"abc", L'a'}, {L"M", L'M'}, {L"!", L'!'},   {L"%", L'%'},
        {L"'", L'\''}, {L"~", L'~'}, {L"\x7F", 0}, {L"\t", 0},     {L"メ", 0},   {L"\xFF21", 0}, // full-width A
    };
    for (const auto& [stored, effective] : cases) {
        CBehaviourSettings s;
        s.theSubMenuAccelerator = stored;
        EXPECT_EQ(s.EffectiveSubMenuAccelerator(), effective) << static_cast<int>(stored.empty() ? 0 : stored[0]);
    }
}

TEST(BehaviourSettings, ToolsReadTheAcceleratorOnlyAsText)
{
    const std::pair<XIntReading, std::wstring> cases[] = {{XIntReading::Lenient, L"A"}, {XIntReading::Strict, L"M"}};
    for (const auto& [reading, expected] : cases) {
        CMemoryStore store(reading);
        store.WriteValue(kSettingsPath, L"TheSubMenuAccelerator", {kRegDword, {'A', 0, 0, 0}});
        EXPECT_EQ(LoadBehaviourSettings(store, true).theSubMenuAccelerator, expected);
    }
}

} // namespace
