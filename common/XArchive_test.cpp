// The byte stream: primitives, length forms, object tags, and the records of single nodes.

#include "XArchive.h"

#include <gtest/gtest.h>

#include <memory>

#include "ArchiveBytes.h"
#include "FakePlatform.h"
#include "XNode.h"

namespace {

std::vector<uint8_t> Head(const std::vector<uint8_t>& bytes, size_t n)
{
    return std::vector<uint8_t>(bytes.begin(), bytes.begin() + std::min(n, bytes.size()));
}

class ArchiveTest : public ::testing::Test {
protected:
    CFakeEnvironment env;
};

TEST_F(ArchiveTest, PrimitivesAreLittleEndian)
{
    CXArchive out;
    out.WriteByte(0xAB);
    out.WriteWord(0x1234);
    out.WriteInt32(-2);
    out.WriteUInt32(0x89ABCDEF);
    out.WriteUInt64(0x0102030405060708ULL);
    EXPECT_EQ(out.Bytes(), CArchiveBytes().Hex("AB 34 12 FE FF FF FF EF CD AB 89 08 07 06 05 04 03 02 01").bytes);

    CXArchive in(out.Bytes());
    EXPECT_EQ(in.ReadByte(), 0xAB);
    EXPECT_EQ(in.ReadWord(), 0x1234);
    EXPECT_EQ(in.ReadInt32(), -2);
    EXPECT_EQ(in.ReadUInt32(), 0x89ABCDEFu);
    EXPECT_EQ(in.ReadUInt64(), 0x0102030405060708ULL);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST_F(ArchiveTest, ReadingPastTheEndFailsAndStaysFailed)
{
    const std::vector<uint8_t> data = {1, 2, 3};
    CXArchive in(data);
    EXPECT_EQ(in.ReadWord(), 0x0201);
    EXPECT_EQ(in.ReadInt32(), 0); // only one byte left
    EXPECT_TRUE(in.Failed());
    EXPECT_EQ(in.ReadByte(), 0); // sticky, even though a byte remains
    EXPECT_EQ(in.Position(), 2u);
}

struct CountCase {
    uint64_t n;
    const char* hex;
    bool readBack; // small enough to give the reader the room the count announces
};

TEST_F(ArchiveTest, CountForms)
{
    const CountCase cases[] = {
        {0, "00 00", true},
        {1, "01 00", true},
        {0xFFFE, "FE FF", true},
        {0xFFFF, "FF FF FF FF 00 00", true},
        {0x10000, "FF FF 00 00 01 00", true},
        {0xFFFFFFFE, "FF FF FE FF FF FF", false},
        {0xFFFFFFFF, "FF FF FF FF FF FF FF FF FF FF 00 00 00 00", false},
        {0x123456789ULL, "FF FF FF FF FF FF 89 67 45 23 01 00 00 00", false},
    };
    for (const CountCase& c : cases) {
        SCOPED_TRACE(c.n);
        CXArchive out;
        out.WriteCount(c.n);
        const std::vector<uint8_t> expected = CArchiveBytes().Hex(c.hex).bytes;
        EXPECT_EQ(out.Bytes(), expected);
        if (!c.readBack)
            continue;
        // Reading wants room for the objects the count announces (2 bytes each).
        std::vector<uint8_t> data = expected;
        data.insert(data.end(), static_cast<size_t>(c.n) * 2, uint8_t{0});
        CXArchive in(data);
        EXPECT_EQ(in.ReadCount(), c.n);
        EXPECT_FALSE(in.Failed());
        EXPECT_EQ(in.Remaining(), 2 * c.n);
    }
}

TEST_F(ArchiveTest, CountLargerThanTheRestIsRefused)
{
    const char* cases[] = {
        "03 00 00 00 00 00",                            // three objects in four bytes
        "FF FF FF FF FF 7F",                            // 4-byte form
        "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF", // 8-byte form, 2^64 - 1
        "FF FF FF",                                     // form cut short
    };
    for (const char* hex : cases) {
        SCOPED_TRACE(hex);
        const std::vector<uint8_t> data = CArchiveBytes().Hex(hex).bytes;
        CXArchive in(data);
        EXPECT_EQ(in.ReadCount(), 0u);
        EXPECT_TRUE(in.Failed());
    }
    // Exactly enough room is accepted.
    const std::vector<uint8_t> data = CArchiveBytes().Hex("02 00 00 00 00 00").bytes;
    CXArchive in(data);
    EXPECT_EQ(in.ReadCount(), 2u);
    EXPECT_FALSE(in.Failed());
}

struct StringFormCase {
    size_t length;
    const char* head; // marker and length
};

TEST_F(ArchiveTest, StringLengthFormsRoundTrip)
{
    const StringFormCase cases[] = {
        {0, "FF FE FF 00"},
        {1, "FF FE FF 01"},
        {254, "FF FE FF FE"},
        {255, "FF FE FF FF FF 00"},
        {0xFFFD, "FF FE FF FF FD FF"},
        {0xFFFE, "FF FE FF FF FF FF FE FF 00 00"},
        {0x10005, "FF FE FF FF FF FF 05 00 01 00"},
    };
    for (const StringFormCase& c : cases) {
        SCOPED_TRACE(c.length);
        std::wstring s(c.length, L'x');
        for (size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<wchar_t>(0x3041 + i % 80); // hiragana: both bytes matter
        CXArchive out;
        out.WriteString(s);
        const std::vector<uint8_t> head = CArchiveBytes().Hex(c.head).bytes;
        ASSERT_EQ(out.Bytes().size(), head.size() + 2 * c.length);
        EXPECT_EQ(Head(out.Bytes(), head.size()), head);

        CXArchive in(out.Bytes());
        EXPECT_EQ(in.ReadString(), s);
        EXPECT_FALSE(in.Failed());
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST_F(ArchiveTest, StringUnitsAreUtf16CodeUnits)
{
    const std::wstring s = {L'A', 0x65E5, static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00), 0xFFFF};
    CXArchive out;
    out.WriteString(s);
    EXPECT_EQ(out.Bytes(), CArchiveBytes().Hex("FF FE FF 05 41 00 E5 65 3D D8 00 DE FF FF").bytes);
    CXArchive in(out.Bytes());
    EXPECT_EQ(in.ReadString(), s);
}

struct ReadStringCase {
    const char* name;
    std::vector<uint8_t> bytes;
    std::wstring expected;
};

TEST_F(ArchiveTest, ReaderAcceptsEveryLengthForm)
{
    const std::wstring japanese = L"メモ帳と日本語";
    const std::string cp932 = ToCp932(japanese);
    ASSERT_EQ(FromCp932(cp932), japanese);
    const std::string longAnsi = std::string(300, 'a') + cp932;
    const ReadStringCase cases[] = {
        {"wide, word length", CArchiveBytes().Hex("FF FE FF FF 02 00 41 00 42 00").bytes, L"AB"},
        {"wide, 4-byte length", CArchiveBytes().Hex("FF FE FF FF FF FF 01 00 00 00 41 00").bytes, L"A"},
        {"wide, 8-byte length",
         CArchiveBytes().Hex("FF FE FF FF FF FF FF FF FF FF 01 00 00 00 00 00 00 00 41 00").bytes, L"A"},
        {"ansi, byte length", CArchiveBytes().AnsiStr(cp932).bytes, japanese},
        {"ansi, word length", CArchiveBytes().AnsiStr(longAnsi).bytes, std::wstring(300, L'a') + japanese},
        {"ansi, 4-byte length", CArchiveBytes().Hex("FF FF FF 02 00 00 00 41 42").bytes, L"AB"},
        {"ansi, empty", CArchiveBytes().Hex("00").bytes, L""},
    };
    for (const ReadStringCase& c : cases) {
        SCOPED_TRACE(c.name);
        CXArchive in(c.bytes);
        EXPECT_EQ(in.ReadString(), c.expected);
        EXPECT_FALSE(in.Failed());
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST_F(ArchiveTest, StringLongerThanTheDataIsRefused)
{
    const char* cases[] = {
        "05 41 42 43 44",                                              // ansi, one byte short
        "FF FE FF 03 41 00 42 00 43",                                  // wide, half a unit short
        "FF FE FF FF FF FF FF FF FF 7F",                               // wide, 4-byte length
        "FF FE FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF",       // wide, 2^64 - 1
        "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF", // ansi, 2^64 - 1
        "FF FE",                                                       // marker cut short
        "FF FE FF",                                                    // length missing
        "",
    };
    for (const char* hex : cases) {
        SCOPED_TRACE(hex);
        const std::vector<uint8_t> data = CArchiveBytes().Hex(hex).bytes;
        CXArchive in(data);
        EXPECT_EQ(in.ReadString(), L"");
        EXPECT_TRUE(in.Failed());
    }
}

TEST_F(ArchiveTest, DepthIsLimited)
{
    CXArchive ar;
    for (int i = 0; i < CXArchive::kMaxDepth; ++i)
        ASSERT_TRUE(ar.EnterChildren());
    EXPECT_FALSE(ar.Failed());
    EXPECT_FALSE(ar.EnterChildren());
    EXPECT_TRUE(ar.Failed());
}

// ---- Object tags ----------------------------------------------------------------------

TEST_F(ArchiveTest, OneCounterNumbersClassesAndObjects)
{
    CXItem item1, item2, item3;
    CXSeparator separator1, separator2;
    CXArchive out;
    // Indices: CXItem 1, item1 2, item2 3, CXSeparator 4, separator1 5, separator2 6, item3 7.
    for (CXNode* node : std::initializer_list<CXNode*>{&item1, &item2, &separator1, &separator2, &item3})
        out.WriteObject(node);
    ASSERT_FALSE(out.Failed());

    CArchiveBytes expected;
    expected.NewClass("CXItem").ItemRecord(L"");
    expected.Word(0x8001).ItemRecord(L"");
    expected.NewClass("CXSeparator").SeparatorRecord();
    expected.Word(0x8004).SeparatorRecord();
    expected.Word(0x8001).ItemRecord(L"");
    EXPECT_EQ(out.Bytes(), expected.bytes);

    CXArchive in(out.Bytes());
    const CXRuntimeClass* kinds[] = {&CXItem::classInfo, &CXItem::classInfo, &CXSeparator::classInfo,
                                     &CXSeparator::classInfo, &CXItem::classInfo};
    for (const CXRuntimeClass* kind : kinds) {
        std::unique_ptr<CXNode> node(in.ReadObject());
        ASSERT_TRUE(node);
        EXPECT_EQ(node->GetRuntimeClass(), kind);
    }
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST_F(ArchiveTest, LargeClassReferenceFormIsRead)
{
    CArchiveBytes bytes;
    bytes.NewClass("CXSeparator").SeparatorRecord();          // class 1, object 2
    bytes.Word(0x7FFF).UInt32(0x80000001).SeparatorRecord();  // object 3
    bytes.NewClass("CXItem").ItemRecord(L"one");              // class 4, object 5
    bytes.Word(0x7FFF).UInt32(0x80000004).ItemRecord(L"two"); // object 6
    bytes.Word(0x8004).ItemRecord(L"three");                  // small form of the same class
    CXArchive in(bytes.bytes);
    std::vector<std::unique_ptr<CXNode>> nodes;
    for (int i = 0; i < 5; ++i) {
        nodes.emplace_back(in.ReadObject());
        ASSERT_TRUE(nodes.back()) << i;
    }
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_TRUE(nodes[1]->IsKindOf<CXSeparator>());
    EXPECT_EQ(nodes[3]->GetTitle(), L"two");
    EXPECT_EQ(nodes[4]->GetTitle(), L"three");
}

struct BadTagCase {
    const char* name;
    std::vector<uint8_t> bytes;
};

TEST_F(ArchiveTest, TagsThatNameNoNewObjectAreRefused)
{
    auto afterOneSeparator = [] { return CArchiveBytes().NewClass("CXSeparator").SeparatorRecord(); };
    const BadTagCase cases[] = {
        {"no-object tag", afterOneSeparator().Word(0).bytes},
        {"reference to an object read before", afterOneSeparator().Word(2).bytes},
        {"reference to an index not defined", afterOneSeparator().Word(5).bytes},
        {"class reference to an object's index", afterOneSeparator().Word(0x8002).SeparatorRecord().bytes},
        {"class reference to an index not defined", afterOneSeparator().Word(0x8003).SeparatorRecord().bytes},
        {"class reference to index 0", afterOneSeparator().Word(0x8000).SeparatorRecord().bytes},
        {"large object reference", afterOneSeparator().Word(0x7FFF).UInt32(2).bytes},
        {"large class reference not defined", afterOneSeparator().Word(0x7FFF).UInt32(0x80000009).bytes},
        {"large tag cut short", afterOneSeparator().Hex("FF 7F 01 00").bytes},
        {"unknown class", afterOneSeparator().NewClass("CXFolder").SeparatorRecord().bytes},
        {"root class", afterOneSeparator().NewClass("CXRoot").ParentHead(L"", 0).Byte(0).bytes},
        {"schema 2", afterOneSeparator().NewClass("CXSeparator", 2).SeparatorRecord().bytes},
        {"schema 0", afterOneSeparator().NewClass("CXSeparator", 0).SeparatorRecord().bytes},
        {"class name of 64 bytes", afterOneSeparator().NewClass(std::string(64, 'C')).SeparatorRecord().bytes},
        {"class name longer than the data", afterOneSeparator().Hex("FF FF 01 00 20 00 43 58").bytes},
        {"record cut short", afterOneSeparator().NewClass("CXItem").Byte(0).Byte(6).bytes},
        {"tag cut short", afterOneSeparator().Byte(0x01).bytes},
    };
    for (const BadTagCase& c : cases) {
        SCOPED_TRACE(c.name);
        CXArchive in(c.bytes);
        std::unique_ptr<CXNode> first(in.ReadObject());
        ASSERT_TRUE(first);
        EXPECT_EQ(in.ReadObject(), nullptr);
        EXPECT_TRUE(in.Failed());
    }
}

TEST_F(ArchiveTest, WriterRefusesNodesReadingCouldNotCreate)
{
    CXRoot root(kLeftMenuName);
    CXArchive out;
    out.WriteObject(&root);
    EXPECT_TRUE(out.Failed());
}

// ---- Node records ---------------------------------------------------------------------

void FillItem(CXItem& item)
{
    item.imageIndex = 7; // not stored
    item.title = L"メモ帳";
    item.accelerator = L"N";
    item.path = L"%WINDIR%\\notepad.exe";
    item.parameters = L"/a \"b\"";
    item.workingFolder = L"C:\\作業";
    item.reservedFlag = 1;
    item.expandEnvironment = 0;
    item.showCommand = 2;
    item.hotKey.modifiers = 3;
    item.hotKey.virtualKey = 0x74;
    item.hotKey.keyText = L"Ctrl + Alt + F5";
    item.hotKey.hotKeyId = 0xC001;
    item.isInternal = 1;
}

void ExpectSameStoredFields(const CXItem& a, const CXItem& b)
{
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.accelerator, b.accelerator);
    EXPECT_EQ(a.path, b.path);
    EXPECT_EQ(a.parameters, b.parameters);
    EXPECT_EQ(a.workingFolder, b.workingFolder);
    EXPECT_EQ(a.reservedFlag, b.reservedFlag);
    EXPECT_EQ(a.expandEnvironment, b.expandEnvironment);
    EXPECT_EQ(a.showCommand, b.showCommand);
    EXPECT_EQ(a.hotKey, b.hotKey);
    EXPECT_EQ(a.isInternal, b.isInternal);
}

TEST_F(ArchiveTest, ItemRecordLayout)
{
    CXItem item;
    FillItem(item);
    CXArchive out;
    item.Serialize(out);
    CArchiveBytes expected;
    expected.Byte(0).Byte(6).Str(L"メモ帳").Str(L"N").Str(L"%WINDIR%\\notepad.exe").Str(L"/a \"b\"").Str(L"C:\\作業");
    expected.Byte(1).Byte(0).Int32(2);
    expected.Byte(0).Int32(3).Int32(0x74).Str(L"Ctrl + Alt + F5").Int32(0xC001);
    expected.Byte(1);
    EXPECT_EQ(out.Bytes(), expected.bytes);

    CXArchive in(out.Bytes());
    CXItem read;
    read.Serialize(in);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
    ExpectSameStoredFields(read, item);
    EXPECT_EQ(read.imageIndex, -1);
}

TEST_F(ArchiveTest, FlagsAreWrittenAsZeroOrOne)
{
    CXItem item;
    item.reservedFlag = 5;
    item.expandEnvironment = -3;
    item.isInternal = 256;
    CXArchive out;
    item.Serialize(out);
    CXArchive in(out.Bytes());
    CXItem read;
    read.Serialize(in);
    EXPECT_EQ(read.reservedFlag, 1);
    EXPECT_EQ(read.expandEnvironment, 1);
    EXPECT_EQ(read.isInternal, 1);
}

TEST_F(ArchiveTest, TextItemRecordLayout)
{
    CXTextItem item;
    item.title = L"挨拶";
    item.summary = L"こんにちは...";
    item.text = L"こんにちは\r\n世界";
    item.expandEnvironment = 0;
    CXArchive out;
    item.Serialize(out);
    CArchiveBytes expected;
    expected.Byte(0).Byte(6).Str(L"挨拶").Str(L"").Str(L"").Str(L"").Str(L"");
    expected.Byte(0).Byte(0).Int32(0).Byte(0).Int32(0).Int32(0).Str(L"").Int32(-1).Byte(0);
    expected.Byte(0).Str(L"こんにちは...").Str(L"こんにちは\r\n世界");
    EXPECT_EQ(out.Bytes(), expected.bytes);

    CXArchive in(out.Bytes());
    CXTextItem read;
    read.Serialize(in);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
    ExpectSameStoredFields(read, item);
    EXPECT_EQ(read.summary, item.summary);
    EXPECT_EQ(read.text, item.text);
}

TEST_F(ArchiveTest, HotKeyRecordLayout)
{
    CHotKeyTarget key;
    key.modifiers = 6;
    key.virtualKey = 0x41;
    key.keyText = L"Ctrl + Shift + A";
    key.hotKeyId = -1;
    CXArchive out;
    key.Serialize(out);
    EXPECT_EQ(out.Bytes(), CArchiveBytes().Byte(0).Int32(6).Int32(0x41).Str(L"Ctrl + Shift + A").Int32(-1).bytes);
    // The record version is ignored on reading.
    std::vector<uint8_t> data = out.Bytes();
    data[0] = 9;
    CXArchive in(data);
    CHotKeyTarget read;
    read.Serialize(in);
    EXPECT_EQ(read, key);
    EXPECT_EQ(in.Remaining(), 0u);
}

// An item record of version v as the program of that version wrote it: title "Save(&S)",
// accelerator X where the record has one, every field a version carries set to a value
// that differs from the default.
std::vector<uint8_t> ItemOfVersion(uint8_t v, uint32_t showCommand = 2)
{
    CArchiveBytes b;
    b.Byte(0).Byte(v).Str(L"Save(&S)");
    if (v >= 6)
        b.Str(L"X");
    b.Str(L"C:\\p.exe").Str(L"-a").Str(L"C:\\w");
    if (v >= 4)
        b.Byte(1).Byte(0); // reserved, expand
    else
        b.Int32(0); // expand
    if (v >= 1)
        b.UInt32(showCommand);
    if (v >= 2)
        b.Byte(0).Int32(3).Int32(0x74).Str(L"Ctrl + Alt + F5").Int32(7);
    if (v >= 4)
        b.Byte(1);
    else if (v == 3)
        b.Int32(1);
    if (v == 4)
        b.Byte(9).Str(L"obsolete");
    return b.bytes;
}

TEST_F(ArchiveTest, EveryItemVersionIsRead)
{
    for (int v : {0, 1, 2, 3, 4, 5, 6, 7, 200}) {
        SCOPED_TRACE(v);
        // Versions above 6 carry the fields of 6.
        const uint8_t layout = static_cast<uint8_t>(std::min(v, 6));
        std::vector<uint8_t> data = ItemOfVersion(layout);
        data[1] = static_cast<uint8_t>(v);
        CXArchive in(data);
        CXItem item;
        item.Serialize(in);
        ASSERT_FALSE(in.Failed());
        EXPECT_EQ(in.Remaining(), 0u);

        EXPECT_EQ(item.title, v >= 6 ? L"Save(&S)" : L"Save");
        EXPECT_EQ(item.accelerator, v >= 6 ? L"X" : L"S");
        EXPECT_EQ(item.path, L"C:\\p.exe");
        EXPECT_EQ(item.parameters, L"-a");
        EXPECT_EQ(item.workingFolder, L"C:\\w");
        EXPECT_EQ(item.reservedFlag, v >= 4 ? 1 : 0);
        EXPECT_EQ(item.expandEnvironment, 0);
        EXPECT_EQ(item.showCommand, v >= 1 ? 2 : 0);
        CHotKeyTarget none;
        if (v >= 2) {
            EXPECT_EQ(item.hotKey.modifiers, 3);
            EXPECT_EQ(item.hotKey.virtualKey, 0x74);
            EXPECT_EQ(item.hotKey.keyText, L"Ctrl + Alt + F5");
            EXPECT_EQ(item.hotKey.hotKeyId, 7);
        } else {
            EXPECT_EQ(item.hotKey, none);
        }
        EXPECT_EQ(item.isInternal, v >= 3 ? 1 : 0);
    }
}

TEST_F(ArchiveTest, ShowCommandOutsideTheKnownValuesIsNormal)
{
    const struct {
        uint32_t stored;
        int expected;
    } cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 0}, {7, 0}, {0x80000001, 0}, {0xFFFFFFFF, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        const std::vector<uint8_t> data = ItemOfVersion(6, c.stored);
        CXArchive in(data);
        CXItem item;
        item.Serialize(in);
        EXPECT_FALSE(in.Failed());
        EXPECT_EQ(item.showCommand, c.expected);
    }
}

TEST_F(ArchiveTest, OldTitleWithoutMarkerInCodePage932)
{
    // A version-0 record whose strings an older program wrote as single bytes.
    const std::wstring title = L"メモ帳(&N)";
    CArchiveBytes b;
    b.Byte(0).Byte(0).AnsiStr(ToCp932(title)).AnsiStr(ToCp932(L"C:\\ツール\\memo.exe")).AnsiStr("").AnsiStr("");
    b.Int32(1);
    CXArchive in(b.bytes);
    CXItem item;
    item.Serialize(in);
    ASSERT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(item.title, L"メモ帳");
    EXPECT_EQ(item.accelerator, L"N");
    EXPECT_EQ(item.path, L"C:\\ツール\\memo.exe");
}

TEST_F(ArchiveTest, SubmenuVersionZeroDerivesItsAccelerator)
{
    const std::vector<uint8_t> data = CArchiveBytes().Byte(0).Byte(0).Str(L"&Tools").Word(0).bytes;
    CXArchive in(data);
    CXParent parent;
    parent.Serialize(in);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(parent.title, L"Tools");
    EXPECT_EQ(parent.accelerator, L"T");
}

TEST_F(ArchiveTest, SeparatorAndNodeVersionBytesAreIgnored)
{
    const std::vector<uint8_t> data = CArchiveBytes().Hex("05 09").bytes;
    CXArchive in(data);
    CXSeparator separator;
    separator.Serialize(in);
    EXPECT_FALSE(in.Failed());
    EXPECT_EQ(in.Remaining(), 0u);

    CXArchive out;
    separator.Serialize(out);
    EXPECT_EQ(out.Bytes(), CArchiveBytes().Hex("00 00").bytes);
}

} // namespace
