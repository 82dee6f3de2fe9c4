// The IUnknown of a COM object of this server that answers one interface: it owns
// itself (its last Release deletes it) and keeps the server loaded while it lives.
#pragma once

#include "com_api.h"
#include "server_module.h"

namespace plandra::ocx {

/// `Object` derives from ComObject<Object, Interface> and implements the rest of
/// `Interface`, whose IID it names at construction (one template serves enumerators of
/// several interfaces).
template <typename Object, typename Interface> class ComObject : public Interface {
public:
    explicit ComObject(const IID& iid) : Iid(iid) { AddServerReference(); }
    ~ComObject() { ReleaseServerReference(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid != IID_IUnknown && riid != Iid) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --References;
        if (left == 0) {
            delete static_cast<Object*>(this);
        }
        return left;
    }

protected:
    const IID& InterfaceId() const { return Iid; }

private:
    IID Iid;
    ULONG References = 1;
};

} // namespace plandra::ocx
