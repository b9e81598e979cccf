#include "FakePlatform.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

CFakePlatform::CFakePlatform() = default;
CFakePlatform::~CFakePlatform() = default;

std::wstring CFakePlatform::AnsiToWide(const std::string& bytes)
{
    return FromCp932(bytes);
}

unsigned CFakePlatform::CharType3(wchar_t unit)
{
    // Enough of the Unicode tables for the tests: the combining diacritical marks,
    // the kana voicing marks, Devanagari vowel signs, and letters.
    if ((unit >= 0x0300 && unit <= 0x036F) || unit == 0x3099 || unit == 0x309A)
        return kC3NonSpacing | kC3Diacritic;
    if (unit >= 0x093E && unit <= 0x094C)
        return kC3VowelMark | kC3Alpha;
    if ((unit >= L'a' && unit <= L'z') || (unit >= L'A' && unit <= L'Z') || (unit >= 0x3041 && unit <= 0x30FF) ||
        (unit >= 0x0905 && unit <= 0x0939))
        return kC3Alpha;
    if (unit == 0x309B || unit == 0x309C) // spacing voicing marks: diacritic, but symbols
        return kC3Diacritic | kC3Symbol;
    return 0;
}

bool CFakePlatform::GetEnvironment(const std::wstring& name, std::wstring& value)
{
    auto it = environment.find(name);
    if (it == environment.end())
        return false;
    value = it->second;
    return true;
}

std::wstring CFakePlatform::NewGuidString()
{
    if (guidCounter < guids.size())
        return guids[guidCounter++];
    wchar_t buffer[64];
    std::swprintf(buffer, 64, L"{00000000-0000-0000-0000-%012zX}", ++guidCounter);
    return buffer;
}

bool CFakePlatform::ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data)
{
    auto it = files.find(path);
    if (it == files.end())
        return false;
    data = it->second;
    return true;
}

bool CFakePlatform::WriteWholeFile(const std::wstring& path, const void* bytes, size_t size)
{
    if (failFileWrites)
        return false;
    auto p = static_cast<const uint8_t*>(bytes);
    files[path].assign(p, p + size);
    return true;
}

int CFakePlatform::IconIndexFor(bool isInternal, const std::wstring& path)
{
    iconRequests.emplace_back(isInternal, path);
    auto it = icons.find(path);
    return it == icons.end() ? 0 : it->second;
}

bool CFakePlatform::ShellExecuteIdList(const std::wstring& lnkFile, const std::wstring& parameters,
                                       const std::wstring& folder, int show)
{
    if (!idListLaunchSucceeds)
        return false;
    launches.push_back({true, lnkFile, parameters, folder, show});
    return true;
}

intptr_t CFakePlatform::ShellOpen(const std::wstring& file, const std::wstring& parameters, const std::wstring& folder,
                                  int show)
{
    launches.push_back({false, file, parameters, folder, show});
    return shellExecuteResult;
}

bool CFakePlatform::CopyTextToClipboard(const std::wstring& text)
{
    if (!clipboardAvailable)
        return false;
    clipboard.push_back(text);
    return true;
}

bool CFakePlatform::GetShellDisplayName(const std::wstring& path, std::wstring& name)
{
    auto it = displayNames.find(path);
    if (it == displayNames.end())
        return false;
    name = it->second;
    return true;
}

bool CFakePlatform::GetShortcutTargetDisplayName(const std::wstring& lnkFile, std::wstring& name)
{
    auto it = shortcutTargetNames.find(lnkFile);
    if (it == shortcutTargetNames.end())
        return false;
    name = it->second;
    return true;
}

bool CFakePlatform::ReadShortcut(const std::wstring& lnkFile, CShortcutInfo& info)
{
    if (auto partly = partlyReadableShortcuts.find(lnkFile); partly != partlyReadableShortcuts.end()) {
        info.flagsKnown = partly->second.flagsKnown;
        info.flags = partly->second.flags;
        return false;
    }
    auto it = shortcuts.find(lnkFile);
    if (it == shortcuts.end())
        return false;
    info = it->second;
    return true;
}

XBitmap CFakePlatform::CreateMenuBitmap(XDeviceContext, int, int, int)
{
    return nullptr;
}

CFakeEnvironment::CFakeEnvironment(XIntReading reading) : store(reading)
{
    InstallPlatform(&platform, &store);
}
CFakeEnvironment::~CFakeEnvironment()
{
    InstallPlatform(nullptr, nullptr);
}

std::vector<uint8_t> Utf16Bytes(const std::wstring& text)
{
    std::vector<uint8_t> bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    return bytes;
}

#ifdef _WIN32
std::string ToCp932(const std::wstring& text)
{
    int n = WideCharToMultiByte(932, 0, text.data(), (int)text.size(), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(932, 0, text.data(), (int)text.size(), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring FromCp932(const std::string& bytes)
{
    int n = MultiByteToWideChar(932, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(932, 0, bytes.data(), (int)bytes.size(), out.data(), n);
    return out;
}
#else
namespace {
std::string Convert(const char* to, const char* from, const char* in, size_t inSize)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        throw std::runtime_error("iconv_open failed");
    std::string out(inSize * 4 + 16, '\0');
    char* src = const_cast<char*>(in);
    char* dst = out.data();
    size_t left = out.size();
    iconv(cd, &src, &inSize, &dst, &left);
    iconv_close(cd);
    out.resize(out.size() - left);
    return out;
}
} // namespace

std::string ToCp932(const std::wstring& text)
{
    std::vector<uint8_t> utf16 = Utf16Bytes(text);
    return Convert("CP932", "UTF-16LE", reinterpret_cast<const char*>(utf16.data()), utf16.size());
}

std::wstring FromCp932(const std::string& bytes)
{
    std::string utf16 = Convert("UTF-16LE", "CP932", bytes.data(), bytes.size());
    std::wstring out;
    for (size_t i = 0; i + 1 < utf16.size(); i += 2)
        out.push_back(static_cast<wchar_t>(static_cast<uint8_t>(utf16[i]) | (static_cast<uint8_t>(utf16[i + 1]) << 8)));
    return out;
}
#endif
