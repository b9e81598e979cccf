// The in-memory hive. Key and value names compare as the registry compares them for the
// names this system uses: ASCII letters without regard to case, every other unit exactly
// (so "ランチャー" matches only itself, as it does in the registry). Subkeys are kept in
// name order, values in the order they were first written, as the registry enumerates them.

#include <algorithm>

#include "SettingsStore.h"

namespace {

wchar_t Fold(wchar_t c)
{
    return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

bool NameLess(const std::wstring& a, const std::wstring& b)
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return Fold(x) < Fold(y); });
}

// Splits a backslash-joined path; an empty component makes the path invalid.
bool SplitPath(const std::wstring& path, std::vector<std::wstring>& parts)
{
    parts.clear();
    if (path.empty())
        return true;
    size_t start = 0;
    for (;;) {
        size_t end = path.find(L'\\', start);
        std::wstring part = path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
        if (part.empty())
            return false;
        parts.push_back(std::move(part));
        if (end == std::wstring::npos)
            return true;
        start = end + 1;
    }
}

template <typename List> auto FindName(List& list, const std::wstring& name)
{
    return std::find_if(list.begin(), list.end(),
                        [&](const auto& entry) { return StoreNamesEqual(entry.first, name); });
}

} // namespace

bool StoreNamesEqual(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return Fold(x) == Fold(y); });
}

CMemoryStore::Key* CMemoryStore::Find(const std::wstring& path, bool create)
{
    std::vector<std::wstring> parts;
    if (!SplitPath(path, parts))
        return nullptr;
    Key* key = &root;
    for (const std::wstring& part : parts) {
        auto it = FindName(key->subKeys, part);
        if (it == key->subKeys.end()) {
            if (!create)
                return nullptr;
            auto at = std::find_if(key->subKeys.begin(), key->subKeys.end(),
                                   [&](const auto& entry) { return NameLess(part, entry.first); });
            it = key->subKeys.insert(at, {part, Key{}});
        }
        key = &it->second;
    }
    return key;
}

bool CMemoryStore::CreateKey(const std::wstring& path)
{
    // Opening an existing key is not a write; creating a missing one is.
    if (Find(path, false))
        return true;
    if (failWrites)
        return false;
    return Find(path, true) != nullptr;
}

bool CMemoryStore::KeyExists(const std::wstring& path)
{
    return Find(path, false) != nullptr;
}

bool CMemoryStore::ReadValue(const std::wstring& path, const std::wstring& name, CRegValue& value)
{
    Key* key = Find(path, false);
    if (!key)
        return false;
    auto it = FindName(key->values, name);
    if (it == key->values.end())
        return false;
    value = it->second;
    return true;
}

bool CMemoryStore::WriteValue(const std::wstring& path, const std::wstring& name, const CRegValue& value)
{
    if (failWrites)
        return false;
    Key* key = Find(path, true);
    if (!key)
        return false;
    auto it = FindName(key->values, name);
    if (it == key->values.end())
        key->values.emplace_back(name, value);
    else
        it->second = value; // the name keeps the spelling it was created with
    return true;
}

bool CMemoryStore::DeleteValue(const std::wstring& path, const std::wstring& name)
{
    if (failWrites)
        return false;
    Key* key = Find(path, false);
    if (!key)
        return false;
    auto it = FindName(key->values, name);
    if (it == key->values.end())
        return false;
    key->values.erase(it);
    return true;
}

std::vector<std::wstring> CMemoryStore::SubKeys(const std::wstring& path)
{
    std::vector<std::wstring> names;
    if (Key* key = Find(path, false))
        for (const auto& entry : key->subKeys)
            names.push_back(entry.first);
    return names;
}

std::vector<std::pair<std::wstring, CRegValue>> CMemoryStore::Values(const std::wstring& path)
{
    Key* key = Find(path, false);
    return key ? key->values : std::vector<std::pair<std::wstring, CRegValue>>{};
}

bool CMemoryStore::DeleteTree(const std::wstring& path)
{
    if (failWrites)
        return false;
    std::vector<std::wstring> parts;
    if (!SplitPath(path, parts) || parts.empty())
        return false; // the hive's root is not deletable
    const std::wstring leaf = parts.back();
    parts.pop_back();
    std::wstring parentPath;
    for (const std::wstring& part : parts)
        parentPath += (parentPath.empty() ? L"" : L"\\") + part;
    Key* parent = Find(parentPath, false);
    if (!parent)
        return false;
    auto it = FindName(parent->subKeys, leaf);
    if (it == parent->subKeys.end())
        return false;
    parent->subKeys.erase(it);
    return true;
}
