#include "HotKeyTarget.h"

#include <gtest/gtest.h>

#include <memory>

#include "XNode.h"

TEST(HotKeyTarget, NewRecordHasNoKeyAndNoId)
{
    CHotKeyTarget record;
    EXPECT_EQ(record.modifiers, 0);
    EXPECT_EQ(record.virtualKey, 0);
    EXPECT_TRUE(record.keyText.empty());
    EXPECT_EQ(record.hotKeyId, -1);
    EXPECT_FALSE(record.HasKey());
    EXPECT_FALSE(record.IsActive());
}

TEST(HotKeyTarget, Predicates)
{
    struct Case {
        int32_t modifiers, virtualKey, hotKeyId;
        bool hasKey, active;
    } cases[] = {
        {2, 0, -1, false, false}, // modifiers alone are no hotkey
        {2, 0, 5, false, false},  // not even with an id
        {0, 0x41, -1, true, false}, {3, 0x74, -1, true, false}, {3, 0x74, 0, true, true}, {4, 0x74, 0xBFFF, true, true},
    };
    for (const Case& c : cases) {
        CHotKeyTarget record;
        record.modifiers = c.modifiers;
        record.virtualKey = c.virtualKey;
        record.hotKeyId = c.hotKeyId;
        EXPECT_EQ(record.HasKey(), c.hasKey) << c.modifiers << " " << c.virtualKey << " " << c.hotKeyId;
        EXPECT_EQ(record.IsActive(), c.active) << c.modifiers << " " << c.virtualKey << " " << c.hotKeyId;
    }
}

TEST(HotKeyTarget, ClearReturnsToTheNewState)
{
    CHotKeyTarget record;
    record.modifiers = 7;
    record.virtualKey = 0x20;
    record.keyText = L"Ctrl + Shift + Alt + Space";
    record.hotKeyId = 12;
    record.Clear();
    EXPECT_EQ(record, CHotKeyTarget());
}

TEST(HotKeyTarget, PackedKeyHoldsKeyHighAndModifiersLow)
{
    CHotKeyTarget record;
    record.modifiers = 3;     // Ctrl+Alt
    record.virtualKey = 0x74; // F5
    int32_t packed = record.PackedKey();
    EXPECT_EQ(packed, 0x00740003);
    EXPECT_EQ((packed >> 16) & 0xFFFF, 0x74);
    EXPECT_EQ(packed & 0xFFFF, 3);

    record.modifiers = 4;
    record.virtualKey = 0xFE; // the highest virtual key
    EXPECT_EQ(record.PackedKey(), 0x00FE0004);
    record.virtualKey = 0;
    EXPECT_EQ(record.PackedKey(), 4);
}

TEST(HotKeyTarget, CopiesCarryTheId)
{
    CXItem item;
    item.hotKey.modifiers = 2;
    item.hotKey.virtualKey = 0x51;
    item.hotKey.keyText = L"Ctrl + Q";
    item.hotKey.hotKeyId = 3;
    std::unique_ptr<CXNode> clone(item.Clone());
    auto* copy = XDynamicCast<CXItem>(clone.get());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->hotKey.hotKeyId, 3);
    EXPECT_TRUE(copy->hotKey.IsActive());
    EXPECT_EQ(copy->hotKey, item.hotKey);
    // The copy is a separate record.
    copy->hotKey.Clear();
    EXPECT_EQ(item.hotKey.hotKeyId, 3);

    CHotKeyTarget assigned;
    assigned = item.hotKey;
    EXPECT_EQ(assigned, item.hotKey);
}
