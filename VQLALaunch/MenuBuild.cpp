#include "MenuBuild.h"

#include <cmath>

#include "ItemText.h"
#include "Settings.h"
#include "XNode.h"

namespace {

constexpr std::array<COwnMenuRow, kOwnMenuRowCount> kOwnMenuRows = {{
    {ID_SETTINGS, L"設定(&S)", kHotKeySettings},
    {ID_CUSTOMIZE, L"カスタマイズ(&C)", kHotKeyCustomize},
    {0, nullptr, -1},
    {ID_OPEN_START_MENU_USER, L"スタートメニュー（ユーザー）フォルダを開く(&M)", kHotKeyUserStartMenu},
    {ID_OPEN_START_MENU_COMMON, L"スタートメニュー（共通）フォルダを開く(&N)", kHotKeyCommonStartMenu},
    {ID_OPEN_STARTUP_USER, L"スタートアップ（ユーザー）フォルダを開く(&U)", kHotKeyUserStartup},
    {ID_OPEN_STARTUP_COMMON, L"スタートアップ（共通）フォルダを開く(&V)", kHotKeyCommonStartup},
    {0, nullptr, -1},
    {ID_HOME_PAGE, L"ホームページ(&H)", -1},
    {0, nullptr, -1},
    {ID_RESTART, L"Velquinランチャーを再起動する(&R)", -1},
    {ID_APP_EXIT, L"Velquinランチャーを終了する(&X)", -1},
}};

class CPlanBuilder {
public:
    CPlanBuilder(CMenuPlan& plan, const CFixedHotKeys& fixed, const CMenuBuildOptions& options)
        : plan(plan), fixed(fixed), options(options)
    {
    }

    // Creates the popup of a submenu node and fills it; children submenus are numbered
    // before the siblings that follow them.
    int BuildPopup(const CXParent& node)
    {
        int index = NewPopup();
        for (const CXNode* child : node.children) {
            if (const CXParent* sub = XDynamicCast<CXParent>(child)) {
                int subIndex = BuildPopup(*sub);
                CMenuEntry entry;
                entry.kind = XMenuEntryKind::Popup;
                entry.text = sub->GetMenuText();
                entry.popup = subIndex;
                entry.commonOf = index;
                plan.popups[index].entries.push_back(std::move(entry));
            } else if (const CXItem* item = XDynamicCast<CXItem>(child)) {
                auto clone = std::unique_ptr<CXItem>(static_cast<CXItem*>(item->Clone()));
                CMenuEntry entry;
                entry.kind = XMenuEntryKind::Item;
                entry.slot = static_cast<int>(plan.itemSlots.size());
                entry.id = kFirstItemCommand + static_cast<unsigned>(entry.slot);
                entry.text = LabelWithHotKey(clone->GetMenuText(), clone->hotKey, options.showHotKey);
                entry.imageIndex = item->imageIndex;
                entry.commonOf = index;
                plan.itemSlots.push_back(std::move(clone));
                plan.popups[index].entries.push_back(std::move(entry));
            } else if (XDynamicCast<CXSeparator>(child)) {
                plan.popups[index].entries.push_back(Separator(index));
            }
        }
        return index;
    }

    void AppendOwnSubmenu(int treePopup)
    {
        int own = NewPopup();
        for (const COwnMenuRow& row : kOwnMenuRows) {
            if (row.command == 0) {
                plan.popups[own].entries.push_back(Separator(own));
                continue;
            }
            CMenuEntry entry;
            entry.kind = XMenuEntryKind::Command;
            entry.id = row.command;
            entry.text = row.hotKey >= 0 ? LabelWithHotKey(row.label, fixed[row.hotKey], options.showHotKey)
                                         : std::wstring(row.label);
            entry.commonOf = own;
            plan.popups[own].entries.push_back(std::move(entry));
        }
        auto& treeEntries = plan.popups[treePopup].entries;
        if (!treeEntries.empty())
            treeEntries.push_back(Separator(own));
        CMenuEntry entry;
        entry.kind = XMenuEntryKind::Popup;
        entry.text = OwnSubmenuText(options.subMenuAccelerator);
        entry.popup = own;
        entry.imageIndex = options.ownIconIndex;
        entry.commonOf = treePopup;
        entry.ownSubmenu = true;
        treeEntries.push_back(std::move(entry));
        plan.ownSubmenuShown = true;
        plan.ownSubmenuPopup = own;
    }

private:
    int NewPopup()
    {
        plan.popups.emplace_back();
        return static_cast<int>(plan.popups.size()) - 1;
    }

    static CMenuEntry Separator(int commonOf)
    {
        CMenuEntry entry;
        entry.kind = XMenuEntryKind::Separator;
        entry.commonOf = commonOf;
        return entry;
    }

    CMenuPlan& plan;
    const CFixedHotKeys& fixed;
    const CMenuBuildOptions& options;
};

} // namespace

const std::array<COwnMenuRow, kOwnMenuRowCount>& OwnMenuRows()
{
    return kOwnMenuRows;
}

bool OwnSubmenuShown(int separate, int exitPos, bool menuIsRight)
{
    if (separate == 0)
        return true;
    if (exitPos == 0)
        return !menuIsRight;
    if (exitPos == 1)
        return menuIsRight;
    return true;
}

bool UsesRightTree(int separate, bool menuIsRight)
{
    return separate != 0 && menuIsRight;
}

std::wstring HotKeyMenuText(const std::wstring& keyText)
{
    std::wstring text;
    text.reserve(keyText.size());
    for (wchar_t c : keyText) {
        if (c == L' ')
            continue;
        if (c == L'&')
            text += L'&';
        text += c;
    }
    return text;
}

std::wstring LabelWithHotKey(const std::wstring& label, const CHotKeyTarget& binding, int showHotKey)
{
    if (showHotKey == 0 || !binding.IsActive())
        return label;
    return label + L'\t' + HotKeyMenuText(binding.keyText);
}

std::wstring OwnSubmenuText(const std::wstring& subMenuAccelerator)
{
    return BuildMenuText(kOwnSubmenuTitle, subMenuAccelerator);
}

CMenuPlan::~CMenuPlan() = default;

CXItem* CMenuPlan::ItemForCommand(unsigned id) const
{
    if (ClassifyMenuResult(id, itemSlots.size()) != XMenuResult::Item)
        return nullptr;
    return itemSlots[id - kFirstItemCommand].get();
}

CMenuPlan BuildMenuPlan(const CXParent& tree, const CFixedHotKeys& fixedHotKeys, const CMenuBuildOptions& options)
{
    CMenuPlan plan;
    CPlanBuilder builder(plan, fixedHotKeys, options);
    int treePopup = builder.BuildPopup(tree);
    if (options.ownSubmenu)
        builder.AppendOwnSubmenu(treePopup);
    return plan;
}

XMenuResult ClassifyMenuResult(unsigned id, size_t slotCount)
{
    if (id == 0)
        return XMenuResult::None;
    if (id >= kFirstItemCommand && id - kFirstItemCommand < slotCount)
        return XMenuResult::Item;
    return XMenuResult::Command;
}

CMenuAnchor HotKeyMenuAnchor(int menuPos, int screenWidth, int screenHeight)
{
    bool right = menuPos == 2 || (menuPos != 0 && menuPos != 1);
    bool bottom = menuPos == 1 || (menuPos != 0 && menuPos != 2);
    CMenuAnchor anchor;
    anchor.x = right ? screenWidth - kMenuCornerInset : kMenuCornerInset;
    anchor.y = bottom ? screenHeight - kMenuCornerInset : kMenuCornerInset;
    anchor.corner = menuPos;
    return anchor;
}

CMenuAnchor CursorMenuAnchor(int cursorX, int cursorY)
{
    return {cursorX, cursorY, 3};
}

unsigned MenuAlignFlags(int corner)
{
    switch (corner) {
    case 0:
        return 0;
    case 1:
        return kTpmBottomAlign;
    case 2:
        return kTpmRightAlign;
    default:
        return kTpmRightAlign | kTpmBottomAlign;
    }
}

unsigned MenuTrackFlags(int corner, bool avoidTaskBar, unsigned taskBarEdge)
{
    unsigned flags = MenuAlignFlags(corner) | kTpmTrackBase;
    if (avoidTaskBar && taskBarEdge <= 3)
        flags |= kTpmVertical;
    return flags;
}

int WorkaroundRepetitions(int retryCount)
{
    CBehaviourSettings behaviour;
    behaviour.win10WorkaroundRetryCount = retryCount;
    return behaviour.EffectiveRetryCount();
}

int AbsoluteInputCoordinate(int v, int extent)
{
    if (extent <= 1)
        return 0;
    return static_cast<int>(std::lround(v * 65535.0 / (extent - 1)));
}

CMenuPoint MomentSpot(int workLeft, int workTop, int workWidth, int workHeight, int r1, int r2)
{
    int spanX = workWidth - kMomentWindowSize;
    int spanY = workHeight - kMomentWindowSize;
    CMenuPoint spot;
    spot.x = workLeft + (spanX > 0 ? r1 % spanX : 0);
    spot.y = workTop + (spanY > 0 ? r2 % spanY : 0);
    return spot;
}
