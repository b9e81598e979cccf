#pragma once
// A small menu of every kind of node for the model's and the views' tests:
//
// root
//   A
//   Sub1
//     B
//     Sub2
//       C (text to copy)
//     Sep
//   D

#include <memory>
#include <string>
#include <vector>

#include "XNode.h"

inline CXItem* NewItem(const std::wstring& title, const std::wstring& path = L"")
{
    auto* item = new CXItem;
    item->title = title;
    item->path = path;
    return item;
}

inline CXParent* NewSubmenu(const std::wstring& title, const std::vector<CXNode*>& children = {})
{
    auto* sub = new CXParent;
    sub->title = title;
    for (CXNode* child : children)
        sub->InsertChild(sub->children.size(), child);
    return sub;
}

struct SampleTree {
    std::unique_ptr<CXRoot> root = std::make_unique<CXRoot>(kLeftMenuName, 1);
    CXItem* a = NewItem(L"A", L"a.exe");
    CXParent* sub1 = NewSubmenu(L"Sub1");
    CXItem* b = NewItem(L"B", L"b.exe");
    CXParent* sub2 = NewSubmenu(L"Sub2");
    CXTextItem* c = new CXTextItem;
    CXSeparator* sep = new CXSeparator;
    CXItem* d = NewItem(L"D", L"d.exe");

    SampleTree()
    {
        c->text = L"copied";
        c->title = L"C";
        root->InsertChild(0, a);
        root->InsertChild(1, sub1);
        root->InsertChild(2, d);
        sub1->InsertChild(0, b);
        sub1->InsertChild(1, sub2);
        sub1->InsertChild(2, sep);
        sub2->InsertChild(0, c);
    }
};
