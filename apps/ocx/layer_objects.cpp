// DXFLayers and DXFLayer as automation objects dispatching through their member tables.
#include "layer_objects.h"

#include "com_object.h"
#include "com_variant.h"
#include "control/interface/layer_members.h"
#include "server_module.h"

#include <algorithm>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace plandra::ocx {
namespace {

/// For Each over the layer collection: the layers it held when the loop began.
class LayerEnumerator final : public ComObject<LayerEnumerator, IEnumVARIANT> {
public:
    explicit LayerEnumerator(std::vector<std::shared_ptr<DXFLayer>> layers,
                             std::size_t position = 0)
        : ComObject(IID_IEnumVARIANT), Layers(std::move(layers)), Position(position) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override {
        if (items == nullptr) {
            return E_POINTER;
        }
        ULONG given = 0;
        for (; given < count && Position < Layers.size(); ++given) {
            ToVariant(platform::ObjectRef(Layers[Position++]), &items[given]);
        }
        if (fetched != nullptr) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        Position = std::min<std::size_t>(Layers.size(), Position + count);
        return Position < Layers.size() ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        Position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override {
        if (copy == nullptr) {
            return E_POINTER;
        }
        *copy = new (std::nothrow) LayerEnumerator(Layers, Position);
        return *copy != nullptr ? S_OK : E_OUTOFMEMORY;
    }

private:
    std::vector<std::shared_ptr<DXFLayer>> Layers;
    std::size_t Position;
};

HRESULT NewLayerEnumerator(const DXFLayers& layers, VARIANT* result) {
    if (result == nullptr) {
        return S_OK;
    }
    std::vector<std::shared_ptr<DXFLayer>> items;
    for (Long i = 1; i <= layers.Count(); ++i) {
        items.push_back(layers.Item(i));
    }
    ::VariantInit(result);
    result->punkVal = new (std::nothrow) LayerEnumerator(std::move(items));
    if (result->punkVal == nullptr) {
        return E_OUTOFMEMORY;
    }
    result->vt = VT_UNKNOWN;
    return S_OK;
}

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
        if constexpr (std::is_same_v<Held, DXFLayers>) {
            if (count == 1 && names != nullptr && dispIds != nullptr &&
                ::lstrcmpiW(names[0], L"_NewEnum") == 0) {
                *dispIds = DISPID_NEWENUM;
                return S_OK;
            }
        }
        return IdsOfNames(Table(), names, count, dispIds);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispId, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if constexpr (std::is_same_v<Held, DXFLayers>) {
            // For Each asks the collection for an enumerator of its items.
            if (dispId == DISPID_NEWENUM) {
                try {
                    return NewLayerEnumerator(*Target, result);
                } catch (const std::bad_alloc&) {
                    return E_OUTOFMEMORY;
                }
            }
        }
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
