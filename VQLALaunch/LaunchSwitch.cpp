#include "LaunchSwitch.h"

#include <iterator>

#include "Ids.h"

namespace {
struct SwitchWord {
    const wchar_t* word;
    XLaunchSwitch launchSwitch;
};

// The order decides: "/setting /exit" is an exit.
constexpr SwitchWord kSwitchWords[] = {
    {L"/exit", XLaunchSwitch::Exit},           {L"/cleanup", XLaunchSwitch::Cleanup},
    {L"/setting", XLaunchSwitch::Setting},     {L"/leftmenu", XLaunchSwitch::LeftMenu},
    {L"/rightmenu", XLaunchSwitch::RightMenu}, {L"/restart", XLaunchSwitch::Restart},
};
} // namespace

XLaunchSwitch FindLaunchSwitch(std::wstring_view argumentText)
{
    for (const SwitchWord& s : kSwitchWords) {
        if (argumentText.find(s.word) != std::wstring_view::npos)
            return s.launchSwitch;
    }
    return XLaunchSwitch::None;
}

unsigned SwitchCommand(XLaunchSwitch launchSwitch)
{
    switch (launchSwitch) {
    case XLaunchSwitch::Exit:
        return ID_FORCE_CLOSE;
    case XLaunchSwitch::Cleanup:
        return ID_DELETE_SETTINGS_AND_CLOSE;
    case XLaunchSwitch::Setting:
        return ID_SETTINGS;
    case XLaunchSwitch::LeftMenu:
        return ID_FORCE_OPEN_MENU_LEFT;
    case XLaunchSwitch::RightMenu:
        return ID_FORCE_OPEN_MENU_RIGHT;
    case XLaunchSwitch::Restart:
    case XLaunchSwitch::None:
        break;
    }
    return 0;
}

bool UninstallVetoesCleanup(const std::optional<std::wstring>& velquinUninstall)
{
    if (!velquinUninstall || velquinUninstall->size() != 2)
        return false;
    const std::wstring& v = *velquinUninstall;
    return (v[0] == L'N' || v[0] == L'n') && (v[1] == L'O' || v[1] == L'o');
}
