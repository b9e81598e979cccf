#include "DropRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SampleTree.h"
#include "XNode.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kCopy = kDropEffectCopy;
constexpr uint32_t kMove = kDropEffectMove;
constexpr uint32_t kLink = kDropEffectLink;
constexpr uint32_t kNone = kDropEffectNone;

void Activate(CXItem* item, int32_t virtualKey, int32_t id)
{
    item->hotKey.modifiers = 3;
    item->hotKey.virtualKey = virtualKey;
    item->hotKey.keyText = L"Ctrl + Alt + K";
    item->hotKey.hotKeyId = id;
}

void PutU16(Bytes& out, size_t at, uint32_t value)
{
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(Bytes& out, size_t at, uint32_t value)
{
    PutU16(out, at, value & 0xFFFF);
    PutU16(out, at + 2, value >> 16);
}

void AppendU16(Bytes& out, uint32_t value)
{
    out.resize(out.size() + 2);
    PutU16(out, out.size() - 2, value);
}

// An ID list of records with the given payloads, terminated.
Bytes IdList(const std::vector<Bytes>& payloads)
{
    Bytes list;
    for (const Bytes& payload : payloads) {
        AppendU16(list, static_cast<uint32_t>(payload.size() + 2));
        list.insert(list.end(), payload.begin(), payload.end());
    }
    AppendU16(list, 0);
    return list;
}

// A "Shell IDList Array" of lists (the first the parent's), laid out after the offset table.
Bytes IdListArray(const std::vector<Bytes>& lists)
{
    Bytes block(4 + 4 * lists.size());
    PutU32(block, 0, static_cast<uint32_t>(lists.size() - 1));
    for (size_t i = 0; i < lists.size(); ++i) {
        PutU32(block, 4 + 4 * i, static_cast<uint32_t>(block.size()));
        block.insert(block.end(), lists[i].begin(), lists[i].end());
    }
    return block;
}

// A FILEDESCRIPTORW with the name's units and every field before the name filled, so that a
// name read from the wrong place shows.
Bytes Descriptor(const std::vector<uint16_t>& nameUnits)
{
    Bytes record(592, 0);
    for (size_t i = 0; i < 72; ++i)
        record[i] = static_cast<uint8_t>(0x41 + i % 26);
    for (size_t i = 0; i < nameUnits.size() && i < 260; ++i)
        PutU16(record, 72 + 2 * i, nameUnits[i]);
    return record;
}

std::vector<uint16_t> Units(const std::wstring& text)
{
    return std::vector<uint16_t>(text.begin(), text.end());
}

Bytes FileGroup(uint32_t count, const std::vector<Bytes>& records)
{
    Bytes block(4);
    PutU32(block, 0, count);
    for (const Bytes& record : records)
        block.insert(block.end(), record.begin(), record.end());
    return block;
}

// ---- Drop effects -----------------------------------------------------------------------

TEST(DropEffect, FilterKeepsAllowedEffectsAndFallsBackInOrder)
{
    struct Case {
        uint32_t effect;
        uint32_t allowed;
        uint32_t filtered;
    } const cases[] = {
        {kCopy, kCopy | kMove, kCopy},
        {kMove, kCopy | kMove, kMove},
        {kLink, kLink, kLink},
        {kCopy | kMove, kCopy | kMove | kLink, kCopy | kMove}, // within the allowed ones
        {kMove, kCopy, kCopy},                                 // the palette's copy-only drag
        {kCopy, kMove, kMove},
        {kCopy, kMove | kLink, kMove}, // the other of copy and move before link
        {kMove, kCopy | kLink, kCopy},
        {kCopy, kLink, kLink},
        {kMove, kLink, kLink},
        {kCopy, kNone, kNone},
        {kMove, kNone, kNone},
        {kLink, kCopy | kMove, kNone}, // link has no fallback
        {kCopy | kMove, kCopy, kNone}, // a combination is not a copy or a move
        {8, kCopy | kMove | kLink, kNone},
        {kNone, kCopy, kNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FilterDropEffect(c.effect, c.allowed), c.filtered) << c.effect << " from " << c.allowed;
}

TEST(DropEffect, SuggestionFollowsTheDataAndCtrl)
{
    struct Case {
        XDataKind kind;
        uint32_t keys;
        uint32_t suggested;
    } const cases[] = {
        {XDataKind::Internal, 0, kMove},
        {XDataKind::Internal, kKeyControl, kCopy},
        {XDataKind::Internal, kKeyControl | kKeyRightButton, kCopy},
        {XDataKind::Internal, kKeyRightButton, kMove},
        {XDataKind::Internal, 0x04 /* shift */, kMove},
        {XDataKind::Foreign, 0, kLink},
        {XDataKind::Foreign, kKeyControl, kLink},
        {XDataKind::None, 0, kNone},
        {XDataKind::None, kKeyControl, kNone},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SuggestedDropEffect(c.kind, c.keys), c.suggested)
            << "kind " << static_cast<int>(c.kind) << ", keys " << c.keys;
    }
}

TEST(DropEffect, LeftButtonDropTakesWhatTheSourceAllows)
{
    struct Case {
        const char* name;
        XDataKind kind;
        uint32_t suggestion;
        uint32_t allowed;
        uint32_t effect;
    } const cases[] = {
        {"internal move", XDataKind::Internal, kMove, kCopy | kMove, kMove},
        {"internal copy", XDataKind::Internal, kCopy, kCopy | kMove, kCopy},
        {"suggestion not allowed", XDataKind::Internal, kMove, kCopy, kNone},
        {"no suggestion", XDataKind::Internal, kNone, kCopy | kMove, kNone},
        {"foreign, linking allowed", XDataKind::Foreign, kNone, kCopy | kLink, kLink},
        {"foreign ignores the suggestion", XDataKind::Foreign, kCopy, kCopy | kMove | kLink, kLink},
        {"foreign without linking", XDataKind::Foreign, kLink, kCopy | kMove, kNone},
        {"nothing usable", XDataKind::None, kCopy, kCopy | kMove | kLink, kNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LeftButtonDropEffect(c.kind, c.suggestion, c.allowed), c.effect);
    }
}

// What the user gets from each kind of drag, the rules put together as the drop target does.
TEST(DropEffect, EachSourceGetsItsEffectsAndMenu)
{
    struct Case {
        const char* name;
        XDataKind kind;
        uint32_t keys;
        uint32_t allowed;
        uint32_t leftButton;
        CDropMenuState menu; // copy, move, link
    } const cases[] = {
        {"a view", XDataKind::Internal, 0, kCopy | kMove, kMove, {true, true, false}},
        {"a view, Ctrl held", XDataKind::Internal, kKeyControl, kCopy | kMove, kCopy, {true, true, false}},
        {"the palette", XDataKind::Internal, 0, kCopy, kCopy, {true, false, false}},
        {"another program", XDataKind::Foreign, 0, kCopy | kLink, kLink, {false, false, true}},
        {"another program, no linking", XDataKind::Foreign, 0, kCopy | kMove, kNone, {false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const uint32_t suggestion = FilterDropEffect(SuggestedDropEffect(c.kind, c.keys), c.allowed);
        EXPECT_EQ(LeftButtonDropEffect(c.kind, suggestion, c.allowed), c.leftButton);
        const CDropMenuState menu = DropMenuStateOf(c.kind, c.allowed);
        EXPECT_EQ(menu.copy, c.menu.copy);
        EXPECT_EQ(menu.move, c.menu.move);
        EXPECT_EQ(menu.link, c.menu.link);
    }
}

TEST(DropMenu, CommandsEnabledForTheDataAndAllowedEffects)
{
    struct Case {
        XDataKind kind;
        uint32_t allowed;
        CDropMenuState menu;
    } const cases[] = {
        {XDataKind::Internal, kMove, {false, true, false}},
        {XDataKind::Internal, kLink, {false, false, false}}, // link is never offered for nodes
        {XDataKind::Internal, kNone, {false, false, false}},
        {XDataKind::Foreign, kNone, {false, false, true}},
        {XDataKind::Foreign, kCopy | kMove | kLink, {false, false, true}},
        {XDataKind::None, kCopy | kMove | kLink, {false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(c.kind) << ", allowed " << c.allowed);
        const CDropMenuState menu = DropMenuStateOf(c.kind, c.allowed);
        EXPECT_EQ(menu.copy, c.menu.copy);
        EXPECT_EQ(menu.move, c.menu.move);
        EXPECT_EQ(menu.link, c.menu.link);
    }
}

TEST(DropMenu, ChosenCommandGivesItsEffect)
{
    struct Case {
        int command;
        uint32_t effect;
    } const cases[] = {
        {32793, kCopy}, {32794, kMove}, {32778, kLink}, {32795, kNone}, {0, kNone}, {316, kNone}, {32796, kNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EffectOfDropCommand(c.command), c.effect) << "command " << c.command;
}

// ---- Automatic scrolling ----------------------------------------------------------------

TEST(DragScroll, ScrollsWithinHalfAnIconOfAnEdge)
{
    struct Case {
        const char* name;
        int x, y;
        int left, top, right, bottom;
        int cx, cy;
        CDragScroll scroll; // up, down, left, right
    } const cases[] = {
        {"middle", 100, 50, 0, 0, 200, 100, 16, 16, {false, false, false, false}},
        {"just inside the upper margin", 100, 7, 0, 0, 200, 100, 16, 16, {true, false, false, false}},
        {"just below the upper margin", 100, 8, 0, 0, 200, 100, 16, 16, {false, false, false, false}},
        {"just above the lower margin", 100, 91, 0, 0, 200, 100, 16, 16, {false, false, false, false}},
        {"on the lower margin", 100, 92, 0, 0, 200, 100, 16, 16, {false, true, false, false}},
        {"just inside the left margin", 7, 50, 0, 0, 200, 100, 16, 16, {false, false, true, false}},
        {"just right of the left margin", 8, 50, 0, 0, 200, 100, 16, 16, {false, false, false, false}},
        {"just left of the right margin", 191, 50, 0, 0, 200, 100, 16, 16, {false, false, false, false}},
        {"on the right margin", 192, 50, 0, 0, 200, 100, 16, 16, {false, false, false, true}},
        {"upper left corner", 0, 0, 0, 0, 200, 100, 16, 16, {true, false, true, false}},
        {"lower right corner", 199, 99, 0, 0, 200, 100, 16, 16, {false, true, false, true}},
        {"odd icon size halves down", 100, 8, 0, 0, 200, 100, 17, 17, {false, false, false, false}},
        {"margins from the rectangle's edges", 60, 27, 10, 20, 110, 70, 16, 16, {true, false, false, false}},
        {"below a moved upper margin", 60, 28, 10, 20, 110, 70, 16, 16, {false, false, false, false}},
        {"a different icon width and height", 25, 50, 0, 0, 200, 100, 52, 10, {false, false, true, false}},
        {"a view lower than an icon", 50, 5, 0, 0, 100, 10, 16, 32, {true, true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CDragScroll scroll = DragScrollOf(c.x, c.y, c.left, c.top, c.right, c.bottom, c.cx, c.cy);
        EXPECT_EQ(scroll.up, c.scroll.up);
        EXPECT_EQ(scroll.down, c.scroll.down);
        EXPECT_EQ(scroll.left, c.scroll.left);
        EXPECT_EQ(scroll.right, c.scroll.right);
    }
}

TEST(DragScroll, DueMoreThan100MsAfterTheLastCheckAcrossTheWrap)
{
    struct Case {
        uint32_t now;
        uint32_t last;
        bool due;
    } const cases[] = {
        {1000, 1000, false},
        {1100, 1000, false},
        {1101, 1000, true},
        {60000, 1000, true},
        {0xFFFFFFFF, 0xFFFFFFF0, false}, // just before the wrap, 15 ms on
        {0x00000054, 0xFFFFFFF0, false}, // 100 ms across the wrap
        {0x00000055, 0xFFFFFFF0, true},
        {50, 0xFFFFFFFF, false},
        {0xFFFFFFFF, 0xFFFFFF9B, false},
        {0xFFFFFFFF, 0xFFFFFF9A, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollDue(c.now, c.last), c.due) << std::hex << c.now << " after " << c.last;
}

// ---- Tree drop zones --------------------------------------------------------------------

TEST(TreeDropZone, ZonesOfEachKindOfRow)
{
    using Z = XTreeDropZone;
    struct Case {
        int y, top, bottom;
        bool isParent, expanded;
        Z zone;
    } const cases[] = {
        // An entry: halves of a 16-pixel row.
        {40, 40, 56, false, false, Z::Before},
        {47, 40, 56, false, false, Z::Before},
        {48, 40, 56, false, false, Z::After},
        {55, 40, 56, false, false, Z::After},
        // An expanded submenu: always before.
        {40, 40, 56, true, true, Z::Before},
        {50, 40, 56, true, true, Z::Before},
        {55, 40, 56, true, true, Z::Before},
        // A collapsed submenu: quarters.
        {43, 40, 56, true, false, Z::Before},
        {44, 40, 56, true, false, Z::Into},
        {51, 40, 56, true, false, Z::Into},
        {52, 40, 56, true, false, Z::After},
        {55, 40, 56, true, false, Z::After},
        // A row of 17 pixels: the parts end where the integer division says.
        {8, 0, 17, false, false, Z::Before},
        {9, 0, 17, false, false, Z::After},
        {4, 0, 17, true, false, Z::Before},
        {5, 0, 17, true, false, Z::Into},
        {12, 0, 17, true, false, Z::Into},
        {13, 0, 17, true, false, Z::After},
        // Outside the row: above it divides toward zero, below it is after.
        {37, 40, 56, false, false, Z::Before},
        {37, 40, 56, true, false, Z::Before},
        {60, 40, 56, true, false, Z::After},
        // No height: before, whatever the row.
        {40, 40, 40, false, false, Z::Before},
        {40, 40, 40, true, false, Z::Before},
        {45, 50, 40, true, false, Z::Before},
        // Far apart coordinates do not overflow.
        {INT_MAX - 1, INT_MIN + 2, INT_MAX, false, false, Z::After},
        {INT_MAX - 1, INT_MIN + 2, INT_MAX, true, false, Z::After},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TreeDropZoneOf(c.y, c.top, c.bottom, c.isParent, c.expanded), c.zone)
            << "y " << c.y << " in " << c.top << ".." << c.bottom << (c.isParent ? " submenu" : " entry")
            << (c.expanded ? " expanded" : "");
    }
}

TEST(TreeDropZone, HoverTogglesOnceInTheUpperThreeQuartersAfterASecond)
{
    struct Case {
        const char* name;
        int y, top, bottom;
        bool toggled;
        uint32_t elapsed;
        bool toggles;
    } const cases[] = {
        {"top of the row", 40, 40, 56, false, 1000, true},
        {"last line of the third quarter", 51, 40, 56, false, 1000, true},
        {"lower quarter", 52, 40, 56, false, 5000, false},
        {"toggled during this hover", 40, 40, 56, true, 5000, false},
        {"not a second yet", 40, 40, 56, false, 999, false},
        {"long hover", 45, 40, 56, false, 100000, true},
        {"a row without height", 40, 40, 40, false, 5000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HoverTogglesNow(c.y, c.top, c.bottom, c.toggled, c.elapsed), c.toggles);
    }
}

TEST(TreeDropZone, InsertPositionAmongTheTargetsChildren)
{
    SampleTree menu; // Sub1 holds B, Sub2, Sep
    CXParent* empty = NewSubmenu(L"Empty");
    menu.root->InsertChild(menu.root->children.size(), empty);
    using Z = XTreeDropZone;
    struct Case {
        const char* name;
        Z zone;
        const CXParent* target;
        const CXNode* node;
        int position;
    } const cases[] = {
        {"into a submenu appends", Z::Into, menu.sub1, menu.sub1, 3},
        {"into an empty submenu", Z::Into, empty, empty, 0},
        {"before the first child", Z::Before, menu.sub1, menu.b, 0},
        {"after the first child", Z::After, menu.sub1, menu.b, 1},
        {"before the last child", Z::Before, menu.sub1, menu.sep, 2},
        {"after the last child", Z::After, menu.sub1, menu.sep, 3},
        {"before a submenu among the root's children", Z::Before, menu.root.get(), menu.sub1, 1},
        {"a node of another submenu", Z::Before, menu.sub1, menu.a, 3},
        {"a grandchild is not a child", Z::After, menu.sub1, menu.c, 3},
        {"no node", Z::After, menu.sub1, nullptr, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TreeInsertPosition(c.zone, *c.target, c.node), c.position);
    }
}

// ---- List drop position -----------------------------------------------------------------

TEST(ListDropPosition, MarkedItemOrTheOneAfterIt)
{
    struct Case {
        int rows, mark;
        bool after;
        int position;
    } const cases[] = {
        {0, -1, false, 0}, {0, 3, true, 0},    {5, 0, false, 0},  {5, 2, false, 2},  {5, 2, true, 3},
        {5, 4, true, 5},   {5, -1, false, -1}, {5, -1, true, -1}, {5, -2, true, -2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ListInsertPosition(c.rows, c.mark, c.after), c.position)
            << "mark " << c.mark << (c.after ? " after" : " before") << " of " << c.rows << " rows";
    }
}

// ---- Valid targets ----------------------------------------------------------------------

TEST(DropTarget, RefusedOnADraggedSubmenuAndInsideIt)
{
    SampleTree menu;
    SampleTree other;
    struct Case {
        const char* name;
        std::vector<CXNode*> dragged;
        const CXParent* target;
        bool valid;
    } const cases[] = {
        {"the dragged submenu itself", {menu.sub1}, menu.sub1, false},
        {"inside the dragged submenu", {menu.sub1}, menu.sub2, false},
        {"above the dragged submenu", {menu.sub1}, menu.root.get(), true},
        {"the dragged submenu's sibling", {menu.sub2, menu.a}, menu.sub1, true},
        {"one of several dragged nodes", {menu.a, menu.d, menu.sub2}, menu.sub2, false},
        {"the other menu", {menu.sub1}, other.sub2, true},
        {"a dragged root", {menu.root.get()}, menu.sub2, false},
        {"dragged entries only", {menu.b, menu.c, menu.sep}, menu.sub2, true},
        {"nothing dragged", {}, menu.sub2, true},
        {"nothing dragged, the root", {}, menu.root.get(), true},
        {"no target", {}, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsValidDropTarget(c.target, c.dragged), c.valid);
    }
}

// ---- Copies and hotkeys -----------------------------------------------------------------

TEST(StripHotKeys, EveryItemBelowLosesItsBinding)
{
    SampleTree menu;
    Activate(menu.a, 0x41, 1);
    Activate(menu.b, 0x42, 2);
    Activate(menu.c, 0x43, 3); // a text-copy item two submenus down
    Activate(menu.d, 0x44, -1);

    StripHotKeys(*menu.sub1);
    EXPECT_EQ(menu.b->hotKey, CHotKeyTarget());
    EXPECT_EQ(menu.c->hotKey, CHotKeyTarget());
    EXPECT_EQ(menu.c->hotKey.hotKeyId, -1);
    // Nothing outside the container changes, nor the rest of an item.
    EXPECT_EQ(menu.a->hotKey.virtualKey, 0x41);
    EXPECT_EQ(menu.a->hotKey.hotKeyId, 1);
    EXPECT_EQ(menu.b->title, L"B");
    EXPECT_EQ(menu.c->text, L"copied");

    StripHotKeys(*menu.root);
    for (CXItem* item : {menu.a, menu.b, static_cast<CXItem*>(menu.c), menu.d})
        EXPECT_EQ(item->hotKey, CHotKeyTarget()) << testing::PrintToString(item->title);
}

// ---- "Shell IDList Array" ---------------------------------------------------------------

TEST(IdListArray, ParentAndChildrenWithTheirTerminators)
{
    const Bytes parent = IdList({{0x1F, 0x50, 0xE0, 0x4F}});
    const Bytes first = IdList({{0x2E, 0x80}, {0x31, 0x00, 0x61}});
    const Bytes second = IdList({{}}); // a record of only its count
    const Bytes block = IdListArray({parent, first, second});

    const std::optional<CIdListArray> array = ParseIdListArray(block.data(), block.size());
    ASSERT_TRUE(array);
    EXPECT_EQ(array->parent, (Bytes{6, 0, 0x1F, 0x50, 0xE0, 0x4F, 0, 0}));
    ASSERT_EQ(array->children.size(), 2u);
    EXPECT_EQ(array->children[0], (Bytes{4, 0, 0x2E, 0x80, 5, 0, 0x31, 0x00, 0x61, 0, 0}));
    EXPECT_EQ(array->children[1], (Bytes{2, 0, 0, 0}));
}

TEST(IdListArray, EmptyParentAndNoChildren)
{
    const Bytes desktop = IdList({});
    Bytes block = IdListArray({desktop});
    std::optional<CIdListArray> array = ParseIdListArray(block.data(), block.size());
    ASSERT_TRUE(array);
    EXPECT_EQ(array->parent, (Bytes{0, 0}));
    EXPECT_TRUE(array->children.empty());

    // Offsets may share a list and point anywhere inside the block.
    block = IdListArray({desktop, IdList({{7}})});
    PutU32(block, 4, static_cast<uint32_t>(block.size() - 2)); // the child's terminator
    PutU32(block, 8, static_cast<uint32_t>(block.size() - 2));
    array = ParseIdListArray(block.data(), block.size());
    ASSERT_TRUE(array);
    EXPECT_EQ(array->parent, (Bytes{0, 0}));
    EXPECT_EQ(array->children, std::vector<Bytes>{(Bytes{0, 0})});
}

TEST(IdListArray, MalformedBlocksAreRefused)
{
    const Bytes good = IdListArray({IdList({}), IdList({{1, 2, 3}}), IdList({{4}, {5, 6}})});
    ASSERT_TRUE(ParseIdListArray(good.data(), good.size()));
    const size_t childOffset = 8;           // the first child's entry in the offset table
    const size_t child = good[childOffset]; // where the first child's list starts (below 256)

    struct Case {
        const char* name;
        Bytes block;
    };
    std::vector<Case> cases;
    auto with = [&](const char* name, size_t at, uint32_t value, bool wide) {
        Bytes block = good;
        if (wide)
            PutU32(block, at, value);
        else
            PutU16(block, at, value);
        cases.push_back({name, block});
    };
    ASSERT_EQ(good[child], 5); // the first record of the first child
    cases.push_back({"no count", {}});
    cases.push_back({"three bytes", {0, 0, 0}});
    cases.push_back({"a count without the parent's offset", {0, 0, 0, 0}});
    cases.push_back({"a count without the children's offsets", {1, 0, 0, 0, 8, 0, 0, 0}});
    with("an offset table running past the end", 0, static_cast<uint32_t>((good.size() - 4) / 4), true);
    with("a count whose last offset is read from the lists", 0, 3, true);
    with("a count whose table size overflows 32 bits", 0, 0x40000000, true);
    with("the largest count", 0, 0xFFFFFFFF, true);
    with("an offset at the end of the block", childOffset, static_cast<uint32_t>(good.size()), true);
    with("an offset at the last byte", childOffset, static_cast<uint32_t>(good.size() - 1), true);
    with("an offset far beyond the block", childOffset, 0xFFFFFFF0, true);
    // A count of 1 followed by a zero would pass for a terminator one byte on.
    cases.push_back({"a record count of 1", IdListArray({IdList({}), Bytes{1, 0, 0}})});
    with("a record running past the end", child, static_cast<uint32_t>(good.size() - child + 1), false);
    with("a record reaching the end without a terminator", child, static_cast<uint32_t>(good.size() - child), false);
    cases.push_back({"the last terminator missing", Bytes(good.begin(), good.end() - 2)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // An exact copy, so that any read past the end is caught.
        const Bytes block = c.block;
        EXPECT_FALSE(ParseIdListArray(block.data(), block.size()));
    }
}

TEST(IdListArray, EveryTruncationIsRefused)
{
    const Bytes good = IdListArray({IdList({{0x14, 0x1F}}), IdList({{1, 2, 3}}), IdList({{4}, {5, 6}})});
    for (size_t size = 0; size < good.size(); ++size) {
        const Bytes prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ParseIdListArray(prefix.data(), prefix.size())) << size << " bytes";
    }
    EXPECT_FALSE(ParseIdListArray(nullptr, 0));
}

// ---- "FileGroupDescriptorW" -------------------------------------------------------------

TEST(FileGroupDescriptor, NumbersAndNamesOfTheDescriptors)
{
    const std::wstring smile{static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    std::vector<uint16_t> stopped = Units(L"a");
    stopped.push_back(0);
    stopped.push_back(L'b'); // after the name's end
    const Bytes block = FileGroup(4, {Descriptor(Units(L"Example Domain.url")), Descriptor(Units(L"メモ.txt")),
                                      Descriptor(Units(smile + L".URL")), Descriptor(stopped)});

    const std::vector<CFileDescriptorName> names = ParseFileGroupDescriptorW(block.data(), block.size());
    ASSERT_EQ(names.size(), 4u);
    for (uint32_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(names[i].index, i);
    EXPECT_EQ(names[0].name, L"Example Domain.url");
    EXPECT_EQ(names[1].name, L"メモ.txt");
    // A character beyond the 16-bit range stays two units, whatever the width of wchar_t.
    EXPECT_EQ(names[2].name, smile + L".URL");
    EXPECT_EQ(names[2].name.size(), 6u);
    EXPECT_EQ(names[3].name, L"a");
}

TEST(FileGroupDescriptor, NameLengthsUpTo260Characters)
{
    const std::wstring full(260, L'x');
    const Bytes block = FileGroup(3, {Descriptor(Units(full)), Descriptor(Units(full.substr(0, 259))), Descriptor({})});
    const std::vector<CFileDescriptorName> names = ParseFileGroupDescriptorW(block.data(), block.size());
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0].name, full); // no NUL: all 260 characters
    EXPECT_EQ(names[1].name.size(), 259u);
    EXPECT_EQ(names[2].name, L"");
}

TEST(FileGroupDescriptor, OnlyCompleteDescriptorsAreRead)
{
    const Bytes one = Descriptor(Units(L"1.url"));
    const Bytes two = Descriptor(Units(L"2.url"));
    struct Case {
        const char* name;
        Bytes block;
        size_t count;
    } const cases[] = {
        {"as many as counted", FileGroup(2, {one, two}), 2},
        {"fewer counted than present", FileGroup(1, {one, two}), 1},
        {"none counted", FileGroup(0, {one}), 0},
        {"more counted than present", FileGroup(3, {one, two}), 2},
        {"the largest count", FileGroup(0xFFFFFFFF, {one}), 1},
        {"the second one cut short",
         [&] {
             Bytes b = FileGroup(2, {one, two});
             b.pop_back();
             return b;
         }(),
         1},
        {"a count only", FileGroup(1, {}), 0},
        {"no whole count", {1, 0, 0}, 0},
        {"nothing", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes block = c.block; // exact size, so that any read past the end is caught
        const std::vector<CFileDescriptorName> names = ParseFileGroupDescriptorW(block.data(), block.size());
        ASSERT_EQ(names.size(), c.count);
        for (size_t i = 0; i < names.size(); ++i) {
            EXPECT_EQ(names[i].index, i);
            EXPECT_EQ(names[i].name, i == 0 ? L"1.url" : L"2.url");
        }
    }
}

TEST(FileGroupDescriptor, EveryTruncationStaysInsideTheBlock)
{
    const Bytes good = FileGroup(2, {Descriptor(Units(std::wstring(260, L'n'))), Descriptor(Units(L"b.url"))});
    for (size_t size = 0; size < good.size(); ++size) {
        const Bytes prefix(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size));
        const size_t whole = size < 4 ? 0 : (size - 4) / 592;
        EXPECT_EQ(ParseFileGroupDescriptorW(prefix.data(), prefix.size()).size(), whole) << size << " bytes";
    }
    EXPECT_TRUE(ParseFileGroupDescriptorW(nullptr, 0).empty());
}

TEST(UrlFileTitle, NameWithoutItsUrlExtension)
{
    struct Case {
        std::wstring name;
        std::optional<std::wstring> title;
    } const cases[] = {
        {L"Example Domain.url", L"Example Domain"},
        {L"A.URL", L"A"},
        {L"x.uRl", L"x"},
        {L"リンク.url", L"リンク"},
        {L"two.url.url", L"two.url"},
        {L".url", L""},
        {L"url", std::nullopt},
        {L"a.urls", std::nullopt},
        {L"a.url.txt", std::nullopt},
        {L"a.lnk", std::nullopt},
        {L"a_url", std::nullopt},
        {L"a.ＵＲＬ", std::nullopt}, // only ASCII letters fold
        {L"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UrlFileTitle(c.name), c.title) << testing::PrintToString(c.name);
}

} // namespace
