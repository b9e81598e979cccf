#include <gtest/gtest.h>

#include "SettingsStore.h"

namespace {

const std::wstring kSettingsPath = std::wstring(kStoreKeyPath) + L"\\Settings";
const std::wstring kOldPath = kEarlierEditionKeyPath;
const std::wstring kVendorPath = L"Software\\OfficeKestrahl";

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

CRegValue Read(CMemoryStore& store, const std::wstring& path, const std::wstring& name)
{
    CRegValue value;
    EXPECT_TRUE(store.ReadValue(path, name, value)) << "missing value " << std::string(name.begin(), name.end());
    return value;
}

// ---- typed writes ----

TEST(SettingsStore, SetIntWritesFourLittleEndianBytesAsDword)
{
    struct Case {
        int value;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {0, Bytes({0, 0, 0, 0})},
        {0x12345678, Bytes({0x78, 0x56, 0x34, 0x12})},
        {-2, Bytes({0xFE, 0xFF, 0xFF, 0xFF})},
    };
    for (const Case& c : cases) {
        CMemoryStore store;
        store.SetInt(L"Settings", L"MenuPos", c.value);
        EXPECT_EQ(Read(store, kSettingsPath, L"MenuPos"), (CRegValue{kRegDword, c.bytes})) << c.value;
        EXPECT_EQ(store.GetInt(L"Settings", L"MenuPos", 99), c.value);
    }
}

TEST(SettingsStore, SetStringWritesRegSzWithTerminator)
{
    struct Case {
        std::wstring text;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {L"", Bytes({0, 0})},
        {L"M", Bytes({'M', 0, 0, 0})},
        {L"メイリオ", Bytes({0xE1, 0x30, 0xA4, 0x30, 0xEA, 0x30, 0xAA, 0x30, 0, 0})},
    };
    for (const Case& c : cases) {
        CMemoryStore store;
        store.SetString(L"Settings", L"OwnerDrawFontName", c.text);
        EXPECT_EQ(Read(store, kSettingsPath, L"OwnerDrawFontName"), (CRegValue{kRegSz, c.bytes}));
        EXPECT_EQ(store.GetString(L"Settings", L"OwnerDrawFontName", L"default"), c.text);
    }
}

TEST(SettingsStore, SetBlobWritesBinaryAndGetBlobReadsItBack)
{
    CMemoryStore store;
    const auto bytes = Bytes({1, 0, 0xFF, 7, 0});
    store.SetBlob(L"Settings", L"MenuData_1_v3", bytes);
    EXPECT_EQ(Read(store, kSettingsPath, L"MenuData_1_v3"), (CRegValue{kRegBinary, bytes}));
    EXPECT_EQ(store.GetBlob(L"Settings", L"MenuData_1_v3"), bytes);

    store.SetBlob(L"Settings", L"Empty", {});
    auto empty = store.GetBlob(L"Settings", L"Empty");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
}

TEST(SettingsStore, GetBlobTakesOnlyBinaryValues)
{
    CMemoryStore store;
    store.WriteValue(kSettingsPath, L"AsText", {kRegSz, Bytes({'a', 0, 0, 0})});
    store.WriteValue(kSettingsPath, L"AsDword", {kRegDword, Bytes({1, 0, 0, 0})});
    EXPECT_FALSE(store.GetBlob(L"Settings", L"AsText").has_value());
    EXPECT_FALSE(store.GetBlob(L"Settings", L"AsDword").has_value());
    EXPECT_FALSE(store.GetBlob(L"Settings", L"Missing").has_value());
}

// ---- integer reading rules ----

struct IntCase {
    const char* what;
    uint32_t type;
    std::vector<uint8_t> data;
    int lenient;
    int strict;
};

constexpr int kDefault = -77;

TEST(SettingsStore, IntegerReadingLenientAndStrict)
{
    const IntCase cases[] = {
        {"dword", kRegDword, Bytes({5, 0, 0, 0}), 5, 5},
        {"negative dword", kRegDword, Bytes({0xFF, 0xFF, 0xFF, 0xFF}), -1, -1},
        {"binary of 2 bytes", kRegBinary, Bytes({0x34, 0x12}), 0x1234, kDefault},
        {"binary of 4 bytes", kRegBinary, Bytes({1, 2, 3, 4}), 0x04030201, kDefault},
        {"binary of 8 bytes", kRegBinary, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), kDefault, kDefault},
        {"empty binary", kRegBinary, {}, 0, kDefault},
        {"text of one character", kRegSz, Bytes({'7', 0, 0, 0}), '7', kDefault},
        {"text of two characters", kRegSz, Bytes({'1', 0, '2', 0, 0, 0}), kDefault, kDefault},
        {"dword of 2 bytes", kRegDword, Bytes({9, 0}), 9, kDefault},
        {"dword of 8 bytes", kRegDword, Bytes({9, 0, 0, 0, 1, 0, 0, 0}), kDefault, 9},
        {"qword", kRegQword, Bytes({1, 0, 0, 0, 0, 0, 0, 0}), kDefault, kDefault},
    };
    for (const IntCase& c : cases) {
        CMemoryStore lenient(XIntReading::Lenient);
        CMemoryStore strict(XIntReading::Strict);
        for (CMemoryStore* store : {&lenient, &strict})
            store->WriteValue(kSettingsPath, L"Value", {c.type, c.data});
        EXPECT_EQ(lenient.GetInt(L"Settings", L"Value", kDefault), c.lenient) << c.what;
        EXPECT_EQ(strict.GetInt(L"Settings", L"Value", kDefault), c.strict) << c.what;
    }
}

TEST(SettingsStore, MissingValueOrKeyYieldsDefault)
{
    for (XIntReading reading : {XIntReading::Lenient, XIntReading::Strict}) {
        CMemoryStore store(reading);
        EXPECT_EQ(store.GetInt(L"Settings", L"Nothing", 42), 42);
        EXPECT_EQ(store.GetInt(L"NoSuchSection", L"Nothing", -3), -3);
        EXPECT_EQ(store.GetString(L"Settings", L"Nothing", L"dflt"), L"dflt");
    }
}

// ---- text reading rules ----

TEST(SettingsStore, TextIsReadUpToFirstZeroWhateverTheType)
{
    struct Case {
        const char* what;
        uint32_t type;
        std::vector<uint8_t> data;
        std::wstring lenient;
        std::wstring strict;
    } cases[] = {
        {"plain", kRegSz, Bytes({'a', 0, 'b', 0, 0, 0}), L"ab", L"ab"},
        {"embedded zero", kRegSz, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0}), L"a", L"a"},
        {"no terminator", kRegSz, Bytes({'x', 0, 'y', 0}), L"xy", L"xy"},
        {"odd trailing byte", kRegSz, Bytes({'x', 0, 'y'}), L"x", L"x"},
        {"empty data", kRegSz, {}, L"", L""},
        {"expandable text", kRegExpandSz, Bytes({'%', 0, 'A', 0, 0, 0}), L"%A", L"dflt"},
        {"binary", kRegBinary, Bytes({'Q', 0, 0x42, 0x30}), L"Qあ", L"dflt"},
        {"dword", kRegDword, Bytes({'Z', 0, 0, 0}), L"Z", L"dflt"},
    };
    for (const auto& c : cases) {
        CMemoryStore lenient(XIntReading::Lenient);
        CMemoryStore strict(XIntReading::Strict);
        for (CMemoryStore* store : {&lenient, &strict})
            store->WriteValue(kSettingsPath, L"Text", {c.type, c.data});
        EXPECT_EQ(lenient.GetString(L"Settings", L"Text", L"dflt"), c.lenient) << c.what;
        EXPECT_EQ(strict.GetString(L"Settings", L"Text", L"dflt"), c.strict) << c.what;
    }
}

TEST(SettingsStore, SetStringWithoutTextDeletesTheValue)
{
    for (XIntReading reading : {XIntReading::Lenient, XIntReading::Strict}) {
        CMemoryStore store(reading);
        store.SetBlob(L"Settings", L"MenuData_1_v2", Bytes({1, 2}));
        store.SetString(L"Settings", L"MenuData_1_v2", std::nullopt);
        CRegValue value;
        EXPECT_FALSE(store.ReadValue(kSettingsPath, L"MenuData_1_v2", value));
        // Deleting what is not there is silent.
        store.SetString(L"Settings", L"MenuData_1_v2", std::nullopt);
        EXPECT_FALSE(store.GetBlob(L"Settings", L"MenuData_1_v2").has_value());
    }
}

TEST(SettingsStore, DeletingCreatesTheSectionOnlyForTheLauncher)
{
    CMemoryStore lenient(XIntReading::Lenient);
    lenient.SetString(L"Profiles", L"x", std::nullopt);
    EXPECT_TRUE(lenient.KeyExists(std::wstring(kStoreKeyPath) + L"\\Profiles"));

    CMemoryStore strict(XIntReading::Strict);
    strict.SetString(L"Profiles", L"x", std::nullopt);
    EXPECT_FALSE(strict.KeyExists(std::wstring(kStoreKeyPath) + L"\\Profiles"));
}

// ---- keys ----

TEST(SettingsStore, FirstReadCreatesEveryKeyOnTheWay)
{
    CMemoryStore store;
    EXPECT_FALSE(store.KeyExists(L"Software\\OfficeKestrahl"));
    EXPECT_EQ(store.GetInt(L"Settings", L"Separate", 0), 0);
    EXPECT_TRUE(store.KeyExists(L"Software\\OfficeKestrahl"));
    EXPECT_TRUE(store.KeyExists(kStoreKeyPath));
    EXPECT_TRUE(store.KeyExists(kSettingsPath));
    EXPECT_TRUE(store.Values(kSettingsPath).empty());
}

TEST(SettingsStore, KeyAndValueNamesIgnoreAsciiCase)
{
    CMemoryStore store;
    store.SetInt(L"settings", L"menupos", 1);
    EXPECT_EQ(store.GetInt(L"SETTINGS", L"MenuPos", 3), 1);
    store.SetInt(L"Settings", L"MENUPOS", 2);
    ASSERT_EQ(store.Values(kSettingsPath).size(), 1u);
    EXPECT_EQ(store.Values(kSettingsPath)[0].first, L"menupos"); // first spelling kept
    EXPECT_TRUE(store.KeyExists(L"SOFTWARE\\officekestrahl\\Velquinランチャー\\SeTTings"));
    ASSERT_EQ(store.SubKeys(kStoreKeyPath).size(), 1u);
    EXPECT_EQ(store.SubKeys(kStoreKeyPath)[0], L"settings");
}

// ---- memory hive ----

TEST(MemoryStore, SubKeysInNameOrderValuesInWriteOrder)
{
    CMemoryStore store;
    for (const wchar_t* name : {L"b", L"C", L"a", L"B2"})
        store.CreateKey(std::wstring(L"K\\") + name);
    EXPECT_EQ(store.SubKeys(L"K"), (std::vector<std::wstring>{L"a", L"b", L"B2", L"C"}));
    for (const wchar_t* name : {L"z", L"y", L"x"})
        store.WriteValue(L"K", name, {kRegDword, Bytes({1, 0, 0, 0})});
    std::vector<std::wstring> names;
    for (const auto& [name, value] : store.Values(L"K"))
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"z", L"y", L"x"}));
}

TEST(MemoryStore, InvalidPathsAndRootAreRefused)
{
    CMemoryStore store;
    EXPECT_FALSE(store.CreateKey(L"A\\\\B"));
    EXPECT_FALSE(store.CreateKey(L"\\A"));
    EXPECT_FALSE(store.DeleteTree(L""));
    EXPECT_FALSE(store.DeleteTree(L"NotThere"));
    EXPECT_FALSE(store.DeleteValue(L"NotThere", L"v"));
    EXPECT_FALSE(store.KeyExists(L"NotThere")); // asking does not create
}

TEST(MemoryStore, FailWritesLeavesTheHiveUnchanged)
{
    CMemoryStore store;
    store.SetInt(L"Settings", L"MenuPos", 1);
    store.failWrites = true;
    store.SetInt(L"Settings", L"MenuPos", 2);
    store.SetString(L"Settings", L"MenuPos", std::nullopt);
    store.SetBlob(L"Other", L"b", Bytes({1}));
    EXPECT_FALSE(store.CreateKey(L"New"));
    EXPECT_TRUE(store.CreateKey(kSettingsPath)); // opening an existing key still works
    store.RemoveStore();
    store.failWrites = false;
    EXPECT_EQ(store.GetInt(L"Settings", L"MenuPos", 3), 1);
    EXPECT_FALSE(store.KeyExists(std::wstring(kStoreKeyPath) + L"\\Other"));
    EXPECT_FALSE(store.KeyExists(L"New"));
}

// ---- migration ----

void FillEarlierEdition(CMemoryStore& store)
{
    store.WriteValue(kOldPath + L"\\Settings", L"MenuPos", {kRegDword, Bytes({1, 0, 0, 0})});
    store.WriteValue(kOldPath + L"\\Settings", L"MenuData_1_v2", {kRegBinary, Bytes({9, 8, 7})});
    store.WriteValue(kOldPath + L"\\Settings\\Deeper\\Deepest", L"Leaf", {kRegSz, Bytes({'L', 0, 0, 0})});
    store.WriteValue(kOldPath + L"\\WindowPos", L"left", {kRegDword, Bytes({10, 0, 0, 0})});
    store.WriteValue(kOldPath + L"\\Other", L"NotCopied", {kRegDword, Bytes({1, 0, 0, 0})});
    store.WriteValue(kOldPath, L"TopLevel", {kRegDword, Bytes({1, 0, 0, 0})});
}

TEST(SettingsStoreMigration, FreshUserOnlyMarksTheStore)
{
    CMemoryStore store;
    store.MigrateFromEarlierEdition();
    EXPECT_EQ(store.GetInt(L"Settings", L"H_Initialized", 0), 1);
    EXPECT_FALSE(store.KeyExists(kOldPath));
    EXPECT_EQ(store.SubKeys(kStoreKeyPath), (std::vector<std::wstring>{L"Settings"}));
    EXPECT_EQ(store.Values(kSettingsPath).size(), 1u);
}

TEST(SettingsStoreMigration, CopiesBothTreesOverwritingAndLeavesOldKey)
{
    CMemoryStore store;
    FillEarlierEdition(store);
    store.SetInt(L"Settings", L"MenuPos", 3);  // present already: overwritten
    store.SetInt(L"Settings", L"Separate", 1); // not in the old key: kept
    store.MigrateFromEarlierEdition();

    EXPECT_EQ(store.GetInt(L"Settings", L"MenuPos", -1), 1);
    EXPECT_EQ(store.GetInt(L"Settings", L"Separate", -1), 1);
    EXPECT_EQ(store.GetBlob(L"Settings", L"MenuData_1_v2"), Bytes({9, 8, 7}));
    EXPECT_EQ(Read(store, kSettingsPath + L"\\Deeper\\Deepest", L"Leaf"), (CRegValue{kRegSz, Bytes({'L', 0, 0, 0})}));
    EXPECT_EQ(store.GetInt(L"WindowPos", L"left", -1), 10);
    EXPECT_FALSE(store.KeyExists(std::wstring(kStoreKeyPath) + L"\\Other"));
    CRegValue ignored;
    EXPECT_FALSE(store.ReadValue(kStoreKeyPath, L"TopLevel", ignored));
    EXPECT_EQ(store.GetInt(L"Settings", L"H_Initialized", 0), 1);
    // The old key is left as it was.
    EXPECT_EQ(store.Values(kOldPath + L"\\Settings").size(), 2u);
    EXPECT_TRUE(store.KeyExists(kOldPath + L"\\Settings\\Deeper\\Deepest"));
}

TEST(SettingsStoreMigration, RunsOnlyOnce)
{
    CMemoryStore store;
    FillEarlierEdition(store);
    store.MigrateFromEarlierEdition();
    store.WriteValue(kOldPath + L"\\Settings", L"MenuPos", {kRegDword, Bytes({2, 0, 0, 0})});
    store.WriteValue(kOldPath + L"\\Settings", L"NewOne", {kRegDword, Bytes({2, 0, 0, 0})});
    store.MigrateFromEarlierEdition();
    EXPECT_EQ(store.GetInt(L"Settings", L"MenuPos", -1), 1);
    EXPECT_EQ(store.GetInt(L"Settings", L"NewOne", -1), -1);
}

TEST(SettingsStoreMigration, MissingSubkeyIsSkipped)
{
    CMemoryStore store;
    store.WriteValue(kOldPath + L"\\Settings", L"ShowHotKey", {kRegDword, Bytes({0, 0, 0, 0})});
    store.MigrateFromEarlierEdition();
    EXPECT_EQ(store.GetInt(L"Settings", L"ShowHotKey", 1), 0);
    EXPECT_FALSE(store.KeyExists(std::wstring(kStoreKeyPath) + L"\\WindowPos"));
}

TEST(SettingsStoreMigration, AlreadyInitialisedStoreIsNotTouched)
{
    CMemoryStore store;
    FillEarlierEdition(store);
    store.SetInt(L"Settings", L"H_Initialized", 1);
    store.MigrateFromEarlierEdition();
    EXPECT_EQ(store.GetInt(L"Settings", L"MenuPos", -1), -1);
    EXPECT_FALSE(store.KeyExists(std::wstring(kStoreKeyPath) + L"\\WindowPos"));
}

// ---- removal ----

TEST(SettingsStoreRemoval, RemovesVendorKeyOnlyWhenEmpty)
{
    struct Case {
        const char* what;
        bool otherProduct;
    } cases[] = {{"alone", false}, {"with another product", true}};
    for (const Case& c : cases) {
        CMemoryStore store;
        store.SetInt(L"Settings", L"MenuPos", 1);
        store.SetInt(L"WindowPos", L"left", 1);
        store.WriteValue(kVendorPath, L"VendorValue", {kRegDword, Bytes({1, 0, 0, 0})});
        if (c.otherProduct)
            store.CreateKey(kVendorPath + L"\\OtherProduct");
        store.RemoveStore();
        EXPECT_FALSE(store.KeyExists(kStoreKeyPath)) << c.what;
        EXPECT_EQ(store.KeyExists(kVendorPath), c.otherProduct) << c.what;
        EXPECT_TRUE(store.KeyExists(L"Software")) << c.what;
        if (c.otherProduct) {
            EXPECT_EQ(store.SubKeys(kVendorPath), (std::vector<std::wstring>{L"OtherProduct"}));
        }
    }
}

TEST(SettingsStoreRemoval, NothingToRemoveIsHarmless)
{
    CMemoryStore store;
    store.RemoveStore();
    EXPECT_FALSE(store.KeyExists(kVendorPath));
    EXPECT_TRUE(store.SubKeys(L"").empty());
}

} // namespace
