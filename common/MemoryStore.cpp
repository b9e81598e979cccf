// PLACEHOLDER until the store lands.
#include "SettingsStore.h"
bool CMemoryStore::CreateKey(const std::wstring&) { return false; }
bool CMemoryStore::KeyExists(const std::wstring&) { return false; }
bool CMemoryStore::ReadValue(const std::wstring&, const std::wstring&, CRegValue&) { return false; }
bool CMemoryStore::WriteValue(const std::wstring&, const std::wstring&, const CRegValue&) { return false; }
bool CMemoryStore::DeleteValue(const std::wstring&, const std::wstring&) { return false; }
std::vector<std::wstring> CMemoryStore::SubKeys(const std::wstring&) { return {}; }
std::vector<std::pair<std::wstring, CRegValue>> CMemoryStore::Values(const std::wstring&) { return {}; }
bool CMemoryStore::DeleteTree(const std::wstring&) { return false; }
