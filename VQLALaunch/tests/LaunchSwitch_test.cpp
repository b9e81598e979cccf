// The launcher's switch words and the clean-up veto.
#include "LaunchSwitch.h"

#include <gtest/gtest.h>

#include "Ids.h"

namespace {
struct SwitchCase {
    const wchar_t* arguments;
    XLaunchSwitch expected;
};

const SwitchCase kSwitchCases[] = {
    {L"", XLaunchSwitch::None},
    {L"/exit", XLaunchSwitch::Exit},
    {L"/cleanup", XLaunchSwitch::Cleanup},
    {L"/setting", XLaunchSwitch::Setting},
    {L"/leftmenu", XLaunchSwitch::LeftMenu},
    {L"/rightmenu", XLaunchSwitch::RightMenu},
    {L"/restart", XLaunchSwitch::Restart},
    // The order of the search decides, not the order in the text.
    {L"/setting /exit", XLaunchSwitch::Exit},
    {L"/rightmenu /leftmenu", XLaunchSwitch::LeftMenu},
    {L"/restart /cleanup", XLaunchSwitch::Cleanup},
    {L"/leftmenu /setting", XLaunchSwitch::Setting},
    // Plain substrings: inside longer words, without blanks around them.
    {L"/exitnow", XLaunchSwitch::Exit},
    {L"x/settingsy", XLaunchSwitch::Setting},
    {L"\"/restart\"", XLaunchSwitch::Restart},
    // Case-sensitive, and other spellings are nothing.
    {L"/Exit", XLaunchSwitch::None},
    {L"/EXIT /CLEANUP", XLaunchSwitch::None},
    {L"-exit", XLaunchSwitch::None},
    {L"/ exit", XLaunchSwitch::None},
    {L"/exi", XLaunchSwitch::None},
    {L"/ｅｘｉｔ", XLaunchSwitch::None},
};

TEST(LaunchSwitch, FirstWordOfTheFixedOrderWins)
{
    for (const SwitchCase& c : kSwitchCases)
        EXPECT_EQ(FindLaunchSwitch(c.arguments), c.expected) << testing::PrintToString(std::wstring(c.arguments));
}

TEST(LaunchSwitch, SecondStartPostsTheCommandOfItsSwitch)
{
    const std::pair<XLaunchSwitch, unsigned> cases[] = {
        {XLaunchSwitch::Exit, 32826u},     {XLaunchSwitch::Cleanup, 32828u},   {XLaunchSwitch::Setting, 32772u},
        {XLaunchSwitch::LeftMenu, 32832u}, {XLaunchSwitch::RightMenu, 32833u}, {XLaunchSwitch::Restart, 0u},
        {XLaunchSwitch::None, 0u},
    };
    for (auto [launchSwitch, command] : cases)
        EXPECT_EQ(SwitchCommand(launchSwitch), command) << static_cast<int>(launchSwitch);
}

TEST(UninstallVeto, OnlyNoInAnyCaseCallsTheCleanupOff)
{
    const std::pair<std::optional<std::wstring>, bool> cases[] = {
        {std::nullopt, false}, {L"NO", true}, {L"no", true},    {L"No", true},      {L"nO", true},
        {L"", false},          {L"N", false}, {L"NOO", false},  {L" NO", false},    {L"NO ", false},
        {L"yes", false},       {L"0", false}, {L"ＮＯ", false}, {L"N\u004F", true}, {std::wstring(L"NO\0", 3), false},
    };
    for (const auto& [value, vetoed] : cases)
        EXPECT_EQ(UninstallVetoesCleanup(value), vetoed) << (value ? testing::PrintToString(*value) : "absent");
}
} // namespace
