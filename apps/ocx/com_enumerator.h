// Enumerators over a snapshot of COM references: IEnumConnectionPoints over the control's
// connection points and IEnumConnections over the sinks of one of them.
#pragma once

#include "com_api.h"
#include "com_object.h"

#include <new>
#include <utility>
#include <vector>

namespace plandra::ocx {

inline IUnknown* UnknownOf(IConnectionPoint* point) {
    return point;
}
inline IUnknown* UnknownOf(const CONNECTDATA& connection) {
    return connection.pUnk;
}

/// Holds one reference to every item; each item handed out by Next carries a reference
/// of its own, which the caller releases.
template <typename Interface, typename Item>
class ComEnumerator final : public ComObject<ComEnumerator<Interface, Item>, Interface> {
public:
    ComEnumerator(const IID& iid, std::vector<Item> items, std::size_t position = 0)
        : ComObject<ComEnumerator, Interface>(iid), Items(std::move(items)), Position(position) {
        for (const Item& item : Items) {
            UnknownOf(item)->AddRef();
        }
    }
    ~ComEnumerator() {
        for (const Item& item : Items) {
            UnknownOf(item)->Release();
        }
    }

    /// A new enumerator answering `iid` in `*result`; E_OUTOFMEMORY when none can be made.
    static HRESULT Make(const IID& iid, std::vector<Item> items, std::size_t position,
                        Interface** result) {
        if (result == nullptr) {
            return E_POINTER;
        }
        // A COM object owns itself: its last Release deletes it.
        *result = new (std::nothrow) ComEnumerator(iid, std::move(items), position);
        return *result != nullptr ? S_OK : E_OUTOFMEMORY;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* items, ULONG* fetched) override {
        if (items == nullptr || (count != 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG given = 0;
        for (; given < count && Position < Items.size(); ++given, ++Position) {
            items[given] = Items[Position];
            UnknownOf(items[given])->AddRef();
        }
        if (fetched != nullptr) {
            *fetched = given;
        }
        return given == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        if (count > Items.size() - Position) {
            Position = Items.size();
            return S_FALSE;
        }
        Position += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        Position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(Interface** copy) override {
        if (copy == nullptr) {
            return E_POINTER;
        }
        try {
            return Make(this->InterfaceId(), Items, Position, copy);
        } catch (const std::bad_alloc&) {
            *copy = nullptr;
            return E_OUTOFMEMORY;
        }
    }

private:
    std::vector<Item> Items;
    std::size_t Position;
};

using ConnectionPointEnumerator = ComEnumerator<IEnumConnectionPoints, IConnectionPoint*>;
using ConnectionEnumerator = ComEnumerator<IEnumConnections, CONNECTDATA>;

} // namespace plandra::ocx
