// Whole trees: the tree archive, Save and Load against the store, and the transfer form.

#include "MenuStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "ArchiveBytes.h"
#include "FakePlatform.h"
#include "XArchive.h"
#include "XNode.h"

namespace {

const wchar_t kCorrupt[] = L"設定データが破損しています。";
const wchar_t kCannotSave[] = L"設定データをセーブできません。";
const wchar_t kTooLarge[] = L"項目が多すぎてセーブできません。";

const std::wstring kSettingsPath = std::wstring(kStoreKeyPath) + L"\\Settings";

template <class T> T* Add(CXParent& parent, T* node)
{
    parent.InsertChild(parent.children.size(), node);
    return node;
}

CXItem* NewItem(const std::wstring& title, const std::wstring& path = L"")
{
    auto item = new CXItem;
    item->title = title;
    item->path = path;
    return item;
}

CXParent* NewSubmenu(const std::wstring& title)
{
    auto parent = new CXParent;
    parent->title = title;
    return parent;
}

// Every stored field of a subtree, one line per node; also checks the parent links.
void Dump(const CXNode& node, int level, std::wstring& out)
{
    out += std::wstring(level * 2, L' ') +
           std::wstring(node.GetRuntimeClass()->className,
                        node.GetRuntimeClass()->className + strlen(node.GetRuntimeClass()->className));
    if (auto item = XDynamicCast<CXItem>(&node)) {
        out += L" [" + item->title + L"|" + item->accelerator + L"|" + item->path + L"|" + item->parameters + L"|" +
               item->workingFolder + L"|" + std::to_wstring(item->reservedFlag) +
               std::to_wstring(item->expandEnvironment) + std::to_wstring(item->showCommand) +
               std::to_wstring(item->isInternal) + L"|" + std::to_wstring(item->hotKey.modifiers) + L"," +
               std::to_wstring(item->hotKey.virtualKey) + L"," + item->hotKey.keyText + L"," +
               std::to_wstring(item->hotKey.hotKeyId) + L"]";
    }
    if (auto text = XDynamicCast<CXTextItem>(&node))
        out += L" [" + text->summary + L"|" + text->text + L"]";
    if (auto parent = XDynamicCast<CXParent>(&node)) {
        out += L" [" + parent->title + L"|" + parent->accelerator + L"]\n";
        for (CXNode* child : parent->children) {
            EXPECT_EQ(child->GetParent(), parent);
            Dump(*child, level + 1, out);
        }
        return;
    }
    out += L"\n";
}

std::wstring Dump(const CXParent& root)
{
    std::wstring out;
    Dump(root, 0, out);
    return out;
}

// A tree with every kind of node, nested submenus, Japanese text and non-default fields.
void FillMixedTree(CXParent& root)
{
    CXItem* notepad = Add(root, NewItem(L"メモ帳", L"%WINDIR%\\notepad.exe"));
    notepad->accelerator = L"N";
    notepad->parameters = L"/p";
    notepad->workingFolder = L"C:\\Users";
    notepad->showCommand = 2;
    notepad->hotKey.modifiers = 3;
    notepad->hotKey.virtualKey = 0x74;
    notepad->hotKey.keyText = L"Ctrl + Alt + F5";
    notepad->hotKey.hotKeyId = 0xC000;
    Add(root, new CXSeparator);
    CXParent* tools = Add(root, NewSubmenu(L"ツール"));
    tools->accelerator = L"T";
    auto greeting = Add(*tools, new CXTextItem);
    greeting->summary = L"おはよう";
    greeting->text = L"おはようございます\r\n";
    CXParent* deeper = Add(*tools, NewSubmenu(L"R&D"));
    CXItem* web = Add(*deeper, NewItem(L"Web", L"https://example.com/"));
    web->expandEnvironment = 0;
    web->isInternal = 1;
    web->reservedFlag = 1;
    Add(*deeper, new CXSeparator);
    Add(*tools, NewItem(L"電卓", L"calc.exe"));
    Add(root, NewSubmenu(L"空"));
    Add(root, NewItem(L"最後"));
}

std::vector<uint8_t> Archive(CXRoot& root)
{
    std::optional<std::vector<uint8_t>> bytes = WriteTreeArchive(root);
    EXPECT_TRUE(bytes);
    return bytes.value_or(std::vector<uint8_t>{});
}

std::vector<uint8_t> RootHead(uint16_t count)
{
    return CArchiveBytes().ParentHead(L"", count).bytes;
}

class MenuStoreTest : public ::testing::Test {
protected:
    CFakeEnvironment env;

    std::optional<std::vector<uint8_t>> Stored(const std::wstring& name)
    {
        return env.store.GetBlob(kSectionSettings, name);
    }
};

// ---- The tree archive -----------------------------------------------------------------

TEST_F(MenuStoreTest, ExampleTreeBytes)
{
    const std::vector<uint8_t> expected =
        CArchiveBytes()
            .Hex("00 01 FF FE FF 00 FF FE FF 00 01 00 FF FF 01 00 06 00 43 58 49 74 65 6D 00 06 FF FE FF 01 41 00 FF "
                 "FE FF 00 FF FE FF 01 42 00 FF FE FF 00 FF FE FF 00 00 01 00 00 00 00 00 00 00 00 00 00 00 00 00 FF "
                 "FE FF 00 FF FF FF FF 00 00")
            .bytes;
    CXRoot root(kLeftMenuName);
    Add(root, NewItem(L"A", L"B"));
    EXPECT_EQ(Archive(root), expected);

    CXRoot read(kLeftMenuName);
    ASSERT_TRUE(ReadTreeArchive(read, expected));
    ASSERT_EQ(read.children.size(), 1u);
    auto item = XDynamicCast<CXItem>(read.children[0]);
    ASSERT_TRUE(item);
    EXPECT_FALSE(item->IsKindOf<CXTextItem>());
    EXPECT_EQ(Dump(read), Dump(root));
    EXPECT_EQ(item->expandEnvironment, 1);
    EXPECT_EQ(item->hotKey.hotKeyId, -1);
}

TEST_F(MenuStoreTest, EmptyRootIsThirteenBytes)
{
    const std::vector<uint8_t> expected = CArchiveBytes().Hex("00 01 FF FE FF 00 FF FE FF 00 00 00 00").bytes;
    CXRoot root(kLeftMenuName);
    EXPECT_EQ(Archive(root), expected);
    CXRoot read(kLeftMenuName);
    Add(read, NewItem(L"old"));
    EXPECT_TRUE(ReadTreeArchive(read, expected));
    EXPECT_TRUE(read.children.empty());
}

TEST_F(MenuStoreTest, NestedChildrenFollowTheirSubmenu)
{
    CXRoot root(kLeftMenuName);
    Add(root, NewItem(L"A"));
    CXParent* p = Add(root, NewSubmenu(L"P"));
    Add(*p, NewItem(L"B"));
    CXParent* q = Add(*p, NewSubmenu(L"Q"));
    Add(*q, NewItem(L"C"));
    Add(root, NewItem(L"D"));

    // Indices: CXItem 1, A 2, CXParent 3, P 4, B 5, Q 6, C 7, D 8.
    CArchiveBytes expected;
    expected.Raw(RootHead(3));
    expected.NewClass("CXItem").ItemRecord(L"A");
    expected.NewClass("CXParent").ParentHead(L"P", 2);
    expected.Word(0x8001).ItemRecord(L"B");
    expected.Word(0x8003).ParentHead(L"Q", 1);
    expected.Word(0x8001).ItemRecord(L"C");
    expected.Word(0x8001).ItemRecord(L"D");
    expected.Byte(0);
    EXPECT_EQ(Archive(root), expected.bytes);

    CXRoot read(kLeftMenuName);
    ASSERT_TRUE(ReadTreeArchive(read, expected.bytes));
    EXPECT_EQ(Dump(read), Dump(root));
}

TEST_F(MenuStoreTest, MixedTreeRoundTrips)
{
    CXRoot root(kRightMenuName);
    FillMixedTree(root);
    const std::vector<uint8_t> bytes = Archive(root);
    CXRoot read(kRightMenuName);
    ASSERT_TRUE(ReadTreeArchive(read, bytes));
    EXPECT_EQ(Dump(read), Dump(root));
    EXPECT_EQ(Archive(read), bytes);
}

TEST_F(MenuStoreTest, BytesAfterTheRootRecordAreIgnored)
{
    CXRoot root(kLeftMenuName);
    FillMixedTree(root);
    std::vector<uint8_t> bytes = Archive(root);
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0x12, 0x34});
    CXRoot read(kLeftMenuName);
    ASSERT_TRUE(ReadTreeArchive(read, bytes));
    EXPECT_EQ(Dump(read), Dump(root));
}

TEST_F(MenuStoreTest, ClassIndexOf0x7FFFAndAboveUsesTheLargeForm)
{
    // n separators (class 1, objects 2..n+1), then two items: the item class takes n+2.
    const struct {
        size_t separators;
        std::vector<uint8_t> secondItemTag;
    } cases[] = {
        {0x7FFC, CArchiveBytes().Word(0xFFFE).bytes},
        {0x7FFD, CArchiveBytes().Word(0x7FFF).UInt32(0x80007FFF).bytes},
        {0x8000, CArchiveBytes().Word(0x7FFF).UInt32(0x80008002).bytes},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.separators);
        CXRoot root(kLeftMenuName);
        for (size_t i = 0; i < c.separators; ++i)
            Add(root, new CXSeparator);
        Add(root, NewItem(L"first"));
        Add(root, NewItem(L"second"));
        const std::vector<uint8_t> bytes = Archive(root);
        const std::vector<uint8_t> tail = CArchiveBytes().Raw(c.secondItemTag).ItemRecord(L"second").Byte(0).bytes;
        ASSERT_GT(bytes.size(), tail.size());
        EXPECT_EQ(std::vector<uint8_t>(bytes.end() - tail.size(), bytes.end()), tail);

        CXRoot read(kLeftMenuName);
        ASSERT_TRUE(ReadTreeArchive(read, bytes));
        ASSERT_EQ(read.children.size(), c.separators + 2);
        EXPECT_EQ(read.children.back()->GetTitle(), L"second");
    }
}

TEST_F(MenuStoreTest, ChildCountsAroundTheWordLimit)
{
    const struct {
        size_t count;
        const char* hex;
    } cases[] = {{0xFFFE, "FE FF"}, {0xFFFF, "FF FF FF FF 00 00"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        CXRoot root(kLeftMenuName);
        for (size_t i = 0; i < c.count; ++i)
            Add(root, new CXSeparator);
        const std::vector<uint8_t> bytes = Archive(root);
        const std::vector<uint8_t> count = CArchiveBytes().Hex(c.hex).bytes;
        EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 10 + count.size()), count);
        CXRoot read(kLeftMenuName);
        ASSERT_TRUE(ReadTreeArchive(read, bytes));
        EXPECT_EQ(read.children.size(), c.count);
    }
}

// A chain of `levels` submenus below the root.
void NestSubmenus(CXParent& root, int levels)
{
    CXParent* at = &root;
    for (int i = 0; i < levels; ++i)
        at = Add(*at, NewSubmenu(L"L" + std::to_wstring(i)));
}

// The same chain as archive bytes, written by hand so that depth beyond the writer's
// limit can be offered to the reader.
std::vector<uint8_t> NestedSubmenuBytes(int levels)
{
    CArchiveBytes b;
    b.Raw(RootHead(levels > 0 ? 1 : 0));
    for (int i = 0; i < levels; ++i) {
        if (i == 0)
            b.NewClass("CXParent");
        else
            b.Word(0x8001);
        b.ParentHead(L"L" + std::to_wstring(i), i + 1 < levels ? 1 : 0);
    }
    b.Byte(0);
    return b.bytes;
}

TEST_F(MenuStoreTest, NestingDepthIsLimitedBothWays)
{
    const int deepest = CXArchive::kMaxDepth - 1; // the root's children are one level
    {
        CXRoot root(kLeftMenuName);
        NestSubmenus(root, deepest);
        const std::vector<uint8_t> bytes = Archive(root);
        EXPECT_EQ(bytes, NestedSubmenuBytes(deepest));
        CXRoot read(kLeftMenuName);
        ASSERT_TRUE(ReadTreeArchive(read, bytes));
        EXPECT_EQ(Dump(read), Dump(root));
    }
    {
        CXRoot root(kLeftMenuName);
        NestSubmenus(root, deepest + 1);
        EXPECT_FALSE(WriteTreeArchive(root));
        CXRoot read(kLeftMenuName);
        EXPECT_FALSE(ReadTreeArchive(read, NestedSubmenuBytes(deepest + 1)));
        EXPECT_TRUE(read.children.empty());
        EXPECT_FALSE(ReadTreeArchive(read, NestedSubmenuBytes(5000)));
    }
}

TEST_F(MenuStoreTest, EveryTruncationFailsCleanly)
{
    CXRoot root(kLeftMenuName);
    FillMixedTree(root);
    const std::vector<uint8_t> bytes = Archive(root);
    for (size_t n = 0; n < bytes.size(); ++n) {
        CXRoot read(kLeftMenuName);
        // The root byte comes last, so no proper prefix is a whole record.
        EXPECT_FALSE(ReadTreeArchive(read, std::span(bytes).first(n))) << n;
        EXPECT_TRUE(read.children.empty()) << n;
    }
    EXPECT_TRUE(env.platform.messages.empty());
}

struct CorruptCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

std::vector<CorruptCase> CorruptCases()
{
    // A valid separator first, so that something was loaded before the fault.
    auto twoChildren = [] { return CArchiveBytes().Raw(RootHead(2)).NewClass("CXSeparator").SeparatorRecord(); };
    return {
        {"empty value", {}},
        {"unknown class name", twoChildren().NewClass("CXShortcut").SeparatorRecord().Byte(0).bytes},
        {"schema 2", twoChildren().NewClass("CXItem", 2).ItemRecord(L"x").Byte(0).bytes},
        {"no-object tag", twoChildren().Word(0).Byte(0).bytes},
        {"object back-reference", twoChildren().Word(2).Byte(0).bytes},
        {"undefined class index", twoChildren().Word(0x8007).SeparatorRecord().Byte(0).bytes},
        {"impossible count", CArchiveBytes().Raw(RootHead(0xFFFF)).UInt32(0x7FFFFFFF).bytes},
        {"count one too high", CArchiveBytes().Raw(RootHead(3)).NewClass("CXSeparator").SeparatorRecord().bytes},
        {"class name longer than 63", twoChildren().NewClass(std::string(64, 'X')).SeparatorRecord().Byte(0).bytes},
        {"string longer than the data", CArchiveBytes().Hex("00 01 FF FE FF FF FF FF FF FF 00 10").bytes},
        {"nested submenu cut short",
         twoChildren().NewClass("CXParent").ParentHead(L"sub", 2).Word(0x8001).SeparatorRecord().bytes},
        {"root byte missing", CArchiveBytes().Raw(RootHead(0)).bytes},
        {"nesting too deep", NestedSubmenuBytes(CXArchive::kMaxDepth)},
    };
}

TEST_F(MenuStoreTest, CorruptStoredTreeLeavesItEmptyAndSaysSoOnce)
{
    for (const CorruptCase& c : CorruptCases()) {
        SCOPED_TRACE(c.name);
        CFakeEnvironment local;
        local.store.SetBlob(kSectionSettings, L"MenuData_1_v3", c.bytes);
        CXRoot root(kLeftMenuName);
        Add(root, NewItem(L"before"));
        EXPECT_FALSE(root.Load());
        EXPECT_TRUE(root.children.empty());
        EXPECT_EQ(local.platform.messages, std::vector<std::wstring>{kCorrupt});
        // The bad value is left as it is, and a copy of it (of anything but nothing) is kept
        // beside it, which the empty tree's save leaves alone.
        EXPECT_EQ(local.store.GetBlob(kSectionSettings, L"MenuData_1_v3"), c.bytes);
        const std::optional<std::vector<uint8_t>> copy =
            c.bytes.empty() ? std::nullopt : std::optional(c.bytes);
        EXPECT_EQ(local.store.GetBlob(kSectionSettings, L"MenuData_1_corrupt"), copy);
        ASSERT_TRUE(root.Save());
        EXPECT_EQ(local.store.GetBlob(kSectionSettings, L"MenuData_1_corrupt"), copy);
    }
}

std::vector<uint8_t> TreeWithOneItem(const std::wstring& title);

TEST_F(MenuStoreTest, CorruptCopyIsReplacedOnlyByOtherUnreadableBytes)
{
    const std::vector<uint8_t> first = CArchiveBytes().Raw(RootHead(2)).NewClass("CXSeparator").bytes;
    const std::vector<uint8_t> second = CArchiveBytes().Raw(RootHead(1)).Word(0x8009).bytes;
    auto loadStored = [&](const std::vector<uint8_t>& stored) {
        env.store.SetBlob(kSectionSettings, L"MenuData_2_v3", stored);
        CXRoot root(kRightMenuName);
        return root.Load();
    };
    auto copy = [&] { return env.store.GetBlob(kSectionSettings, L"MenuData_2_corrupt"); };

    EXPECT_FALSE(loadStored(first));
    EXPECT_EQ(copy(), first);
    EXPECT_FALSE(env.store.GetBlob(kSectionSettings, L"MenuData_1_corrupt"));
    // A readable menu stored since leaves the copy for the user to salvage.
    EXPECT_TRUE(loadStored(TreeWithOneItem(L"good")));
    EXPECT_EQ(copy(), first);
    EXPECT_FALSE(loadStored(second));
    EXPECT_EQ(copy(), second);
    // The same bytes again are not written again.
    env.store.failWrites = true;
    EXPECT_FALSE(loadStored(second));
    env.store.failWrites = false;
    EXPECT_EQ(copy(), second);
}

// ---- Load and Save against the store --------------------------------------------------

std::vector<uint8_t> TreeWithOneItem(const std::wstring& title)
{
    return CArchiveBytes().Raw(RootHead(1)).NewClass("CXItem").ItemRecord(title).Byte(0).bytes;
}

TEST_F(MenuStoreTest, LoadFallsBackToOlderValueNames)
{
    const struct {
        std::vector<std::wstring> present; // suffixes
        const wchar_t* loaded;             // title of the item loaded, or null for an empty tree
    } cases[] = {
        {{L"_v3", L"_v2", L""}, L"_v3"}, {{L"_v3", L""}, L"_v3"}, {{L"_v2", L""}, L"_v2"}, {{L""}, L""}, {{}, nullptr},
    };
    for (const auto& c : cases) {
        CFakeEnvironment local;
        for (const std::wstring& suffix : c.present) {
            local.store.SetBlob(kSectionSettings, L"MenuData_2" + suffix, TreeWithOneItem(L"from" + suffix));
            // The other tree's values are never looked at.
            local.store.SetBlob(kSectionSettings, L"MenuData_1" + suffix, TreeWithOneItem(L"wrong tree"));
        }
        CXRoot root(kRightMenuName);
        EXPECT_TRUE(root.Load());
        EXPECT_TRUE(local.platform.messages.empty());
        if (!c.loaded) {
            EXPECT_TRUE(root.children.empty());
            continue;
        }
        ASSERT_EQ(root.children.size(), 1u);
        EXPECT_EQ(root.children[0]->GetTitle(), L"from" + std::wstring(c.loaded));
    }
}

TEST_F(MenuStoreTest, NewestValueIsUsedEvenWhenAnOlderOneIsCorrupt)
{
    env.store.SetBlob(kSectionSettings, L"MenuData_1_v3", TreeWithOneItem(L"good"));
    env.store.SetBlob(kSectionSettings, L"MenuData_1_v2", {1, 2, 3});
    CXRoot root(kLeftMenuName);
    EXPECT_TRUE(root.Load());
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST_F(MenuStoreTest, SaveLeavesOnlyTheNewestValue)
{
    env.store.SetBlob(kSectionSettings, L"MenuData_1", TreeWithOneItem(L"bare"));
    env.store.SetBlob(kSectionSettings, L"MenuData_1_v2", TreeWithOneItem(L"v2"));
    env.store.SetBlob(kSectionSettings, L"MenuData_2_v2", TreeWithOneItem(L"other tree"));
    CXRoot root(kLeftMenuName);
    ASSERT_TRUE(root.Load());
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0]->GetTitle(), L"v2");

    FillMixedTree(root);
    ASSERT_TRUE(root.Save());
    EXPECT_EQ(Stored(L"MenuData_1_v3"), WriteTreeArchive(root));
    EXPECT_FALSE(Stored(L"MenuData_1_v2"));
    EXPECT_FALSE(Stored(L"MenuData_1"));
    EXPECT_TRUE(Stored(L"MenuData_2_v2"));
    CRegValue value;
    ASSERT_TRUE(env.store.ReadValue(kSettingsPath, L"MenuData_1_v3", value));
    EXPECT_EQ(value.type, static_cast<uint32_t>(kRegBinary));
    EXPECT_EQ(env.platform.savedTrees, std::vector<std::wstring>{L"MenuData_1"});
    EXPECT_TRUE(env.platform.messages.empty());

    CXRoot again(kLeftMenuName);
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(Dump(again), Dump(root));
}

TEST_F(MenuStoreTest, SaveThroughAnyNodeOfTheTree)
{
    CXRoot root(kRightMenuName);
    FillMixedTree(root);
    CXParent* tools = XDynamicCast<CXParent>(root.children[2]);
    ASSERT_TRUE(tools);
    ASSERT_TRUE(tools->children[0]->SaveTree());
    EXPECT_EQ(Stored(L"MenuData_2_v3"), WriteTreeArchive(root));
}

// A root with one item (and a separator where that is needed to reach an odd size) whose
// archive is exactly `size` bytes long.
void BuildTreeOfSize(CXRoot& root, size_t size)
{
    for (bool withSeparator : {false, true}) {
        root.DeleteChildren();
        CXItem* item = Add(root, NewItem(std::wstring(0x10000, L'あ')));
        if (withSeparator)
            Add(root, new CXSeparator);
        const size_t base = WriteTreeArchive(root)->size();
        if (size >= base && (size - base) % 2 == 0) {
            item->title.append((size - base) / 2, L'字');
            ASSERT_EQ(WriteTreeArchive(root)->size(), size);
            return;
        }
    }
    FAIL() << "no tree of " << size << " bytes";
}

TEST_F(MenuStoreTest, ArchiveOfExactlyTheLimitIsSaved)
{
    CXRoot root(kLeftMenuName);
    BuildTreeOfSize(root, kMaxArchiveSize);
    ASSERT_TRUE(root.Save());
    ASSERT_TRUE(Stored(L"MenuData_1_v3"));
    EXPECT_EQ(Stored(L"MenuData_1_v3")->size(), 0x100000u);
    EXPECT_TRUE(env.platform.messages.empty());
}

struct RefusedSaveCase {
    const char* name;
    std::function<void(CXRoot&)> build;
    const wchar_t* message;
};

TEST_F(MenuStoreTest, RefusedSaveLeavesTheStoreUnchanged)
{
    const RefusedSaveCase cases[] = {
        {"one byte over the limit", [](CXRoot& root) { BuildTreeOfSize(root, kMaxArchiveSize + 1); }, kTooLarge},
        {"far over the limit",
         [](CXRoot& root) {
             for (int i = 0; i < 3; ++i)
                 Add(root, NewItem(std::wstring(0x40000, L'x')));
         },
         kTooLarge},
        {"nested too deep", [](CXRoot& root) { NestSubmenus(root, CXArchive::kMaxDepth); }, kCannotSave},
        {"a root as a child", [](CXRoot& root) { Add(root, new CXRoot(kRightMenuName)); }, kCannotSave},
    };
    for (const RefusedSaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeEnvironment local;
        const std::vector<uint8_t> old = TreeWithOneItem(L"old");
        local.store.SetBlob(kSectionSettings, L"MenuData_1_v3", old);
        local.store.SetBlob(kSectionSettings, L"MenuData_1_v2", old);
        local.store.SetBlob(kSectionSettings, L"MenuData_1", old);
        CXRoot root(kLeftMenuName);
        c.build(root);
        EXPECT_FALSE(root.Save());
        EXPECT_EQ(local.platform.messages, std::vector<std::wstring>{c.message});
        EXPECT_TRUE(local.platform.savedTrees.empty());
        for (const wchar_t* name : {L"MenuData_1_v3", L"MenuData_1_v2", L"MenuData_1"})
            EXPECT_EQ(local.store.GetBlob(kSectionSettings, name), old) << name;
    }
}

// ---- Transfer form --------------------------------------------------------------------

TEST_F(MenuStoreTest, TransferBlockIsLengthAndContainerRecord)
{
    CXRoot root(kLeftMenuName);
    FillMixedTree(root);
    std::optional<std::vector<uint8_t>> block = SaveToTransfer(root);
    ASSERT_TRUE(block);
    // The container record is the tree archive without the root part.
    std::vector<uint8_t> record = Archive(root);
    record.pop_back();
    const uint32_t length = static_cast<uint32_t>(record.size());
    EXPECT_EQ(*block, CArchiveBytes().UInt32(length).Raw(record).bytes);

    CXParent container;
    Add(container, NewItem(L"replaced"));
    ASSERT_TRUE(LoadFromTransfer(container, *block));
    std::wstring expected = Dump(root);
    std::wstring actual = Dump(container);
    // Same children below a differently named top.
    EXPECT_EQ(actual.substr(actual.find(L'\n')), expected.substr(expected.find(L'\n')));
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST_F(MenuStoreTest, TransferOfAPlainContainer)
{
    CXParent container;
    Add(container, new CXSeparator);
    Add(container, new CXTextItem);
    std::optional<std::vector<uint8_t>> block = SaveToTransfer(container);
    ASSERT_TRUE(block);
    CXParent read;
    ASSERT_TRUE(LoadFromTransfer(read, *block));
    EXPECT_EQ(Dump(read), Dump(container));
}

TEST_F(MenuStoreTest, TransferFailures)
{
    CXParent source;
    Add(source, NewItem(L"one"));
    Add(source, NewItem(L"two"));
    const std::vector<uint8_t> good = *SaveToTransfer(source);
    const std::vector<uint8_t> record(good.begin() + 4, good.end());
    auto withLength = [](uint32_t length, const std::vector<uint8_t>& body) {
        return CArchiveBytes().UInt32(length).Raw(body).bytes;
    };
    auto withBody = [&](const std::vector<uint8_t>& body) {
        return withLength(static_cast<uint32_t>(body.size()), body);
    };
    const struct {
        const char* name;
        std::vector<uint8_t> block;
        bool loads;
    } cases[] = {
        {"whole block", good, true},
        {"bytes after L ignored", CArchiveBytes().Raw(good).Hex("FF FF 00").bytes, true},
        {"bytes after the record inside L ignored",
         withLength(static_cast<uint32_t>(record.size() + 2), CArchiveBytes().Raw(record).Hex("FF FF").bytes), true},
        {"empty block", {}, false},
        {"shorter than the length field", {1, 0, 0}, false},
        {"L larger than the block", withLength(static_cast<uint32_t>(record.size() + 1), record), false},
        {"L negative", withLength(0xFFFFFFFF, record), false},
        {"L zero", withLength(0, record), false},
        {"L cuts the record", withLength(static_cast<uint32_t>(record.size() - 1), record), false},
        {"container without children", *SaveToTransfer(*std::make_unique<CXParent>()), false},
        {"corrupt second child",
         withBody(CArchiveBytes().ParentHead(L"", 2).NewClass("CXItem").ItemRecord(L"a").Word(2).bytes), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CXParent container;
        Add(container, NewItem(L"earlier"));
        EXPECT_EQ(LoadFromTransfer(container, c.block), c.loads);
        if (c.loads)
            EXPECT_EQ(Dump(container), Dump(source));
        else
            EXPECT_TRUE(container.children.empty());
    }
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST_F(MenuStoreTest, TransferOfATreeTooDeepToWriteFails)
{
    CXParent container;
    NestSubmenus(container, CXArchive::kMaxDepth);
    EXPECT_FALSE(SaveToTransfer(container));
}

} // namespace

// ---- Salvaging a damaged archive ------------------------------------------------------

namespace {

// Where the stored form of a string (with the Unicode marker) begins in an archive.
size_t FindString(const std::vector<uint8_t>& bytes, const std::wstring& text)
{
    const std::vector<uint8_t> needle = CArchiveBytes().Str(text).bytes;
    auto at = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end());
    EXPECT_NE(at, bytes.end()) << "no string in the archive";
    return static_cast<size_t>(at - bytes.begin());
}

// A-D, submenu P {P1, P2, P3}, E, F: the items' record (tag, node byte, version) begins
// four bytes before their title.
void FillSalvageTree(CXRoot& root)
{
    for (const wchar_t* title : {L"A", L"B", L"C", L"D"})
        Add(root, NewItem(title, std::wstring(L"C:\\") + title + L".exe"));
    CXParent* p = Add(root, NewSubmenu(L"P"));
    for (const wchar_t* title : {L"P1", L"P2", L"P3"})
        Add(*p, NewItem(title));
    Add(root, NewItem(L"E"));
    Add(root, new CXSeparator);
    Add(root, NewItem(L"F"));
}

std::wstring Without(const std::wstring& dump, const std::vector<std::wstring>& lines)
{
    std::wstring out = dump;
    for (const std::wstring& line : lines) {
        const size_t at = out.find(line);
        EXPECT_NE(at, std::wstring::npos) << "no line to remove";
        if (at != std::wstring::npos)
            out.erase(at, out.find(L'\n', at) + 1 - at);
    }
    return out;
}

} // namespace

TEST_F(MenuStoreTest, SalvageKeepsWhatCanBeReadOfADamagedArchive)
{
    CXRoot whole(kLeftMenuName);
    FillSalvageTree(whole);
    const std::vector<uint8_t> good = *WriteTreeArchive(whole);
    const std::wstring all = Dump(whole);
    const size_t itemD = FindString(good, L"D") - 4;
    const size_t itemP2 = FindString(good, L"P2") - 4;

    struct Case {
        const char* name;
        std::function<std::vector<uint8_t>()> damage;
        std::wstring expected;
        size_t damagedAt;
        size_t foundAgain;
    };
    const Case cases[] = {
        // The tag of D broken: D is lost, P, E, the separator and F are found again.
        {"an item's tag",
         [&] {
             auto b = good;
             b[itemD] = b[itemD + 1] = 0;
             return b;
         },
         Without(all, {L"  CXItem [D|"}), itemD, 4},
        // The archive cut off inside P2: P keeps P1; nothing after the cut.
        {"cut inside a submenu", [&] { return std::vector(good.begin(), good.begin() + itemP2 + 9); },
         Without(all, {L"    CXItem [P2|", L"    CXItem [P3|", L"  CXItem [E|", L"  CXSeparator", L"  CXItem [F|"}),
         itemP2, 0},
        // P2's tag broken: P keeps P1, and P3, E, the separator and F are found again after
        // it, P3 now at the top level.
        {"a tag inside a submenu",
         [&] {
             auto b = good;
             b[itemP2 + 1] = 0;
             return b;
         },
         [&] {
             std::wstring expected = Without(all, {L"    CXItem [P2|", L"    CXItem [P3|"});
             expected.insert(expected.find(L"  CXItem [E|"), L"  CXItem [P3|||||0100|0,0,,-1]\n");
             return expected;
         }(),
         itemP2, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CXRoot root(kLeftMenuName);
        const XSalvage found = SalvageTreeArchive(root, c.damage());
        EXPECT_FALSE(found.whole);
        EXPECT_EQ(found.damagedAt, c.damagedAt);
        EXPECT_EQ(found.foundAgain, c.foundAgain);
        EXPECT_EQ(Dump(root), c.expected);
        // What was salvaged stores and loads again.
        CXRoot again(kLeftMenuName);
        ASSERT_TRUE(ReadTreeArchive(again, *WriteTreeArchive(root)));
        EXPECT_EQ(Dump(again), Dump(root));
    }
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST_F(MenuStoreTest, SalvageFindsEntriesOfClassesNamedOnlyAfterTheDamage)
{
    // Two separators after the damaged item C: the first names its class, the second refers
    // to it by an index that the lost part of the archive numbered.
    CXRoot whole(kLeftMenuName);
    Add(whole, NewItem(L"A"));
    Add(whole, NewItem(L"B"));
    Add(whole, NewItem(L"C"));
    Add(whole, new CXSeparator);
    Add(whole, NewItem(L"D"));
    Add(whole, new CXSeparator);
    std::vector<uint8_t> bytes = *WriteTreeArchive(whole);
    const size_t itemC = FindString(bytes, L"C") - 4;
    bytes[itemC] = 0x7F; // an object reference nothing numbered
    CXRoot root(kLeftMenuName);
    const XSalvage found = SalvageTreeArchive(root, bytes);
    EXPECT_EQ(found.foundAgain, 3u);
    EXPECT_EQ(Dump(root), Without(Dump(whole), {L"  CXItem [C|"}));
}

TEST_F(MenuStoreTest, SalvageOfAWholeArchiveOrOfNoArchive)
{
    CXRoot mixed(kLeftMenuName);
    FillMixedTree(mixed);
    CXRoot root(kLeftMenuName);
    XSalvage found = SalvageTreeArchive(root, *WriteTreeArchive(mixed));
    EXPECT_TRUE(found.whole);
    EXPECT_EQ(Dump(root), Dump(mixed));

    // A broken root head: every entry is found again at the top level.
    CXRoot flat(kLeftMenuName);
    for (const wchar_t* title : {L"1", L"2", L"3"})
        Add(flat, NewItem(title));
    std::vector<uint8_t> bytes = *WriteTreeArchive(flat);
    bytes[2] = 0x01; // the title of the root: one ANSI byte too few
    found = SalvageTreeArchive(root, bytes);
    EXPECT_FALSE(found.whole);
    EXPECT_EQ(found.foundAgain, 3u);

    // Bytes that are no archive at all give nothing, however long.
    std::vector<uint8_t> noise(64 * 1024);
    uint32_t state = 12345;
    for (uint8_t& b : noise) {
        state = state * 1103515245 + 12345;
        b = static_cast<uint8_t>(state >> 16);
    }
    for (const auto& junk : {std::vector<uint8_t>{}, std::vector<uint8_t>{0xFF}, noise}) {
        found = SalvageTreeArchive(root, junk);
        EXPECT_FALSE(found.whole);
        EXPECT_EQ(found.entries, 0u);
        EXPECT_TRUE(root.children.empty());
    }
}
