#include "ItemForms.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "ItemText.h"
#include "XNode.h"

namespace {

const wchar_t kGuid[] = L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";

CHotKeyTarget Binding(int32_t modifiers, int32_t virtualKey, const std::wstring& keyText, int32_t id)
{
    CHotKeyTarget binding;
    binding.modifiers = modifiers;
    binding.virtualKey = virtualKey;
    binding.keyText = keyText;
    binding.hotKeyId = id;
    return binding;
}

std::wstring LongText(size_t length)
{
    // Two-byte units too, so that the file's byte order shows.
    std::wstring out;
    for (size_t i = 0; i < length; ++i)
        out += i % 3 == 0 ? static_cast<wchar_t>(0x30A2 + i % 40) : static_cast<wchar_t>(L'a' + i % 26);
    return out;
}

void ExpectSameForm(const CProgInfoForm& actual, const CProgInfoForm& expected)
{
    EXPECT_EQ(actual.title, expected.title);
    EXPECT_EQ(actual.accelerator, expected.accelerator);
    EXPECT_EQ(actual.fileName, expected.fileName);
    EXPECT_EQ(actual.parameters, expected.parameters);
    EXPECT_EQ(actual.workingFolder, expected.workingFolder);
    EXPECT_EQ(actual.showCommand, expected.showCommand);
    EXPECT_EQ(actual.expandEnvironment, expected.expandEnvironment);
    EXPECT_EQ(actual.isInternalLink, expected.isInternalLink);
    EXPECT_EQ(actual.hotKeyAtOpen, expected.hotKeyAtOpen);
    EXPECT_EQ(actual.hotKeyEdit, expected.hotKeyEdit);
}

class ItemForms : public ::testing::Test {
protected:
    CFakePlatform& platform() { return env.platform; }
    std::wstring Links(const std::wstring& name) { return platform().linksFolder + L"\\" + name; }

    CFakeEnvironment env;
};

// ---- Dialog 311 -------------------------------------------------------------------------

TEST_F(ItemForms, FileItemFormCopiesEveryField)
{
    CXItem item;
    item.title = L"メモ帳";
    item.accelerator = L"N";
    item.path = L"%SystemRoot%\\notepad.exe";
    item.parameters = L"/a b.txt";
    item.workingFolder = L"C:\\work";
    item.showCommand = 2;
    item.expandEnvironment = 0;
    item.hotKey = Binding(3, 0x41, L"Ctrl + Alt + A", 7);

    const CProgInfoForm form = ProgInfoFormOf(item);
    EXPECT_EQ(form.title, L"メモ帳");
    EXPECT_EQ(form.accelerator, L"N");
    EXPECT_EQ(form.fileName, L"%SystemRoot%\\notepad.exe"); // as stored, not expanded
    EXPECT_EQ(form.parameters, L"/a b.txt");
    EXPECT_EQ(form.workingFolder, L"C:\\work");
    EXPECT_EQ(form.showCommand, 2);
    EXPECT_FALSE(form.expandEnvironment);
    EXPECT_FALSE(form.isInternalLink);
    EXPECT_EQ(form.hotKeyAtOpen, item.hotKey);
    EXPECT_EQ(form.hotKeyEdit, item.hotKey);

    item.expandEnvironment = 1;
    EXPECT_TRUE(ProgInfoFormOf(item).expandEnvironment);
}

TEST_F(ItemForms, InternalLinkFormShowsItsDisplayTarget)
{
    platform().shortcutTargetNames[Links(L"{1}.lnk")] = L"コントロール パネル";
    struct Case {
        const wchar_t* path;
        const wchar_t* fileName;
    } const cases[] = {
        {L"%VelquinLNKs%\\{1}.lnk", L"コントロール パネル"},
        {L"%VelquinLNKs%\\{2}.lnk", L""}, // a shortcut without a target name
        {L"%VelquinLNKs%\\{3}.url", L"(URL)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        CXItem item;
        item.isInternal = 1;
        item.path = c.path;
        item.title = L"Link";
        const CProgInfoForm form = ProgInfoFormOf(item);
        EXPECT_TRUE(form.isInternalLink);
        EXPECT_EQ(form.fileName, c.fileName);
        EXPECT_EQ(form.title, L"Link");
    }
}

TEST_F(ItemForms, WrittenFormSetsEveryFieldAndTheEditedBinding)
{
    CXItem item;
    item.title = L"old";
    item.accelerator = L"O";
    item.path = L"C:\\old.exe";
    item.parameters = L"-old";
    item.workingFolder = L"C:\\old";
    item.showCommand = 0;
    item.expandEnvironment = 1;
    item.hotKey = Binding(1, 0x70, L"Alt + F1", 4);

    CProgInfoForm form = ProgInfoFormOf(item);
    form.title = L"新しい";
    form.accelerator = L"W";
    form.fileName = L"%ProgramFiles%\\new.exe";
    form.parameters = L"-new";
    form.workingFolder = L"D:\\new";
    form.showCommand = 1;
    form.expandEnvironment = false;
    SetFormHotKey(form.hotKeyEdit, 6, 0x42, L"Ctrl + Shift + B");

    WriteProgInfoForm(form, item);
    EXPECT_EQ(item.title, L"新しい");
    EXPECT_EQ(item.accelerator, L"W");
    EXPECT_EQ(item.path, L"%ProgramFiles%\\new.exe");
    EXPECT_EQ(item.parameters, L"-new");
    EXPECT_EQ(item.workingFolder, L"D:\\new");
    EXPECT_EQ(item.showCommand, 1);
    EXPECT_EQ(item.expandEnvironment, 0);
    EXPECT_EQ(item.isInternal, 0);
    EXPECT_EQ(item.hotKey, Binding(6, 0x42, L"Ctrl + Shift + B", -1));
}

TEST_F(ItemForms, EmptyTitleIsFilledFromThePath)
{
    platform().displayNames[L"C:\\Tools\\calc.exe"] = L"電卓";
    struct Case {
        const wchar_t* title;
        const wchar_t* fileName;
        const wchar_t* expected;
    } const cases[] = {
        {L"", L"C:\\Tools\\calc.exe", L"電卓"},          // the shell's display name
        {L"", L"C:\\Tools\\sub\\edit.exe", L"edit.exe"}, // else the part after the last backslash
        {L"", L"notepad.exe", L"notepad.exe"},
        {L"Mine", L"C:\\Tools\\calc.exe", L"Mine"}, // a title given stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.fileName)));
        CXItem item;
        CProgInfoForm form = ProgInfoFormOf(item);
        form.title = c.title;
        form.fileName = c.fileName;
        WriteProgInfoForm(form, item);
        EXPECT_EQ(item.title, c.expected);
        EXPECT_EQ(item.path, c.fileName);
    }
}

TEST_F(ItemForms, InternalLinkKeepsItsPathWhenTheFileNameWasEdited)
{
    platform().shortcutTargetNames[Links(L"{1}.lnk")] = L"プリンター";
    CXItem item;
    item.isInternal = 1;
    item.path = L"%VelquinLNKs%\\{1}.lnk";
    item.title = L"Printers";

    CProgInfoForm form = ProgInfoFormOf(item);
    ASSERT_EQ(form.fileName, L"プリンター");
    form.fileName = L"C:\\elsewhere.exe";
    form.title = L"Drucker";
    form.parameters = L"-p";
    WriteProgInfoForm(form, item);

    EXPECT_EQ(item.path, L"%VelquinLNKs%\\{1}.lnk");
    EXPECT_EQ(item.isInternal, 1);
    EXPECT_EQ(item.title, L"Drucker");
    EXPECT_EQ(item.parameters, L"-p");
}

// ---- Dialog 338 -------------------------------------------------------------------------

TEST_F(ItemForms, TextFormReadsTheInlineText)
{
    CXTextItem item;
    item.title = L"Greeting";
    item.accelerator = L"G";
    item.text = L"こんにちは";
    item.summary = L"こんにちは";
    item.hotKey = Binding(2, 0x47, L"Ctrl + G", 3);

    const CTextItemForm form = TextItemFormOf(item);
    EXPECT_EQ(form.title, L"Greeting");
    EXPECT_EQ(form.accelerator, L"G");
    EXPECT_EQ(form.text, L"こんにちは");
    EXPECT_EQ(form.hotKeyAtOpen, item.hotKey);
    EXPECT_EQ(form.hotKeyEdit, item.hotKey);
}

TEST_F(ItemForms, TextFormReadsTheWholeInternalFile)
{
    const std::wstring text = LongText(300);
    platform().files[Links(std::wstring(kGuid) + L".lnk")] = Utf16Bytes(text);
    CXTextItem item;
    item.isInternal = 1;
    item.path = std::wstring(L"%VelquinLNKs%\\") + kGuid + L".lnk";
    item.text = L"stale";

    EXPECT_EQ(TextItemFormOf(item).text, text);
}

TEST_F(ItemForms, MissingInternalTextFileOpensEmptyAndWritesNothing)
{
    platform().files[Links(L"other.lnk")] = Utf16Bytes(L"other");
    const auto filesBefore = platform().files;
    CXTextItem item;
    item.isInternal = 1;
    item.path = std::wstring(L"%VelquinLNKs%\\") + kGuid + L".lnk";
    item.title = L"T";

    const CTextItemForm form = TextItemFormOf(item);
    EXPECT_EQ(form.text, L"");
    EXPECT_EQ(form.title, L"T");
    EXPECT_EQ(platform().files, filesBefore);
    EXPECT_TRUE(platform().messages.empty());
    EXPECT_EQ(item.path, std::wstring(L"%VelquinLNKs%\\") + kGuid + L".lnk");
}

TEST(TextItemFormWrite, LongTextsGoIntoANewInternalFile)
{
    struct Case {
        size_t length;
        bool internal;
    } const cases[] = {{1, false}, {255, false}, {256, false}, {257, true}, {2000, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        CFakeEnvironment env;
        env.platform.guids = {kGuid};
        const std::wstring text = LongText(c.length);
        // The item held a text in a file before; the file of a short text is left behind.
        CXTextItem item;
        item.isInternal = 1;
        item.path = L"%VelquinLNKs%\\{OLD}.lnk";

        CTextItemForm form = TextItemFormOf(item);
        form.text = text;
        WriteTextItemForm(form, item);

        EXPECT_EQ(item.summary, BuildSummary(text));
        if (c.internal) {
            EXPECT_EQ(item.isInternal, 1);
            EXPECT_EQ(item.path, std::wstring(L"%VelquinLNKs%\\") + kGuid + L".lnk");
            EXPECT_EQ(item.text, L"");
            ASSERT_EQ(env.platform.files.size(), 1u);
            EXPECT_EQ(env.platform.files[env.platform.linksFolder + L"\\" + kGuid + L".lnk"], Utf16Bytes(text));
        } else {
            EXPECT_EQ(item.isInternal, 0);
            EXPECT_EQ(item.path, L"");
            EXPECT_EQ(item.text, text);
            EXPECT_TRUE(env.platform.files.empty());
        }
        // Opened again, the dialog shows the same text.
        EXPECT_EQ(TextItemFormOf(item).text, text);
        EXPECT_TRUE(env.platform.messages.empty());
    }
}

TEST_F(ItemForms, WrittenTextFormSetsTitleAcceleratorAndBinding)
{
    CXTextItem item;
    item.title = L"Old";
    item.text = L"old";
    item.summary = L"old";
    item.hotKey = Binding(2, 0x47, L"Ctrl + G", 3);

    CTextItemForm form = TextItemFormOf(item);
    form.title = L"";
    form.accelerator = L"H";
    form.text = L"hello";
    ClearFormHotKey(form.hotKeyEdit);
    WriteTextItemForm(form, item);

    // An empty title stays empty: the menu shows the automatic title.
    EXPECT_EQ(item.title, L"");
    EXPECT_EQ(item.GetTitle(), L"「hello」をコピー");
    EXPECT_EQ(item.accelerator, L"H");
    EXPECT_EQ(item.text, L"hello");
    EXPECT_EQ(item.hotKey, CHotKeyTarget());

    form.title = L"Hi";
    WriteTextItemForm(form, item);
    EXPECT_EQ(item.GetTitle(), L"Hi");
}

// ---- Dialog 337 -------------------------------------------------------------------------

TEST(SubmenuForm, RoundTrip)
{
    CXParent submenu;
    submenu.title = L"ツール";
    submenu.accelerator = L"T";
    CSubmenuForm form = SubmenuFormOf(submenu);
    EXPECT_EQ(form.title, L"ツール");
    EXPECT_EQ(form.accelerator, L"T");

    form.title = L"Tools & more";
    form.accelerator = L"";
    WriteSubmenuForm(form, submenu);
    EXPECT_EQ(submenu.title, L"Tools & more");
    EXPECT_EQ(submenu.accelerator, L"");
    EXPECT_EQ(SubmenuFormOf(submenu).title, L"Tools & more");
}

// ---- Enabled controls -------------------------------------------------------------------

TEST(ItemFormControls, ShortcutNamesEndInLnkInAnyCase)
{
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"C:\\x\\a.lnk", true}, {L"a.LNK", true},      {L"b.LnK", true},   {L".lnk", true}, {L"lnk", false},
        {L"alnk", false},        {L"x.lnk.txt", false}, {L"x.lnk ", false}, {L"", false},    {L"a.url", false},
    };
    for (const auto& [fileName, shortcut] : cases)
        EXPECT_EQ(NamesShortcut(fileName), shortcut) << testing::PrintToString(std::wstring(fileName));
}

TEST(ItemFormControls, InternalLinksFileControlsOnlyWhereInternalLinksAreShown)
{
    struct Case {
        bool internal;
        bool showInternalLinks;
        bool enabled;
    } const cases[] = {{false, false, true}, {false, true, true}, {true, false, false}, {true, true, true}};
    for (const Case& c : cases) {
        CProgInfoForm form;
        form.isInternalLink = c.internal;
        EXPECT_EQ(FileControlsEnabled(form, c.showInternalLinks), c.enabled)
            << "internal " << c.internal << ", shown " << c.showInternalLinks;
    }
}

// ---- "ショートカットを展開" ---------------------------------------------------------------

class ExpandShortcutForm : public ItemForms {
protected:
    void SetUp() override
    {
        platform().environment[L"SystemRoot"] = L"C:\\Windows";
        platform().environment[L"LNKDIR"] = L"C:\\x";
    }

    // A form as dialog 311 holds it for "C:\x\Editor.lnk", with a hotkey being edited.
    static CProgInfoForm ShortcutForm()
    {
        CProgInfoForm form;
        form.title = L"My Editor";
        form.accelerator = L"E";
        form.fileName = L"C:\\x\\Editor.lnk";
        form.parameters = L"-old";
        form.workingFolder = L"C:\\old";
        form.showCommand = 2;
        form.expandEnvironment = true;
        form.hotKeyAtOpen = Binding(1, 0x70, L"Alt + F1", 9);
        form.hotKeyEdit = Binding(3, 0x41, L"Ctrl + Alt + A", -1);
        return form;
    }

    static CShortcutInfo Notepad(int sw)
    {
        CShortcutInfo info;
        info.flagsKnown = true;
        info.target = L"%SystemRoot%\\notepad.exe";
        info.arguments = L"/p";
        info.workingFolder = L"%USERPROFILE%";
        info.showCommand = sw;
        return info;
    }
};

TEST_F(ExpandShortcutForm, ShortcutFillsTheFileFields)
{
    struct Case {
        int sw;
        int showCommand;
    } const cases[] = {{7, 0}, {2, 1}, {3, 2}, {1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sw);
        platform().shortcuts[L"C:\\x\\Editor.lnk"] = Notepad(c.sw);
        CProgInfoForm form = ShortcutForm();
        EXPECT_EQ(ExpandIntoForm(form), XExpandResult::Expanded);
        EXPECT_EQ(form.fileName, L"%SystemRoot%\\notepad.exe"); // the target as the shortcut gives it
        EXPECT_EQ(form.parameters, L"/p");
        EXPECT_EQ(form.workingFolder, L"%USERPROFILE%");
        EXPECT_EQ(form.showCommand, c.showCommand);
        EXPECT_EQ(form.title, L"My Editor");
        EXPECT_EQ(form.accelerator, L"E");
        EXPECT_TRUE(form.expandEnvironment);
        EXPECT_FALSE(form.isInternalLink);
        // The binding being edited is kept as it is, the one held at opening too.
        EXPECT_EQ(form.hotKeyEdit, ShortcutForm().hotKeyEdit);
        EXPECT_EQ(form.hotKeyAtOpen, ShortcutForm().hotKeyAtOpen);
    }
    EXPECT_TRUE(platform().messages.empty());
}

TEST_F(ExpandShortcutForm, TitleLosesTheShortcutsExtension)
{
    platform().shortcuts[L"C:\\x\\Editor.lnk"] = Notepad(1);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Editor.lnk", L"Editor"},
        {L"Tool.LNK", L"Tool"},
        {L"", L"Editor"}, // the default title from the shortcut's name, without ".lnk"
        {L"Editor", L"Editor"},
    };
    for (const auto& [title, expected] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(title)));
        CProgInfoForm form = ShortcutForm();
        form.title = title;
        EXPECT_EQ(ExpandIntoForm(form), XExpandResult::Expanded);
        EXPECT_EQ(form.title, expected);
    }
}

TEST_F(ExpandShortcutForm, ShortcutIsReadUnderItsExpandedName)
{
    platform().shortcuts[L"C:\\x\\a.lnk"] = Notepad(1);
    CProgInfoForm form = ShortcutForm();
    form.fileName = L"%LNKDIR%\\a.lnk";
    EXPECT_EQ(ExpandIntoForm(form), XExpandResult::Expanded);
    EXPECT_EQ(form.fileName, L"%SystemRoot%\\notepad.exe");

    // Without expansion the reference names no file.
    form = ShortcutForm();
    form.fileName = L"%LNKDIR%\\a.lnk";
    form.expandEnvironment = false;
    EXPECT_EQ(ExpandIntoForm(form), XExpandResult::Failed);
    EXPECT_EQ(form.fileName, L"%LNKDIR%\\a.lnk");
}

TEST_F(ExpandShortcutForm, NothingIsTriedForInternalLinksAndOtherFiles)
{
    // Even a readable shortcut of that name is left alone.
    platform().shortcuts[L"C:\\x\\Editor.lnk"] = Notepad(1);
    platform().shortcuts[L"C:\\x\\Editor.exe"] = Notepad(1);
    struct Case {
        const wchar_t* fileName;
        bool internal;
    } const cases[] = {
        {L"C:\\x\\Editor.lnk", true},
        {L"C:\\x\\Editor.exe", false},
        {L"C:\\x\\Editor.lnk.txt", false},
        {L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.fileName)));
        CProgInfoForm form = ShortcutForm();
        form.fileName = c.fileName;
        form.isInternalLink = c.internal;
        const CProgInfoForm before = form;
        EXPECT_EQ(ExpandIntoForm(form), XExpandResult::NotTried);
        ExpectSameForm(form, before);
    }
    EXPECT_TRUE(platform().messages.empty());
}

TEST_F(ExpandShortcutForm, ShortcutsThatGiveNothingLeaveTheForm)
{
    const std::wstring kRunAsMessage = L"「管理者として実行」するショートカットは展開できません。";
    CShortcutInfo runAs = Notepad(3);
    runAs.flags = kLinkRunAsUser;
    CShortcutInfo installer = Notepad(3);
    installer.flags = kLinkHasDarwinId;
    CShortcutInfo noTarget = Notepad(3);
    noTarget.target.clear();
    CShortcutInfo partlyRunAs;
    partlyRunAs.flagsKnown = true;
    partlyRunAs.flags = kLinkRunAsUser | 0x0001;
    CShortcutInfo partlyPlain;
    partlyPlain.flagsKnown = true;

    struct Case {
        const char* name;
        const CShortcutInfo* shortcut;
        const CShortcutInfo* partly;
        bool message;
    } const cases[] = {
        {"run as administrator", &runAs, nullptr, true},
        {"installer shortcut", &installer, nullptr, false},
        {"no target", &noTarget, nullptr, false},
        {"unreadable", nullptr, nullptr, false},
        {"partly readable, run as administrator", nullptr, &partlyRunAs, true},
        {"partly readable", nullptr, &partlyPlain, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        platform().shortcuts.clear();
        platform().partlyReadableShortcuts.clear();
        platform().messages.clear();
        if (c.shortcut)
            platform().shortcuts[L"C:\\x\\Editor.lnk"] = *c.shortcut;
        if (c.partly)
            platform().partlyReadableShortcuts[L"C:\\x\\Editor.lnk"] = *c.partly;

        CProgInfoForm form = ShortcutForm();
        EXPECT_EQ(ExpandIntoForm(form), XExpandResult::Failed);
        ExpectSameForm(form, ShortcutForm());
        if (c.message)
            EXPECT_EQ(platform().messages, std::vector<std::wstring>{kRunAsMessage});
        else
            EXPECT_TRUE(platform().messages.empty());
    }
}

// ---- The binding on OK ------------------------------------------------------------------

// The launcher as an in-memory record of the requests it receives.
class RecordingLauncher : public CLauncherLink {
public:
    bool Exists() const override { return running; }
    void Register(CHotKeyTarget& binding) override
    {
        char text[32];
        std::snprintf(text, sizeof text, "register 0x%08X", static_cast<unsigned>(binding.PackedKey()));
        calls.push_back(text);
        binding.hotKeyId = refuses ? -1 : nextId++;
    }
    void Unregister(CHotKeyTarget& binding) override
    {
        calls.push_back("unregister " + std::to_string(binding.hotKeyId));
        binding.hotKeyId = -1;
    }

    bool running = true;
    bool refuses = false;
    int32_t nextId = 12;
    std::vector<std::string> calls;
};

void KeepBinding(CHotKeyTarget&) {}
void SetSameAgain(CHotKeyTarget& edit)
{
    SetFormHotKey(edit, 3, 0x41, L"Ctrl + Alt + A");
}
void SetOther(CHotKeyTarget& edit)
{
    SetFormHotKey(edit, 4, 0x42, L"Shift + B");
}
void ClearBinding(CHotKeyTarget& edit)
{
    ClearFormHotKey(edit);
}

TEST(CommitItemHotKey, ReleasesTheOldBindingBeforeRegisteringTheNewOne)
{
    const CHotKeyTarget registered = Binding(3, 0x41, L"Ctrl + Alt + A", 7);
    const CHotKeyTarget unregistered = Binding(3, 0x41, L"Ctrl + Alt + A", -1);
    const CHotKeyTarget none;
    struct Case {
        const char* name;
        CHotKeyTarget atOpen;
        void (*edit)(CHotKeyTarget&);
        bool running;
        bool refuses;
        bool accepted;
        std::vector<std::string> calls;
        int32_t itemId;
        int32_t atOpenId;
    } const cases[] = {
        {"unchanged and registered", registered, KeepBinding, true, false, true, {}, 7, 7},
        {"unchanged, never registered", unregistered, KeepBinding, true, false, true, {"register 0x00410003"}, 12, -1},
        {"unchanged, no launcher", unregistered, KeepBinding, false, false, true, {}, -1, -1},
        {"unchanged registered, no launcher", registered, KeepBinding, false, false, true, {}, 7, 7},
        {"none before and after", none, KeepBinding, true, false, true, {}, -1, -1},
        {"same combination set again", registered, SetSameAgain, true, false, true, {}, 7, 7},
        {"same combination set again, no launcher", registered, SetSameAgain, false, false, true, {}, 7, 7},
        {"same combination set again, never registered",
         unregistered,
         SetSameAgain,
         true,
         false,
         true,
         {"register 0x00410003"},
         12,
         -1},
        {"changed", registered, SetOther, true, false, true, {"unregister 7", "register 0x00420004"}, 12, -1},
        {"changed to none", registered, ClearBinding, true, false, true, {"unregister 7"}, -1, -1},
        {"changed, no launcher", registered, SetOther, false, false, false, {}, -1, 7},
        {"changed to none, no launcher", registered, ClearBinding, false, false, false, {}, -1, 7},
        {"changed, refused", registered, SetOther, true, true, true, {"unregister 7", "register 0x00420004"}, -1, -1},
        {"changed from a binding never registered",
         unregistered,
         SetOther,
         true,
         false,
         true,
         {"register 0x00420004"},
         12,
         -1},
        {"new where there was none", none, SetOther, true, false, true, {"register 0x00420004"}, 12, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingLauncher launcher;
        launcher.running = c.running;
        launcher.refuses = c.refuses;
        // As dialog 311 does: the form copies the binding, the edit changes its copy, OK
        // writes the copy into the item and then hands the binding over.
        CHotKeyTarget atOpen = c.atOpen;
        CHotKeyTarget edit = c.atOpen;
        c.edit(edit);
        CHotKeyTarget itemHotKey = edit;

        EXPECT_EQ(CommitItemHotKey(itemHotKey, atOpen, launcher), c.accepted);
        EXPECT_EQ(launcher.calls, c.calls);
        EXPECT_EQ(itemHotKey.hotKeyId, c.itemId);
        EXPECT_EQ(atOpen.hotKeyId, c.atOpenId);
        // The combination itself is never touched.
        EXPECT_EQ(itemHotKey.modifiers, edit.modifiers);
        EXPECT_EQ(itemHotKey.virtualKey, edit.virtualKey);
        EXPECT_EQ(itemHotKey.keyText, edit.keyText);
    }
}

TEST(CommitItemHotKey, ItemOfTheDialogGetsTheLaunchersId)
{
    CFakeEnvironment env;
    CXItem item;
    item.title = L"A";
    item.path = L"a.exe";
    item.hotKey = Binding(3, 0x41, L"Ctrl + Alt + A", 7);
    RecordingLauncher launcher;

    CProgInfoForm form = ProgInfoFormOf(item);
    SetOther(form.hotKeyEdit);
    WriteProgInfoForm(form, item);
    EXPECT_TRUE(CommitItemHotKey(item.hotKey, form.hotKeyAtOpen, launcher));
    EXPECT_EQ(launcher.calls, (std::vector<std::string>{"unregister 7", "register 0x00420004"}));
    EXPECT_EQ(item.hotKey, Binding(4, 0x42, L"Shift + B", 12));
}

TEST(FormHotKey, SetAndClear)
{
    CHotKeyTarget edit = Binding(1, 0x70, L"Alt + F1", 9);
    SetFormHotKey(edit, 6, 0x41, L"Ctrl + Shift + A");
    EXPECT_EQ(edit, Binding(6, 0x41, L"Ctrl + Shift + A", -1));

    edit.hotKeyId = 5;
    ClearFormHotKey(edit);
    EXPECT_EQ(edit.modifiers, 0);
    EXPECT_EQ(edit.virtualKey, 0);
    EXPECT_EQ(edit.keyText, L"");
    EXPECT_EQ(edit.hotKeyId, -1);
    EXPECT_FALSE(edit.HasKey());
}

} // namespace
