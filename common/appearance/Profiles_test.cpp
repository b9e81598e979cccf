#include "Profiles.h"

#include <gtest/gtest.h>

#include "ArchiveBytes.h"
#include "FakePlatform.h"
#include "SettingsStore.h"

namespace {

const std::wstring kProfilesPath = std::wstring(kStoreKeyPath) + L"\\Profiles";

// A record unlike the defaults in every field.
CODMSettings Unusual()
{
    CODMSettings s;
    s.drawType = 2;
    s.fontName = L"ＭＳ ゴシック";
    s.fontSize = 105;
    s.fontWeight = 700;
    s.fontItalic = 1;
    s.colors = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x00354F01};
    s.useTexture = 1;
    s.textureFile = L"C:\\画像\\tex.png";
    s.alphaHighlight = 200;
    s.compactWidth = 1;
    s.padding = -4;
    s.separatorHeight = 60;
    s.highlightEdge = 2;
    s.submenuMark = 1;
    return s;
}

// The shape of a record as written by hand, independently of SerializeProfile.
struct CForm {
    uint16_t version = 3;
    uint32_t magic = kProfileMagic;
    int32_t colorCount = 6;
    uint32_t closingMagic = kProfileMagic;
};

// Flag fields go in as their low byte, so that a test can store any byte.
std::vector<uint8_t> Record(const CODMSettings& s, const CForm& form = {})
{
    CArchiveBytes b;
    b.UInt32(form.magic).Word(form.version).Int32(s.drawType).Str(s.fontName).Int32(s.fontSize).Int32(s.fontWeight);
    b.Byte(static_cast<uint8_t>(s.fontItalic)).Int32(form.colorCount);
    for (XColorRef c : s.colors)
        b.UInt32(c);
    if (form.version >= 3)
        b.Byte(static_cast<uint8_t>(s.useTexture)).Str(s.textureFile).Byte(static_cast<uint8_t>(s.alphaHighlight));
    if (form.version >= 2)
        b.Byte(static_cast<uint8_t>(s.compactWidth));
    b.Int32(s.padding).Int32(s.separatorHeight).Int32(s.highlightEdge);
    if (form.version >= 1)
        b.Int32(s.submenuMark);
    b.UInt32(form.closingMagic);
    return b.bytes;
}

CRegValue Dword(uint32_t v)
{
    return {kRegDword,
            {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
             static_cast<uint8_t>(v >> 24)}};
}

std::vector<std::wstring> ValueNames(CSettingsStore& store, const std::wstring& path)
{
    std::vector<std::wstring> names;
    for (const auto& entry : store.Values(path))
        names.push_back(entry.first);
    return names;
}

// ---- Names ---------------------------------------------------------------------------------

TEST(ProfileNameCoding, EscapesAsciiOutsideTheUnreservedSet)
{
    struct Case {
        std::wstring name, coded;
    } cases[] = {
        {L"my profile", L"my%20profile"},
        {L"a/b", L"a%2Fb"},
        {L"100%", L"100%25"},
        {L"黒", L"黒"},
        {L"Az09-._~", L"Az09-._~"},
        {L"a\\b", L"a%5Cb"},
        {L"#*:?\"<>|", L"%23%2A%3A%3F%22%3C%3E%7C"},
        {L"\x01\x1F\x7F", L"%01%1F%7F"},
        {std::wstring(1, L'\0'), L"%00"},
        {L"é ü", L"é%20ü"},
        {L"アンバー 2", L"アンバー%202"},
        {L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.name));
        EXPECT_EQ(EncodeProfileName(c.name), c.coded);
        EXPECT_EQ(DecodeProfileName(c.coded), c.name);
    }
}

TEST(ProfileNameCoding, DecodesEitherCaseAndCopiesEverythingElse)
{
    struct Case {
        std::wstring valueName, name;
    } cases[] = {
        {L"x%zz", L"x%zz"},
        {L"%2f", L"/"},
        {L"%2F", L"/"},
        {L"%", L"%"},
        {L"%4", L"%4"},
        {L"a%4", L"a%4"},
        {L"%%41", L"%A"},
        {L"%4g", L"%4g"},
        {L"%41%42", L"AB"},
        {L"%E9", L"é"},
        {L"my profile", L"my profile"},
        {L"%黒1", L"%黒1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeProfileName(c.valueName), c.name) << testing::PrintToString(c.valueName);
}

TEST(ProfileNameCoding, EveryAsciiUnitAndJapaneseRoundTrips)
{
    std::wstring all;
    for (wchar_t c = 0; c < 200; ++c)
        all.push_back(c);
    all += L"黒板アンバー％";
    const std::wstring coded = EncodeProfileName(all);
    EXPECT_EQ(coded.find(L'\0'), std::wstring::npos);
    const std::wstring kept = L"%-._~0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (wchar_t c : coded)
        EXPECT_TRUE(c >= 128 || kept.find(c) != std::wstring::npos) << static_cast<int>(c);
    EXPECT_EQ(DecodeProfileName(coded), all);
}

TEST(ProfileNames, CompareAsRegistryValueNames)
{
    struct Case {
        std::wstring a, b;
        bool equal;
    } cases[] = {
        {L"kuro", L"KURO", true}, {L"Kuro", L"kURo", true},   {L"黒", L"黒", true},
        {L"黒", L"黒板", false},  {L"kuro", L"kuro ", false}, {L"", L"", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProfileNamesEqual(c.a, c.b), c.equal) << testing::PrintToString(c.a) << testing::PrintToString(c.b);

    const std::vector<std::wstring> names = {L"黒", L"Kuro", L"kuro", L"白"};
    EXPECT_EQ(FindProfileName(names, L"KURO"), std::optional<size_t>(1));
    EXPECT_EQ(FindProfileName(names, L"白"), std::optional<size_t>(3));
    EXPECT_EQ(FindProfileName(names, L"紺"), std::nullopt);
    EXPECT_EQ(FindProfileName({}, L"黒"), std::nullopt);
}

// ---- The record ----------------------------------------------------------------------------

TEST(SerializeProfile, WritesTheVersion3LayoutByteForByte)
{
    const CODMSettings s = Unusual();
    EXPECT_EQ(SerializeProfile(s), Record(s));
    // The defaults too, and the opening bytes spelled out.
    const std::vector<uint8_t> defaults = SerializeProfile(CODMSettings{});
    EXPECT_EQ(defaults, Record(CODMSettings{}));
    const std::vector<uint8_t> head = {0xF6, 0x38, 0x95, 0x34, 0x03, 0x00, 0x00, 0x00, 0x00,
                                       0x00, 0xFF, 0xFE, 0xFF, 0x04, 0xE1, 0x30, 0xA4, 0x30};
    ASSERT_GE(defaults.size(), head.size());
    EXPECT_EQ(std::vector<uint8_t>(defaults.begin(), defaults.begin() + head.size()), head);
    // Closing magic, and nothing after it.
    const std::vector<uint8_t> tail = {0xF6, 0x38, 0x95, 0x34};
    EXPECT_EQ(std::vector<uint8_t>(defaults.end() - 4, defaults.end()), tail);
}

TEST(SerializeProfile, FlagsAsZeroOrOneAndAlphaAsItsLowByte)
{
    CODMSettings s = Unusual();
    s.fontItalic = 255;
    s.useTexture = -1;
    s.compactWidth = 2;
    s.alphaHighlight = 300; // 0x12C
    CODMSettings written = s;
    written.fontItalic = 1;
    written.useTexture = 1;
    written.compactWidth = 1;
    written.alphaHighlight = 0x2C;
    EXPECT_EQ(SerializeProfile(s), Record(written));
}

TEST(DeserializeProfile, RoundTripsUnusualRecords)
{
    std::vector<CODMSettings> records = {CODMSettings{}, Unusual()};
    CODMSettings longPath = Unusual();
    longPath.textureFile = L"\\\\server\\共有\\" + std::wstring(300, L'画') + L".png"; // the 0xFF + word length
    records.push_back(longPath);
    CODMSettings veryLong = Unusual();
    veryLong.textureFile = std::wstring(70000, L'x'); // the 4-byte length
    veryLong.fontName = L"";
    veryLong.alphaHighlight = 0;
    records.push_back(veryLong);
    CODMSettings extremes = Unusual();
    extremes.drawType = -1;
    extremes.fontSize = INT32_MIN;
    extremes.fontWeight = INT32_MAX;
    extremes.colors = {0xFFFFFFFF, 0, 0x80000000, 1, 0x00FFFFFF, 0x7FFFFFFF};
    extremes.alphaHighlight = 255;
    extremes.padding = INT32_MAX;
    extremes.separatorHeight = INT32_MIN;
    extremes.submenuMark = -7;
    records.push_back(extremes);
    for (size_t i = 0; i < records.size(); ++i) {
        const std::vector<uint8_t> bytes = SerializeProfile(records[i]);
        CODMSettings read;
        ASSERT_TRUE(DeserializeProfile(bytes, read)) << i;
        EXPECT_EQ(read, records[i]) << i;
        EXPECT_EQ(SerializeProfile(read), bytes) << i;
    }
}

TEST(DeserializeProfile, OlderVersionsKeepTheFieldsTheyLack)
{
    const CODMSettings stored = Unusual();
    CODMSettings prior;
    prior.useTexture = 1;
    prior.textureFile = L"prior.png";
    prior.alphaHighlight = 77;
    prior.compactWidth = 1;
    prior.submenuMark = 5;
    struct Case {
        uint16_t version;
        bool texture, compact, mark;
    } cases[] = {{3, true, true, true}, {2, false, true, true}, {1, false, false, true}, {0, false, false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        for (const CODMSettings& before : {CODMSettings{}, prior}) {
            CODMSettings expected = stored;
            if (!c.texture) {
                expected.useTexture = before.useTexture;
                expected.textureFile = before.textureFile;
                expected.alphaHighlight = before.alphaHighlight;
            }
            if (!c.compact)
                expected.compactWidth = before.compactWidth;
            if (!c.mark)
                expected.submenuMark = before.submenuMark;
            CODMSettings read = before;
            ASSERT_TRUE(DeserializeProfile(Record(stored, {c.version}), read));
            EXPECT_EQ(read, expected);
        }
    }
    // Over the defaults a version 2 record has no texture, no path and alpha 128.
    CODMSettings read;
    ASSERT_TRUE(DeserializeProfile(Record(stored, {2}), read));
    EXPECT_EQ(read.useTexture, 0);
    EXPECT_EQ(read.textureFile, L"");
    EXPECT_EQ(read.alphaHighlight, 128);
    EXPECT_EQ(read.compactWidth, 1);
    EXPECT_EQ(read.padding, -4);
    EXPECT_EQ(read.separatorHeight, 60);
    EXPECT_EQ(read.highlightEdge, 2);
    EXPECT_EQ(read.submenuMark, 1);
}

TEST(DeserializeProfile, FlagBytesReadAsZeroOrOneAndAlphaUnsigned)
{
    struct Case {
        uint8_t byte;
        int flag;
    } cases[] = {{0, 0}, {1, 1}, {2, 1}, {0x80, 1}, {0xFF, 1}};
    for (const Case& c : cases) {
        CODMSettings stored = Unusual();
        stored.fontItalic = c.byte;
        stored.useTexture = c.byte;
        stored.compactWidth = c.byte;
        stored.alphaHighlight = c.byte;
        CODMSettings read;
        ASSERT_TRUE(DeserializeProfile(Record(stored), read)) << int(c.byte);
        EXPECT_EQ(read.fontItalic, c.flag) << int(c.byte);
        EXPECT_EQ(read.useTexture, c.flag) << int(c.byte);
        EXPECT_EQ(read.compactWidth, c.flag) << int(c.byte);
        EXPECT_EQ(read.alphaHighlight, c.byte) << int(c.byte);
    }
}

TEST(DeserializeProfile, IgnoresBytesAfterTheClosingMagic)
{
    std::vector<uint8_t> bytes = Record(Unusual());
    for (uint8_t extra : {0x00, 0xF6, 0xFF})
        bytes.push_back(extra);
    CODMSettings read;
    ASSERT_TRUE(DeserializeProfile(bytes, read));
    EXPECT_EQ(read, Unusual());
}

TEST(DeserializeProfile, MalformedRecordsFailAndChangeNothing)
{
    const CODMSettings stored = Unusual();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"version 4", Record(stored, {4})},
        {"version 0xFFFF", Record(stored, {0xFFFF})},
        {"colour count 5", Record(stored, {3, kProfileMagic, 5})},
        {"colour count 7", Record(stored, {3, kProfileMagic, 7})},
        {"colour count -6", Record(stored, {3, kProfileMagic, -6})},
        {"first magic", Record(stored, {3, kProfileMagic + 1})},
        {"first magic byte-swapped", Record(stored, {3, 0xF6389534})},
        {"closing magic", Record(stored, {3, kProfileMagic, 6, 0})},
        {"closing magic of version 0", Record(stored, {0, kProfileMagic, 6, kProfileMagic ^ 0x80000000})},
        // A version 3 record read as version 2 runs into the texture fields.
        {"version 2 over a version 3 body",
         [&] {
             std::vector<uint8_t> bytes = Record(stored);
             bytes[4] = 2;
             return bytes;
         }()},
        {"font name longer than the data",
         CArchiveBytes().UInt32(kProfileMagic).Word(3).Int32(2).Hex("FF FE FF 40 41 00").bytes},
        {"empty", {}},
    };
    CODMSettings before;
    before.fontName = L"unchanged";
    before.padding = 9;
    for (const Case& c : cases) {
        CODMSettings read = before;
        EXPECT_FALSE(DeserializeProfile(c.bytes, read)) << c.what;
        EXPECT_EQ(read, before) << c.what;
    }
}

TEST(DeserializeProfile, EveryTruncationFailsAndChangesNothing)
{
    CODMSettings before;
    before.fontName = L"unchanged";
    for (uint16_t version : {0, 1, 2, 3}) {
        const std::vector<uint8_t> bytes = Record(Unusual(), {version});
        for (size_t length = 0; length < bytes.size(); ++length) {
            CODMSettings read = before;
            EXPECT_FALSE(DeserializeProfile(std::span(bytes.data(), length), read)) << version << ": " << length;
            EXPECT_EQ(read, before) << version << ": " << length;
        }
        CODMSettings read = before;
        EXPECT_TRUE(DeserializeProfile(bytes, read)) << version;
    }
}

TEST(DeserializeProfile, NarrowStringsReadThroughTheCodePage)
{
    CFakeEnvironment environment;
    CODMSettings stored = Unusual();
    CArchiveBytes b;
    b.UInt32(kProfileMagic).Word(3).Int32(2).AnsiStr(ToCp932(L"ＭＳ ゴシック")).Int32(105).Int32(700).Byte(1).Int32(6);
    for (XColorRef c : stored.colors)
        b.UInt32(c);
    b.Byte(1).AnsiStr(ToCp932(L"C:\\画像\\tex.png")).Byte(200).Byte(1).Int32(-4).Int32(60).Int32(2).Int32(1);
    b.UInt32(kProfileMagic);
    CODMSettings read;
    ASSERT_TRUE(DeserializeProfile(b.bytes, read));
    EXPECT_EQ(read, stored);
}

TEST(ProfilesEqual, FlagsByZeroTexturePathIgnoringCaseTheRestExactly)
{
    struct Case {
        const char* what;
        void (*change)(CODMSettings&);
        bool equal;
    } cases[] = {
        {"nothing", [](CODMSettings&) {}, true},
        {"italic 1 as 2", [](CODMSettings& s) { s.fontItalic = 2; }, true},
        {"italic off", [](CODMSettings& s) { s.fontItalic = 0; }, false},
        {"use-texture 1 as -1", [](CODMSettings& s) { s.useTexture = -1; }, true},
        {"use-texture off", [](CODMSettings& s) { s.useTexture = 0; }, false},
        {"compact 1 as 7", [](CODMSettings& s) { s.compactWidth = 7; }, true},
        {"compact off", [](CODMSettings& s) { s.compactWidth = 0; }, false},
        {"texture path case", [](CODMSettings& s) { s.textureFile = L"c:\\画像\\TEX.PNG"; }, true},
        {"texture path other", [](CODMSettings& s) { s.textureFile = L"C:\\画像\\tex.bmp"; }, false},
        // Full-width letters fold in a path, not in a font name.
        {"font name case", [](CODMSettings& s) { s.fontName = L"ｍｓ ゴシック"; }, false},
        {"draw type", [](CODMSettings& s) { s.drawType = 0; }, false},
        {"size", [](CODMSettings& s) { s.fontSize = 100; }, false},
        {"weight", [](CODMSettings& s) { s.fontWeight = 400; }, false},
        {"colour 0", [](CODMSettings& s) { s.colors[0] ^= 1; }, false},
        {"colour 5", [](CODMSettings& s) { s.colors[5] ^= 0x10000; }, false},
        {"alpha", [](CODMSettings& s) { s.alphaHighlight = 201; }, false},
        {"padding", [](CODMSettings& s) { s.padding = 0; }, false},
        {"separator", [](CODMSettings& s) { s.separatorHeight = 35; }, false},
        {"frame", [](CODMSettings& s) { s.highlightEdge = 1; }, false},
        {"mark", [](CODMSettings& s) { s.submenuMark = 0; }, false},
    };
    for (const Case& c : cases) {
        CODMSettings changed = Unusual();
        c.change(changed);
        EXPECT_EQ(ProfilesEqual(Unusual(), changed), c.equal) << c.what;
        EXPECT_EQ(ProfilesEqual(changed, Unusual()), c.equal) << c.what;
    }
    CODMSettings ascii = Unusual();
    ascii.fontName = L"Meiryo UI";
    CODMSettings lower = ascii;
    lower.fontName = L"meiryo ui";
    EXPECT_FALSE(ProfilesEqual(ascii, lower));
    // The path folds as the texture cache compares paths, full-width letters too.
    CODMSettings wide = Unusual();
    wide.textureFile = L"D:\\ＭＳ\\tex.png";
    CODMSettings wideLower = wide;
    wideLower.textureFile = L"d:\\ｍｓ\\TEX.png";
    EXPECT_TRUE(ProfilesEqual(wide, wideLower));
}

// ---- Built-in profiles and the store ------------------------------------------------------------

TEST(BuiltInProfiles, FiveInOrderWithTheirColoursAndFrames)
{
    struct Case {
        std::wstring name;
        std::array<XColorRef, 6> colors;
        int edge;
    } cases[] = {
        {L"黒", {0x2B2B2B, 0xFFFFFF, 0x808080, 0x414141, 0xFFFFFF, 0x414141}, 0},
        {L"黒板", {0x354F01, 0xFFFFFF, 0x61986A, 0x354F01, 0xCCB6F7, 0x354F01}, 0},
        {L"白", {0xFFFFFF, 0x000000, 0xDDDDDD, 0xEDEDED, 0x000000, 0xD6D6D6}, 1},
        {L"紺", {0x321F22, 0xECD8CE, 0x764950, 0x55353A, 0x7AD6E0, 0x55353A}, 0},
        {L"アンバー", {0x13363E, 0x26ABE3, 0x235061, 0x1C515B, 0x26ABE3, 0x1C515B}, 0},
    };
    const std::vector<CBuiltInProfile>& profiles = BuiltInProfiles();
    ASSERT_EQ(profiles.size(), std::size(cases));
    for (size_t i = 0; i < profiles.size(); ++i) {
        CODMSettings expected;
        expected.drawType = 2;
        expected.colors = cases[i].colors;
        expected.highlightEdge = cases[i].edge;
        EXPECT_EQ(profiles[i].name, cases[i].name) << i;
        EXPECT_EQ(profiles[i].settings, expected) << i;
    }
}

TEST(ProfileStore, BuiltInsAreCreatedOnceAndNotAgainAfterDeletion)
{
    for (XIntReading reading : {XIntReading::Lenient, XIntReading::Strict}) {
        CMemoryStore store(reading);
        ASSERT_TRUE(CreateBuiltInProfilesOnce(store));
        EXPECT_EQ(ValueNames(store, kProfilesPath),
                  (std::vector<std::wstring>{L"黒", L"黒板", L"白", L"紺", L"アンバー"}));
        EXPECT_EQ(ReadProfileNames(store), (std::vector<std::wstring>{L"黒", L"黒板", L"白", L"紺", L"アンバー"}));
        for (const CBuiltInProfile& profile : BuiltInProfiles()) {
            CRegValue value;
            ASSERT_TRUE(store.ReadValue(kProfilesPath, profile.name, value));
            EXPECT_EQ(value.type, kRegBinary);
            EXPECT_EQ(value.data, SerializeProfile(profile.settings));
        }
        CRegValue flag;
        ASSERT_TRUE(store.ReadValue(std::wstring(kStoreKeyPath) + L"\\Settings", L"ProfileSetIntialized", flag));
        EXPECT_EQ(flag, Dword(1));

        DeleteProfile(store, L"黒");
        DeleteProfile(store, L"白");
        EXPECT_FALSE(CreateBuiltInProfilesOnce(store));
        EXPECT_EQ(ReadProfileNames(store), (std::vector<std::wstring>{L"黒板", L"紺", L"アンバー"}));
    }
}

TEST(ProfileStore, BuiltInsReplaceTheirNamesWhileTheFlagIsZero)
{
    CMemoryStore store(XIntReading::Strict);
    store.WriteValue(std::wstring(kStoreKeyPath) + L"\\Settings", L"profilesetintialized", Dword(0));
    WriteProfile(store, L"mine", Unusual());
    WriteProfile(store, L"白", Unusual());
    ASSERT_TRUE(CreateBuiltInProfilesOnce(store));
    // "白" keeps its place and takes the built-in record.
    EXPECT_EQ(ReadProfileNames(store), (std::vector<std::wstring>{L"mine", L"白", L"黒", L"黒板", L"紺", L"アンバー"}));
    EXPECT_EQ(ReadProfile(store, L"白"), BuiltInProfiles()[2].settings);
    EXPECT_EQ(ReadProfile(store, L"mine"), Unusual());
    EXPECT_FALSE(CreateBuiltInProfilesOnce(store));
}

TEST(ProfileStore, SavingUnderAnotherCaseLeavesOneValueSpelledAsNow)
{
    CMemoryStore store;
    WriteProfile(store, L"kuro", CODMSettings{});
    WriteProfile(store, L"other", CODMSettings{});
    WriteProfile(store, L"KURO", Unusual());
    EXPECT_EQ(ValueNames(store, kProfilesPath), (std::vector<std::wstring>{L"other", L"KURO"}));
    EXPECT_EQ(ReadProfile(store, L"kuro"), Unusual());
    EXPECT_EQ(ReadProfile(store, L"KURO"), Unusual());
}

TEST(ProfileStore, NamesAreCodedInTheStore)
{
    CMemoryStore store;
    WriteProfile(store, L"my profile 100%", Unusual());
    WriteProfile(store, L"a/b\\c", CODMSettings{});
    EXPECT_EQ(ValueNames(store, kProfilesPath), (std::vector<std::wstring>{L"my%20profile%20100%25", L"a%2Fb%5Cc"}));
    EXPECT_EQ(ReadProfileNames(store), (std::vector<std::wstring>{L"my profile 100%", L"a/b\\c"}));
    EXPECT_EQ(ReadProfile(store, L"my profile 100%"), Unusual());
    DeleteProfile(store, L"a/b\\c");
    EXPECT_EQ(ReadProfileNames(store), (std::vector<std::wstring>{L"my profile 100%"}));
}

TEST(ProfileStore, OtherValueTypesAreSkippedAndRefused)
{
    CMemoryStore store;
    WriteProfile(store, L"黒", Unusual());
    store.WriteValue(kProfilesPath, L"text", CRegValue{kRegSz, SerializeProfile(Unusual())});
    store.WriteValue(kProfilesPath, L"number", Dword(3));
    WriteProfile(store, L"白", CODMSettings{});
    EXPECT_EQ(ReadProfileNames(store), (std::vector<std::wstring>{L"黒", L"白"}));
    EXPECT_EQ(ReadProfile(store, L"text"), std::nullopt);
    EXPECT_EQ(ReadProfile(store, L"number"), std::nullopt);
    EXPECT_EQ(ReadProfile(store, L"missing"), std::nullopt);
    store.WriteValue(kProfilesPath, L"damaged", CRegValue{kRegBinary, Record(Unusual(), {4})});
    EXPECT_EQ(ReadProfile(store, L"damaged"), std::nullopt);
    // The list holds what is binary, readable or not.
    EXPECT_EQ(ReadProfileNames(store), (std::vector<std::wstring>{L"黒", L"白", L"damaged"}));
}

TEST(ProfileStore, ReadsOverTheDefaults)
{
    CMemoryStore store;
    store.WriteValue(kProfilesPath, L"old", CRegValue{kRegBinary, Record(Unusual(), {0})});
    CODMSettings expected = Unusual();
    expected.useTexture = 0;
    expected.textureFile = L"";
    expected.alphaHighlight = 128;
    expected.compactWidth = 0;
    expected.submenuMark = 0;
    EXPECT_EQ(ReadProfile(store, L"OLD"), expected);
}

TEST(ProfileStore, NoKeyGivesNoNamesAndIsNotCreated)
{
    CMemoryStore store;
    EXPECT_TRUE(ReadProfileNames(store).empty());
    EXPECT_FALSE(store.KeyExists(kProfilesPath));
    EXPECT_EQ(ProfilesKeyPath(), kProfilesPath);
}

} // namespace
