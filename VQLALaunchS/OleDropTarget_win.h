#pragma once
// The tree and list views as OLE drop targets: what is dragged over a view is made into
// nodes as soon as it enters (the tool's own nodes, or entries made from another program's
// shell objects, files, Internet shortcuts, URLs or text), the view decides from the point
// where they would land, and the drop creates the internal-link files of new shell objects
// and Internet shortcuts before the view inserts the nodes.

#include <ole2.h>

#include <cstdint>

#include "ComObject_win.h"
#include "DropRules.h"
#include "XNode.h"

// What a view does with a drag over it; points are in the view's client coordinates.
class CVQLAOleDropTargetWnd {
public:
    virtual ~CVQLAOleDropTargetWnd() = default;
    virtual DWORD DragEnter(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point) = 0;
    virtual DWORD DragOver(XDataKind kind, CXParent& incoming, DWORD effect, DWORD keys, POINT point) = 0;
    virtual DWORD Drop(XDataKind kind, CXParent& incoming, DWORD suggested, DWORD allowed, POINT point) = 0;
    virtual void DragLeave() = 0;
};

class CVQLAOleDropTarget : public CComObject<IDropTarget> {
public:
    // Registers a drop target for the view's window; null when OLE refuses. The view keeps
    // the returned reference and calls Revoke when its window goes.
    static CVQLAOleDropTarget* Register(HWND view, CVQLAOleDropTargetWnd& operations);
    void Revoke();

    // The effect a drop gets: a left-button drop takes the suggestion (link for other
    // programs' data) where the source allows it; a right-button drop asks with menu 316.
    DWORD ChooseDropEffect(DWORD suggested, DWORD allowed, POINT point);

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override;

private:
    CVQLAOleDropTarget(HWND view, CVQLAOleDropTargetWnd& operations);
    ~CVQLAOleDropTarget() override;

    POINT ClientPoint(POINTL screen) const;
    void ScrollNear(POINT point);
    void ClearIncoming();
    // The files of new shell objects and Internet shortcuts, made before the nodes go in; a
    // node whose file cannot be written is left out.
    void CreateLinkFiles();

    HWND view;
    CVQLAOleDropTargetWnd& operations;
    CXParent incoming;
    XDataKind dataKind = XDataKind::None;
    bool rightButtonDrag = false;
    uint32_t lastScroll = 0;
    bool registered = false;
};

// Puts copies of the dropped nodes into target at position: copies first lose their hotkeys;
// the icons of the new entries, the notice to the other views and the save follow, and new
// entries of the palette are opened for editing once the drop is over. False when nothing
// went in: a menu that cannot be stored (too large) gets the nodes taken out again.
bool InsertDropped(HWND view, DWORD effect, CXParent& incoming, CXParent& target, int position);
