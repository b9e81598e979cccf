#include "MenuTestTrees.h"

std::wstring Units(std::initializer_list<unsigned> units)
{
    std::wstring s;
    for (unsigned u : units)
        s += static_cast<wchar_t>(u);
    return s;
}

namespace {

CXItem* NewItem(const std::wstring& title, const std::wstring& path)
{
    auto* item = new CXItem;
    item->title = title;
    item->path = path;
    return item;
}

CXParent* NewParent(const std::wstring& title, const std::wstring& accelerator)
{
    auto* parent = new CXParent;
    parent->title = title;
    parent->accelerator = accelerator;
    return parent;
}

void Append(CXParent& parent, CXNode* node)
{
    parent.InsertChild(parent.children.size(), node);
}

} // namespace

void BuildFullTree(CXRoot& root)
{
    root.title = L"ルート";
    root.accelerator = L"R";

    CXItem* notepad = NewItem(L"メモ帳", L"%windir%\\notepad.exe");
    notepad->accelerator = L"N";
    notepad->parameters = L"/a \"C:\\文書\\メモ.txt\"";
    notepad->workingFolder = L"C:\\Users\\山田";
    notepad->reservedFlag = 1;
    notepad->showCommand = 2;
    notepad->expandEnvironment = 0;
    notepad->isInternal = 1;
    notepad->hotKey.modifiers = 3;
    notepad->hotKey.virtualKey = 0x74;
    notepad->hotKey.keyText = L"Ctrl + Alt + F5";
    notepad->hotKey.hotKeyId = 7;
    Append(root, notepad);

    auto* address = new CXTextItem;
    // U+29E3D (a surrogate pair) followed by Japanese text.
    address->title = Units({0xD867, 0xDE3D}) + L"の住所";
    address->accelerator = L"&";
    address->summary = L"東京都…";
    address->text = L"東京都千代田区\r\n1-2-3\t\"引用\" \\ " + Units({0xD83D, 0xDE00});
    address->hotKey.modifiers = 4;
    address->hotKey.virtualKey = 0x41;
    address->hotKey.keyText = L"Shift + A";
    Append(root, address);

    Append(root, new CXSeparator);

    CXParent* tools = NewParent(L"ツール", L"T");
    CXItem* calc = NewItem(L"電卓", L"calc.exe");
    calc->showCommand = 1;
    calc->hotKey.modifiers = INT32_MIN;
    calc->hotKey.virtualKey = INT32_MAX;
    calc->hotKey.hotKeyId = 0;
    Append(*tools, calc);
    CXParent* deep = NewParent(L"深い階層", L"");
    Append(*deep, new CXSeparator);
    auto* internalText = new CXTextItem;
    internalText->path = L"%VelquinLNKs%\\{0A1B2C3D-0000-0000-0000-000000000000}.txt";
    internalText->isInternal = 1;
    internalText->summary = L"長い文章";
    Append(*deep, internalText);
    CXParent* deeper = NewParent(L"さらに深く", L"D");
    Append(*deeper, NewItem(L"https://example.com/?q=a&b=ä", L"https://example.com/?q=a&b=ä"));
    Append(*deep, deeper);
    Append(*tools, deep);
    Append(*tools, NewParent(L"空", L""));
    Append(root, tools);

    Append(root, new CXSeparator);
    Append(root, NewItem(L"", L""));
}

void ExpectSameTree(const CXNode& expected, const CXNode& actual, const std::string& where)
{
    SCOPED_TRACE(where);
    ASSERT_EQ(std::string(expected.GetRuntimeClass()->className), actual.GetRuntimeClass()->className);
    if (const auto* e = XDynamicCast<CXItem>(&expected)) {
        const auto* a = static_cast<const CXItem*>(&actual);
        EXPECT_EQ(e->title, a->title);
        EXPECT_EQ(e->accelerator, a->accelerator);
        EXPECT_EQ(e->path, a->path);
        EXPECT_EQ(e->parameters, a->parameters);
        EXPECT_EQ(e->workingFolder, a->workingFolder);
        EXPECT_EQ(e->reservedFlag, a->reservedFlag);
        EXPECT_EQ(e->showCommand, a->showCommand);
        EXPECT_EQ(e->expandEnvironment, a->expandEnvironment);
        EXPECT_EQ(e->isInternal, a->isInternal);
        EXPECT_EQ(e->hotKey.modifiers, a->hotKey.modifiers);
        EXPECT_EQ(e->hotKey.virtualKey, a->hotKey.virtualKey);
        EXPECT_EQ(e->hotKey.keyText, a->hotKey.keyText);
        EXPECT_EQ(e->hotKey.hotKeyId, a->hotKey.hotKeyId);
    }
    if (const auto* e = XDynamicCast<CXTextItem>(&expected)) {
        const auto* a = static_cast<const CXTextItem*>(&actual);
        EXPECT_EQ(e->summary, a->summary);
        EXPECT_EQ(e->text, a->text);
    }
    if (const auto* e = XDynamicCast<CXParent>(&expected)) {
        const auto* a = static_cast<const CXParent*>(&actual);
        EXPECT_EQ(e->title, a->title);
        EXPECT_EQ(e->accelerator, a->accelerator);
        ASSERT_EQ(e->children.size(), a->children.size());
        for (size_t i = 0; i < e->children.size(); ++i) {
            EXPECT_EQ(a->children[i]->parent, a);
            ExpectSameTree(*e->children[i], *a->children[i], where + ".children[" + std::to_string(i) + "]");
        }
    }
}
