#include "EditRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePlatform.h"
#include "SampleTree.h"
#include "XNode.h"

namespace {

CXItem* NewLink(const std::wstring& path, int expandEnvironment = 1, int isInternal = 0)
{
    CXItem* item = NewItem(L"Link", path);
    item->expandEnvironment = expandEnvironment;
    item->isInternal = isInternal;
    return item;
}

void Activate(CXItem* item, int32_t virtualKey, int32_t id)
{
    item->hotKey.modifiers = 3;
    item->hotKey.virtualKey = virtualKey;
    item->hotKey.keyText = L"key";
    item->hotKey.hotKeyId = id;
}

TEST(ContextMenuState, CommandsFollowTheSelection)
{
    CFakeEnvironment env;
    env.platform.environment[L"LNKDIR"] = L"C:\\links";
    env.platform.environment[L"LNK"] = L"C:\\links\\a.lnk";

    SampleTree menu;
    CXParent* extra = NewSubmenu(L"Extra");
    menu.root->InsertChild(menu.root->children.size(), extra);
    CXItem* shortcut = NewLink(L"C:\\x\\a.LNK");
    CXItem* throughDir = NewLink(L"%LNKDIR%\\a.lnk");
    CXItem* throughName = NewLink(L"%LNK%");
    CXItem* literalName = NewLink(L"%LNK%", 0);
    CXItem* internalLink = NewLink(L"%VelquinLNKs%\\{1}.lnk", 1, 1);
    auto* internalText = new CXTextItem;
    internalText->isInternal = 1;
    internalText->path = L"%VelquinLNKs%\\{2}.lnk";
    for (CXNode* node :
         std::vector<CXNode*>{shortcut, throughDir, throughName, literalName, internalLink, internalText})
        extra->InsertChild(extra->children.size(), node);

    struct Case {
        const char* name;
        int count;
        const CXNode* node;
        CContextMenuState expected; // rename, remove, launch, expandShortcut, properties
    } const cases[] = {
        {"file item", 1, menu.a, {true, true, true, false, true}},
        {"text-copy item", 1, menu.c, {true, true, true, false, true}},
        {"shortcut", 1, shortcut, {true, true, true, true, true}},
        {"shortcut below a reference", 1, throughDir, {true, true, true, true, true}},
        {"reference naming a shortcut", 1, throughName, {true, true, true, true, true}},
        {"reference kept as written", 1, literalName, {true, true, true, false, true}},
        {"internal link", 1, internalLink, {true, true, true, false, true}},
        {"text in an internal file", 1, internalText, {true, true, true, false, true}},
        {"submenu", 1, menu.sub1, {true, true, false, false, true}},
        {"nested submenu", 1, menu.sub2, {true, true, false, false, true}},
        {"separator", 1, menu.sep, {false, true, false, false, false}},
        {"root", 1, menu.root.get(), {false, false, false, false, false}},
        {"nothing", 0, nullptr, {false, false, false, false, false}},
        {"two nodes", 2, nullptr, {false, true, false, false, false}},
        {"two nodes, a shortcut focused", 2, shortcut, {false, true, false, false, false}},
        {"two nodes, a submenu focused", 2, menu.sub1, {false, true, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CContextMenuState state = ContextMenuStateOf(c.count, c.node);
        EXPECT_EQ(state.rename, c.expected.rename);
        EXPECT_EQ(state.remove, c.expected.remove);
        EXPECT_EQ(state.launch, c.expected.launch);
        EXPECT_EQ(state.expandShortcut, c.expected.expandShortcut);
        EXPECT_EQ(state.properties, c.expected.properties);
    }
}

TEST(InsertPosition, BeforeTheSelectionOrAtTheEnd)
{
    struct Case {
        int selected;
        int rows;
        int position;
    } const cases[] = {
        {2, 5, 2}, {0, 5, 0}, {4, 5, 4}, {-1, 5, 5}, {-1, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(InsertPosition(c.selected, c.rows), c.position) << "row " << c.selected << " of " << c.rows;
}

TEST(DeleteQuestion, CountsTheNodesAndWarnsOfEntriesBelow)
{
    SampleTree menu;
    CXParent* empty = NewSubmenu(L"Empty");
    menu.root->InsertChild(menu.root->children.size(), empty);
    const std::wstring below = L"個の項目とその下のすべての項目を削除します。よろしいですか？";
    const std::wstring plain = L"個の項目を削除します。よろしいですか？";
    struct Case {
        const char* name;
        std::vector<CXNode*> nodes;
        std::wstring question;
    } const cases[] = {
        {"an item and a submenu with children", {menu.a, menu.sub1}, L"2" + below},
        {"a separator", {menu.sep}, L"1" + plain},
        {"an empty submenu", {empty}, L"1" + plain},
        {"a nested submenu with a child", {menu.sub2}, L"1" + below},
        {"items and an empty submenu", {menu.a, empty, menu.d}, L"3" + plain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DeleteQuestion(c.nodes), c.question);
    }
}

TEST(ActiveBindings, RegisteredItemsInAndBelowTheNodesInWalkOrder)
{
    SampleTree menu;
    Activate(menu.a, 0x41, 1);
    Activate(menu.b, 0x42, 2);
    Activate(menu.c, 0x43, 3); // a text-copy item two submenus down
    Activate(menu.d, 0x44, 4);

    EXPECT_EQ(ActiveBindingsIn({menu.root.get()}), (std::vector<CXItem*>{menu.a, menu.b, menu.c, menu.d}));
    // Each node in the order given, each with what lies below it.
    EXPECT_EQ(ActiveBindingsIn({menu.d, menu.sub1}), (std::vector<CXItem*>{menu.d, menu.b, menu.c}));
    EXPECT_EQ(ActiveBindingsIn({menu.sub2}), std::vector<CXItem*>{menu.c});
    EXPECT_TRUE(ActiveBindingsIn({menu.sep}).empty());
    EXPECT_TRUE(ActiveBindingsIn({}).empty());
}

TEST(ActiveBindings, OnlyKeysWithARegistration)
{
    SampleTree menu;
    Activate(menu.a, 0x41, -1); // a key the launcher never registered
    Activate(menu.b, 0, 2);     // an id without a key
    Activate(menu.c, 0x43, 0);  // id 0 is a registration
    EXPECT_EQ(ActiveBindingsIn({menu.root.get()}), std::vector<CXItem*>{menu.c});
}

} // namespace
