// Runs against HKEY_CURRENT_USER of the throwaway Wine prefix only: on any other system the
// tests skip, so that a real user's hive is never touched.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "RegistryStore_win.h"
#include "WinHandles.h"

namespace {

const std::wstring kVendor = L"Software\\OfficeKestrahl";
const std::wstring kRoot = kStoreKeyPath;
const std::wstring kSettingsPath = kRoot + L"\\Settings";
const std::wstring kOld = kEarlierEditionKeyPath;

bool RunningUnderWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values)
{
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

bool RawKeyExists(const std::wstring& path)
{
    CKeyHandle key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void RawSet(const std::wstring& path, const std::wstring& name, DWORD type, const std::vector<uint8_t>& data)
{
    CKeyHandle key;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
}

// The value as the registry itself reports it; type kRegNone with no data when missing.
CRegValue RawGet(const std::wstring& path, const std::wstring& name)
{
    CKeyHandle key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::vector<uint8_t> data(size);
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
        return {};
    data.resize(size);
    return {type, data};
}

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!RunningUnderWine())
            GTEST_SKIP() << "registry tests run only in a throwaway Wine prefix";
        Clean();
    }
    void TearDown() override
    {
        if (RunningUnderWine())
            Clean();
    }
    static void Clean() { RegDeleteTreeW(HKEY_CURRENT_USER, kVendor.c_str()); }

    CRegistryStore lenient{XIntReading::Lenient};
    CRegistryStore strict{XIntReading::Strict};
};

TEST_F(RegistryStoreTest, TypedWritesLandWithTheirTypesAndBytes)
{
    lenient.SetInt(L"Settings", L"MenuPos", -2);
    lenient.SetInt(L"Settings", L"ShowHotKey", 0x01020304);
    lenient.SetString(L"Settings", L"OwnerDrawFontName", std::wstring(L"メイリオ"));
    lenient.SetString(L"Settings", L"TheSubMenuAccelerator", std::wstring());
    lenient.SetBlob(L"Settings", L"MenuData_1_v3", Bytes({0, 1, 2, 0xFF}));
    lenient.SetBlob(L"Settings", L"Empty", {});

    const struct {
        const wchar_t* name;
        CRegValue expected;
    } cases[] = {
        {L"MenuPos", {REG_DWORD, Bytes({0xFE, 0xFF, 0xFF, 0xFF})}},
        {L"ShowHotKey", {REG_DWORD, Bytes({4, 3, 2, 1})}},
        {L"OwnerDrawFontName", {REG_SZ, Bytes({0xE1, 0x30, 0xA4, 0x30, 0xEA, 0x30, 0xAA, 0x30, 0, 0})}},
        {L"TheSubMenuAccelerator", {REG_SZ, Bytes({0, 0})}},
        {L"MenuData_1_v3", {REG_BINARY, Bytes({0, 1, 2, 0xFF})}},
        {L"Empty", {REG_BINARY, {}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RawGet(kSettingsPath, c.name), c.expected) << std::string(c.name, c.name + wcslen(c.name));

    EXPECT_EQ(lenient.GetInt(L"Settings", L"MenuPos", 0), -2);
    EXPECT_EQ(lenient.GetString(L"Settings", L"OwnerDrawFontName", L""), L"メイリオ");
    EXPECT_EQ(lenient.GetBlob(L"Settings", L"MenuData_1_v3"), Bytes({0, 1, 2, 0xFF}));
    EXPECT_EQ(lenient.GetBlob(L"Settings", L"Empty"), std::vector<uint8_t>{});
}

TEST_F(RegistryStoreTest, FirstReadCreatesEveryKeyOnTheWay)
{
    ASSERT_FALSE(RawKeyExists(kVendor));
    EXPECT_EQ(lenient.GetInt(L"Settings", L"Separate", 7), 7);
    EXPECT_TRUE(RawKeyExists(kSettingsPath));
    EXPECT_EQ(strict.GetString(L"WindowPos", L"x", L"d"), L"d");
    EXPECT_TRUE(RawKeyExists(kRoot + L"\\WindowPos"));
}

TEST_F(RegistryStoreTest, IntegerReadingLenientAndStrict)
{
    constexpr int kDefault = -77;
    const struct {
        const char* what;
        DWORD type;
        std::vector<uint8_t> data;
        int lenient;
        int strict;
    } cases[] = {
        {"dword", REG_DWORD, Bytes({5, 0, 0, 0}), 5, 5},
        {"binary of 2 bytes", REG_BINARY, Bytes({0x34, 0x12}), 0x1234, kDefault},
        {"binary of 4 bytes", REG_BINARY, Bytes({1, 2, 3, 4}), 0x04030201, kDefault},
        {"binary of 8 bytes", REG_BINARY, Bytes({1, 2, 3, 4, 5, 6, 7, 8}), kDefault, kDefault},
        {"text of one character", REG_SZ, Bytes({'7', 0, 0, 0}), '7', kDefault},
        {"text of two characters", REG_SZ, Bytes({'1', 0, '2', 0, 0, 0}), kDefault, kDefault},
    };
    for (const auto& c : cases) {
        RawSet(kSettingsPath, L"Value", c.type, c.data);
        EXPECT_EQ(lenient.GetInt(L"Settings", L"Value", kDefault), c.lenient) << c.what;
        EXPECT_EQ(strict.GetInt(L"Settings", L"Value", kDefault), c.strict) << c.what;
    }
}

TEST_F(RegistryStoreTest, TextIsReadUpToFirstZero)
{
    const struct {
        const char* what;
        DWORD type;
        std::vector<uint8_t> data;
        std::wstring lenient;
        std::wstring strict;
    } cases[] = {
        {"embedded zero", REG_SZ, Bytes({'a', 0, 0, 0, 'b', 0, 0, 0}), L"a", L"a"},
        {"no terminator", REG_SZ, Bytes({'x', 0, 'y', 0}), L"xy", L"xy"},
        {"odd trailing byte", REG_BINARY, Bytes({'x', 0, 'y'}), L"x", L"M"},
        {"dword", REG_DWORD, Bytes({'Z', 0, 0, 0}), L"Z", L"M"},
    };
    for (const auto& c : cases) {
        RawSet(kSettingsPath, L"TheSubMenuAccelerator", c.type, c.data);
        EXPECT_EQ(lenient.GetString(L"Settings", L"TheSubMenuAccelerator", L"M"), c.lenient) << c.what;
        EXPECT_EQ(strict.GetString(L"Settings", L"TheSubMenuAccelerator", L"M"), c.strict) << c.what;
    }
}

TEST_F(RegistryStoreTest, SetStringWithoutTextDeletesTheValue)
{
    lenient.SetBlob(L"Settings", L"MenuData_1_v2", Bytes({1}));
    lenient.SetBlob(L"Settings", L"MenuData_1", Bytes({2}));
    lenient.SetString(L"Settings", L"MenuData_1_v2", std::nullopt);
    strict.SetString(L"Settings", L"MENUDATA_1", std::nullopt); // names ignore case
    EXPECT_EQ(RawGet(kSettingsPath, L"MenuData_1_v2").type, static_cast<uint32_t>(kRegNone));
    EXPECT_EQ(RawGet(kSettingsPath, L"MenuData_1").type, static_cast<uint32_t>(kRegNone));
    EXPECT_TRUE(lenient.Values(kSettingsPath).empty());

    // The tools delete without creating the section.
    strict.SetString(L"Profiles", L"x", std::nullopt);
    EXPECT_FALSE(RawKeyExists(kRoot + L"\\Profiles"));
}

TEST_F(RegistryStoreTest, EnumerationAndTreeDeletion)
{
    RawSet(kVendor + L"\\T\\b", L"v", REG_DWORD, Bytes({1, 0, 0, 0}));
    RawSet(kVendor + L"\\T\\a", L"v", REG_DWORD, Bytes({1, 0, 0, 0}));
    RawSet(kVendor + L"\\T", L"second", REG_SZ, Bytes({'s', 0, 0, 0}));
    RawSet(kVendor + L"\\T", L"first", REG_BINARY, Bytes({1, 2, 3}));
    auto subKeys = lenient.SubKeys(kVendor + L"\\T");
    std::sort(subKeys.begin(), subKeys.end());
    EXPECT_EQ(subKeys, (std::vector<std::wstring>{L"a", L"b"}));
    auto values = lenient.Values(kVendor + L"\\T");
    std::sort(values.begin(), values.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], (std::pair<std::wstring, CRegValue>{L"first", {REG_BINARY, Bytes({1, 2, 3})}}));
    EXPECT_EQ(values[1], (std::pair<std::wstring, CRegValue>{L"second", {REG_SZ, Bytes({'s', 0, 0, 0})}}));

    EXPECT_FALSE(lenient.KeyExists(kVendor + L"\\Missing"));
    EXPECT_FALSE(RawKeyExists(kVendor + L"\\Missing"));
    EXPECT_TRUE(lenient.KeyExists(kVendor + L"\\t\\A"));
    EXPECT_TRUE(lenient.DeleteTree(kVendor + L"\\T"));
    EXPECT_FALSE(RawKeyExists(kVendor + L"\\T"));
    EXPECT_FALSE(lenient.DeleteTree(kVendor + L"\\T"));
    EXPECT_FALSE(lenient.DeleteTree(L""));
}

TEST_F(RegistryStoreTest, MigrationCopiesOnceAndLeavesTheOldKey)
{
    RawSet(kOld + L"\\Settings", L"MenuPos", REG_DWORD, Bytes({1, 0, 0, 0}));
    RawSet(kOld + L"\\Settings", L"MenuData_1_v2", REG_BINARY, Bytes({9, 8, 7}));
    RawSet(kOld + L"\\Settings\\Deeper", L"Leaf", REG_SZ, Bytes({'L', 0, 0, 0}));
    RawSet(kOld + L"\\WindowPos", L"left", REG_DWORD, Bytes({10, 0, 0, 0}));
    RawSet(kOld + L"\\Other", L"NotCopied", REG_DWORD, Bytes({1, 0, 0, 0}));
    lenient.SetInt(L"Settings", L"MenuPos", 3);

    lenient.MigrateFromEarlierEdition();
    EXPECT_EQ(RawGet(kSettingsPath, L"MenuPos"), (CRegValue{REG_DWORD, Bytes({1, 0, 0, 0})}));
    EXPECT_EQ(RawGet(kSettingsPath, L"MenuData_1_v2"), (CRegValue{REG_BINARY, Bytes({9, 8, 7})}));
    EXPECT_EQ(RawGet(kSettingsPath + L"\\Deeper", L"Leaf"), (CRegValue{REG_SZ, Bytes({'L', 0, 0, 0})}));
    EXPECT_EQ(RawGet(kRoot + L"\\WindowPos", L"left"), (CRegValue{REG_DWORD, Bytes({10, 0, 0, 0})}));
    EXPECT_FALSE(RawKeyExists(kRoot + L"\\Other"));
    EXPECT_EQ(RawGet(kSettingsPath, L"H_Initialized"), (CRegValue{REG_DWORD, Bytes({1, 0, 0, 0})}));
    EXPECT_EQ(RawGet(kOld + L"\\Settings", L"MenuPos"), (CRegValue{REG_DWORD, Bytes({1, 0, 0, 0})}));

    RawSet(kOld + L"\\Settings", L"MenuPos", REG_DWORD, Bytes({2, 0, 0, 0}));
    RawSet(kOld + L"\\Settings", L"NewOne", REG_DWORD, Bytes({2, 0, 0, 0}));
    lenient.MigrateFromEarlierEdition();
    EXPECT_EQ(lenient.GetInt(L"Settings", L"MenuPos", -1), 1);
    EXPECT_EQ(RawGet(kSettingsPath, L"NewOne").type, static_cast<uint32_t>(kRegNone));
    EXPECT_TRUE(RawKeyExists(kOld + L"\\Settings\\Deeper"));
}

TEST_F(RegistryStoreTest, MigrationOfAFreshUser)
{
    lenient.MigrateFromEarlierEdition();
    EXPECT_FALSE(RawKeyExists(kOld));
    EXPECT_FALSE(RawKeyExists(kRoot + L"\\WindowPos"));
    EXPECT_EQ(lenient.GetInt(L"Settings", L"H_Initialized", 0), 1);
}

TEST_F(RegistryStoreTest, RemovalKeepsTheVendorKeyOnlyForAnotherProduct)
{
    for (bool otherProduct : {false, true}) {
        lenient.SetInt(L"Settings", L"MenuPos", 1);
        lenient.SetInt(L"WindowPos", L"left", 1);
        RawSet(kVendor, L"VendorValue", REG_DWORD, Bytes({1, 0, 0, 0}));
        if (otherProduct)
            RawSet(kVendor + L"\\OtherProduct", L"v", REG_DWORD, Bytes({1, 0, 0, 0}));
        lenient.RemoveStore();
        EXPECT_FALSE(RawKeyExists(kRoot)) << otherProduct;
        EXPECT_EQ(RawKeyExists(kVendor), otherProduct);
        if (otherProduct) {
            EXPECT_TRUE(RawKeyExists(kVendor + L"\\OtherProduct"));
        }
        EXPECT_TRUE(RawKeyExists(L"Software"));
        Clean();
    }
}

TEST_F(RegistryStoreTest, ValuesOfEverySizeReadWholeInAndOutOfABatch)
{
    // Around the first read's buffer, and a menu archive's size.
    for (size_t size : {size_t(0), size_t(255), size_t(256), size_t(257), size_t(1000), size_t(1048576)}) {
        std::vector<uint8_t> bytes(size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>(i * 7 + size);
        lenient.SetBlob(L"Settings", L"Blob", bytes);
        EXPECT_EQ(lenient.GetBlob(L"Settings", L"Blob"), bytes) << size;
        CStoreBatch batch(lenient);
        EXPECT_EQ(lenient.GetBlob(L"Settings", L"Blob"), bytes) << size << " in a batch";
    }
    const std::wstring longText(600, L'テ');
    lenient.SetString(L"Settings", L"OwnerDrawTextureFile", longText);
    EXPECT_EQ(lenient.GetString(L"Settings", L"OwnerDrawTextureFile", L""), longText);
}

TEST_F(RegistryStoreTest, ABatchSeesOtherWritersAndOutlivesTheRemovalOfTheStore)
{
    CStoreBatch outer(lenient);
    {
        CStoreBatch inner(lenient);
        lenient.SetInt(L"Settings", L"MenuPos", 1);
        RawSet(kSettingsPath, L"DrawType", REG_DWORD, Bytes({2, 0, 0, 0}));
        EXPECT_EQ(lenient.GetInt(L"Settings", L"DrawType", 0), 2);
    }
    // Still in the outer batch: its keys stay open, and the removal lets go of them.
    EXPECT_EQ(lenient.GetInt(L"Settings", L"MenuPos", 0), 1);
    lenient.RemoveStore();
    EXPECT_FALSE(RawKeyExists(kRoot));
    EXPECT_EQ(lenient.GetInt(L"Settings", L"MenuPos", 9), 9);
    lenient.SetInt(L"Settings", L"MenuPos", 3);
    EXPECT_EQ(RawGet(kSettingsPath, L"MenuPos"), (CRegValue{REG_DWORD, Bytes({3, 0, 0, 0})}));
}

TEST_F(RegistryStoreTest, AnotherThreadReadsAndWritesAsUsualWhileABatchIsOpen)
{
    constexpr int kRounds = 300;
    std::atomic<bool> otherDone{false};
    std::atomic<int> otherMismatches{0};
    std::thread other([&] {
        for (int i = 0; i < kRounds; ++i) {
            const std::wstring name = L"Other" + std::to_wstring(i % 7);
            lenient.SetInt(L"WindowPos", name, i);
            if (lenient.GetInt(L"WindowPos", name, -1) != i)
                ++otherMismatches;
        }
        otherDone = true;
    });
    int mismatches = 0;
    {
        CStoreBatch batch(lenient);
        for (int i = 0; !otherDone || i < kRounds; ++i) {
            lenient.SetInt(L"Settings", L"MenuPos", i);
            if (lenient.GetInt(L"Settings", L"MenuPos", -1) != i)
                ++mismatches;
        }
    }
    other.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(otherMismatches, 0);
    EXPECT_EQ(RawGet(kRoot + L"\\WindowPos", L"Other" + std::to_wstring((kRounds - 1) % 7)),
              (CRegValue{REG_DWORD, Bytes({(kRounds - 1) & 0xFF, (kRounds - 1) >> 8, 0, 0})}));
}

} // namespace
