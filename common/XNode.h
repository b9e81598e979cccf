#pragma once
// The menu tree: items, text-copy items, separators and submenus below a root.
// The launcher and the settings tool share these classes. Strings hold UTF-16 code
// units, one per wchar_t (also where wchar_t is wider, as on Linux).

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "HotKeyTarget.h"

class CXArchive;
class CXNode;
class CXParent;
class CXRoot;

// Opaque platform handles (HDC and HBITMAP on Windows).
using XDeviceContext = void*;
using XBitmap = void*;

// Run-time class information: kind tests and creation by the stored class name.
struct CXRuntimeClass {
    const char* className;
    int schema;
    const CXRuntimeClass* baseClass;
    CXNode* (*createObject)();  // null where the class is not created by name

    bool IsDerivedFrom(const CXRuntimeClass* base) const;
    // One of the classes an archive may name ("CXNode", "CXItem", "CXTextItem",
    // "CXSeparator", "CXParent"); null for any other name.
    static const CXRuntimeClass* FromName(std::string_view name);
};

#define XDECLARE_CLASS(name)                     \
public:                                          \
    static const CXRuntimeClass classInfo;       \
    const CXRuntimeClass* GetRuntimeClass() const override { return &classInfo; }

// Callback of ForEach: non-zero continues the walk.
using XNodeCallback = int (*)(CXNode* node, intptr_t a, intptr_t b);

class CXNode {
public:
    static const CXRuntimeClass classInfo;

    CXNode() = default;
    CXNode(const CXNode&) = delete;
    CXNode& operator=(const CXNode&) = delete;

    virtual const CXRuntimeClass* GetRuntimeClass() const { return &classInfo; }  // slot 0
    virtual ~CXNode() = default;                                                  // slot 1
    virtual void Serialize(CXArchive& ar);                                        // slot 2
    virtual CXNode* Clone() const;                                                // slot 3
    virtual std::wstring GetTitle() const;                                        // slot 4
    virtual std::wstring GetMenuText() const;                                     // slot 5
    virtual void SetTitle(const std::wstring& text);                              // slot 6
    virtual int GetImageIndex() const;                                            // slot 7
    virtual CXParent* GetParent() const { return parent; }                        // slot 8
    virtual void SetParent(CXParent* node) { parent = node; }                     // slot 9
    virtual CXRoot* GetRoot();                                                    // slot 10
    virtual bool SaveTree();                                                      // slot 11
    virtual void UpdateTreeImages();                                              // slot 12
    virtual void UpdateImages();                                                  // slot 13
    virtual bool ForEach(XNodeCallback callback, intptr_t a, intptr_t b);         // slot 14
    virtual bool IsDescendantOf(const CXNode* node) const;                        // slot 15

    bool IsKindOf(const CXRuntimeClass* cls) const { return GetRuntimeClass()->IsDerivedFrom(cls); }
    template <class T> bool IsKindOf() const { return IsKindOf(&T::classInfo); }

    CXParent* parent = nullptr;  // not owning
};

template <class T> T* XDynamicCast(CXNode* node) { return node && node->IsKindOf<T>() ? static_cast<T*>(node) : nullptr; }
template <class T> const T* XDynamicCast(const CXNode* node)
{
    return node && node->IsKindOf<T>() ? static_cast<const T*>(node) : nullptr;
}

class CXItem : public CXNode {
    XDECLARE_CLASS(CXItem)
public:
    CXItem() = default;
    ~CXItem() override = default;

    void Serialize(CXArchive& ar) override;
    CXNode* Clone() const override;
    std::wstring GetTitle() const override;
    std::wstring GetMenuText() const override;
    void SetTitle(const std::wstring& text) override;
    int GetImageIndex() const override;
    void UpdateImages() override;
    virtual bool Execute(std::wstring* errorText);                              // slot 16
    virtual XBitmap CreateMenuBitmap(XDeviceContext dc, int cx, int cy) const;  // slot 17

    bool ExpandShortcut();
    void SetDefaultTitle();
    std::wstring GetPathDisplay() const;

    // path, parameters and workingFolder as used for a launch.
    std::wstring ExpandedPath() const;
    std::wstring ExpandedParameters() const;
    std::wstring ExpandedWorkingFolder() const;

    int imageIndex = -1;
    std::wstring title;
    std::wstring accelerator;
    std::wstring path;
    std::wstring parameters;
    std::wstring workingFolder;
    int reservedFlag = 0;
    int showCommand = 0;  // 0 normal, 1 minimized, 2 maximized
    int expandEnvironment = 1;
    CHotKeyTarget hotKey;
    int isInternal = 0;
    // Transient data between a drop in the settings tool and the saving of its internal
    // file; never stored, shared between copies.
    std::shared_ptr<void> pendingShortcut;
    std::shared_ptr<std::vector<uint8_t>> pendingUrlData;

protected:
    void CopyItemFields(CXItem& to) const;
};

class CXTextItem : public CXItem {
    XDECLARE_CLASS(CXTextItem)
public:
    void Serialize(CXArchive& ar) override;
    CXNode* Clone() const override;
    std::wstring GetTitle() const override;
    std::wstring GetMenuText() const override;
    void UpdateImages() override;
    bool Execute(std::wstring* errorText) override;

    std::wstring GetText() const;
    void SetText(const std::wstring& value);

    std::wstring summary;
    std::wstring text;
};

class CXSeparator : public CXNode {
    XDECLARE_CLASS(CXSeparator)
public:
    void Serialize(CXArchive& ar) override;
    CXNode* Clone() const override;
    std::wstring GetTitle() const override;
};

class CXParent : public CXNode {
    XDECLARE_CLASS(CXParent)
public:
    CXParent() = default;
    ~CXParent() override;

    void Serialize(CXArchive& ar) override;
    CXNode* Clone() const override;
    std::wstring GetTitle() const override;
    std::wstring GetMenuText() const override;
    void SetTitle(const std::wstring& text) override;
    int GetImageIndex() const override;
    void UpdateImages() override;
    bool ForEach(XNodeCallback callback, intptr_t a, intptr_t b) override;

    // Ownership of node passes to this parent; index == count appends.
    void InsertChild(size_t index, CXNode* node);
    // Takes every listed node out of children without deleting it; the nodes keep
    // their parent value until they are inserted elsewhere or deleted.
    void RemoveChildren(const std::vector<CXNode*>& nodes);
    void DeleteChildren();

    std::vector<CXNode*> children;  // owned
    std::wstring title;
    std::wstring accelerator;
};

class CXRoot : public CXParent {
    XDECLARE_CLASS(CXRoot)
public:
    CXRoot() = default;
    explicit CXRoot(std::wstring storeName, int id = 0) : name(std::move(storeName)), rootId(id) {}

    void Serialize(CXArchive& ar) override;
    std::wstring GetTitle() const override;
    bool SaveTree() override;
    virtual bool ForEachInTree(XNodeCallback callback, intptr_t a, intptr_t b);  // slot 16 of this branch

    // Store and load the tree under its name in the settings store. A stored value that
    // cannot be read loads as an empty tree, and its bytes are kept beside it under the name
    // with "_corrupt" (replaced only by other bytes that cannot be read).
    bool Save();
    bool Load();
    // Deletes the values of the older forms ("_v2" and the bare name), which Load still reads.
    void DropOlderForms();

    std::wstring name;  // "MenuData_1" or "MenuData_2"
    int rootId = 0;     // settings tool: the reload flag of this tree (1 or 2)
    // The store's value of the current form holds this very tree: Load read it whole, or
    // Save wrote it. Edits in between do not clear it; only a save right after a load may
    // rely on it (to leave unchanged bytes unwritten).
    bool matchesStore = false;
};

inline constexpr wchar_t kLeftMenuName[] = L"MenuData_1";
inline constexpr wchar_t kRightMenuName[] = L"MenuData_2";
