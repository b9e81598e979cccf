#pragma once
// A COM object of one interface made by this program: its reference count and
// QueryInterface. It is made with one reference and deletes itself with its last one.

#include <unknwn.h>

#include <atomic>

template <class Interface> class CComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    CComObject() = default;
    virtual ~CComObject() = default;

private:
    std::atomic<ULONG> references{1};
};
