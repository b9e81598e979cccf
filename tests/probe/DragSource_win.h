#pragma once
// Another program's side of OLE drag and drop, for the tests and benchmarks that drop data
// into the settings tool: a data object that offers global blocks by format, and the file
// list a file manager offers.

#include <windows.h>
// Needs the types that windows.h declares.
#include <objidl.h>
#include <shlobj.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A data object of another program: global blocks by format, "FileContents" by index. It
// lives on its user's stack: the references are counted but never free it.
class CTestDataObject : public IDataObject {
public:
    void Offer(UINT format, std::vector<uint8_t> bytes, LONG index = -1) { blocks[{format, index}] = std::move(bytes); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject) {
            *object = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        const auto found = Find(format);
        if (found == blocks.end())
            return DV_E_FORMATETC;
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, found->second.size());
        if (!block)
            return E_OUTOFMEMORY;
        if (!found->second.empty())
            std::memcpy(GlobalLock(block), found->second.data(), found->second.size());
        GlobalUnlock(block);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = block;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return Find(format) == blocks.end() ? DV_E_FORMATETC : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        std::vector<FORMATETC> offered;
        for (const auto& [key, bytes] : blocks) {
            if (key.second == -1)
                offered.push_back({static_cast<CLIPFORMAT>(key.first), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        }
        return SHCreateStdEnumFmtEtc(static_cast<UINT>(offered.size()), offered.data(), formats);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    std::map<std::pair<UINT, LONG>, std::vector<uint8_t>>::const_iterator Find(const FORMATETC* format) const
    {
        if (!format || !(format->tymed & TYMED_HGLOBAL))
            return blocks.end();
        return blocks.find({format->cfFormat, format->lindex});
    }

    std::atomic<ULONG> references{1};
    std::map<std::pair<UINT, LONG>, std::vector<uint8_t>> blocks;
};

// A DROPFILES block of wide names, as file managers offer them.
std::vector<uint8_t> FileList(const std::vector<std::wstring>& files);
