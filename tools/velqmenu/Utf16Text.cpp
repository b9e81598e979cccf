#include "Utf16Text.h"

#include <cstdint>

namespace {

bool IsHighSurrogate(uint32_t u)
{
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(uint32_t u)
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// wchar_t is signed on some platforms; a unit is read as its unsigned value.
uint32_t Unit(wchar_t c)
{
    return static_cast<uint32_t>(c);
}

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

size_t FindLoneSurrogate(std::wstring_view units)
{
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t u = Unit(units[i]);
        if (IsHighSurrogate(u)) {
            if (i + 1 < units.size() && IsLowSurrogate(Unit(units[i + 1]))) {
                ++i;
                continue;
            }
            return i;
        }
        if (IsLowSurrogate(u))
            return i;
    }
    return std::wstring_view::npos;
}

std::string Utf16ToUtf8(std::wstring_view units)
{
    std::string out;
    out.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t u = Unit(units[i]);
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(Unit(units[i + 1]))) {
            uint32_t low = Unit(units[++i]);
            AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u) || u > 0xFFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

std::optional<std::wstring> Utf8ToUtf16(std::string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        uint32_t b = static_cast<uint8_t>(text[i]);
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        size_t extra;
        uint32_t cp, minimum;
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1, cp = b & 0x1F, minimum = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2, cp = b & 0x0F, minimum = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3, cp = b & 0x07, minimum = 0x10000;
        } else {
            return std::nullopt; // continuation byte, C0/C1 or F5..FF
        }
        if (text.size() - i <= extra)
            return std::nullopt;
        for (size_t k = 1; k <= extra; ++k) {
            uint32_t c = static_cast<uint8_t>(text[i + k]);
            if ((c & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return std::nullopt;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
        i += 1 + extra;
    }
    return out;
}
