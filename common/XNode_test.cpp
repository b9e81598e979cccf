#include "XNode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "SampleTree.h"

namespace {

std::vector<std::wstring> PreOrderTitles(CXNode* start)
{
    std::vector<std::wstring> titles;
    start->ForEach(
        [](CXNode* node, intptr_t a, intptr_t) {
            reinterpret_cast<std::vector<std::wstring>*>(a)->push_back(node->GetTitle());
            return 1;
        },
        reinterpret_cast<intptr_t>(&titles), 0);
    return titles;
}

} // namespace

TEST(XRuntimeClass, FromNameKnowsExactlyTheStoredClasses)
{
    for (const char* name : {"CXNode", "CXItem", "CXTextItem", "CXSeparator", "CXParent"}) {
        const CXRuntimeClass* cls = CXRuntimeClass::FromName(name);
        ASSERT_NE(cls, nullptr) << name;
        EXPECT_STREQ(cls->className, name);
        EXPECT_EQ(cls->schema, 1);
        ASSERT_NE(cls->createObject, nullptr);
        std::unique_ptr<CXNode> made(cls->createObject());
        EXPECT_EQ(made->GetRuntimeClass(), cls) << name;
    }
    for (const char* name : {"CXRoot", "cxitem", "CXItem ", "", "CObject"})
        EXPECT_EQ(CXRuntimeClass::FromName(name), nullptr) << name;
}

TEST(XRuntimeClass, KindTestsFollowTheClassTree)
{
    CXTextItem text;
    CXRoot root;
    CXSeparator sep;
    EXPECT_TRUE(text.IsKindOf<CXTextItem>());
    EXPECT_TRUE(text.IsKindOf<CXItem>());
    EXPECT_TRUE(text.IsKindOf<CXNode>());
    EXPECT_FALSE(text.IsKindOf<CXParent>());
    EXPECT_TRUE(root.IsKindOf<CXParent>());
    EXPECT_FALSE(root.IsKindOf<CXItem>());
    EXPECT_FALSE(sep.IsKindOf<CXItem>());
    EXPECT_EQ(XDynamicCast<CXItem>(static_cast<CXNode*>(&text)), &text);
    EXPECT_EQ(XDynamicCast<CXItem>(static_cast<CXNode*>(&sep)), nullptr);
    EXPECT_EQ(XDynamicCast<CXItem>(static_cast<CXNode*>(nullptr)), nullptr);
}

TEST(XNode, DefaultsOfANewItem)
{
    CXItem item;
    EXPECT_EQ(item.imageIndex, -1);
    EXPECT_EQ(item.expandEnvironment, 1);
    EXPECT_EQ(item.showCommand, 0);
    EXPECT_EQ(item.isInternal, 0);
    EXPECT_EQ(item.hotKey.hotKeyId, -1);
    EXPECT_FALSE(item.hotKey.HasKey());
    EXPECT_EQ(item.GetParent(), nullptr);
}

TEST(XNode, TitlesAndImagesPerClass)
{
    CXNode plain;
    CXItem item;
    item.title = L"Item";
    item.imageIndex = 7;
    CXSeparator sep;
    CXParent sub;
    sub.title = L"Sub";
    CXRoot root(kRightMenuName);
    root.title = L"ignored";

    EXPECT_EQ(plain.GetTitle(), L"");
    EXPECT_EQ(plain.GetImageIndex(), 0);
    EXPECT_EQ(plain.Clone(), nullptr);
    EXPECT_EQ(item.GetTitle(), L"Item");
    EXPECT_EQ(item.GetImageIndex(), 7);
    EXPECT_EQ(sep.GetTitle(), L"----------");
    EXPECT_EQ(sep.GetMenuText(), L"----------");
    EXPECT_EQ(sep.GetImageIndex(), 0);
    EXPECT_EQ(sub.GetTitle(), L"Sub");
    EXPECT_EQ(sub.GetImageIndex(), 1);
    EXPECT_EQ(root.GetTitle(), L"メニュー");
    EXPECT_EQ(root.GetImageIndex(), 1);
    // The menu text of a root comes from its title field, not from its display title.
    EXPECT_EQ(root.GetMenuText(), L"ignored");

    sep.SetTitle(L"x");
    EXPECT_EQ(sep.GetTitle(), L"----------");
    item.SetTitle(L"New");
    sub.SetTitle(L"New sub");
    EXPECT_EQ(item.title, L"New");
    EXPECT_EQ(sub.title, L"New sub");
}

TEST(XNode, MenuTextOfItemsAndSubmenus)
{
    struct Case {
        const wchar_t* title;
        const wchar_t* accelerator;
        const wchar_t* expected;
    } cases[] = {
        {L"Notepad", L"N", L"Notepad(&N)"}, {L"R&D", L"", L"R&&D"},     {L"a&&b", L"", L"a&&&&b"},
        {L"メモ帳", L"メ", L"メモ帳"},      {L"Space", L" ", L"Space"}, {L"Amp", L"&", L"Amp"},
    };
    for (const Case& c : cases) {
        CXItem item;
        item.title = c.title;
        item.accelerator = c.accelerator;
        EXPECT_EQ(item.GetMenuText(), c.expected) << c.title;
        CXParent sub;
        sub.title = c.title;
        sub.accelerator = c.accelerator;
        EXPECT_EQ(sub.GetMenuText(), c.expected) << c.title;
    }
}

TEST(XNode, TextItemShowsItsTitleOrTheDefaultTitle)
{
    CFakeEnvironment env;
    CXTextItem item;
    item.SetText(L"hello");
    item.accelerator = L"H";
    EXPECT_EQ(item.GetTitle(), L"「hello」をコピー");
    EXPECT_EQ(item.GetMenuText(), L"「hello」をコピー(&H)");
    item.title = L"Greeting & more";
    EXPECT_EQ(item.GetTitle(), L"Greeting & more");
    EXPECT_EQ(item.GetMenuText(), L"Greeting && more(&H)");

    // A plain item's menu text uses the title field even when it is empty.
    CXItem plainItem;
    plainItem.accelerator = L"Q";
    EXPECT_EQ(plainItem.GetMenuText(), L"(&Q)");
}

TEST(XNode, InsertChildSetsParentAndOrder)
{
    CXParent sub;
    CXItem* first = NewItem(L"1");
    CXItem* second = NewItem(L"2");
    CXItem* middle = NewItem(L"m");
    sub.InsertChild(0, second);
    sub.InsertChild(0, first);
    sub.InsertChild(1, middle);
    sub.InsertChild(sub.children.size(), new CXSeparator);
    ASSERT_EQ(sub.children.size(), 4u);
    EXPECT_EQ(sub.children[0], first);
    EXPECT_EQ(sub.children[1], middle);
    EXPECT_EQ(sub.children[2], second);
    EXPECT_TRUE(sub.children[3]->IsKindOf<CXSeparator>());
    for (CXNode* child : sub.children)
        EXPECT_EQ(child->GetParent(), &sub);
}

TEST(XNode, GetRootWalksUpToARootOnly)
{
    SampleTree tree;
    EXPECT_EQ(tree.c->GetRoot(), tree.root.get());
    EXPECT_EQ(tree.sub1->GetRoot(), tree.root.get());
    EXPECT_EQ(tree.root->GetRoot(), tree.root.get());

    // The top of a tree that is not a root gives none.
    CXParent loose;
    CXItem* item = NewItem(L"x");
    loose.InsertChild(0, item);
    EXPECT_EQ(item->GetRoot(), nullptr);
    EXPECT_EQ(loose.GetRoot(), nullptr);
}

TEST(XNode, GetRootAfterRemovalStillReachesTheOldRoot)
{
    SampleTree tree;
    tree.sub1->RemoveChildren({tree.sub2});
    std::unique_ptr<CXNode> removed(tree.sub2);
    EXPECT_EQ(tree.sub2->GetParent(), tree.sub1);
    EXPECT_EQ(tree.c->GetRoot(), tree.root.get());
}

TEST(XNode, RemoveChildrenTakesOutOnlyTheListedNodes)
{
    SampleTree tree;
    CXItem outsider;
    tree.root->RemoveChildren({tree.d, tree.a, &outsider, tree.b});
    ASSERT_EQ(tree.root->children.size(), 1u);
    EXPECT_EQ(tree.root->children[0], tree.sub1);
    // b is not a child of the root: the submenu keeps it.
    EXPECT_EQ(tree.sub1->children.size(), 3u);
    // The removed nodes are not deleted and keep their parent value.
    EXPECT_EQ(tree.a->GetParent(), tree.root.get());
    EXPECT_EQ(tree.a->title, L"A");
    tree.sub1->InsertChild(0, tree.a);
    EXPECT_EQ(tree.a->GetParent(), tree.sub1);
    delete tree.d;
}

TEST(XNode, DeleteChildrenEmptiesTheList)
{
    SampleTree tree;
    tree.sub1->DeleteChildren(); // the leak checker proves the subtree is freed
    EXPECT_TRUE(tree.sub1->children.empty());
    EXPECT_EQ(PreOrderTitles(tree.root.get()), (std::vector<std::wstring>{L"メニュー", L"A", L"Sub1", L"D"}));
    tree.root->DeleteChildren();
    EXPECT_TRUE(tree.root->children.empty());
}

TEST(XNode, ForEachIsPreOrder)
{
    SampleTree tree;
    EXPECT_EQ(PreOrderTitles(tree.root.get()),
              (std::vector<std::wstring>{L"メニュー", L"A", L"Sub1", L"B", L"Sub2", L"C", L"----------", L"D"}));
    EXPECT_EQ(PreOrderTitles(tree.sub2), (std::vector<std::wstring>{L"Sub2", L"C"}));
    EXPECT_EQ(PreOrderTitles(tree.d), (std::vector<std::wstring>{L"D"}));
}

TEST(XNode, ForEachStopsWhenTheCallbackReturnsZero)
{
    SampleTree tree;
    struct Walk {
        int visited = 0;
        int stopAt = 0;
    };
    auto countingCallback = [](CXNode*, intptr_t a, intptr_t b) {
        auto* walk = reinterpret_cast<Walk*>(a);
        EXPECT_EQ(b, 77);
        return ++walk->visited == walk->stopAt ? 0 : 1;
    };
    for (int stopAt : {1, 3, 6, 8}) {
        Walk walk{0, stopAt};
        EXPECT_FALSE(tree.root->ForEach(countingCallback, reinterpret_cast<intptr_t>(&walk), 77));
        EXPECT_EQ(walk.visited, stopAt);
    }
    Walk all{0, 0};
    EXPECT_TRUE(tree.root->ForEachInTree(countingCallback, reinterpret_cast<intptr_t>(&all), 77));
    EXPECT_EQ(all.visited, 8);
}

TEST(XNode, IsDescendantOf)
{
    SampleTree tree;
    EXPECT_TRUE(tree.c->IsDescendantOf(tree.sub2));
    EXPECT_TRUE(tree.c->IsDescendantOf(tree.sub1));
    EXPECT_TRUE(tree.c->IsDescendantOf(tree.root.get()));
    EXPECT_TRUE(tree.sub2->IsDescendantOf(tree.sub1));
    EXPECT_FALSE(tree.b->IsDescendantOf(tree.c));   // sibling subtree, and not a submenu
    EXPECT_FALSE(tree.b->IsDescendantOf(tree.sep)); // sibling item
    EXPECT_FALSE(tree.c->IsDescendantOf(tree.c));   // not its own descendant
    EXPECT_FALSE(tree.sub1->IsDescendantOf(tree.sub1));
    EXPECT_FALSE(tree.sub1->IsDescendantOf(tree.sub2)); // the other way round
    EXPECT_FALSE(tree.a->IsDescendantOf(tree.sub1));
    EXPECT_FALSE(tree.a->IsDescendantOf(nullptr));
}

TEST(XNode, CloneOfAnItemCopiesEveryField)
{
    CXItem item;
    item.imageIndex = 12;
    item.title = L"T";
    item.accelerator = L"T";
    item.path = L"%SystemRoot%\\x.exe";
    item.parameters = L"/p";
    item.workingFolder = L"C:\\w";
    item.reservedFlag = 1;
    item.showCommand = 2;
    item.expandEnvironment = 0;
    item.hotKey.modifiers = 3;
    item.hotKey.virtualKey = 0x74;
    item.hotKey.keyText = L"Ctrl + Alt + F5";
    item.hotKey.hotKeyId = 9;
    item.isInternal = 1;
    item.pendingShortcut = std::make_shared<int>(5);
    item.pendingUrlData = std::make_shared<std::vector<uint8_t>>(3, 0x41);

    std::unique_ptr<CXNode> node(item.Clone());
    auto* copy = XDynamicCast<CXItem>(node.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->IsKindOf<CXTextItem>());
    EXPECT_EQ(copy->GetParent(), nullptr);
    EXPECT_EQ(copy->imageIndex, 12);
    EXPECT_EQ(copy->title, item.title);
    EXPECT_EQ(copy->accelerator, item.accelerator);
    EXPECT_EQ(copy->path, item.path);
    EXPECT_EQ(copy->parameters, item.parameters);
    EXPECT_EQ(copy->workingFolder, item.workingFolder);
    EXPECT_EQ(copy->reservedFlag, 1);
    EXPECT_EQ(copy->showCommand, 2);
    EXPECT_EQ(copy->expandEnvironment, 0);
    EXPECT_EQ(copy->hotKey, item.hotKey);
    EXPECT_EQ(copy->isInternal, 1);
    // Pending data is shared, not duplicated.
    EXPECT_EQ(copy->pendingShortcut.get(), item.pendingShortcut.get());
    EXPECT_EQ(copy->pendingUrlData.get(), item.pendingUrlData.get());
}

TEST(XNode, CloneOfATextItemKeepsItsClassAndText)
{
    CXTextItem item;
    item.title = L"t";
    item.summary = L"sum";
    item.text = L"body";
    item.imageIndex = 5;
    item.hotKey.hotKeyId = 4;
    std::unique_ptr<CXNode> node(item.Clone());
    auto* copy = XDynamicCast<CXTextItem>(node.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->summary, L"sum");
    EXPECT_EQ(copy->text, L"body");
    EXPECT_EQ(copy->title, L"t");
    EXPECT_EQ(copy->imageIndex, 5);
    EXPECT_EQ(copy->hotKey.hotKeyId, 4);

    std::unique_ptr<CXNode> sep(CXSeparator().Clone());
    EXPECT_TRUE(sep->IsKindOf<CXSeparator>());
    EXPECT_EQ(sep->GetParent(), nullptr);
}

TEST(XNode, CloneOfASubmenuIsADeepIndependentCopy)
{
    std::unique_ptr<CXParent> copy;
    {
        SampleTree tree;
        tree.root->title = L"Top";
        tree.root->accelerator = L"T";
        tree.sub1->accelerator = L"S";
        std::unique_ptr<CXNode> node(tree.root->Clone());
        // A cloned root is a plain submenu.
        ASSERT_EQ(node->GetRuntimeClass(), &CXParent::classInfo);
        copy.reset(static_cast<CXParent*>(node.release()));
        EXPECT_EQ(copy->title, L"Top");
        EXPECT_EQ(copy->accelerator, L"T");

        ASSERT_EQ(copy->children.size(), 3u);
        auto* sub1 = XDynamicCast<CXParent>(copy->children[1]);
        ASSERT_NE(sub1, nullptr);
        EXPECT_NE(sub1, tree.sub1);
        EXPECT_EQ(sub1->accelerator, L"S");
        ASSERT_EQ(sub1->children.size(), 3u);
        auto* sub2 = XDynamicCast<CXParent>(sub1->children[1]);
        ASSERT_NE(sub2, nullptr);
        ASSERT_EQ(sub2->children.size(), 1u);
        auto* c = XDynamicCast<CXTextItem>(sub2->children[0]);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->text, L"copied");
        // Every copied node hangs below its copied parent.
        EXPECT_EQ(copy->children[0]->GetParent(), copy.get());
        EXPECT_EQ(sub1->GetParent(), copy.get());
        EXPECT_EQ(sub2->GetParent(), sub1);
        EXPECT_EQ(c->GetParent(), sub2);
        EXPECT_TRUE(c->IsDescendantOf(copy.get()));
        EXPECT_FALSE(c->IsDescendantOf(tree.root.get()));

        // Deleting the clone of a submenu leaves the source intact.
        std::unique_ptr<CXNode> subCopy(tree.sub1->Clone());
        subCopy.reset();
        EXPECT_EQ(PreOrderTitles(tree.root.get()),
                  (std::vector<std::wstring>{L"メニュー", L"A", L"Sub1", L"B", L"Sub2", L"C", L"----------", L"D"}));
        // Changing the source does not touch the copy.
        tree.c->text = L"changed";
        EXPECT_EQ(c->text, L"copied");
    }
    // The copy outlives its source.
    EXPECT_EQ(PreOrderTitles(copy.get()),
              (std::vector<std::wstring>{L"Top", L"A", L"Sub1", L"B", L"Sub2", L"C", L"----------", L"D"}));
}

TEST(XNode, PlainNodesAreNotCloned)
{
    CXParent sub;
    sub.InsertChild(0, new CXNode);
    sub.InsertChild(1, new CXSeparator);
    std::unique_ptr<CXNode> copy(sub.Clone());
    auto* copied = static_cast<CXParent*>(copy.get());
    ASSERT_EQ(copied->children.size(), 1u);
    EXPECT_TRUE(copied->children[0]->IsKindOf<CXSeparator>());
}

TEST(XNode, UpdateTreeImagesComputesMissingIconsOnce)
{
    CFakeEnvironment env;
    env.platform.icons[L"C:\\Windows\\notepad.exe"] = 17;
    env.platform.environment[L"SystemRoot"] = L"C:\\Windows";
    SampleTree tree;
    tree.a->path = L"%SystemRoot%\\notepad.exe";
    tree.b->imageIndex = 3; // already computed: kept
    tree.d->path.clear();   // no path: blank image, no request
    tree.c->path = L"C:\\Windows\\notepad.exe";

    tree.sep->UpdateTreeImages();
    EXPECT_EQ(tree.a->imageIndex, 17);
    EXPECT_EQ(tree.b->imageIndex, 3);
    EXPECT_EQ(tree.c->imageIndex, 5);
    EXPECT_EQ(tree.d->imageIndex, 0);
    ASSERT_EQ(env.platform.iconRequests.size(), 1u);
    EXPECT_EQ(env.platform.iconRequests[0], std::make_pair(false, std::wstring(L"C:\\Windows\\notepad.exe")));

    tree.root->UpdateImages();
    EXPECT_EQ(env.platform.iconRequests.size(), 1u);

    // Without a root nothing happens.
    CXParent loose;
    CXItem* item = NewItem(L"x", L"y.exe");
    loose.InsertChild(0, item);
    item->UpdateTreeImages();
    EXPECT_EQ(item->imageIndex, -1);
}

TEST(XNode, UpdateImagesAsksTheCacheWithTheInternalFlagAndExpansionChoice)
{
    CFakeEnvironment env;
    env.platform.icons[env.platform.linksFolder + L"\\{X}.lnk"] = 21;
    CXItem internal;
    internal.path = L"%VelquinLNKs%\\{X}.lnk";
    internal.isInternal = 1;
    internal.UpdateImages();
    EXPECT_EQ(internal.imageIndex, 21);

    CXItem literal;
    literal.path = L"%VelquinLNKs%\\{X}.lnk";
    literal.expandEnvironment = 0;
    literal.UpdateImages();
    ASSERT_EQ(env.platform.iconRequests.size(), 2u);
    EXPECT_EQ(env.platform.iconRequests[0], std::make_pair(true, env.platform.linksFolder + L"\\{X}.lnk"));
    EXPECT_EQ(env.platform.iconRequests[1], std::make_pair(false, std::wstring(L"%VelquinLNKs%\\{X}.lnk")));
}

namespace {
class CSaveCountingRoot : public CXRoot {
public:
    bool SaveTree() override
    {
        ++saves;
        return true;
    }
    int saves = 0;
};
} // namespace

TEST(XNode, SaveTreeGoesThroughTheRoot)
{
    CSaveCountingRoot root;
    CXParent* sub = NewSubmenu(L"s");
    CXItem* item = NewItem(L"i");
    root.InsertChild(0, sub);
    sub->InsertChild(0, item);
    EXPECT_TRUE(item->SaveTree());
    EXPECT_TRUE(sub->SaveTree());
    EXPECT_EQ(root.saves, 2);

    CXParent loose;
    CXItem* orphan = NewItem(L"o");
    loose.InsertChild(0, orphan);
    EXPECT_FALSE(orphan->SaveTree());
    CXItem alone;
    EXPECT_FALSE(alone.SaveTree());
}

namespace {
class CBitmapPlatform : public CFakePlatform {
public:
    XBitmap CreateMenuBitmap(XDeviceContext dc, int cx, int cy, int imageIndex) override
    {
        requests.push_back({dc, cx, cy, imageIndex});
        return &requests;
    }
    struct Request {
        XDeviceContext dc;
        int cx, cy, imageIndex;
    };
    std::vector<Request> requests;
};
} // namespace

TEST(XNode, CreateMenuBitmapPassesTheItemImage)
{
    CFakeEnvironment env;
    CBitmapPlatform platform;
    InstallPlatform(&platform, &env.store);
    int dcStandIn = 0;
    CXTextItem text;
    text.UpdateImages();
    CXItem item;
    EXPECT_EQ(text.CreateMenuBitmap(&dcStandIn, 16, 18), &platform.requests);
    item.CreateMenuBitmap(&dcStandIn, 20, 20);
    ASSERT_EQ(platform.requests.size(), 2u);
    EXPECT_EQ(platform.requests[0].dc, &dcStandIn);
    EXPECT_EQ(platform.requests[0].cx, 16);
    EXPECT_EQ(platform.requests[0].cy, 18);
    EXPECT_EQ(platform.requests[0].imageIndex, 5);
    EXPECT_EQ(platform.requests[1].imageIndex, -1);
    InstallPlatform(&env.platform, &env.store);
}
