#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "ItemText.h"
#include "XNode.h"

namespace {

const wchar_t kGuid[] = L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";

std::wstring LongText(size_t length)
{
    std::wstring out;
    for (size_t i = 0; i < length; ++i)
        out += static_cast<wchar_t>(L'A' + i % 26);
    return out;
}

class ItemExecute : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform().environment[L"SystemRoot"] = L"C:\\Windows";
        platform().environment[L"USERPROFILE"] = L"C:\\Users\\u";
    }
    CFakePlatform& platform() { return env.platform; }
    std::wstring Links(const std::wstring& name) { return platform().linksFolder + L"\\" + name; }

    CFakeEnvironment env;
};

} // namespace

// ---- CXItem::Execute ----------------------------------------------------------------------

TEST_F(ItemExecute, ItemWithoutPathIsRefused)
{
    CXItem item;
    item.parameters = L"/x";
    std::wstring error;
    EXPECT_FALSE(item.Execute(&error));
    EXPECT_EQ(error, L"ファイル名が指定されていません。");
    EXPECT_FALSE(item.Execute(nullptr));
    EXPECT_TRUE(platform().launches.empty());
}

TEST_F(ItemExecute, LaunchesWithExpandedFieldsAndMappedShowCommand)
{
    struct Case {
        int showCommand;
        int expectedShow;
    } cases[] = {{0, 1}, {1, 2}, {2, 3}};
    for (const Case& c : cases) {
        platform().launches.clear();
        CXItem item;
        item.path = L"%SystemRoot%\\notepad.exe";
        item.parameters = L"%USERPROFILE%\\a.txt";
        item.workingFolder = L"%USERPROFILE%";
        item.showCommand = c.showCommand;
        std::wstring error = L"untouched";
        EXPECT_TRUE(item.Execute(&error));
        EXPECT_EQ(error, L"untouched");
        ASSERT_EQ(platform().launches.size(), 1u);
        const CFakePlatform::Launch& launch = platform().launches[0];
        EXPECT_FALSE(launch.throughIdList);
        EXPECT_EQ(launch.file, L"C:\\Windows\\notepad.exe");
        EXPECT_EQ(launch.parameters, L"C:\\Users\\u\\a.txt");
        EXPECT_EQ(launch.folder, L"C:\\Users\\u");
        EXPECT_EQ(launch.show, c.expectedShow);
    }
}

TEST_F(ItemExecute, NoExpansionWhenSwitchedOff)
{
    CXItem item;
    item.path = L"%SystemRoot%\\notepad.exe";
    item.parameters = L"%USERPROFILE%";
    item.expandEnvironment = 0;
    EXPECT_TRUE(item.Execute(nullptr));
    ASSERT_EQ(platform().launches.size(), 1u);
    EXPECT_EQ(platform().launches[0].file, L"%SystemRoot%\\notepad.exe");
    EXPECT_EQ(platform().launches[0].parameters, L"%USERPROFILE%");
    EXPECT_EQ(platform().launches[0].folder, L"");
}

TEST_F(ItemExecute, InternalShortcutOpensThroughItsIdentifierList)
{
    platform().idListLaunchSucceeds = true;
    CXItem item;
    item.path = std::wstring(L"%VelquinLNKs%\\") + kGuid + L".LNK";
    item.isInternal = 1;
    item.parameters = L"-p";
    item.showCommand = 2;
    EXPECT_TRUE(item.Execute(nullptr));
    ASSERT_EQ(platform().launches.size(), 1u);
    EXPECT_TRUE(platform().launches[0].throughIdList);
    EXPECT_EQ(platform().launches[0].file, Links(std::wstring(kGuid) + L".LNK"));
    EXPECT_EQ(platform().launches[0].parameters, L"-p");
    EXPECT_EQ(platform().launches[0].show, 3);
}

TEST_F(ItemExecute, IdentifierListFailureFallsBackToTheFile)
{
    platform().idListLaunchSucceeds = false;
    CXItem item;
    item.path = std::wstring(L"%VelquinLNKs%\\") + kGuid + L".lnk";
    item.isInternal = 1;
    std::wstring error;
    EXPECT_TRUE(item.Execute(&error));
    ASSERT_EQ(platform().launches.size(), 1u);
    EXPECT_FALSE(platform().launches[0].throughIdList);
    EXPECT_EQ(platform().launches[0].file, Links(std::wstring(kGuid) + L".lnk"));
    EXPECT_TRUE(error.empty());
}

TEST_F(ItemExecute, IdentifierListOnlyForInternalShortcutsByTheirStoredPath)
{
    platform().idListLaunchSucceeds = true;
    platform().environment[L"LINKFILE"] = L"C:\\x.lnk";
    struct Case {
        const wchar_t* path;
        int isInternal;
    } cases[] = {
        {L"C:\\Users\\u\\Desktop\\Tool.lnk", 0}, // an ordinary shortcut
        {L"%VelquinLNKs%\\{G}.url", 1},          // an internal URL file
        {L"%LINKFILE%", 1},                      // .lnk only after expansion
    };
    for (const Case& c : cases) {
        platform().launches.clear();
        CXItem item;
        item.path = c.path;
        item.isInternal = c.isInternal;
        EXPECT_TRUE(item.Execute(nullptr));
        ASSERT_EQ(platform().launches.size(), 1u);
        EXPECT_FALSE(platform().launches[0].throughIdList) << c.path;
    }
}

TEST_F(ItemExecute, ShellResultsAtOrBelow32AreErrors)
{
    struct Case {
        intptr_t result;
        bool success;
    } cases[] = {{33, true}, {42, true}, {32, false}, {31, false}, {30, false}, {4, false}, {2, false}, {0, false}};
    for (const Case& c : cases) {
        platform().shellExecuteResult = c.result;
        CXItem item;
        item.path = L"C:\\missing.exe";
        std::wstring error;
        EXPECT_EQ(item.Execute(&error), c.success) << c.result;
        EXPECT_EQ(error, c.success ? std::wstring() : ShellExecuteErrorText(c.result)) << c.result;
        EXPECT_EQ(item.Execute(nullptr), c.success); // silent without an error text
    }
}

TEST_F(ItemExecute, ErrorTextsOf30And4)
{
    CXItem item;
    item.path = L"C:\\busy.doc";
    std::wstring error;
    platform().shellExecuteResult = 30;
    EXPECT_FALSE(item.Execute(&error));
    EXPECT_EQ(error, L"起動できません。ほかの DDE トランザクションが現在処理中なので、DDE "
                     L"トランザクションを完了できませんでした。(ShellExecute code=30)");
    platform().shellExecuteResult = 4;
    EXPECT_FALSE(item.Execute(&error));
    EXPECT_EQ(error, L"起動できません。不明なエラーです。(ShellExecute code=4)");
}

// ---- CXTextItem: text, file and clipboard ----------------------------------------------

TEST_F(ItemExecute, TextItemCopiesItsText)
{
    CXTextItem item;
    item.SetText(L"hello\r\nworld");
    std::wstring error;
    EXPECT_TRUE(item.Execute(&error));
    EXPECT_TRUE(error.empty());
    ASSERT_EQ(platform().clipboard.size(), 1u);
    EXPECT_EQ(platform().clipboard[0], L"hello\r\nworld");
    EXPECT_TRUE(platform().launches.empty());
}

TEST_F(ItemExecute, TextItemReportsClipboardFailures)
{
    CXTextItem unavailable;
    unavailable.text = L"x";
    platform().clipboardAvailable = false;
    std::wstring error;
    EXPECT_FALSE(unavailable.Execute(&error));
    EXPECT_EQ(error, L"クリップボードに書き込めません。");
    EXPECT_FALSE(unavailable.Execute(nullptr));

    platform().clipboardAvailable = true;
    CXTextItem empty;
    error.clear();
    EXPECT_FALSE(empty.Execute(&error));
    EXPECT_EQ(error, L"クリップボードに書き込めません。");
    EXPECT_TRUE(platform().clipboard.empty());

    // A missing internal file is an empty text.
    CXTextItem missing;
    missing.isInternal = 1;
    missing.path = L"%VelquinLNKs%\\{NONE}.lnk";
    missing.text = L"stale inline text";
    error.clear();
    EXPECT_FALSE(missing.Execute(&error));
    EXPECT_EQ(error, L"クリップボードに書き込めません。");
    EXPECT_TRUE(platform().clipboard.empty());
}

TEST_F(ItemExecute, GetTextReadsWholeUnitsOfTheInternalFile)
{
    struct Case {
        std::vector<uint8_t> bytes;
        std::wstring expected;
    } cases[] = {
        {Utf16Bytes(L"ab\x3042\xD83D\xDE00"), L"ab\x3042\xD83D\xDE00"},
        {{0x41, 0x00, 0x42}, L"A"}, // an odd trailing byte is not a unit
        {{0x41}, L""},
        {{}, L""},
    };
    for (const Case& c : cases) {
        platform().files[Links(L"{T}.lnk")] = c.bytes;
        CXTextItem item;
        item.isInternal = 1;
        item.path = L"%VelquinLNKs%\\{T}.lnk";
        item.text = L"ignored";
        EXPECT_EQ(item.GetText(), c.expected) << c.bytes.size();
    }
    CXTextItem inline_;
    inline_.text = L"inline";
    inline_.path = L"%VelquinLNKs%\\{T}.lnk";
    EXPECT_EQ(inline_.GetText(), L"inline");
}

TEST_F(ItemExecute, SetTextKeepsUpTo256CharactersInTheItem)
{
    platform().guids = {kGuid};
    CXTextItem item;
    item.isInternal = 1;
    item.path = L"%VelquinLNKs%\\{OLD}.lnk";
    const std::wstring text = LongText(256);
    item.SetText(text);
    EXPECT_EQ(item.isInternal, 0);
    EXPECT_TRUE(item.path.empty());
    EXPECT_EQ(item.text, text);
    EXPECT_EQ(item.GetText(), text);
    EXPECT_TRUE(platform().files.empty());
    EXPECT_EQ(item.summary, text.substr(0, 32) + L"...");
}

TEST_F(ItemExecute, SetTextWritesLongerTextsToAnInternalFile)
{
    platform().guids = {kGuid};
    CXTextItem item;
    item.text = L"old";
    std::wstring text = LongText(255) + L"\xD83D\xDE00"; // 257 units
    item.SetText(text);
    EXPECT_EQ(item.isInternal, 1);
    EXPECT_TRUE(item.text.empty());
    EXPECT_EQ(item.path, std::wstring(L"%VelquinLNKs%\\") + kGuid + L".lnk");
    const std::wstring file = Links(std::wstring(kGuid) + L".lnk");
    ASSERT_EQ(platform().files.count(file), 1u);
    EXPECT_EQ(platform().files[file], Utf16Bytes(text)); // no byte-order mark, no terminator
    EXPECT_EQ(item.GetText(), text);
    EXPECT_EQ(item.summary, text.substr(0, 32) + L"...");
    EXPECT_TRUE(platform().messages.empty());

    EXPECT_TRUE(item.Execute(nullptr));
    ASSERT_EQ(platform().clipboard.size(), 1u);
    EXPECT_EQ(platform().clipboard[0], text);

    // Going back to a short text leaves the old file for the purge.
    item.SetText(L"short");
    EXPECT_EQ(item.isInternal, 0);
    EXPECT_TRUE(item.path.empty());
    EXPECT_EQ(item.summary, L"short");
    EXPECT_EQ(platform().files.count(file), 1u);
}

TEST_F(ItemExecute, SetTextJoinsTheLinksFolderWithOneBackslash)
{
    platform().linksFolder = L"C:\\L\\";
    platform().guids = {kGuid};
    CXTextItem item;
    item.SetText(LongText(300));
    EXPECT_EQ(platform().files.count(std::wstring(L"C:\\L\\") + kGuid + L".lnk"), 1u);
}

TEST_F(ItemExecute, SetTextReportsAFileThatCannotBeWritten)
{
    platform().guids = {kGuid};
    platform().failFileWrites = true;
    CXTextItem item;
    item.SetText(LongText(257));
    ASSERT_EQ(platform().messages.size(), 1u);
    EXPECT_EQ(platform().messages[0], L"内部ファイルに書き込めません。");
    EXPECT_EQ(item.isInternal, 1);
    EXPECT_EQ(item.path, std::wstring(L"%VelquinLNKs%\\") + kGuid + L".lnk");
    EXPECT_TRUE(item.GetText().empty());
}

TEST_F(ItemExecute, SetTextOfAnEmptyTextKeepsTheSummary)
{
    CXTextItem item;
    item.SetText(L"first");
    item.SetText(L"");
    EXPECT_EQ(item.text, L"");
    EXPECT_EQ(item.summary, L"first");
    EXPECT_EQ(item.GetTitle(), L"「first」をコピー");
}

TEST_F(ItemExecute, TextItemImageIsAlwaysTheCopyMark)
{
    CXTextItem item;
    item.path = L"C:\\Windows\\notepad.exe";
    item.imageIndex = 9;
    item.UpdateImages();
    EXPECT_EQ(item.imageIndex, 5);
    EXPECT_TRUE(platform().iconRequests.empty());
}

// ---- Shortcut expansion, default titles, path display --------------------------------

TEST_F(ItemExecute, ExpandShortcutTakesOverTheTarget)
{
    struct Case {
        int sw;
        int expectedShowCommand;
    } cases[] = {{1, 0}, {7, 0}, {2, 1}, {3, 2}};
    for (const Case& c : cases) {
        CShortcutInfo info;
        info.flagsKnown = true;
        info.target = L"%SystemRoot%\\system32\\cmd.exe";
        info.arguments = L"/k echo";
        info.workingFolder = L"C:\\Work";
        info.showCommand = c.sw;
        platform().shortcuts[L"C:\\Users\\u\\Desktop\\Tool.lnk"] = info;

        CXItem item;
        item.title = L"Tool.LNK";
        item.path = L"%USERPROFILE%\\Desktop\\Tool.lnk";
        EXPECT_TRUE(item.ExpandShortcut());
        EXPECT_EQ(item.title, L"Tool");
        EXPECT_EQ(item.path, L"%SystemRoot%\\system32\\cmd.exe"); // raw, not expanded
        EXPECT_EQ(item.parameters, L"/k echo");
        EXPECT_EQ(item.workingFolder, L"C:\\Work");
        EXPECT_EQ(item.showCommand, c.expectedShowCommand) << c.sw;
    }
}

TEST_F(ItemExecute, ExpandShortcutGivesAnUntitledItemTheTargetsTitle)
{
    CShortcutInfo info;
    info.target = L"C:\\Tools\\app.exe";
    platform().shortcuts[L"C:\\a.lnk"] = info;
    platform().shortcuts[L"C:\\b.lnk"] = info;
    platform().displayNames[L"C:\\Tools\\app.exe"] = L"Application";

    CXItem named;
    named.path = L"C:\\a.lnk";
    EXPECT_TRUE(named.ExpandShortcut());
    EXPECT_EQ(named.title, L"Application");

    platform().displayNames.clear();
    CXItem unnamed;
    unnamed.path = L"C:\\b.lnk";
    EXPECT_TRUE(unnamed.ExpandShortcut());
    EXPECT_EQ(unnamed.title, L"app.exe");
}

TEST_F(ItemExecute, ExpandShortcutRefusals)
{
    CShortcutInfo good;
    good.flagsKnown = true;
    good.target = L"C:\\x.exe";
    CShortcutInfo runAs = good;
    runAs.flags = kLinkRunAsUser;
    CShortcutInfo darwin = good;
    darwin.flags = kLinkHasDarwinId;
    CShortcutInfo noTarget = good;
    noTarget.target.clear();
    CShortcutInfo unknownFlags = good;
    unknownFlags.flagsKnown = false;
    unknownFlags.flags = kLinkRunAsUser; // not read, so not judged
    platform().shortcuts = {
        {L"C:\\runas.lnk", runAs},          {L"C:\\darwin.lnk", darwin}, {L"C:\\notarget.lnk", noTarget},
        {L"C:\\unknown.lnk", unknownFlags}, {L"C:\\notalink.exe", good},
    };
    // The flags were read, a later field was not.
    platform().partlyReadableShortcuts = {{L"C:\\partly-runas.lnk", runAs}, {L"C:\\partly.lnk", good}};
    const std::wstring adminMessage = L"「管理者として実行」するショートカットは展開できません。";
    struct Case {
        const wchar_t* path;
        bool expanded;
        bool message;
    } cases[] = {
        {L"C:\\runas.lnk", false, true},        {L"C:\\darwin.lnk", false, false},
        {L"C:\\notarget.lnk", false, false},    {L"C:\\missing.lnk", false, false},
        {L"C:\\notalink.exe", false, false},    {L"C:\\unknown.lnk", true, false},
        {L"C:\\partly-runas.lnk", false, true}, {L"C:\\partly.lnk", false, false},
    };
    for (const Case& c : cases) {
        platform().messages.clear();
        CXItem item;
        item.title = L"T.lnk";
        item.path = c.path;
        item.parameters = L"keep";
        EXPECT_EQ(item.ExpandShortcut(), c.expanded) << c.path;
        EXPECT_EQ(platform().messages,
                  c.message ? std::vector<std::wstring>{adminMessage} : std::vector<std::wstring>{})
            << c.path;
        if (!c.expanded) {
            EXPECT_EQ(item.path, c.path);
            EXPECT_EQ(item.title, L"T.lnk");
            EXPECT_EQ(item.parameters, L"keep");
        }
    }
}

TEST_F(ItemExecute, SetDefaultTitle)
{
    platform().displayNames[L"%SystemRoot%\\notepad.exe"] = L"メモ帳";
    platform().displayNames[L"C:\\blank.txt"] = L"";
    struct Case {
        const wchar_t* title;
        const wchar_t* path;
        const wchar_t* expected;
    } cases[] = {
        {L"", L"%SystemRoot%\\notepad.exe", L"メモ帳"}, // asked with the stored path
        {L"Mine", L"%SystemRoot%\\notepad.exe", L"Mine"},      {L"", L"C:\\blank.txt", L"blank.txt"},
        {L"", L"C:\\Docs\\report.pdf", L"report.pdf"},         {L"", L"C:\\Docs\\", L"C:\\Docs\\"},
        {L"", L"https://example.com", L"https://example.com"},
    };
    for (const Case& c : cases) {
        CXItem item;
        item.title = c.title;
        item.path = c.path;
        item.SetDefaultTitle();
        EXPECT_EQ(item.title, c.expected) << c.path;
    }
}

TEST_F(ItemExecute, GetPathDisplay)
{
    platform().shortcutTargetNames[Links(L"{S}.lnk")] = L"コントロール パネル";
    struct Case {
        const wchar_t* path;
        int isInternal;
        const wchar_t* expected;
    } cases[] = {
        {L"%SystemRoot%\\notepad.exe", 0, L"%SystemRoot%\\notepad.exe"},
        {L"%VelquinLNKs%\\{S}.lnk", 0, L"%VelquinLNKs%\\{S}.lnk"},
        {L"%VelquinLNKs%\\{S}.lnk", 1, L"コントロール パネル"},
        {L"%VelquinLNKs%\\{S}.LNK", 1, L""}, // no such shortcut
        {L"%VelquinLNKs%\\{U}.url", 1, L"(URL)"},
        {L"%VelquinLNKs%\\{U}.URL", 1, L"(URL)"},
        {L"%VelquinLNKs%\\{T}.txt", 1, L""},
    };
    for (const Case& c : cases) {
        CXItem item;
        item.path = c.path;
        item.isInternal = c.isInternal;
        EXPECT_EQ(item.GetPathDisplay(), c.expected) << c.path;
    }
}
