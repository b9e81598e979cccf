#pragma once
// Builds archive bytes by hand for the archive tests, independently of CXArchive's writer.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CArchiveBytes {
public:
    CArchiveBytes& Byte(uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    CArchiveBytes& Word(uint16_t v) { return Byte(v & 0xFF).Byte(v >> 8); }
    CArchiveBytes& UInt32(uint32_t v) { return Word(v & 0xFFFF).Word(v >> 16); }
    CArchiveBytes& Int32(int32_t v) { return UInt32(static_cast<uint32_t>(v)); }
    CArchiveBytes& UInt64(uint64_t v) { return UInt32(v & 0xFFFFFFFF).UInt32(v >> 32); }
    // Space-separated hex pairs: "FF FE FF 00".
    CArchiveBytes& Hex(std::string_view hex)
    {
        for (size_t i = 0; i < hex.size();) {
            if (hex[i] == ' ') {
                ++i;
                continue;
            }
            Byte(static_cast<uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
            i += 2;
        }
        return *this;
    }
    CArchiveBytes& Raw(const std::vector<uint8_t>& more)
    {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
    // The shortest length form, with the Unicode marker.
    CArchiveBytes& Str(const std::wstring& s)
    {
        Byte(0xFF).Word(0xFFFE);
        if (s.size() <= 254)
            Byte(static_cast<uint8_t>(s.size()));
        else if (s.size() <= 0xFFFD)
            Byte(0xFF).Word(static_cast<uint16_t>(s.size()));
        else
            Byte(0xFF).Word(0xFFFF).UInt32(static_cast<uint32_t>(s.size()));
        for (wchar_t c : s)
            Word(static_cast<uint16_t>(c));
        return *this;
    }
    // Single bytes without the marker, as older programs wrote them.
    CArchiveBytes& AnsiStr(const std::string& s)
    {
        if (s.size() < 0xFF)
            Byte(static_cast<uint8_t>(s.size()));
        else
            Byte(0xFF).Word(static_cast<uint16_t>(s.size()));
        for (char c : s)
            Byte(static_cast<uint8_t>(c));
        return *this;
    }
    CArchiveBytes& NewClass(std::string_view name, uint16_t schema = 1)
    {
        Word(0xFFFF).Word(schema).Word(static_cast<uint16_t>(name.size()));
        for (char c : name)
            Byte(static_cast<uint8_t>(c));
        return *this;
    }
    // CXNode part and CXParent part up to and including the child count.
    CArchiveBytes& ParentHead(const std::wstring& title, uint16_t count)
    {
        return Byte(0).Byte(1).Str(title).Str(L"").Word(count);
    }
    // A version-6 item record with default flags and no hotkey.
    CArchiveBytes& ItemRecord(const std::wstring& title, const std::wstring& path = L"")
    {
        Byte(0).Byte(6).Str(title).Str(L"").Str(path).Str(L"").Str(L"");
        Byte(0).Byte(1).Int32(0);
        Byte(0).Int32(0).Int32(0).Str(L"").Int32(-1);
        return Byte(0);
    }
    CArchiveBytes& SeparatorRecord() { return Byte(0).Byte(0); }

    std::vector<uint8_t> bytes;
};
