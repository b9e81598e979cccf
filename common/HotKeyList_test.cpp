#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "FakePlatform.h"
#include "HotKeyList.h"
#include "MenuStore.h"
#include "SettingsStore.h"
#include "XArchive.h"
#include "XNode.h"

namespace {

const wchar_t kCorrupt[] = L"ホットキー設定が破損しています。";

// Records what the system was asked; refuses the combinations listed in `taken` and, as the
// system does, a combination that one of its own ids already holds.
class CFakeHotKeyWindow : public CHotKeyWindow {
public:
    bool RegisterHotKey(int id, unsigned modifiers, unsigned virtualKey) override
    {
        calls.push_back({id, modifiers, virtualKey});
        const unsigned key = virtualKey << 16 | modifiers;
        if (taken.count(key))
            return false;
        for (const auto& [heldId, heldKey] : held) {
            if (heldKey == key)
                return false;
        }
        held[id] = key;
        return true;
    }
    void UnregisterHotKey(int id) override
    {
        released.push_back(id);
        held.erase(id);
    }

    struct Call {
        int id;
        unsigned modifiers, virtualKey;
    };
    std::vector<Call> calls;
    std::vector<int> released;
    std::map<int, unsigned> held; // id -> combination
    std::set<unsigned> taken;
};

class CRecordingActions : public CHotKeyActions {
public:
    void ShowMenu(bool right) override { events.push_back(right ? L"menu right" : L"menu left"); }
    void RunCommand(int commandId) override { events.push_back(L"command " + std::to_wstring(commandId)); }
    void OpenFolder(XFixedHotKey which) override { events.push_back(L"folder " + std::to_wstring(which)); }
    std::vector<std::wstring> events;
};

CHotKeyTarget Binding(int modifiers, int key, const std::wstring& text, int id)
{
    CHotKeyTarget t;
    t.modifiers = modifiers;
    t.virtualKey = key;
    t.keyText = text;
    t.hotKeyId = id;
    return t;
}

CXItem* AddItem(CXParent& parent, const std::wstring& path, CHotKeyTarget binding = {})
{
    auto* item = new CXItem;
    item->path = path;
    item->hotKey = binding;
    parent.InsertChild(parent.children.size(), item);
    return item;
}

CXTextItem* AddText(CXParent& parent, const std::wstring& text, CHotKeyTarget binding = {})
{
    auto* item = new CXTextItem;
    item->text = text;
    item->hotKey = binding;
    parent.InsertChild(parent.children.size(), item);
    return item;
}

CXParent* AddSubmenu(CXParent& parent)
{
    auto* submenu = new CXParent;
    parent.InsertChild(parent.children.size(), submenu);
    return submenu;
}

// Version byte, count and `records` records; the count need not match.
std::vector<uint8_t> ListBytes(int32_t count, std::vector<CHotKeyTarget> records)
{
    CXArchive ar;
    ar.WriteByte(7);
    ar.WriteInt32(count);
    for (CHotKeyTarget& r : records)
        r.Serialize(ar);
    return ar.TakeBytes();
}

CFixedHotKeys DistinctList()
{
    CFixedHotKeys list;
    for (int i = 0; i < kFixedHotKeyCount; ++i)
        list[static_cast<size_t>(i)] = Binding(2, 0x41 + i, L"Ctrl + " + std::wstring(1, L'A' + i), 10 + i);
    return list;
}

class HotKeyStore : public ::testing::Test {
protected:
    void PutValue(const wchar_t* name, const std::vector<uint8_t>& bytes)
    {
        env.store.SetBlob(kSectionSettings, name, bytes);
    }
    bool HasValue(const wchar_t* name)
    {
        CRegValue value;
        return env.store.ReadValue(std::wstring(kStoreKeyPath) + L"\\Settings", name, value);
    }
    CFakeEnvironment env;
};

} // namespace

// ---- the stored list ---------------------------------------------------------------------

TEST_F(HotKeyStore, SaveThenLoadGivesTheSameListAndRemovesTheOldName)
{
    PutValue(kOldHotKeyListValue, ListBytes(8, {}));
    CFixedHotKeys saved = DistinctList();
    saved[3] = Binding(5, 0x7B, L"Shift + Alt + F12 & more", -1);
    ASSERT_TRUE(SaveHotKeys(saved));
    EXPECT_FALSE(HasValue(kOldHotKeyListValue));

    std::optional<std::vector<uint8_t>> bytes = env.store.GetBlob(kSectionSettings, kHotKeyListValue);
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 5u);
    EXPECT_EQ((*bytes)[0], 0); // version
    EXPECT_EQ((*bytes)[1], 8); // count, little-endian
    EXPECT_EQ((*bytes)[2] | (*bytes)[3] | (*bytes)[4], 0);

    CFixedHotKeys loaded;
    EXPECT_TRUE(LoadHotKeys(loaded));
    EXPECT_EQ(loaded, saved);
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST_F(HotKeyStore, CountDecidesHowManyRecordsAreRead)
{
    const CFixedHotKeys before = DistinctList();
    std::vector<CHotKeyTarget> stored;
    for (int i = 0; i < 9; ++i)
        stored.push_back(Binding(1, 0x70 + i, L"Alt + F" + std::to_wstring(i + 1), 30 + i));

    struct Case {
        int32_t count;
        size_t recordsPresent;
        int expectedRead;
    } cases[] = {
        {3, 3, 3}, {3, 9, 3}, {8, 8, 8}, {9, 9, 8}, {0x7FFFFFFF, 8, 8}, {0, 0, 0}, {0, 9, 0}, {-1, 0, 0}, {-5, 3, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        PutValue(kHotKeyListValue,
                 ListBytes(c.count, std::vector<CHotKeyTarget>(stored.begin(), stored.begin() + c.recordsPresent)));
        CFixedHotKeys list = before;
        EXPECT_TRUE(LoadHotKeys(list));
        for (int i = 0; i < kFixedHotKeyCount; ++i)
            EXPECT_EQ(list[i], i < c.expectedRead ? stored[i] : before[i]) << i;
    }
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST_F(HotKeyStore, OldNameIsReadOnlyWhenTheNewOneIsAbsent)
{
    CHotKeyTarget fromOld = Binding(2, 0x51, L"Ctrl + Q", 4);
    CHotKeyTarget fromNew = Binding(4, 0x52, L"Shift + R", 5);
    PutValue(kOldHotKeyListValue, ListBytes(1, {fromOld}));

    CFixedHotKeys list;
    EXPECT_TRUE(LoadHotKeys(list));
    EXPECT_EQ(list[0], fromOld);

    PutValue(kHotKeyListValue, ListBytes(1, {fromNew}));
    EXPECT_TRUE(LoadHotKeys(list));
    EXPECT_EQ(list[0], fromNew);
}

TEST_F(HotKeyStore, NoStoredListKeepsTheRecords)
{
    CFixedHotKeys list = DistinctList();
    // A value of another type under the name is not a list.
    env.store.SetInt(kSectionSettings, kHotKeyListValue, 3);
    EXPECT_TRUE(LoadHotKeys(list));
    EXPECT_EQ(list, DistinctList());
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST_F(HotKeyStore, UnreadableListResetsAllRecordsAndTellsOnce)
{
    const CFixedHotKeys list0 = DistinctList();
    std::vector<uint8_t> whole = ListBytes(8, std::vector<CHotKeyTarget>(list0.begin(), list0.end()));
    // A record cut short, a list without its count, and a key text whose length runs past the end.
    std::vector<uint8_t> truncatedRecord(whole.begin(), whole.begin() + static_cast<long>(whole.size()) - 3);
    std::vector<uint8_t> noCount = {0, 8, 0};
    std::vector<uint8_t> badText = ListBytes(1, {});
    for (uint8_t b : {0, 2, 0, 0, 0, 0x41, 0, 0, 0, 0xFF, 0xFE, 0xFF, 0x7F})
        badText.push_back(b);
    std::vector<uint8_t> empty;

    for (const std::vector<uint8_t>* bytes : {&truncatedRecord, &noCount, &badText, &empty}) {
        env.platform.messages.clear();
        PutValue(kHotKeyListValue, *bytes);
        CFixedHotKeys list = DistinctList();
        EXPECT_FALSE(LoadHotKeys(list));
        EXPECT_EQ(list, CFixedHotKeys{});
        EXPECT_EQ(env.platform.messages, std::vector<std::wstring>{kCorrupt});
    }
}

TEST_F(HotKeyStore, BytesAfterTheEighthRecordAreIgnored)
{
    const CFixedHotKeys all = DistinctList();
    std::vector<uint8_t> bytes = ListBytes(8, std::vector<CHotKeyTarget>(all.begin(), all.end()));
    bytes.insert(bytes.end(), {1, 2, 3});
    PutValue(kHotKeyListValue, bytes);
    CFixedHotKeys list;
    EXPECT_TRUE(LoadHotKeys(list));
    EXPECT_EQ(list, DistinctList());
}

TEST_F(HotKeyStore, ListTooLargeIsNotStoredAndNotReported)
{
    CFixedHotKeys list;
    list[0] = Binding(2, 0x41, std::wstring(kMaxHotKeyListBytes / 2, L'x'), 1);
    PutValue(kOldHotKeyListValue, ListBytes(0, {}));
    EXPECT_FALSE(SaveHotKeys(list));
    EXPECT_FALSE(HasValue(kHotKeyListValue));
    EXPECT_TRUE(HasValue(kOldHotKeyListValue));
    EXPECT_TRUE(env.platform.messages.empty());
}

TEST(HotKeyLabels, EightLabelsInTableOrder)
{
    EXPECT_STREQ(FixedHotKeyLabel(0), L"左クリックメニュー呼び出し");
    EXPECT_STREQ(FixedHotKeyLabel(2), L"設定ウィンドウ呼び出し");
    EXPECT_STREQ(FixedHotKeyLabel(6), L"スタートアップ（共通）フォルダを開く");
    EXPECT_STREQ(FixedHotKeyLabel(7), L"カスタマイズウィンドウ呼び出し");
    EXPECT_STREQ(FixedHotKeyLabel(8), L"");
}

// ---- id allocation ---------------------------------------------------------------------------

TEST(HotKeyManager, TakesTheSmallestFreePositiveId)
{
    struct Case {
        std::vector<int> used; // registered in this order, then the ones in `freed` released
        std::vector<int> freed;
        int expected;
    } cases[] = {
        {{}, {}, 1},
        {{1, 2, 3}, {1}, 1},
        {{1, 2, 3}, {}, 4},
        {{1, 2, 3, 4}, {3}, 3},
        {{1, 2, 3}, {2, 3}, 2},
        {{1, 2, 3, 4, 5}, {1, 4}, 1},
    };
    for (const Case& c : cases) {
        CHotKeyManager manager;
        CFakeHotKeyWindow window;
        for (size_t i = 0; i < c.used.size(); ++i)
            ASSERT_EQ(manager.Register(window, 0x410002 + static_cast<int>(i)), kHotKeyReplyTag | c.used[i]);
        for (int id : c.freed)
            EXPECT_EQ(manager.Unregister(window, id), 0u);
        uint32_t reply = manager.Register(window, 0x5A0001);
        EXPECT_EQ(reply, kHotKeyReplyTag | static_cast<uint32_t>(c.expected));
        EXPECT_TRUE(IsHotKeyReply(reply));
        EXPECT_EQ(HotKeyIdOfReply(reply), c.expected);
        EXPECT_EQ(window.calls.back().id, c.expected);
        EXPECT_EQ(window.calls.back().modifiers, 1u);
        EXPECT_EQ(window.calls.back().virtualKey, 0x5Au);
    }
}

TEST(HotKeyManager, GapAfterOneAndTwoGivesThree)
{
    CHotKeyManager manager;
    CFakeHotKeyWindow window;
    for (int i = 0; i < 4; ++i)
        manager.Register(window, 0x410000 + i); // ids 1..4
    manager.Unregister(window, 3);
    manager.Unregister(window, 4);
    manager.Register(window, 0x420000); // 3
    manager.Register(window, 0x430000); // 4
    manager.Unregister(window, 3);
    EXPECT_EQ(manager.Register(window, 0x440000), kHotKeyReplyTag | 3);
}

TEST(HotKeyManager, RefusedCombinationLeavesTheArrayAlone)
{
    CHotKeyManager manager;
    CFakeHotKeyWindow window;
    window.taken.insert(0x700006);
    EXPECT_EQ(manager.Register(window, 0x410002), kHotKeyReplyTag | 1);
    EXPECT_EQ(manager.Register(window, 0x700006), 0u);
    EXPECT_EQ(window.calls.back().id, 2); // asked with the id it would have got
    EXPECT_EQ(manager.Ids(), std::vector<int32_t>{1});
    EXPECT_EQ(manager.Register(window, 0x420002), kHotKeyReplyTag | 2);
}

TEST(HotKeyManager, CombinationItAlreadyHoldsIsRefusedWithoutAskingTheSystem)
{
    CHotKeyManager manager;
    CFakeHotKeyWindow window;
    EXPECT_EQ(manager.Register(window, 0x700006), kHotKeyReplyTag | 1);
    EXPECT_EQ(manager.Register(window, 0x700006), 0u);
    EXPECT_EQ(window.calls.size(), 1u);
    // Another modifier set is another combination.
    EXPECT_EQ(manager.Register(window, 0x700002), kHotKeyReplyTag | 2);
    // Released, the combination can be had again, under the freed id.
    manager.Unregister(window, 1);
    EXPECT_EQ(manager.Register(window, 0x700006), kHotKeyReplyTag | 1);
    manager.UnregisterAll(window);
    EXPECT_EQ(manager.Register(window, 0x700002), kHotKeyReplyTag | 1);
    EXPECT_EQ(window.calls.size(), 4u);
}

TEST(HotKeyManager, KeyWithBitFifteenSetIsPassedWhole)
{
    CHotKeyManager manager;
    CFakeHotKeyWindow window;
    CHotKeyTarget t = Binding(0xC, 0x80FF, L"", -1);
    EXPECT_EQ(manager.Register(window, t.PackedKey()), kHotKeyReplyTag | 1);
    EXPECT_EQ(window.calls.back().virtualKey, 0x80FFu);
    EXPECT_EQ(window.calls.back().modifiers, 0xCu);
}

TEST(HotKeyManager, UnknownIdIsIgnoredAndKnownOneReleasedOnce)
{
    CHotKeyManager manager;
    CFakeHotKeyWindow window;
    manager.Register(window, 0x410002);
    manager.Register(window, 0x420002);
    for (int32_t id : {0, -1, 3, static_cast<int32_t>(0xFACE0001u)})
        EXPECT_EQ(manager.Unregister(window, id), 0u);
    EXPECT_TRUE(window.released.empty());
    EXPECT_EQ(manager.Unregister(window, 1), 0u);
    EXPECT_EQ(manager.Unregister(window, 1), 0u);
    EXPECT_EQ(window.released, std::vector<int>{1});
    EXPECT_EQ(manager.Ids(), std::vector<int32_t>{2});
}

TEST(HotKeyManager, UnregisterAllReleasesEveryId)
{
    CHotKeyManager manager;
    CFakeHotKeyWindow window;
    for (int i = 0; i < 5; ++i)
        manager.Register(window, 0x410000 + i);
    manager.Unregister(window, 2);
    manager.UnregisterAll(window);
    EXPECT_TRUE(window.held.empty());
    EXPECT_TRUE(manager.Ids().empty());
    std::vector<int> released = window.released;
    std::sort(released.begin(), released.end());
    EXPECT_EQ(released, (std::vector<int>{1, 2, 3, 4, 5}));
}

// ---- registration at start-up ------------------------------------------------------------

class HotKeyStartUp : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixed[0] = Binding(2, 0x4C, L"Ctrl + L", 99); // stale id from an earlier run
        fixed[2] = Binding(3, 0x53, L"Ctrl + Alt + S", -1);
        fixed[5] = Binding(0, 0, L"", 42); // no key: left as it is
        leftItem = AddItem(left, L"C:\\a.exe", Binding(2, 0x31, L"Ctrl + 1", 7));
        AddItem(left, L"C:\\b.exe");
        nestedText = AddText(*AddSubmenu(*AddSubmenu(left)), L"hello", Binding(2, 0x32, L"Ctrl + 2", -1));
        rightItem = AddItem(*AddSubmenu(right), L"C:\\r.exe", Binding(2, 0x33, L"Ctrl + 3", 12));
    }
    CXRoot left{kLeftMenuName, 1};
    CXRoot right{kRightMenuName, 2};
    CFixedHotKeys fixed;
    CXItem* leftItem = nullptr;
    CXTextItem* nestedText = nullptr;
    CXItem* rightItem = nullptr;
    CHotKeyManager manager;
    CFakeHotKeyWindow window;
    CFakeEnvironment env;
};

TEST_F(HotKeyStartUp, RegistersFixedThenLeftThenRightWhenSeparate)
{
    EXPECT_TRUE(RegisterHotKeysAtStartUp(manager, window, fixed, left, right, true));
    ASSERT_EQ(window.calls.size(), 5u);
    unsigned keys[] = {0x4C, 0x53, 0x31, 0x32, 0x33};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(window.calls[i].virtualKey, keys[i]);
        EXPECT_EQ(window.calls[i].id, static_cast<int>(i) + 1);
    }
    EXPECT_EQ(fixed[0].hotKeyId, 1);
    EXPECT_EQ(fixed[2].hotKeyId, 2);
    EXPECT_EQ(fixed[5].hotKeyId, 42);
    EXPECT_EQ(leftItem->hotKey.hotKeyId, 3);
    EXPECT_EQ(nestedText->hotKey.hotKeyId, 4);
    EXPECT_EQ(rightItem->hotKey.hotKeyId, 5);
}

TEST_F(HotKeyStartUp, RightTreeStaysUnregisteredWithOneMenu)
{
    RegisterHotKeysAtStartUp(manager, window, fixed, left, right, false);
    EXPECT_EQ(window.calls.size(), 4u);
    EXPECT_EQ(rightItem->hotKey.hotKeyId, -1);
    EXPECT_EQ(manager.Ids(), (std::vector<int32_t>{1, 2, 3, 4}));
}

TEST_F(HotKeyStartUp, RefusedBindingKeepsMinusOne)
{
    window.taken.insert(0x4C0002);
    window.taken.insert(0x310002);
    RegisterHotKeysAtStartUp(manager, window, fixed, left, right, true);
    EXPECT_EQ(fixed[0].hotKeyId, -1);
    EXPECT_EQ(leftItem->hotKey.hotKeyId, -1);
    EXPECT_EQ(fixed[2].hotKeyId, 1);
    EXPECT_EQ(nestedText->hotKey.hotKeyId, 2);
    EXPECT_EQ(rightItem->hotKey.hotKeyId, 3);
}

TEST_F(HotKeyStartUp, SecondBindingOfACombinationKeepsMinusOne)
{
    CXItem* twin = AddItem(right, L"C:\\twin.exe", Binding(2, 0x31, L"Ctrl + 1", 9));
    RegisterHotKeysAtStartUp(manager, window, fixed, left, right, true);
    EXPECT_EQ(leftItem->hotKey.hotKeyId, 3);
    EXPECT_EQ(twin->hotKey.hotKeyId, -1);
    EXPECT_EQ(rightItem->hotKey.hotKeyId, 5);
    EXPECT_EQ(manager.Ids().size(), 5u);
}

TEST_F(HotKeyStartUp, StoresTheListAndBothTreesWithTheNewIds)
{
    ASSERT_TRUE(RegisterHotKeysAtStartUp(manager, window, fixed, left, right, false));
    EXPECT_EQ(env.platform.savedTrees, (std::vector<std::wstring>{kLeftMenuName, kRightMenuName}));

    CFixedHotKeys storedList;
    ASSERT_TRUE(LoadHotKeys(storedList));
    EXPECT_EQ(storedList, fixed);

    CXRoot storedLeft{kLeftMenuName};
    CXRoot storedRight{kRightMenuName};
    ASSERT_TRUE(storedLeft.Load());
    ASSERT_TRUE(storedRight.Load());
    CXItem* a = FindItemByHotKeyId(storedLeft, 3);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->path, L"C:\\a.exe");
    EXPECT_NE(FindItemByHotKeyId(storedLeft, 4), nullptr);
    EXPECT_EQ(FindItemByHotKeyId(storedRight, 12), nullptr); // the old id is gone
    EXPECT_NE(FindItemByHotKeyId(storedRight, -1), nullptr);
}

// A tree is written again only when its stored value does not already hold it with the new
// ids: stored in the current form, read whole, ids unchanged. Either way only the current
// form remains.
TEST(HotKeyStartUpSaving, TreeIsWrittenUnlessItsStoredValueHoldsItAlready)
{
    enum class Stored { Nothing, CurrentForm, CurrentBesideOlder, OlderForm, Corrupt };
    struct Case {
        const char* name;
        Stored stored;
        int storedId; // the item's id in the stored tree; the launcher will give it 1
        bool written;
    } cases[] = {
        {"same ids in the current form", Stored::CurrentForm, 1, false},
        {"same ids, older forms beside it", Stored::CurrentBesideOlder, 1, false},
        {"ids changed, older forms beside it", Stored::CurrentBesideOlder, 7, true},
        {"ids changed", Stored::CurrentForm, 7, true},
        {"older form", Stored::OlderForm, 1, true},
        {"nothing stored", Stored::Nothing, 1, true},
        {"corrupt value", Stored::Corrupt, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFakeEnvironment env;
        {
            CXRoot source{kLeftMenuName, 1};
            AddItem(source, L"C:\\a.exe", Binding(2, 0x31, L"Ctrl + 1", c.storedId));
            std::optional<std::vector<uint8_t>> bytes = WriteTreeArchive(source);
            ASSERT_TRUE(bytes);
            if (c.stored == Stored::Corrupt)
                bytes->resize(bytes->size() / 2);
            if (c.stored == Stored::OlderForm)
                env.store.SetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v2", *bytes);
            else if (c.stored != Stored::Nothing)
                env.store.SetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3", *bytes);
            if (c.stored == Stored::CurrentBesideOlder) {
                env.store.SetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v2", {1, 2, 3});
                env.store.SetBlob(kSectionSettings, kLeftMenuName, {4, 5, 6});
            }
        }
        const std::optional<std::vector<uint8_t>> before =
            env.store.GetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3");
        CXRoot left{kLeftMenuName, 1};
        CXRoot right{kRightMenuName, 2};
        left.Load();
        if (c.stored == Stored::Nothing || c.stored == Stored::Corrupt)
            AddItem(left, L"C:\\a.exe", Binding(2, 0x31, L"Ctrl + 1", 1));
        env.platform.savedTrees.clear();
        CFixedHotKeys fixed;
        CHotKeyManager manager;
        CFakeHotKeyWindow window;
        RegisterHotKeysAtStartUp(manager, window, fixed, left, right, true);
        ASSERT_EQ(manager.Ids(), std::vector<int32_t>{1});
        const auto& saved = env.platform.savedTrees;
        EXPECT_EQ(std::find(saved.begin(), saved.end(), kLeftMenuName) != saved.end(), c.written);
        // Whatever was done, the store now holds the tree with the running ids.
        CXRoot stored{kLeftMenuName};
        ASSERT_TRUE(stored.Load());
        EXPECT_NE(FindItemByHotKeyId(stored, 1), nullptr);
        EXPECT_FALSE(env.store.GetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v2"));
        EXPECT_FALSE(env.store.GetBlob(kSectionSettings, kLeftMenuName));
        if (!c.written) {
            EXPECT_EQ(env.store.GetBlob(kSectionSettings, std::wstring(kLeftMenuName) + L"_v3"), before);
        }
    }
}

// ---- dispatch ---------------------------------------------------------------------------------

class HotKeyDispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Fixed records hold ids 10..17; two of them share an id, as corrupt data may.
        fixed = DistinctList();
    }
    std::vector<std::wstring> Dispatch(int id)
    {
        CRecordingActions actions;
        DispatchHotKey(id, registered, fixed, left, right, actions);
        return actions.events;
    }
    // The ids the launcher holds: every id of these tests but 30 and 31.
    std::vector<int32_t> registered = {10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 21, 22, 23, 50};
    CXRoot left{kLeftMenuName};
    CXRoot right{kRightMenuName};
    CFixedHotKeys fixed;
    CFakeEnvironment env;
};

TEST_F(HotKeyDispatch, FixedBindingsRunTheirAction)
{
    struct Case {
        int id;
        std::wstring event;
    } cases[] = {
        {10, L"menu left"}, {11, L"menu right"}, {12, L"command 32772"}, {13, L"folder 3"},
        {14, L"folder 4"},  {15, L"folder 5"},   {16, L"folder 6"},      {17, L"command 32819"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Dispatch(c.id), std::vector<std::wstring>{c.event}) << c.id;
    EXPECT_TRUE(Dispatch(18).empty());
}

TEST_F(HotKeyDispatch, FirstMatchInFixedOrderDecides)
{
    struct Case {
        std::vector<int> sharing; // fixed indices given the same id
        std::wstring event;
    } cases[] = {
        {{1, 0}, L"menu left"}, {{7, 2}, L"command 32772"}, {{3, 7}, L"command 32819"},
        {{6, 3}, L"folder 3"},  {{6, 7, 1}, L"menu right"},
    };
    for (const Case& c : cases) {
        fixed = DistinctList();
        for (int index : c.sharing)
            fixed[index].hotKeyId = 50;
        EXPECT_EQ(Dispatch(50), std::vector<std::wstring>{c.event});
    }
}

TEST_F(HotKeyDispatch, FixedBindingWinsOverAnItemWithTheSameId)
{
    AddItem(left, L"C:\\x.exe", Binding(2, 0x31, L"", 12));
    EXPECT_EQ(Dispatch(12), std::vector<std::wstring>{L"command 32772"});
    EXPECT_TRUE(env.platform.launches.empty());
}

TEST_F(HotKeyDispatch, ItemsAreLaunchedLeftTreeFirst)
{
    AddItem(left, L"C:\\left-first.exe");
    AddItem(*AddSubmenu(left), L"C:\\left.exe", Binding(2, 0x31, L"", 20));
    AddItem(left, L"C:\\left-later.exe", Binding(2, 0x32, L"", 20)); // duplicate: the first in walk order wins
    AddItem(right, L"C:\\right.exe", Binding(2, 0x33, L"", 20));
    AddText(*AddSubmenu(right), L"コピーする文字", Binding(2, 0x34, L"", 21));
    AddItem(right, L"C:\\right-only.exe", Binding(2, 0x35, L"", 22));

    EXPECT_TRUE(Dispatch(20).empty());
    ASSERT_EQ(env.platform.launches.size(), 1u);
    EXPECT_EQ(env.platform.launches[0].file, L"C:\\left.exe");

    Dispatch(21);
    EXPECT_EQ(env.platform.clipboard, std::vector<std::wstring>{L"コピーする文字"});

    Dispatch(22);
    ASSERT_EQ(env.platform.launches.size(), 2u);
    EXPECT_EQ(env.platform.launches[1].file, L"C:\\right-only.exe");

    Dispatch(23);
    EXPECT_EQ(env.platform.launches.size(), 2u);
    EXPECT_EQ(env.platform.clipboard.size(), 1u);
}

// Any program can post WM_HOTKEY: ids the launcher does not hold lead nowhere, though records
// without a key (-1) or with a stale stored id carry them.
TEST_F(HotKeyDispatch, OnlyIdsTheLauncherHoldsDispatch)
{
    fixed[kHotKeyLeftMenu].hotKeyId = -1;
    fixed[kHotKeyRightMenu].hotKeyId = 0;
    fixed[kHotKeySettings].hotKeyId = 30;
    AddItem(left, L"C:\\stale.exe", Binding(2, 0x31, L"", 31));
    AddItem(right, L"C:\\none.exe", Binding(0, 0, L"", -1));
    for (int id : {-1, 0, 30, 31, INT32_MIN})
        EXPECT_TRUE(Dispatch(id).empty()) << id;
    EXPECT_TRUE(env.platform.launches.empty());
    // A held id still works beside them.
    EXPECT_EQ(Dispatch(13), std::vector<std::wstring>{L"folder 3"});
}

TEST_F(HotKeyDispatch, FailedLaunchIsNotReported)
{
    env.platform.shellExecuteResult = 2;
    AddItem(left, L"C:\\missing.exe", Binding(2, 0x31, L"", 20));
    env.platform.clipboardAvailable = false;
    AddText(left, L"x", Binding(2, 0x32, L"", 21));
    Dispatch(20);
    Dispatch(21);
    EXPECT_EQ(env.platform.launches.size(), 1u);
    EXPECT_TRUE(env.platform.messages.empty());
    // The tree item itself is untouched by the launch.
    EXPECT_EQ(left.children.size(), 2u);
}
