#pragma once
// The registry store of all programs: HKEY_CURRENT_USER\Software\OfficeKestrahl\Velquinランチャー
// with the keys "Settings", "WindowPos" and "Profiles". The typed rules, the migration from
// the earlier edition and the removal live here once; a backend supplies the hive (the
// Windows registry, or memory for tests).

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Registry value types.
enum : uint32_t {
    kRegNone = 0,
    kRegSz = 1,
    kRegExpandSz = 2,
    kRegBinary = 3,
    kRegDword = 4,
    kRegMultiSz = 7,
    kRegQword = 11,
};

struct CRegValue {
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
    bool operator==(const CRegValue&) const = default;
};

// How integers are read: the launcher takes any value of at most 4 bytes, the tools
// only REG_DWORD values of at least 4 bytes.
enum class XIntReading { Lenient, Strict };

inline constexpr wchar_t kVendorKeyName[] = L"OfficeKestrahl";
inline constexpr wchar_t kProfileName[] = L"Velquinランチャー";
inline constexpr wchar_t kStoreKeyPath[] = L"Software\\OfficeKestrahl\\Velquinランチャー";
inline constexpr wchar_t kEarlierEditionKeyPath[] = L"Software\\OfficeKestrahl\\VQLALaunch";
inline constexpr wchar_t kSectionSettings[] = L"Settings";
inline constexpr wchar_t kSectionWindowPos[] = L"WindowPos";
inline constexpr wchar_t kSectionProfiles[] = L"Profiles";

// Key and value names compare as the registry compares them for the names this system uses:
// ASCII letters without regard to case, every other unit exactly (so "ランチャー" matches only
// itself). The in-memory hive matches names with it; so does code that must find a name the way
// the hive will.
bool StoreNamesEqual(const std::wstring& a, const std::wstring& b);

class CSettingsStore {
public:
    explicit CSettingsStore(XIntReading reading) : intReading(reading) {}
    virtual ~CSettingsStore() = default;

    int GetInt(const std::wstring& section, const std::wstring& entry, int defaultValue);
    void SetInt(const std::wstring& section, const std::wstring& entry, int value);
    // Text up to the first zero unit. Lenient: any value type is read as text; Strict: REG_SZ only.
    std::wstring GetString(const std::wstring& section, const std::wstring& entry, const std::wstring& defaultValue);
    // No text (nullopt) deletes the value (Strict: without creating the section).
    void SetString(const std::wstring& section, const std::wstring& entry, const std::optional<std::wstring>& value);
    // Only REG_BINARY values; any other type reads as absent.
    std::optional<std::vector<uint8_t>> GetBlob(const std::wstring& section, const std::wstring& entry);
    void SetBlob(const std::wstring& section, const std::wstring& entry, const std::vector<uint8_t>& bytes);

    void MigrateFromEarlierEdition();
    void RemoveStore();

    XIntReading IntReading() const { return intReading; }

    // The hive below HKEY_CURRENT_USER. Paths are backslash-joined key names; key and value
    // names compare without regard to case. CreateKey and WriteValue create every missing key
    // on the way; the other primitives only open existing keys, so that merely looking at a key
    // (the earlier edition's, say) never creates it. The typed operations above call CreateKey
    // first, for reading too, so a read of a fresh store creates its section.
    virtual bool CreateKey(const std::wstring& path) = 0;
    virtual bool KeyExists(const std::wstring& path) = 0;
    virtual bool ReadValue(const std::wstring& path, const std::wstring& name, CRegValue& value) = 0;
    virtual bool WriteValue(const std::wstring& path, const std::wstring& name, const CRegValue& value) = 0;
    virtual bool DeleteValue(const std::wstring& path, const std::wstring& name) = 0;
    virtual std::vector<std::wstring> SubKeys(const std::wstring& path) = 0;
    virtual std::vector<std::pair<std::wstring, CRegValue>> Values(const std::wstring& path) = 0;
    // Deletes the key with all its subkeys and values.
    virtual bool DeleteTree(const std::wstring& path) = 0;

    // Between these two a backend may keep the keys it opened open, so that a run of reads and
    // writes of one section (the appearance values of every menu show) opens its key once.
    // Calls nest; CStoreBatch pairs them.
    virtual void BeginBatch() {}
    virtual void EndBatch() {}

private:
    std::wstring SectionPath(const std::wstring& section) const;
    void CopyTree(const std::wstring& from, const std::wstring& to);

    XIntReading intReading;
};

class CStoreBatch {
public:
    explicit CStoreBatch(CSettingsStore& store) : store(store) { store.BeginBatch(); }
    ~CStoreBatch() { store.EndBatch(); }
    CStoreBatch(const CStoreBatch&) = delete;
    CStoreBatch& operator=(const CStoreBatch&) = delete;

private:
    CSettingsStore& store;
};

// A hive in memory, with registry value types, for tests and for platforms without a registry.
class CMemoryStore : public CSettingsStore {
public:
    explicit CMemoryStore(XIntReading reading = XIntReading::Lenient) : CSettingsStore(reading) {}

    bool CreateKey(const std::wstring& path) override;
    bool KeyExists(const std::wstring& path) override;
    bool ReadValue(const std::wstring& path, const std::wstring& name, CRegValue& value) override;
    bool WriteValue(const std::wstring& path, const std::wstring& name, const CRegValue& value) override;
    bool DeleteValue(const std::wstring& path, const std::wstring& name) override;
    std::vector<std::wstring> SubKeys(const std::wstring& path) override;
    std::vector<std::pair<std::wstring, CRegValue>> Values(const std::wstring& path) override;
    bool DeleteTree(const std::wstring& path) override;

    // Failure injection for tests: every write fails while set.
    bool failWrites = false;

private:
    struct Key {
        // A user-provided constructor: clang rejects the implicit one while Key is incomplete.
        Key() {}
        std::vector<std::pair<std::wstring, Key>> subKeys; // registry order: by name, case-insensitive
        std::vector<std::pair<std::wstring, CRegValue>> values;
    };
    Key* Find(const std::wstring& path, bool create);
    Key root;
};
