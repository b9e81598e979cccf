#include "ViewRules.h"

#include <gtest/gtest.h>

#include <memory>

#include "FakePlatform.h"
#include "SampleTree.h"

namespace {

// The views' rules over the sample menu of every kind of node.
using Menu = SampleTree;

TEST(ListRowTexts, AcceleratorColumn)
{
    struct Case {
        const wchar_t* accelerator;
        const wchar_t* shown;
    } cases[] = {
        {L"", L""},  {L"a", L"(a)"}, {L"Q", L"(Q)"}, {L"&", L""},     {L"!", L"(!)"}, {L"~", L"(~)"},
        {L" ", L""}, {L"\x7f", L""}, {L"メ", L""},   {L"xy", L"(x)"}, {L"&x", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AcceleratorColumnText(c.accelerator), c.shown)
            << "accelerator [" << testing::PrintToString(std::wstring(c.accelerator)) << "]";
}

TEST(ListRowTexts, HotKeyColumnMarksTheRegistration)
{
    CHotKeyTarget none;
    EXPECT_EQ(HotKeyColumnText(none), L"");

    CHotKeyTarget registered;
    registered.virtualKey = 'K';
    registered.modifiers = 2;
    registered.keyText = L"Ctrl + K";
    registered.hotKeyId = 7;
    EXPECT_EQ(HotKeyColumnText(registered), L"○ Ctrl + K");

    CHotKeyTarget refused = registered;
    refused.hotKeyId = -1;
    EXPECT_EQ(HotKeyColumnText(refused), L"× Ctrl + K");

    // A text without a key is not a binding.
    CHotKeyTarget textOnly;
    textOnly.keyText = L"Ctrl + K";
    EXPECT_EQ(HotKeyColumnText(textOnly), L"");
}

TEST(ListRowTexts, ItemsShowEveryColumnOthersOnlyTheTitle)
{
    CFakeEnvironment env;
    CXItem item;
    item.title = L"メモ帳";
    item.accelerator = L"N";
    item.path = L"%SystemRoot%\\notepad.exe";
    item.parameters = L"/a b";
    item.workingFolder = L"C:\\work";
    item.hotKey.virtualKey = 'N';
    item.hotKey.keyText = L"Alt + N";
    item.hotKey.hotKeyId = -1;
    const auto texts = RowTexts(item);
    EXPECT_EQ(texts[0], L"メモ帳");
    EXPECT_EQ(texts[1], L"(N)");
    EXPECT_EQ(texts[2], L"× Alt + N");
    EXPECT_EQ(texts[3], L"%SystemRoot%\\notepad.exe"); // as stored, not expanded
    EXPECT_EQ(texts[4], L"/a b");
    EXPECT_EQ(texts[5], L"C:\\work");

    CXParent submenu;
    submenu.title = L"道具";
    submenu.accelerator = L"T";
    EXPECT_EQ(RowTexts(submenu), (std::array<std::wstring, 6>{L"道具", L"", L"", L"", L"", L""}));

    CXSeparator separator;
    const auto line = RowTexts(separator);
    EXPECT_EQ(line[0], separator.GetTitle());
    EXPECT_EQ(line[1] + line[2] + line[3] + line[4] + line[5], L"");
}

TEST(ListRowTexts, InternalLinksShowTheirDisplayTarget)
{
    CFakeEnvironment env;
    const std::wstring folder = env.platform.linksFolder;
    env.platform.shortcutTargetNames[folder + L"\\{11111111-2222-3333-4444-555555555555}.lnk"] = L"コントロール パネル";

    CXItem link;
    link.isInternal = 1;
    link.path = L"%VelquinLNKs%\\{11111111-2222-3333-4444-555555555555}.lnk";
    EXPECT_EQ(RowTexts(link)[3], L"コントロール パネル");

    CXItem url;
    url.isInternal = 1;
    url.path = L"%VelquinLNKs%\\{11111111-2222-3333-4444-666666666666}.url";
    EXPECT_EQ(RowTexts(url)[3], L"(URL)");

    CXTextItem longText;
    longText.isInternal = 1;
    longText.path = L"%VelquinLNKs%\\{11111111-2222-3333-4444-777777777777}.txt";
    EXPECT_EQ(RowTexts(longText)[3], L"");
}

TEST(ListColumns, HeadingsKeysAndValueNames)
{
    const auto& columns = ListColumns();
    const wchar_t* headings[] = {L"タイトル", L"", L"ホットキー", L"ファイル名", L"パラメータ", L"作業フォルダ"};
    const int widths[] = {40, 8, 20, 40, 40, 40};
    for (int i = 0; i < kListColumnCount; ++i) {
        EXPECT_STREQ(columns[static_cast<size_t>(i)].heading, headings[i]);
        EXPECT_EQ(columns[static_cast<size_t>(i)].defaultChars, widths[i]);
    }
    EXPECT_EQ(ColumnWidthValueName(L"Left", 0), L"ColWidthLeftTitle");
    EXPECT_EQ(ColumnWidthValueName(L"Right", 1), L"ColWidthRightAccel");
    EXPECT_EQ(ColumnWidthValueName(L"Right", 2), L"ColWidthRightHotKey");
    EXPECT_EQ(ColumnWidthValueName(L"Left", 3), L"ColWidthLeftFileName");
    EXPECT_EQ(ColumnWidthValueName(L"Left", 4), L"ColWidthLeftParameter");
    EXPECT_EQ(ColumnWidthValueName(L"Right", 5), L"ColWidthRightDirectory");
}

TEST(Breadcrumb, MarkupAndLinksFromTheRootDown)
{
    Menu menu;
    std::vector<CXParent*> ancestors{menu.sub2}; // cleared first

    EXPECT_EQ(BreadcrumbMarkup(*menu.root, ancestors), L"「メニュー」の下");
    EXPECT_TRUE(ancestors.empty());

    EXPECT_EQ(BreadcrumbMarkup(*menu.sub1, ancestors), L"「<a>メニュー</a>」の下の「Sub1」の下");
    EXPECT_EQ(ancestors, (std::vector<CXParent*>{menu.root.get()}));

    EXPECT_EQ(BreadcrumbMarkup(*menu.sub2, ancestors), L"「<a>メニュー</a>」の下の「<a>Sub1</a>」の下の「Sub2」の下");
    EXPECT_EQ(ancestors, (std::vector<CXParent*>{menu.root.get(), menu.sub1}));
}

TEST(Breadcrumb, TitlesGoInAsTheyAre)
{
    Menu menu;
    menu.sub1->title = L"<b>&amp;";
    menu.sub2->title = L"";
    std::vector<CXParent*> ancestors;
    EXPECT_EQ(BreadcrumbMarkup(*menu.sub2, ancestors), L"「<a>メニュー</a>」の下の「<a><b>&amp;</a>」の下の「」の下");
}

TEST(Groups, ControlIdsOfTheTwoMenus)
{
    for (int id : {1000, 1004, 1021})
        EXPECT_EQ(GroupOfControl(id), 0) << id;
    for (int id : {1001, 1005, 1022})
        EXPECT_EQ(GroupOfControl(id), 1) << id;
    for (int id : {0, 1002, 1006, 1014, 1015, 1016, 1024, 1025, -1})
        EXPECT_EQ(GroupOfControl(id), -1) << id;
}

TEST(Notices, TreesTakeNoticesOfTheirOwnMenuOnly)
{
    Menu left;
    Menu right;
    CChangeNotice notice;
    notice.parent = left.sub2;
    EXPECT_TRUE(NoticeConcernsTree(notice, left.root.get()));
    EXPECT_FALSE(NoticeConcernsTree(notice, right.root.get()));
    EXPECT_FALSE(NoticeConcernsTree(notice, nullptr));
    notice.parent = nullptr;
    EXPECT_FALSE(NoticeConcernsTree(notice, left.root.get()));

    // A submenu already taken out of the menu belongs to no tree.
    CXParent detached;
    notice.parent = &detached;
    EXPECT_FALSE(NoticeConcernsTree(notice, left.root.get()));
}

TEST(Notices, ListsTakeNoticesOfTheShownSubmenuAndHotKeyChangesAbove)
{
    Menu menu;
    struct Case {
        XNoticeKind kind;
        CXParent* parent;
        CXParent* shown;
        bool taken;
    } cases[] = {
        {XNoticeKind::Changed, menu.sub1, menu.sub1, true},
        {XNoticeKind::Inserted, menu.sub1, menu.sub1, true},
        {XNoticeKind::Removed, menu.sub1, menu.sub1, true},
        {XNoticeKind::Changed, menu.root.get(), menu.sub1, false},
        {XNoticeKind::Removed, menu.sub2, menu.sub1, false},
        {XNoticeKind::HotKeysChanged, menu.root.get(), menu.root.get(), true},
        {XNoticeKind::HotKeysChanged, menu.root.get(), menu.sub2, true},
        {XNoticeKind::HotKeysChanged, menu.sub2, menu.sub1, false},
        {XNoticeKind::Changed, menu.sub1, nullptr, false},
    };
    for (const Case& c : cases) {
        CChangeNotice notice;
        notice.kind = c.kind;
        notice.parent = c.parent;
        EXPECT_EQ(ListTakesNotice(notice, c.shown), c.taken) << static_cast<int>(c.kind);
    }
}

TEST(Notices, RemovalCollapsesAnItemLeftWithoutChildren)
{
    Menu menu;
    const std::vector<CXNode*> shown = menu.sub1->children; // B, Sub2, Sep
    EXPECT_FALSE(RemovalEmptiesItem(shown, {menu.b}));
    EXPECT_FALSE(RemovalEmptiesItem(shown, {menu.b, menu.sep, menu.a}));
    EXPECT_TRUE(RemovalEmptiesItem(shown, {menu.sep, menu.sub2, menu.b}));
    EXPECT_TRUE(RemovalEmptiesItem({}, {menu.b}));
}

TEST(Notices, RowsToRemoveFromTheLastToTheFirst)
{
    Menu menu;
    const std::vector<CXNode*> rows = {menu.a, menu.sub1, menu.d};
    EXPECT_EQ(RowsToRemove(rows, {menu.a, menu.d}), (std::vector<int>{2, 0}));
    EXPECT_EQ(RowsToRemove(rows, {menu.b}), std::vector<int>{});
    EXPECT_EQ(RowsToRemove(rows, {menu.d, menu.sub1, menu.a}), (std::vector<int>{2, 1, 0}));
}

TEST(Selection, ATreeSelectionShowsASubmenuOrTheItemsParent)
{
    Menu menu;
    EXPECT_EQ(ShownParentOfSelection(menu.root.get()), menu.root.get());
    EXPECT_EQ(ShownParentOfSelection(menu.sub2), menu.sub2);
    EXPECT_EQ(ShownParentOfSelection(menu.c), menu.sub2);
    EXPECT_EQ(ShownParentOfSelection(menu.sep), menu.sub1);
    EXPECT_EQ(ShownParentOfSelection(nullptr), nullptr);
}

TEST(Selection, TreeHoldsComparesWithoutFollowing)
{
    Menu menu;
    Menu other;
    for (CXNode* node : std::initializer_list<CXNode*>{menu.root.get(), menu.a, menu.sub1, menu.b, menu.sub2, menu.c,
                                                       menu.sep, menu.d})
        EXPECT_TRUE(TreeHolds(*menu.root, node));
    EXPECT_FALSE(TreeHolds(*menu.root, other.c));
    EXPECT_FALSE(TreeHolds(*menu.root, nullptr));
    // Any number at all, as another program may post it; it is never dereferenced.
    EXPECT_FALSE(TreeHolds(*menu.root, reinterpret_cast<CXNode*>(uintptr_t{0x10})));
}

TEST(Rename, FixedTitlesStayFixed)
{
    Menu menu;
    CXTextItem text;
    menu.sub2->InsertChild(1, new CXTextItem);
    CXNode* textInMenu = menu.sub2->children[1];
    struct Case {
        const CXNode* node;
        bool tree;
        bool list;
    } cases[] = {
        {menu.root.get(), false, true}, // the list never shows the root as a row
        {menu.a, true, true},           {menu.sub1, true, true}, {menu.sep, false, false},
        {textInMenu, true, true},       {&text, false, true}, // no parent: not in a tree
        {nullptr, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TreeMayRename(c.node), c.tree);
        EXPECT_EQ(ListMayRename(c.node), c.list);
    }
}

} // namespace
