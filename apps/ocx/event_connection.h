// The connection point of the event interface __DXF: the hosts' sinks, and the
// control's events raised to each of them.
#pragma once

#include "com_api.h"
#include "com_ref.h"
#include "control/interface/control_site.h"

#include <utility>
#include <vector>

namespace plandra::ocx {

/// Lives inside the control object, whose references it shares (`owner`).
class EventConnection final : public IConnectionPoint, public DXFEvents {
public:
    EventConnection(IUnknown& owner, IConnectionPointContainer& container)
        : Owner(owner), Container(container) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return Owner.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Owner.Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** cpc) override;
    /// Takes a sink that answers IDispatch (or __DXF); the cookie is its key.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    // The events, raised to every sink with its by-reference arguments.
    void MouseDown(Integer& Button, Integer& Shift, float& X, float& Y) override;
    void MouseMove(Integer& Button, Integer& Shift, float& X, float& Y) override;
    void MouseUp(Integer& Button, Integer& Shift, float& X, float& Y) override;

    /// Lets every sink go (the control is closing).
    void DisconnectAll() { Sinks.clear(); }

private:
    void Raise(DISPID event, Integer& Button, Integer& Shift, float& X, float& Y);

    IUnknown& Owner;
    IConnectionPointContainer& Container;
    std::vector<std::pair<DWORD, ComRef<IDispatch>>> Sinks;
    DWORD NextCookie = 1;
};

} // namespace plandra::ocx
