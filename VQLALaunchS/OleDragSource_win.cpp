#include "OleDragSource_win.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>

#include "ComObject_win.h"

namespace {
// A global block with a copy of the bytes (GMEM_DDESHARE, as other programs expect of drag
// data); null when there is no memory.
HGLOBAL CopyToGlobal(const void* bytes, size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, size);
    if (!block)
        return nullptr;
    if (void* target = GlobalLock(block)) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(block);
        return block;
    }
    GlobalFree(block);
    return nullptr;
}

// Data of one format in one global block, handed out by value: every GetData receives its
// own copy, which the receiver frees.
class CBlockDataObject : public CComObject<IDataObject> {
public:
    CBlockDataObject(UINT format, std::vector<uint8_t> bytes) : bytes(std::move(bytes))
    {
        offered.cfFormat = static_cast<CLIPFORMAT>(format);
        offered.ptd = nullptr;
        offered.dwAspect = DVASPECT_CONTENT;
        offered.lindex = -1;
        offered.tymed = TYMED_HGLOBAL;
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (!format || !medium)
            return E_INVALIDARG;
        const HRESULT offeredHere = QueryGetData(format);
        if (offeredHere != S_OK)
            return offeredHere;
        HGLOBAL copy = CopyToGlobal(bytes.data(), bytes.size());
        if (!copy)
            return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        if (!format)
            return E_INVALIDARG;
        if (format->cfFormat != offered.cfFormat)
            return DV_E_FORMATETC;
        if (!(format->tymed & TYMED_HGLOBAL))
            return DV_E_TYMED;
        if (format->dwAspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (!formats)
            return E_POINTER;
        *formats = nullptr;
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        return SHCreateStdEnumFmtEtc(1, &offered, formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~CBlockDataObject() override = default;

    FORMATETC offered = {};
    std::vector<uint8_t> bytes;
};

// Ends the drag when the buttons that may carry it are all up, cancels it on Escape; the
// system's cursors show the effect.
class CDropSource : public CComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keys) override
    {
        if (escapePressed)
            return DRAGDROP_S_CANCEL;
        // Either button starts a drag; the drop comes when no button holds it any more.
        if (!(keys & (MK_LBUTTON | MK_RBUTTON)))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ~CDropSource() override = default;
};
} // namespace

UINT InternalDragFormat()
{
    static const UINT format = RegisterClipboardFormatW(L"OfficeKestrahl_Velquin");
    return format;
}

DWORD RunInternalDrag(const std::vector<uint8_t>& transferBlock, DWORD allowed)
{
    const UINT format = InternalDragFormat();
    if (!format || transferBlock.empty())
        return DROPEFFECT_NONE;
    auto* data = new CBlockDataObject(format, transferBlock);
    auto* source = new CDropSource;
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = DoDragDrop(data, source, allowed, &effect);
    source->Release();
    data->Release();
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}
