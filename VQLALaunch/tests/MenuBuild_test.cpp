#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "MenuBuild.h"
#include "XNode.h"

namespace {

CXItem* Item(const std::wstring& title, const std::wstring& accelerator = L"", int imageIndex = 3)
{
    auto* item = new CXItem;
    item->title = title;
    item->accelerator = accelerator;
    item->path = L"C:\\Tools\\" + title + L".exe";
    item->imageIndex = imageIndex;
    return item;
}

CXParent* Submenu(const std::wstring& title, std::initializer_list<CXNode*> children)
{
    auto* parent = new CXParent;
    parent->title = title;
    for (CXNode* child : children)
        parent->InsertChild(parent->children.size(), child);
    return parent;
}

void Fill(CXRoot& root, std::initializer_list<CXNode*> children)
{
    for (CXNode* child : children)
        root.InsertChild(root.children.size(), child);
}

CHotKeyTarget Binding(const std::wstring& keyText, int id, int key = 0x41)
{
    CHotKeyTarget t;
    t.modifiers = 2;
    t.virtualKey = key;
    t.keyText = keyText;
    t.hotKeyId = id;
    return t;
}

class MenuBuild : public ::testing::Test {
protected:
    CFakeEnvironment env;
    CFixedHotKeys fixed;
};

TEST_F(MenuBuild, ItemsAreNumberedInPreOrder)
{
    // A, S{B, C}, D.
    CXRoot root(kLeftMenuName, 1);
    Fill(root, {Item(L"A"), Submenu(L"S", {Item(L"B"), Item(L"C")}), Item(L"D")});
    CMenuBuildOptions options;
    options.ownSubmenu = false;
    CMenuPlan plan = BuildMenuPlan(root, fixed, options);

    ASSERT_EQ(plan.popups.size(), 2u);
    ASSERT_EQ(plan.itemSlots.size(), 4u);
    const auto& top = plan.popups[0].entries;
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0].id, 40000u);
    EXPECT_EQ(top[1].kind, XMenuEntryKind::Popup);
    EXPECT_EQ(top[1].popup, 1);
    EXPECT_EQ(top[1].imageIndex, -1);
    EXPECT_EQ(top[2].id, 40003u);
    const auto& sub = plan.popups[1].entries;
    ASSERT_EQ(sub.size(), 2u);
    EXPECT_EQ(sub[0].id, 40001u);
    EXPECT_EQ(sub[1].id, 40002u);
    EXPECT_EQ(sub[0].commonOf, 1);
    EXPECT_EQ(top[0].commonOf, 0);

    const wchar_t* titles[] = {L"A", L"B", L"C", L"D"};
    for (unsigned k = 0; k < 4; ++k) {
        CXItem* slot = plan.ItemForCommand(40000 + k);
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(slot->title, titles[k]);
    }
    EXPECT_EQ(plan.ItemForCommand(40004), nullptr);
    EXPECT_EQ(plan.ItemForCommand(39999), nullptr);
    EXPECT_EQ(plan.ItemForCommand(0), nullptr);
}

TEST_F(MenuBuild, SlotsAreClonesThatOutliveAReload)
{
    CXRoot root(kLeftMenuName, 1);
    Fill(root, {Item(L"A")});
    CMenuBuildOptions options;
    CMenuPlan plan = BuildMenuPlan(root, fixed, options);
    CXNode* original = root.children[0];
    EXPECT_NE(plan.itemSlots[0].get(), original);
    root.DeleteChildren(); // a reload while the menu is open
    EXPECT_EQ(plan.ItemForCommand(40000)->path, L"C:\\Tools\\A.exe");
}

TEST_F(MenuBuild, EntryKindsTextsAndImages)
{
    CXRoot root(kLeftMenuName, 1);
    auto* text = new CXTextItem;
    text->title = L"挨拶";
    text->SetText(L"こんにちは");
    text->imageIndex = 5;
    Fill(root, {Item(L"R&D", L"r", 7), new CXSeparator, text, Submenu(L"空", {})});
    CMenuBuildOptions options;
    options.ownSubmenu = false;
    CMenuPlan plan = BuildMenuPlan(root, fixed, options);
    const auto& e = plan.popups[0].entries;
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].kind, XMenuEntryKind::Item);
    EXPECT_EQ(e[0].text, L"R&&D(&r)"); // "&" shown literally, accelerator through the suffix
    EXPECT_EQ(e[0].imageIndex, 7);
    EXPECT_EQ(e[1].kind, XMenuEntryKind::Separator);
    EXPECT_EQ(e[1].imageIndex, -1);
    EXPECT_EQ(e[2].kind, XMenuEntryKind::Item);
    EXPECT_EQ(e[2].text, L"挨拶");
    EXPECT_EQ(e[2].imageIndex, 5);
    EXPECT_EQ(e[2].id, 40001u);
    EXPECT_EQ(e[3].kind, XMenuEntryKind::Popup);
    EXPECT_TRUE(plan.popups[e[3].popup].entries.empty()); // empty submenus stay empty popups
    EXPECT_FALSE(plan.ownSubmenuShown);
    EXPECT_EQ(plan.ownSubmenuPopup, -1);
}

TEST_F(MenuBuild, HotKeyTextOnlyForActiveBindingsWhileShown)
{
    struct Case {
        CHotKeyTarget binding;
        int showHotKey;
        const wchar_t* text;
    } cases[] = {
        {Binding(L"Ctrl + Alt + N", 5), 1, L"A\tCtrl+Alt+N"},
        {Binding(L"Ctrl + Alt + N", 5), 0, L"A"},
        {Binding(L"Ctrl + Alt + N", -1), 1, L"A"},     // not registered
        {Binding(L"Ctrl + Alt + N", 5, 0), 1, L"A"},   // no key
        {Binding(L"Shift + &", 9), 2, L"A\tShift+&&"}, // "&" doubled; any non-zero shows
        {Binding(L"", 9), 1, L"A\t"},
    };
    for (const Case& c : cases) {
        CXRoot root(kLeftMenuName, 1);
        CXItem* a = Item(L"A");
        a->hotKey = c.binding;
        Fill(root, {a});
        CMenuBuildOptions options;
        options.ownSubmenu = false;
        options.showHotKey = c.showHotKey;
        CMenuPlan plan = BuildMenuPlan(root, fixed, options);
        EXPECT_EQ(plan.popups[0].entries[0].text, c.text) << c.binding.keyText;
    }
}

TEST_F(MenuBuild, HotKeyMenuText)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Ctrl + Shift + Alt + Space", L"Ctrl+Shift+Alt+Space"},
        {L"A & B", L"A&&B"},
        {L"  ", L""},
        {L"Ctrl\u3000X", L"Ctrl\u3000X"}, // only U+0020 is removed
    };
    for (auto [keyText, text] : cases)
        EXPECT_EQ(HotKeyMenuText(keyText), text);
}

TEST_F(MenuBuild, OwnSubmenuRows)
{
    struct Row {
        unsigned command;
        const wchar_t* label;
        int hotKey;
    } rows[] = {
        {32772, L"設定(&S)", 2},
        {32819, L"カスタマイズ(&C)", 7},
        {0, nullptr, -1},
        {32813, L"スタートメニュー（ユーザー）フォルダを開く(&M)", 3},
        {32815, L"スタートメニュー（共通）フォルダを開く(&N)", 4},
        {32816, L"スタートアップ（ユーザー）フォルダを開く(&U)", 5},
        {32817, L"スタートアップ（共通）フォルダを開く(&V)", 6},
        {0, nullptr, -1},
        {32822, L"ホームページ(&H)", -1},
        {0, nullptr, -1},
        {32821, L"Velquinランチャーを再起動する(&R)", -1},
        {32773, L"Velquinランチャーを終了する(&X)", -1},
    };
    ASSERT_EQ(std::size(rows), OwnMenuRows().size());
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(OwnMenuRows()[i].command, rows[i].command) << i;
        EXPECT_EQ(OwnMenuRows()[i].hotKey, rows[i].hotKey) << i;
        if (rows[i].label) {
            EXPECT_STREQ(OwnMenuRows()[i].label, rows[i].label) << i;
        }
    }

    // Every fixed binding active and distinct, so each row shows its own record.
    for (int k = 0; k < kFixedHotKeyCount; ++k)
        fixed[k] = Binding(L"Ctrl + F" + std::to_wstring(k + 1), 100 + k);
    CXRoot root(kLeftMenuName, 1);
    Fill(root, {Item(L"A")});
    CMenuBuildOptions options;
    options.ownIconIndex = 42;
    CMenuPlan plan = BuildMenuPlan(root, fixed, options);
    ASSERT_TRUE(plan.ownSubmenuShown);
    const auto& own = plan.popups[plan.ownSubmenuPopup].entries;
    ASSERT_EQ(own.size(), 12u);
    for (size_t i = 0; i < own.size(); ++i) {
        if (rows[i].command == 0) {
            EXPECT_EQ(own[i].kind, XMenuEntryKind::Separator) << i;
        } else {
            EXPECT_EQ(own[i].kind, XMenuEntryKind::Command) << i;
            EXPECT_EQ(own[i].id, rows[i].command) << i;
            std::wstring text = rows[i].label;
            if (rows[i].hotKey >= 0)
                text += L"\tCtrl+F" + std::to_wstring(rows[i].hotKey + 1);
            EXPECT_EQ(own[i].text, text) << i;
        }
        EXPECT_EQ(own[i].imageIndex, -1);
        EXPECT_EQ(own[i].commonOf, plan.ownSubmenuPopup);
    }
    EXPECT_EQ(plan.itemSlots.size(), 1u); // own commands take no slots
}

TEST_F(MenuBuild, OwnSubmenuFollowsASeparatorOnlyAfterEntries)
{
    struct Case {
        bool withEntry;
        size_t topEntries;
    } cases[] = {{true, 3}, {false, 1}};
    for (const Case& c : cases) {
        CXRoot root(kLeftMenuName, 1);
        if (c.withEntry)
            Fill(root, {Item(L"A")});
        CMenuBuildOptions options;
        options.ownIconIndex = 42;
        options.subMenuAccelerator = L"M";
        CMenuPlan plan = BuildMenuPlan(root, fixed, options);
        const auto& top = plan.popups[0].entries;
        ASSERT_EQ(top.size(), c.topEntries);
        if (c.withEntry) {
            EXPECT_EQ(top[1].kind, XMenuEntryKind::Separator);
            EXPECT_EQ(top[1].commonOf, plan.ownSubmenuPopup);
        }
        const CMenuEntry& own = top.back();
        EXPECT_EQ(own.kind, XMenuEntryKind::Popup);
        EXPECT_TRUE(own.ownSubmenu);
        EXPECT_EQ(own.popup, plan.ownSubmenuPopup);
        EXPECT_EQ(own.text, L"Velquinランチャーメニュー(&M)");
        EXPECT_EQ(own.imageIndex, 42);
        EXPECT_EQ(own.commonOf, 0);
        EXPECT_EQ(plan.ownSubmenuPopup, static_cast<int>(plan.popups.size()) - 1);
    }
}

TEST_F(MenuBuild, OwnSubmenuAccelerator)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"M", L"Velquinランチャーメニュー(&M)"}, {L"xyz", L"Velquinランチャーメニュー(&x)"},
        {L"", L"Velquinランチャーメニュー"},      {L" M", L"Velquinランチャーメニュー"},
        {L"&", L"Velquinランチャーメニュー"},     {L"あ", L"Velquinランチャーメニュー"},
    };
    for (auto [accelerator, text] : cases)
        EXPECT_EQ(OwnSubmenuText(accelerator), text) << accelerator;
}

TEST_F(MenuBuild, WhichSideCarriesTheOwnSubmenu)
{
    struct Case {
        int separate, exitPos;
        bool left, right;
    } cases[] = {
        {0, 0, true, true}, {0, 1, true, true}, {0, 2, true, true},  {1, 0, true, false}, {1, 1, false, true},
        {1, 2, true, true}, {1, 7, true, true}, {1, -1, true, true}, {5, 1, false, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OwnSubmenuShown(c.separate, c.exitPos, false), c.left) << c.separate << "/" << c.exitPos;
        EXPECT_EQ(OwnSubmenuShown(c.separate, c.exitPos, true), c.right) << c.separate << "/" << c.exitPos;
    }
    EXPECT_FALSE(UsesRightTree(0, true)); // "Separate" 0: a right click shows the left tree
    EXPECT_FALSE(UsesRightTree(1, false));
    EXPECT_TRUE(UsesRightTree(1, true));
}

TEST_F(MenuBuild, RightMenuWithoutOwnSubmenuHasNoTrailingSeparator)
{
    CXRoot right(kRightMenuName, 2);
    Fill(right, {Item(L"A"), new CXSeparator, Item(L"B")});
    CMenuBuildOptions options;
    options.ownSubmenu = OwnSubmenuShown(1, 0, true);
    CMenuPlan plan = BuildMenuPlan(right, fixed, options);
    ASSERT_EQ(plan.popups.size(), 1u);
    ASSERT_EQ(plan.popups[0].entries.size(), 3u);
    EXPECT_EQ(plan.popups[0].entries.back().kind, XMenuEntryKind::Item);
}

TEST_F(MenuBuild, ResultClassification)
{
    struct Case {
        unsigned id;
        size_t slots;
        XMenuResult result;
    } cases[] = {
        {0, 3, XMenuResult::None},        {40000, 3, XMenuResult::Item},    {40002, 3, XMenuResult::Item},
        {40003, 3, XMenuResult::Command}, {40000, 0, XMenuResult::Command}, {32772, 3, XMenuResult::Command},
        {39999, 3, XMenuResult::Command},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyMenuResult(c.id, c.slots), c.result) << c.id << " " << c.slots;
}

TEST_F(MenuBuild, HotKeyAnchorIsFourPixelsInsideTheCorner)
{
    struct Case {
        int menuPos;
        CMenuAnchor anchor;
    } cases[] = {
        {0, {4, 4, 0}}, {1, {4, 1076, 1}}, {2, {1916, 4, 2}}, {3, {1916, 1076, 3}}, {9, {1916, 1076, 9}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HotKeyMenuAnchor(c.menuPos, 1920, 1080), c.anchor) << c.menuPos;
    EXPECT_EQ(CursorMenuAnchor(300, 200), (CMenuAnchor{300, 200, 3}));
}

TEST_F(MenuBuild, AlignmentAndTrackFlags)
{
    const std::pair<int, unsigned> align[] = {{0, 0x00}, {1, 0x20}, {2, 0x08}, {3, 0x28}, {9, 0x28}, {-1, 0x28}};
    for (auto [corner, flags] : align)
        EXPECT_EQ(MenuAlignFlags(corner), flags) << corner;
    struct Case {
        int corner;
        bool avoid;
        unsigned edge;
        unsigned flags;
    } cases[] = {
        {3, false, 3, 0x1AA}, {0, false, 0, 0x182}, {1, true, 3, 0x1E2},
        {1, true, 0, 0x1E2},  {1, true, 4, 0x1A2},  {2, true, 0xFFFFFFFF, 0x18A},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MenuTrackFlags(c.corner, c.avoid, c.edge), c.flags) << c.corner << " " << c.edge;
}

TEST_F(MenuBuild, WorkaroundPieces)
{
    const std::pair<int, int> repetitions[] = {{-3, 1}, {0, 1}, {1, 1}, {2, 2}, {9, 9}, {10, 10}, {50, 10}};
    for (auto [count, n] : repetitions)
        EXPECT_EQ(WorkaroundRepetitions(count), n) << count;

    struct Coord {
        int v, extent, result;
    } coords[] = {{0, 1920, 0}, {1919, 1920, 65535}, {960, 1920, 32785}, {540, 1080, 32798}, {5, 1, 0}};
    for (const Coord& c : coords)
        EXPECT_EQ(AbsoluteInputCoordinate(c.v, c.extent), c.result) << c.v << "/" << c.extent;

    EXPECT_EQ(MomentSpot(0, 0, 1920, 1040, 5000, 77), (CMenuPoint{5000 % 1912, 77}));
    EXPECT_EQ(MomentSpot(100, 50, 8, 4, 5000, 77), (CMenuPoint{100, 50})); // no room: offset 0
}

} // namespace
