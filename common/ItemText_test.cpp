#include "ItemText.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "FakePlatform.h"

namespace {

std::wstring Repeat(const std::wstring& unit, size_t count)
{
    std::wstring out;
    for (size_t i = 0; i < count; ++i)
        out += unit;
    return out;
}

std::wstring Letters(size_t count)
{
    std::wstring out;
    for (size_t i = 0; i < count; ++i)
        out += static_cast<wchar_t>(L'a' + i % 26);
    return out;
}

} // namespace

TEST(ItemText, AcceleratorCharacters)
{
    for (int c = 0; c < 0x100; ++c) {
        bool expected = c >= 0x21 && c <= 0x7E && c != L'&';
        EXPECT_EQ(IsAcceleratorChar(static_cast<wchar_t>(c)), expected) << c;
    }
    EXPECT_FALSE(IsAcceleratorChar(L'メ'));
    EXPECT_FALSE(IsAcceleratorChar(0xFF21)); // full-width A
}

TEST(ItemText, BuildMenuText)
{
    struct Case {
        const wchar_t* title;
        const wchar_t* accelerator;
        const wchar_t* expected;
    } cases[] = {
        {L"Notepad", L"N", L"Notepad(&N)"},
        {L"R&D", L"", L"R&&D"},
        {L"a&&b", L"", L"a&&&&b"},
        {L"&", L"x", L"&&(&x)"},
        {L"メモ帳", L"メ", L"メモ帳"},
        {L"Space", L" ", L"Space"},
        {L"Amp", L"&", L"Amp"},
        {L"Tilde", L"~", L"Tilde(&~)"},
        {L"Bang", L"!", L"Bang(&!)"},
        {L"Two", L"AB", L"Two(&A)"},
        {L"", L"", L""},
        {L"", L"Z", L"(&Z)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildMenuText(c.title, c.accelerator), c.expected) << c.title << " / " << c.accelerator;
}

TEST(ItemText, DeriveAccelerator)
{
    struct Case {
        const wchar_t* title;
        const wchar_t* expectedTitle;
        const wchar_t* expectedAccelerator;
    } cases[] = {
        {L"メモ帳(&N)", L"メモ帳", L"N"},
        {L"&Paint", L"Paint", L"P"},
        {L"Save(&S)", L"Save", L"S"},
        {L"メモ帳（&N）", L"メモ帳", L"N"},
        {L"メモ帳 (&N)", L"メモ帳", L"N"},
        {L"メモ帳\u3000(&N)  ", L"メモ帳", L"N"},
        {L"Open (&O)\t", L"Open", L"O"},
        {L"Mixed（&M)", L"Mixed", L"M"},
        {L"X(&N)", L"X", L"N"},
        {L"(&N)", L"(N)", L"N"},             // not longer than 3 characters
        {L"&A(B)", L"A(B)", L"A"},           // the letter in parentheses differs
        {L"&save(S)", L"save(S)", L"s"},     // same letter, other case
        {L"A(&B) tail", L"A(B) tail", L"B"}, // not at the end
        {L"Trail&", L"Trail", L""},
        {L"R&&D", L"R&D", L""},
        {L"&&Amp", L"&Amp", L""},
        {L"&&&X", L"&X", L"X"},
        {L"A&B&C", L"ABC", L"B"},
        {L"&メモ", L"メモ", L""},
        {L"& x", L" x", L""},
        {L"Plain  ", L"Plain  ", L""}, // nothing trimmed without an accelerator
        {L"Tab &1 ", L"Tab 1", L"1"},
        {L"", L"", L""},
        {L"&", L"", L""},
    };
    for (const Case& c : cases) {
        std::wstring title = c.title;
        std::wstring accelerator = L"stale";
        DeriveAccelerator(title, accelerator);
        EXPECT_EQ(title, c.expectedTitle) << c.title;
        EXPECT_EQ(accelerator, c.expectedAccelerator) << c.title;
    }
}

TEST(ItemText, ExpandReferences)
{
    CFakeEnvironment env;
    const std::wstring links = env.platform.linksFolder;
    const std::wstring longValue = L"C:\\" + Repeat(L"x", 300);
    env.platform.environment = {
        {L"SystemRoot", L"C:\\Windows"},
        {L"EMPTY", L""},
        {L"LONG", longValue},
        {L"VelquinLNKs", L"D:\\from-environment"}, // never consulted for this name
        {L"velquinlnks", L"E:\\lower"},
    };
    struct Case {
        std::wstring text;
        std::wstring expected;
    } cases[] = {
        {L"%SystemRoot%\\notepad.exe", L"C:\\Windows\\notepad.exe"},
        {L"100%", L"100%"},
        {L"%UNDEFINED%\\x", L"%UNDEFINED%\\x"},
        {L"%VelquinLNKs%\\{G}.lnk", links + L"\\{G}.lnk"},
        {L"%velquinlnks%\\a", L"E:\\lower\\a"},
        {L"%%", L"%%"},
        {L"a%%b", L"a%%b"},
        {L"%SystemRoot%%SystemRoot%", L"C:\\WindowsC:\\Windows"},
        {L"50% of %SystemRoot%", L"50% of %SystemRoot%"},
        {L"%UNDEF%SystemRoot%", L"%UNDEF%SystemRoot%"},
        {L"%UNDEF%%SystemRoot%", L"%UNDEF%C:\\Windows"},
        {L"%EMPTY%x", L"x"},
        {L"%LONG%\\y", longValue + L"\\y"},
        {L"%", L"%"},
        {L"", L""},
        {L"no references", L"no references"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExpandReferences(c.text), c.expected) << c.text;
}

TEST(ItemText, LinksReferenceNeedsNoEnvironment)
{
    CFakeEnvironment env;
    env.platform.environment.clear();
    env.platform.linksFolder = L"C:\\L";
    EXPECT_EQ(ExpandReferences(L"%VelquinLNKs%\\{A}.url"), L"C:\\L\\{A}.url");
}

namespace {
// Character types from a table, to pin down which units join the cluster before them.
class CTypedPlatform : public CFakePlatform {
public:
    unsigned CharType3(wchar_t unit) override
    {
        auto it = types.find(unit);
        return it == types.end() ? kC3Alpha : it->second;
    }
    std::map<wchar_t, unsigned> types;
};
} // namespace

TEST(ItemText, CombiningMarkClassification)
{
    CFakeEnvironment env;
    CTypedPlatform platform;
    InstallPlatform(&platform, &env.store);
    struct Case {
        unsigned type;
        bool joins;
    } cases[] = {
        {kC3VowelMark, true},
        {kC3VowelMark | kC3Alpha, true},
        {kC3VowelMark | kC3Symbol, true},
        {kC3NonSpacing, true},
        {kC3Diacritic, true},
        {kC3NonSpacing | kC3Diacritic, true},
        {kC3NonSpacing | kC3Alpha, false},
        {kC3Diacritic | kC3Symbol, false},
        {kC3Alpha, false},
        {0, false},
    };
    const wchar_t mark = 0x0E31;
    for (const Case& c : cases) {
        platform.types[mark] = c.type;
        // 33 base letters each followed by the unit: 32 clusters and "..." when it joins.
        std::wstring text = Repeat(std::wstring(L"k") + mark, 33);
        std::wstring summary = BuildSummary(text);
        std::wstring expected = c.joins ? text.substr(0, 64) + L"..." : text.substr(0, 32) + L"...";
        EXPECT_EQ(summary, expected) << std::hex << c.type;
    }
    InstallPlatform(&env.platform, &env.store);
}

TEST(ItemText, BuildSummary)
{
    CFakeEnvironment env;
    const std::wstring smile = L"\xD83D\xDE00"; // one character, two units
    const std::wstring accented = L"e\x0301";   // e + combining acute
    const std::wstring voiced = L"か\x3099";    // kana + combining voicing mark
    const std::wstring devanagari = L"\x0915\x093F";
    struct Case {
        std::wstring text;
        std::wstring expected;
    } cases[] = {
        {Letters(40), Letters(32) + L"..."},
        {Letters(32), Letters(32)},
        {Letters(33), Letters(32) + L"..."},
        {L"a\r\nb", L"a b"},
        {L"a\tb\nc", L"a b c"},
        {L"\r\r\r", L""},
        {Repeat(L"\r", 40) + L"ab", L"ab"},
        {Letters(31) + L"\r\nx", Letters(31) + L" ..."},
        {Letters(32) + L"\r", Letters(32) + L"..."},
        {Repeat(smile, 40), Repeat(smile, 32) + L"..."},
        {Repeat(smile, 32), Repeat(smile, 32)},
        {Repeat(accented, 40), Repeat(accented, 32) + L"..."},
        {Repeat(voiced, 33), Repeat(voiced, 32) + L"..."},
        {Repeat(devanagari, 33), Repeat(devanagari, 32) + L"..."},
        // A spacing voicing mark is a symbol and counts by itself.
        {Repeat(L"か\x309B", 17), Repeat(L"か\x309B", 16) + L"..."},
        // A tab or line feed with a mark after it is not a single unit: kept as it is.
        {L"a\n\x0301z", L"a\n\x0301z"},
        {L"a\r\x0301z", L"a\r\x0301z"},
        // A stray low surrogate or mark at the start begins its own cluster.
        {L"\xDE00\x0301x", L"\xDE00\x0301x"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildSummary(c.text), c.expected) << c.text.size();
}

TEST(ItemText, BuildSummaryLooksAtMost4096Units)
{
    CFakeEnvironment env;
    const std::wstring head = L"a" + Repeat(L"\x0301", 4094); // one cluster of 4095 units
    // A pair that would straddle unit 4096 is left out whole.
    std::wstring straddling = head + L"\xD83D\xDE00" + L"tail";
    EXPECT_EQ(BuildSummary(straddling), head);
    // Otherwise unit 4095 is the last one looked at.
    std::wstring plain = head + L"bc";
    EXPECT_EQ(BuildSummary(plain), head + L"b");
    // A pair that ends at unit 4096 is kept.
    std::wstring fitting = L"a" + Repeat(L"\x0301", 4093) + L"\xD83D\xDE00" + L"c";
    EXPECT_EQ(BuildSummary(fitting), fitting.substr(0, 4096));
    // A high surrogate that is the last unit of a short text is kept.
    EXPECT_EQ(BuildSummary(L"x\xD83D"), L"x\xD83D");
}

TEST(ItemText, DefaultTextItemTitle)
{
    EXPECT_EQ(DefaultTextItemTitle(L"abc"), L"「abc」をコピー");
    EXPECT_EQ(DefaultTextItemTitle(L""), L"「」をコピー");
}

TEST(ItemText, TitleFromPath)
{
    struct Case {
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\Tools\\app.exe", L"app.exe"},
        {L"C:\\Tools\\", L"C:\\Tools\\"},
        {L"app.exe", L"app.exe"},
        {L"https://example.com/a/b", L"https://example.com/a/b"},
        {L"\\\\server\\share", L"share"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TitleFromPath(c.path), c.expected) << c.path;
}

TEST(ItemText, ShowCommandMapping)
{
    struct Case {
        int showCommand, sw;
    } cases[] = {{0, 1}, {1, 2}, {2, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(ShowCommandToSw(c.showCommand), c.sw);
        EXPECT_EQ(SwToShowCommand(c.sw), c.showCommand);
    }
    EXPECT_EQ(ShowCommandToSw(3), 1);
    EXPECT_EQ(ShowCommandToSw(-1), 1);
    for (int sw : {0, 4, 5, 6, 7, 10})
        EXPECT_EQ(SwToShowCommand(sw), 0) << sw;
}

TEST(ItemText, ShellExecuteErrorTexts)
{
    struct Case {
        intptr_t code;
        const wchar_t* reason;
    } cases[] = {
        {0, L"メモリまたはリソースが不足しています。"},
        {2, L"指定されたファイルが見つかりませんでした。"},
        {3, L"指定されたパスが見つかりませんでした。"},
        {5, L"オペレーティングシステムが、指定されたファイルへのアクセスを拒否しました。"},
        {8, L"操作を完了するのに十分なメモリがありません。"},
        {11, L".exe ファイルが無効です。Win32 の .exe ではないか、.exe イメージ内にエラーがあります。"},
        {26, L"共有違反が発生しました。"},
        {27, L"ファイル名の関連付けが不完全または無効です。"},
        {28, L"要求がタイムアウトしたので、DDE トランザクションを完了できませんでした。"},
        {29, L"DDE トランザクションが失敗しました。"},
        {30, L"ほかの DDE トランザクションが現在処理中なので、DDE トランザクションを完了できませんでした。"},
        {31,
         L"指定されたファイル拡張子に関連付けられたアプリケーションがありません。印刷可能ではないファイルを印刷しよう"
         L"とした場合も、このエラーが返ります。"},
        {32, L"指定されたダイナミックリンクライブラリ（DLL）が見つかりませんでした。"},
        {1, L"不明なエラーです。"},
        {4, L"不明なエラーです。"},
        {-1, L"不明なエラーです。"},
    };
    for (const Case& c : cases) {
        std::wstring expected =
            std::wstring(L"起動できません。") + c.reason + L"(ShellExecute code=" + std::to_wstring(c.code) + L")";
        EXPECT_EQ(ShellExecuteErrorText(c.code), expected) << c.code;
    }
    EXPECT_EQ(ShellExecuteErrorText(30), L"起動できません。ほかの DDE トランザクションが現在処理中なので、DDE "
                                         L"トランザクションを完了できませんでした。(ShellExecute code=30)");
    EXPECT_EQ(ShellExecuteErrorText(4), L"起動できません。不明なエラーです。(ShellExecute code=4)");
}

TEST(ItemText, EndsWithExtension)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* extension;
        bool expected;
    } cases[] = {
        {L"a.lnk", L".lnk", true},   {L"A.LNK", L".lnk", true},  {L".Lnk", L".lnk", true},  {L"lnk", L".lnk", false},
        {L"a.lnk ", L".lnk", false}, {L"a.url", L".lnk", false}, {L"a.URL", L".url", true}, {L"", L".lnk", false},
        {L"a_lnk", L".lnk", false},  {L"ä.lnk", L".lnk", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EndsWithExtension(c.text, c.extension), c.expected) << c.text;
}

TEST(ItemText, JoinPath)
{
    struct Case {
        const wchar_t* left;
        const wchar_t* right;
        const wchar_t* expected;
    } cases[] = {
        {L"C:\\L", L"{A}.lnk", L"C:\\L\\{A}.lnk"},
        {L"C:\\L\\", L"{A}.lnk", L"C:\\L\\{A}.lnk"},
        {L"C:\\", L"L", L"C:\\L"},
        {L"\\\\server\\share", L"x.txt", L"\\\\server\\share\\x.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinPath(c.left, c.right), c.expected) << c.left << " + " << c.right;
}
