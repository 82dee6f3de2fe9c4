// DXFLayers and DXFLayer as automation objects dispatching through their member tables.
#include "layer_objects.h"

#include "com_variant.h"
#include "control/interface/layer_members.h"
#include "server_module.h"

#include <memory>
#include <new>

namespace plandra::ocx {
namespace {

/// IDispatch over one object of the control, reached through its member table; the
/// object lives as long as the control or any dispatch object holds it.
template <typename Held> class TableDispatch final : public IDispatch, public PlandraObject {
public:
    using Members = std::span<const MemberInfoOf<Held>> (*)();

    TableDispatch(std::shared_ptr<Held> object, Members members, const GUID& iid)
        : Target(std::move(object)), Table(members), Iid(iid) {
        AddServerReference();
    }
    ~TableDispatch() { ReleaseServerReference(); }
    TableDispatch(const TableDispatch&) = delete;
    TableDispatch& operator=(const TableDispatch&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == Iid) {
            *object = static_cast<IDispatch*>(this);
        } else if (riid == IidPlandraObject) {
            *object = static_cast<PlandraObject*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --References;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) {
            return E_POINTER;
        }
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** typeInfo) override {
        if (typeInfo == nullptr) {
            return E_POINTER;
        }
        *typeInfo = nullptr;
        return index == 0 ? TypeInfoOf(Iid, typeInfo) : DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* dispIds) override {
        return IdsOfNames(Table(), names, count, dispIds);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        return InvokeById(Table(), *Target, dispId, flags, params, result, exception,
                          argumentError);
    }

    platform::ObjectRef Object() override { return Target; }

private:
    std::shared_ptr<Held> Target;
    Members Table;
    GUID Iid;
    ULONG References = 1;
};

// The raw new of a COM object: its own Release deletes it.
template <typename Object>
IDispatch* NewTableDispatch(std::shared_ptr<Object> object,
                            std::span<const MemberInfoOf<Object>> (*members)(), const GUID& iid) {
    return new (std::nothrow) TableDispatch<Object>(std::move(object), members, iid);
}

} // namespace

IDispatch* NewDispatchFor(const platform::ObjectRef& object) {
    if (auto layers = std::dynamic_pointer_cast<DXFLayers>(object)) {
        return NewTableDispatch(std::move(layers), &DXFLayersMembers, DiidDXFLayers);
    }
    if (auto layer = std::dynamic_pointer_cast<DXFLayer>(object)) {
        return NewTableDispatch(std::move(layer), &DXFLayerMembers, DiidDXFLayer);
    }
    return nullptr;
}

} // namespace plandra::ocx
