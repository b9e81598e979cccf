#include "ItemText.h"

#include <string_view>

#include "Platform.h"

namespace {

bool IsWhiteSpace(wchar_t c)
{
    // The characters the C runtime of the target counts as space in titles, including the
    // ideographic space that Japanese titles put before "(&N)".
    return (c >= 0x09 && c <= 0x0D) || c == L' ' || c == 0x00A0 || c == 0x3000;
}

void TrimRight(std::wstring& s)
{
    while (!s.empty() && IsWhiteSpace(s.back()))
        s.pop_back();
}

bool IsOpeningParenthesis(wchar_t c)
{
    return c == L'(' || c == 0xFF08;
} // "（"
bool IsClosingParenthesis(wchar_t c)
{
    return c == L')' || c == 0xFF09;
} // "）"
bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsCombiningMark(wchar_t unit)
{
    unsigned type = Platform().CharType3(unit);
    if (type & kC3VowelMark)
        return true;
    return (type & (kC3NonSpacing | kC3Diacritic)) != 0 && (type & (kC3Alpha | kC3Symbol)) == 0;
}

wchar_t AsciiLower(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

} // namespace

bool IsAcceleratorChar(wchar_t c)
{
    return (c >= 0x21 && c <= 0x25) || (c >= 0x27 && c <= 0x7E);
}

std::wstring BuildMenuText(const std::wstring& title, const std::wstring& accelerator)
{
    std::wstring text;
    text.reserve(title.size() + 4);
    for (wchar_t c : title) {
        if (c == L'&')
            text += L'&';
        text += c;
    }
    if (!accelerator.empty() && IsAcceleratorChar(accelerator[0])) {
        text += L"(&";
        text += accelerator[0];
        text += L')';
    }
    return text;
}

void DeriveAccelerator(std::wstring& title, std::wstring& accelerator)
{
    std::wstring cleaned;
    cleaned.reserve(title.size());
    wchar_t found = 0;
    for (size_t i = 0; i < title.size(); ++i) {
        wchar_t c = title[i];
        if (c != L'&') {
            cleaned += c;
            continue;
        }
        if (i + 1 == title.size())
            break; // a lone "&" at the end marks nothing
        wchar_t next = title[++i];
        cleaned += next;
        if (found == 0 && IsAcceleratorChar(next))
            found = next;
    }

    if (found != 0) {
        TrimRight(cleaned);
        size_t n = cleaned.size();
        if (n > 3 && IsOpeningParenthesis(cleaned[n - 3]) && cleaned[n - 2] == found &&
            IsClosingParenthesis(cleaned[n - 1])) {
            cleaned.resize(n - 3);
            TrimRight(cleaned);
        }
    }
    title = std::move(cleaned);
    accelerator = found != 0 ? std::wstring(1, found) : std::wstring();
}

std::wstring ExpandReferences(const std::wstring& text)
{
    static const std::wstring kLinksName = L"VelquinLNKs";
    std::wstring out;
    out.reserve(text.size());
    bool pending = false;
    size_t opening = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c != L'%') {
            if (!pending)
                out += c;
            continue;
        }
        if (!pending) {
            pending = true;
            opening = i;
            continue;
        }
        pending = false;
        std::wstring name = text.substr(opening + 1, i - opening - 1);
        if (name == kLinksName) {
            out += Platform().LinksFolder();
            continue;
        }
        // The whole value is used, however long: cutting a path at some buffer size
        // would only launch the wrong file.
        std::wstring value;
        if (!name.empty() && Platform().GetEnvironment(name, value))
            out += value;
        else
            out.append(text, opening, i - opening + 1);
    }
    if (pending)
        out.append(text, opening, std::wstring::npos);
    return out;
}

std::wstring BuildSummary(const std::wstring& text)
{
    constexpr size_t kMaxUnits = 4096;
    constexpr int kMaxClusters = 32;

    size_t length = text.size();
    if (length > kMaxUnits)
        length = kMaxUnits;
    // Never cut a surrogate pair in two.
    if (length == kMaxUnits && IsHighSurrogate(text[kMaxUnits - 1]))
        length = kMaxUnits - 1;

    std::wstring summary;
    int counter = 0;
    size_t i = 0;
    while (i < length) {
        size_t end = i + 1;
        while (end < length && (IsLowSurrogate(text[end]) || IsCombiningMark(text[end])))
            ++end;
        if (counter >= kMaxClusters) {
            summary += L"...";
            break;
        }
        bool single = end == i + 1;
        if (single && text[i] == L'\r') {
            i = end;
            continue;
        }
        if (single && (text[i] == L'\t' || text[i] == L'\n'))
            summary += L' ';
        else
            summary.append(text, i, end - i);
        ++counter;
        i = end;
    }
    return summary;
}

std::wstring DefaultTextItemTitle(const std::wstring& summary)
{
    return L"「" + summary + L"」をコピー";
}

std::wstring TitleFromPath(const std::wstring& path)
{
    size_t slash = path.rfind(L'\\');
    if (slash == std::wstring::npos || slash + 1 == path.size())
        return path;
    return path.substr(slash + 1);
}

int ShowCommandToSw(int showCommand)
{
    switch (showCommand) {
    case 1:
        return 2; // SW_SHOWMINIMIZED
    case 2:
        return 3; // SW_SHOWMAXIMIZED
    default:
        return 1; // SW_SHOWNORMAL
    }
}

int SwToShowCommand(int sw)
{
    switch (sw) {
    case 2:
        return 1;
    case 3:
        return 2;
    default:
        return 0;
    }
}

std::wstring ShellExecuteErrorText(intptr_t code)
{
    const wchar_t* reason;
    switch (code) {
    case 0:
        reason = L"メモリまたはリソースが不足しています。";
        break;
    case 2:
        reason = L"指定されたファイルが見つかりませんでした。";
        break;
    case 3:
        reason = L"指定されたパスが見つかりませんでした。";
        break;
    case 5:
        reason = L"オペレーティングシステムが、指定されたファイルへのアクセスを拒否しました。";
        break;
    case 8:
        reason = L"操作を完了するのに十分なメモリがありません。";
        break;
    case 11:
        reason = L".exe ファイルが無効です。Win32 の .exe ではないか、.exe イメージ内にエラーがあります。";
        break;
    case 26:
        reason = L"共有違反が発生しました。";
        break;
    case 27:
        reason = L"ファイル名の関連付けが不完全または無効です。";
        break;
    case 28:
        reason = L"要求がタイムアウトしたので、DDE トランザクションを完了できませんでした。";
        break;
    case 29:
        reason = L"DDE トランザクションが失敗しました。";
        break;
    case 30:
        reason = L"ほかの DDE トランザクションが現在処理中なので、DDE トランザクションを完了できませんでした。";
        break;
    case 31:
        reason = L"指定されたファイル拡張子に関連付けられたアプリケーションがありません。"
                 L"印刷可能ではないファイルを印刷しようとした場合も、このエラーが返ります。";
        break;
    case 32:
        reason = L"指定されたダイナミックリンクライブラリ（DLL）が見つかりませんでした。";
        break;
    default:
        reason = L"不明なエラーです。";
        break;
    }
    return std::wstring(L"起動できません。") + reason + L"(ShellExecute code=" +
           std::to_wstring(static_cast<long long>(code)) + L")";
}

bool EndsWithExtension(const std::wstring& text, const wchar_t* extension)
{
    std::wstring_view ext(extension);
    if (text.size() < ext.size())
        return false;
    size_t offset = text.size() - ext.size();
    for (size_t i = 0; i < ext.size(); ++i) {
        if (AsciiLower(text[offset + i]) != AsciiLower(ext[i]))
            return false;
    }
    return true;
}

std::wstring JoinPath(const std::wstring& left, const std::wstring& right)
{
    if (!left.empty() && left.back() == L'\\')
        return left + right;
    return left + L'\\' + right;
}
