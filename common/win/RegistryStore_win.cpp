#include "RegistryStore_win.h"

#include "WinHandles.h"

namespace {

// Registry limits: key names up to 255 characters, value names up to 16383.
constexpr DWORD kMaxKeyName = 256;
constexpr DWORD kMaxValueName = 16384;
// Bytes a value is first read into.
constexpr DWORD kSmallValue = 256;

CKeyHandle OpenKey(const std::wstring& path, REGSAM access)
{
    CKeyHandle key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, access, key.put()) != ERROR_SUCCESS)
        key.release(); // a failed call may leave anything in the out parameter
    return key;
}

CKeyHandle CreateOrOpenKey(const std::wstring& path)
{
    CKeyHandle key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        key.release();
    return key;
}

} // namespace

bool CRegistryStore::CreateKey(const std::wstring& path)
{
    if (HeldKey(path))
        return true;
    CKeyHandle key = CreateOrOpenKey(path);
    if (!key)
        return false;
    if (InBatch())
        heldKeys.emplace_back(path, std::move(key));
    return true;
}

bool CRegistryStore::KeyExists(const std::wstring& path)
{
    return HeldKey(path) || static_cast<bool>(OpenKey(path, KEY_READ));
}

bool CRegistryStore::ReadValue(const std::wstring& path, const std::wstring& name, CRegValue& value)
{
    CKeyHandle opened;
    HKEY key = KeyForCall(path, false, opened);
    if (!key)
        return false;
    // Most values are numbers and short texts: one query reads them. A larger one is read
    // again at the size the registry reported; it may have grown meanwhile, so again then.
    DWORD type = 0;
    std::vector<uint8_t> data(kSmallValue);
    DWORD size = kSmallValue;
    LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
    for (int attempt = 0; status == ERROR_MORE_DATA && attempt < 4; ++attempt) {
        data.resize(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &size);
    }
    if (status != ERROR_SUCCESS)
        return false;
    data.resize(size);
    value.type = type;
    value.data = std::move(data);
    return true;
}

bool CRegistryStore::WriteValue(const std::wstring& path, const std::wstring& name, const CRegValue& value)
{
    CKeyHandle opened;
    HKEY key = KeyForCall(path, true, opened);
    if (!key)
        return false;
    return RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size())) ==
           ERROR_SUCCESS;
}

bool CRegistryStore::DeleteValue(const std::wstring& path, const std::wstring& name)
{
    CKeyHandle key = OpenKey(path, KEY_SET_VALUE);
    if (!key)
        return false;
    return RegDeleteValueW(key.get(), name.c_str()) == ERROR_SUCCESS;
}

std::vector<std::wstring> CRegistryStore::SubKeys(const std::wstring& path)
{
    std::vector<std::wstring> names;
    CKeyHandle key = OpenKey(path, KEY_ENUMERATE_SUB_KEYS);
    if (!key)
        return names;
    wchar_t name[kMaxKeyName];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyName;
        LSTATUS status = RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::pair<std::wstring, CRegValue>> CRegistryStore::Values(const std::wstring& path)
{
    std::vector<std::pair<std::wstring, CRegValue>> values;
    CKeyHandle key = OpenKey(path, KEY_QUERY_VALUE);
    if (!key)
        return values;
    DWORD maxData = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return values;
    std::vector<wchar_t> name(kMaxValueName);
    std::vector<uint8_t> data(maxData);
    for (DWORD index = 0;;) {
        DWORD nameLength = kMaxValueName;
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        LSTATUS status = RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_MORE_DATA && size > data.size()) {
            data.resize(size); // a value grew meanwhile: read the same index again
            continue;
        }
        if (status == ERROR_SUCCESS)
            values.emplace_back(std::wstring(name.data(), nameLength),
                                CRegValue{type, std::vector<uint8_t>(data.begin(), data.begin() + size)});
        ++index;
    }
    return values;
}

bool CRegistryStore::DeleteTree(const std::wstring& path)
{
    if (path.empty())
        return false; // never the whole of HKEY_CURRENT_USER
    // A held key below it would keep serving a key that is gone.
    if (InBatch())
        heldKeys.clear();
    return RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}

void CRegistryStore::BeginBatch()
{
    DWORD owner = 0;
    const DWORD self = GetCurrentThreadId();
    if (batchThread.compare_exchange_strong(owner, self) || owner == self)
        ++batchDepth;
}

void CRegistryStore::EndBatch()
{
    if (!InBatch())
        return;
    if (--batchDepth == 0) {
        heldKeys.clear();
        batchThread.store(0);
    }
}

HKEY CRegistryStore::KeyForCall(const std::wstring& path, bool create, CKeyHandle& opened) const
{
    if (HKEY held = HeldKey(path))
        return held;
    opened = create ? CreateOrOpenKey(path) : OpenKey(path, KEY_QUERY_VALUE);
    return opened.get();
}

HKEY CRegistryStore::HeldKey(const std::wstring& path) const
{
    if (!InBatch())
        return nullptr;
    for (const auto& [heldPath, key] : heldKeys) {
        if (CompareStringOrdinal(heldPath.c_str(), static_cast<int>(heldPath.size()), path.c_str(),
                                 static_cast<int>(path.size()), TRUE) == CSTR_EQUAL)
            return key.get();
    }
    return nullptr;
}
