#pragma once
// The settings store on the Windows registry, below HKEY_CURRENT_USER.

#include "SettingsStore.h"

class CRegistryStore : public CSettingsStore {
public:
    explicit CRegistryStore(XIntReading reading) : CSettingsStore(reading) {}

    // Creates the key and every missing key on the way (full access).
    bool CreateKey(const std::wstring& path) override;
    // The remaining operations open existing keys only, so that reading a key (such as
    // the earlier edition's) never creates it; the typed rules create what they need.
    bool KeyExists(const std::wstring& path) override;
    bool ReadValue(const std::wstring& path, const std::wstring& name, CRegValue& value) override;
    bool WriteValue(const std::wstring& path, const std::wstring& name, const CRegValue& value) override;
    bool DeleteValue(const std::wstring& path, const std::wstring& name) override;
    std::vector<std::wstring> SubKeys(const std::wstring& path) override;
    std::vector<std::pair<std::wstring, CRegValue>> Values(const std::wstring& path) override;
    bool DeleteTree(const std::wstring& path) override;
};
