#pragma once
// The largest menu tree the store accepts (just under 0x100000 bytes of archive): items,
// text items, separators and nested submenus with Japanese titles. Shared by the archive
// benchmark and the launcher benchmark, which stores it as both menus.

#include <string>

#include "MenuStore.h"
#include "XNode.h"

namespace largest_tree {

template <class T> T* Add(CXParent& parent, T* node)
{
    parent.InsertChild(parent.children.size(), node);
    return node;
}

inline CXItem* NewItem(int n)
{
    auto item = new CXItem;
    const std::wstring k = std::to_wstring(n);
    item->title = L"アプリケーション " + k;
    item->accelerator = std::wstring(1, static_cast<wchar_t>(L'A' + n % 26));
    item->path = L"%ProgramFiles%\\ベンダー\\製品" + k + L"\\program.exe";
    item->parameters = L"/open \"C:\\Users\\利用者\\文書\\" + k + L".txt\"";
    item->workingFolder = L"C:\\Users\\利用者";
    item->showCommand = n % 3;
    if (n % 5 == 0) {
        item->hotKey.modifiers = 3;
        item->hotKey.virtualKey = 0x70 + n % 12;
        item->hotKey.keyText = L"Ctrl + Alt + F" + std::to_wstring(1 + n % 12);
        item->hotKey.hotKeyId = 0xC000 + n;
    }
    return item;
}

inline CXTextItem* NewTextItem(int n)
{
    auto item = new CXTextItem;
    item->summary = L"定型文 " + std::to_wstring(n);
    item->text = L"いつもお世話になっております。定型文その" + std::to_wstring(n) + L"です。\r\nよろしくお願いします。";
    return item;
}

inline CXParent* NewSubmenu(const std::wstring& title)
{
    auto parent = new CXParent;
    parent->title = title;
    return parent;
}

// One submenu of eight entries with a nested submenu of three.
inline int AddGroup(CXParent& root, int group)
{
    int n = group * 100;
    CXParent* folder = Add(root, NewSubmenu(L"フォルダ " + std::to_wstring(group)));
    Add(*folder, NewItem(n++));
    Add(*folder, NewItem(n++));
    Add(*folder, new CXSeparator);
    Add(*folder, NewTextItem(n++));
    CXParent* nested = Add(*folder, NewSubmenu(L"サブメニュー"));
    Add(*nested, NewItem(n++));
    Add(*nested, new CXSeparator);
    Add(*nested, NewTextItem(n++));
    Add(*folder, NewItem(n++));
    Add(*folder, new CXSeparator);
    Add(*folder, NewItem(n++));
    return 12; // nodes added
}

inline int BuildTree(CXRoot& root, int groups)
{
    root.DeleteChildren();
    int nodes = 0;
    for (int g = 0; g < groups; ++g)
        nodes += AddGroup(root, g);
    return nodes;
}

inline size_t ArchiveSize(CXRoot& root)
{
    return WriteTreeArchive(root)->size();
}

// The most groups whose archive still fits; returns the number of nodes.
inline int BuildLargestTree(CXRoot& root)
{
    int low = 1, high = 2;
    while (BuildTree(root, high), ArchiveSize(root) <= kMaxArchiveSize)
        high *= 2;
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        BuildTree(root, mid);
        (ArchiveSize(root) <= kMaxArchiveSize ? low : high) = mid;
    }
    return BuildTree(root, low);
}

} // namespace largest_tree
