#include "Profiles.h"

#include "MenuMetrics.h"
#include "SettingsStore.h"
#include "XArchive.h"

namespace {

constexpr int32_t kProfileColorCount = kODMColorCount;

bool PassesUnchanged(wchar_t c)
{
    const uint32_t code = static_cast<uint32_t>(c);
    if (code >= 128)
        return true;
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.' ||
           c == L'_' || c == L'~';
}

uint8_t FlagByte(int value)
{
    return value != 0 ? 1 : 0;
}

bool SameFlag(int a, int b)
{
    return (a != 0) == (b != 0);
}

CODMSettings BuiltIn(std::array<XColorRef, kODMColorCount> colors, int highlightEdge)
{
    CODMSettings settings;
    settings.drawType = kDrawCustomColor;
    settings.colors = colors;
    settings.highlightEdge = highlightEdge;
    return settings;
}

} // namespace

std::wstring EncodeProfileName(const std::wstring& name)
{
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring coded;
    coded.reserve(name.size());
    for (wchar_t c : name) {
        if (PassesUnchanged(c)) {
            coded.push_back(c);
            continue;
        }
        coded.push_back(L'%');
        coded.push_back(kHex[(c >> 4) & 0xF]);
        coded.push_back(kHex[c & 0xF]);
    }
    return coded;
}

std::wstring DecodeProfileName(const std::wstring& valueName)
{
    std::wstring name;
    name.reserve(valueName.size());
    for (size_t i = 0; i < valueName.size(); ++i) {
        if (valueName[i] == L'%' && i + 2 < valueName.size()) {
            const int high = HexDigitValue(valueName[i + 1]);
            const int low = HexDigitValue(valueName[i + 2]);
            if (high >= 0 && low >= 0) {
                name.push_back(static_cast<wchar_t>(high * 16 + low));
                i += 2;
                continue;
            }
        }
        name.push_back(valueName[i]);
    }
    return name;
}

std::vector<uint8_t> SerializeProfile(const CODMSettings& s)
{
    CXArchive ar;
    ar.WriteUInt32(kProfileMagic);
    ar.WriteWord(kProfileVersion);
    ar.WriteInt32(s.drawType);
    ar.WriteString(s.fontName);
    ar.WriteInt32(s.fontSize);
    ar.WriteInt32(s.fontWeight);
    ar.WriteByte(FlagByte(s.fontItalic));
    ar.WriteInt32(kProfileColorCount);
    for (XColorRef color : s.colors)
        ar.WriteUInt32(color);
    ar.WriteByte(FlagByte(s.useTexture));
    ar.WriteString(s.textureFile);
    ar.WriteByte(static_cast<uint8_t>(s.alphaHighlight & 0xFF));
    ar.WriteByte(FlagByte(s.compactWidth));
    ar.WriteInt32(s.padding);
    ar.WriteInt32(s.separatorHeight);
    ar.WriteInt32(s.highlightEdge);
    ar.WriteInt32(s.submenuMark);
    ar.WriteUInt32(kProfileMagic);
    return ar.TakeBytes();
}

bool DeserializeProfile(std::span<const uint8_t> bytes, CODMSettings& settings)
{
    CXArchive ar(bytes);
    if (ar.ReadUInt32() != kProfileMagic || ar.Failed())
        return false;
    const uint16_t version = ar.ReadWord();
    if (ar.Failed() || version > kProfileVersion)
        return false;

    // Read into a copy, so that a record failing halfway changes nothing.
    CODMSettings s = settings;
    s.drawType = ar.ReadInt32();
    s.fontName = ar.ReadString();
    s.fontSize = ar.ReadInt32();
    s.fontWeight = ar.ReadInt32();
    s.fontItalic = FlagByte(ar.ReadByte());
    if (ar.ReadInt32() != kProfileColorCount || ar.Failed())
        return false;
    for (XColorRef& color : s.colors)
        color = ar.ReadUInt32();
    if (version >= 3) {
        s.useTexture = FlagByte(ar.ReadByte());
        s.textureFile = ar.ReadString();
        s.alphaHighlight = ar.ReadByte();
    }
    if (version >= 2)
        s.compactWidth = FlagByte(ar.ReadByte());
    s.padding = ar.ReadInt32();
    s.separatorHeight = ar.ReadInt32();
    s.highlightEdge = ar.ReadInt32();
    if (version >= 1)
        s.submenuMark = ar.ReadInt32();
    if (ar.ReadUInt32() != kProfileMagic || ar.Failed())
        return false;
    settings = std::move(s);
    return true;
}

bool ProfilesEqual(const CODMSettings& a, const CODMSettings& b)
{
    return a.drawType == b.drawType && a.fontName == b.fontName && a.fontSize == b.fontSize &&
           a.fontWeight == b.fontWeight && SameFlag(a.fontItalic, b.fontItalic) && a.colors == b.colors &&
           SameFlag(a.useTexture, b.useTexture) && ODMPathsEqualIgnoringCase(a.textureFile, b.textureFile) &&
           a.alphaHighlight == b.alphaHighlight && SameFlag(a.compactWidth, b.compactWidth) && a.padding == b.padding &&
           a.separatorHeight == b.separatorHeight && a.highlightEdge == b.highlightEdge &&
           a.submenuMark == b.submenuMark;
}

const std::vector<CBuiltInProfile>& BuiltInProfiles()
{
    static const std::vector<CBuiltInProfile> profiles = {
        {L"黒", BuiltIn({0x2B2B2B, 0xFFFFFF, 0x808080, 0x414141, 0xFFFFFF, 0x414141}, 0)},
        {L"黒板", BuiltIn({0x354F01, 0xFFFFFF, 0x61986A, 0x354F01, 0xCCB6F7, 0x354F01}, 0)},
        {L"白", BuiltIn({0xFFFFFF, 0x000000, 0xDDDDDD, 0xEDEDED, 0x000000, 0xD6D6D6}, 1)},
        {L"紺", BuiltIn({0x321F22, 0xECD8CE, 0x764950, 0x55353A, 0x7AD6E0, 0x55353A}, 0)},
        {L"アンバー", BuiltIn({0x13363E, 0x26ABE3, 0x235061, 0x1C515B, 0x26ABE3, 0x1C515B}, 0)},
    };
    return profiles;
}

bool ProfileNamesEqual(const std::wstring& a, const std::wstring& b)
{
    return StoreNamesEqual(a, b);
}

std::optional<size_t> FindProfileName(const std::vector<std::wstring>& names, const std::wstring& text)
{
    for (size_t i = 0; i < names.size(); ++i)
        if (ProfileNamesEqual(names[i], text))
            return i;
    return std::nullopt;
}

std::wstring ProfilesKeyPath()
{
    return std::wstring(kStoreKeyPath) + L"\\" + kSectionProfiles;
}

std::vector<std::wstring> ReadProfileNames(CSettingsStore& store)
{
    std::vector<std::wstring> names;
    for (const auto& [valueName, value] : store.Values(ProfilesKeyPath()))
        if (value.type == kRegBinary)
            names.push_back(DecodeProfileName(valueName));
    return names;
}

bool CreateBuiltInProfilesOnce(CSettingsStore& store)
{
    if (store.GetInt(kSectionSettings, kProfileSetInitializedValue, 0) != 0)
        return false;
    CStoreBatch batch(store);
    for (const CBuiltInProfile& profile : BuiltInProfiles())
        store.SetBlob(kSectionProfiles, EncodeProfileName(profile.name), SerializeProfile(profile.settings));
    store.SetInt(kSectionSettings, kProfileSetInitializedValue, 1);
    return true;
}

std::optional<CODMSettings> ReadProfile(CSettingsStore& store, const std::wstring& name)
{
    const std::optional<std::vector<uint8_t>> bytes = store.GetBlob(kSectionProfiles, EncodeProfileName(name));
    if (!bytes)
        return std::nullopt;
    CODMSettings settings;
    if (!DeserializeProfile(*bytes, settings))
        return std::nullopt;
    return settings;
}

void WriteProfile(CSettingsStore& store, const std::wstring& name, const CODMSettings& settings)
{
    const std::wstring valueName = EncodeProfileName(name);
    CStoreBatch batch(store);
    store.DeleteValue(ProfilesKeyPath(), valueName);
    store.SetBlob(kSectionProfiles, valueName, SerializeProfile(settings));
}

void DeleteProfile(CSettingsStore& store, const std::wstring& name)
{
    store.DeleteValue(ProfilesKeyPath(), EncodeProfileName(name));
}
