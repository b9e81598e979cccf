#include "SettingsStore.h"

namespace {

std::vector<uint8_t> DwordBytes(uint32_t value)
{
    return {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
            static_cast<uint8_t>((value >> 16) & 0xFF), static_cast<uint8_t>((value >> 24) & 0xFF)};
}

// UTF-16LE with the terminating zero, as REG_SZ values are stored.
std::vector<uint8_t> TextBytes(const std::wstring& text)
{
    std::vector<uint8_t> bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// The data read as UTF-16 units up to the first zero unit; an odd trailing byte is no unit.
std::wstring TextOf(const std::vector<uint8_t>& data)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < data.size(); i += 2) {
        wchar_t unit = static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
        if (unit == 0)
            break;
        text.push_back(unit);
    }
    return text;
}

std::wstring Join(const std::wstring& left, const std::wstring& right)
{
    return left + L"\\" + right;
}

} // namespace

std::wstring CSettingsStore::SectionPath(const std::wstring& section) const
{
    return Join(kStoreKeyPath, section);
}

int CSettingsStore::GetInt(const std::wstring& section, const std::wstring& entry, int defaultValue)
{
    const std::wstring path = SectionPath(section);
    CreateKey(path);
    CRegValue value;
    if (!ReadValue(path, entry, value))
        return defaultValue;
    if (intReading == XIntReading::Strict) {
        if (value.type != kRegDword || value.data.size() < 4)
            return defaultValue;
    } else if (value.data.size() > 4) {
        // The launcher reads into a 4-byte buffer: whatever fits is taken, whatever the type.
        return defaultValue;
    }
    uint32_t result = 0;
    for (size_t i = 0; i < 4 && i < value.data.size(); ++i)
        result |= static_cast<uint32_t>(value.data[i]) << (8 * i);
    return static_cast<int>(result);
}

void CSettingsStore::SetInt(const std::wstring& section, const std::wstring& entry, int value)
{
    const std::wstring path = SectionPath(section);
    CreateKey(path);
    WriteValue(path, entry, CRegValue{kRegDword, DwordBytes(static_cast<uint32_t>(value))});
}

std::wstring CSettingsStore::GetString(const std::wstring& section, const std::wstring& entry,
                                       const std::wstring& defaultValue)
{
    const std::wstring path = SectionPath(section);
    CreateKey(path);
    CRegValue value;
    if (!ReadValue(path, entry, value))
        return defaultValue;
    // The tools take only REG_SZ; the launcher reads any value as text.
    if (intReading == XIntReading::Strict && value.type != kRegSz)
        return defaultValue;
    return TextOf(value.data);
}

void CSettingsStore::SetString(const std::wstring& section, const std::wstring& entry,
                               const std::optional<std::wstring>& value)
{
    const std::wstring path = SectionPath(section);
    if (!value) {
        // The tools delete without creating the section; the launcher opens it as for any access.
        if (intReading == XIntReading::Lenient)
            CreateKey(path);
        DeleteValue(path, entry);
        return;
    }
    CreateKey(path);
    WriteValue(path, entry, CRegValue{kRegSz, TextBytes(*value)});
}

std::optional<std::vector<uint8_t>> CSettingsStore::GetBlob(const std::wstring& section, const std::wstring& entry)
{
    const std::wstring path = SectionPath(section);
    CreateKey(path);
    CRegValue value;
    // Archives are always written as REG_BINARY; a value of another type under an archive
    // name is not one of ours and reads as absent.
    if (!ReadValue(path, entry, value) || value.type != kRegBinary)
        return std::nullopt;
    return std::move(value.data);
}

void CSettingsStore::SetBlob(const std::wstring& section, const std::wstring& entry, const std::vector<uint8_t>& bytes)
{
    const std::wstring path = SectionPath(section);
    CreateKey(path);
    WriteValue(path, entry, CRegValue{kRegBinary, bytes});
}

void CSettingsStore::CopyTree(const std::wstring& from, const std::wstring& to)
{
    for (const auto& [name, value] : Values(from))
        WriteValue(to, name, value);
    for (const std::wstring& sub : SubKeys(from)) {
        const std::wstring target = Join(to, sub);
        if (CreateKey(target))
            CopyTree(Join(from, sub), target);
    }
}

void CSettingsStore::MigrateFromEarlierEdition()
{
    if (GetInt(kSectionSettings, L"H_Initialized", 0) != 0)
        return;

    const std::wstring software = L"Software";
    const std::wstring vendor = Join(software, kVendorKeyName);
    const std::wstring profile = Join(vendor, kProfileName);
    // The old key is only read: it stays where it is, and a missing one is not created.
    if (KeyExists(software) && CreateKey(vendor) && KeyExists(kEarlierEditionKeyPath) && CreateKey(profile)) {
        for (const wchar_t* sub : {kSectionWindowPos, kSectionSettings}) {
            const std::wstring oldKey = Join(kEarlierEditionKeyPath, sub);
            if (!KeyExists(oldKey))
                continue;
            const std::wstring newKey = Join(profile, sub);
            if (CreateKey(newKey))
                CopyTree(oldKey, newKey);
        }
    }

    SetInt(kSectionSettings, L"H_Initialized", 1);
}

void CSettingsStore::RemoveStore()
{
    DeleteTree(kStoreKeyPath);
    const std::wstring vendor = Join(L"Software", kVendorKeyName);
    if (KeyExists(vendor) && SubKeys(vendor).empty())
        DeleteTree(vendor);
}
