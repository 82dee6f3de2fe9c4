// The connection point of __DXF.
#include "event_connection.h"

#include "com_enumerator.h"
#include "ocx_guids.h"

#include <algorithm>
#include <new>

namespace plandra::ocx {

HRESULT EventConnection::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (riid != IID_IUnknown && riid != IID_IConnectionPoint) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT EventConnection::GetConnectionInterface(IID* iid) {
    if (iid == nullptr) {
        return E_POINTER;
    }
    *iid = DiidDXFEvents;
    return S_OK;
}

HRESULT EventConnection::GetConnectionPointContainer(IConnectionPointContainer** cpc) {
    if (cpc == nullptr) {
        return E_POINTER;
    }
    *cpc = &Container;
    Container.AddRef();
    return S_OK;
}

HRESULT EventConnection::Advise(IUnknown* sink, DWORD* cookie) {
    if (sink == nullptr || cookie == nullptr) {
        return E_POINTER;
    }
    *cookie = 0;
    IDispatch* dispatch = nullptr;
    if (FAILED(sink->QueryInterface(DiidDXFEvents, reinterpret_cast<void**>(&dispatch))) &&
        FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        return CONNECT_E_CANNOTCONNECT;
    }
    *cookie = NextCookie++;
    Sinks.emplace_back(*cookie, ComRef<IDispatch>(dispatch));
    return S_OK;
}

HRESULT EventConnection::Unadvise(DWORD cookie) {
    const auto found =
        std::ranges::find(Sinks, cookie, &std::pair<DWORD, ComRef<IDispatch>>::first);
    if (found == Sinks.end()) {
        return CONNECT_E_NOCONNECTION;
    }
    Sinks.erase(found);
    return S_OK;
}

HRESULT EventConnection::EnumConnections(IEnumConnections** connections) {
    if (connections == nullptr) {
        return E_POINTER;
    }
    *connections = nullptr;
    try {
        std::vector<CONNECTDATA> sinks;
        for (const auto& [cookie, sink] : Sinks) {
            sinks.push_back({sink.Get(), cookie});
        }
        return ConnectionEnumerator::Make(IID_IEnumConnections, std::move(sinks), 0, connections);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void EventConnection::MouseDown(Integer& Button, Integer& Shift, float& X, float& Y) {
    Raise(1, Button, Shift, X, Y);
}

void EventConnection::MouseMove(Integer& Button, Integer& Shift, float& X, float& Y) {
    Raise(2, Button, Shift, X, Y);
}

void EventConnection::MouseUp(Integer& Button, Integer& Shift, float& X, float& Y) {
    Raise(3, Button, Shift, X, Y);
}

void EventConnection::Raise(DISPID event, Integer& Button, Integer& Shift, float& X, float& Y) {
    // Arguments go last first; a handler may change them through the references.
    VARIANT args[4];
    args[3].vt = VT_I2 | VT_BYREF;
    args[3].piVal = &Button;
    args[2].vt = VT_I2 | VT_BYREF;
    args[2].piVal = &Shift;
    args[1].vt = VT_R4 | VT_BYREF;
    args[1].pfltVal = &X;
    args[0].vt = VT_R4 | VT_BYREF;
    args[0].pfltVal = &Y;
    DISPPARAMS params{args, nullptr, 4, 0};
    // A sink may unadvise while it handles the event: raise to a copy of the list.
    std::vector<IDispatch*> sinks;
    for (const auto& [cookie, sink] : Sinks) {
        sinks.push_back(sink.Get());
        sink.Get()->AddRef();
    }
    for (IDispatch* sink : sinks) {
        ComRef<IDispatch> held(sink);
        sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     nullptr, nullptr);
    }
}

} // namespace plandra::ocx
