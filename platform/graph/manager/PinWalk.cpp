#include "platform/graph/manager/PinWalk.h"

namespace quvo::graph {

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter)
{
    std::vector<ComPtr<IPin>> pins;
    ComPtr<IEnumPins> e;
    if (!filter || FAILED(filter->EnumPins(&e)) || !e) return pins;
    IPin* pin = nullptr;
    ULONG fetched = 0;
    while (e->Next(1, &pin, &fetched) == S_OK && fetched == 1) {
        ComPtr<IPin> held;
        held.Attach(pin);
        pins.push_back(std::move(held));
    }
    return pins;
}

bool DirectionOf(IPin* pin, PIN_DIRECTION* dir)
{
    return pin && SUCCEEDED(pin->QueryDirection(dir));
}

ComPtr<IPin> PeerOf(IPin* pin)
{
    ComPtr<IPin> peer;
    if (pin && FAILED(pin->ConnectedTo(&peer))) peer.Reset();
    return peer;
}

ComPtr<IBaseFilter> OwnerOf(IPin* pin)
{
    ComPtr<IBaseFilter> owner;
    PIN_INFO info{};
    if (pin && SUCCEEDED(pin->QueryPinInfo(&info))) owner.Attach(info.pFilter);
    return owner;
}

std::vector<ComPtr<IBaseFilter>> NeighboursOf(IBaseFilter* filter, PIN_DIRECTION dir)
{
    std::vector<ComPtr<IBaseFilter>> result;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        PIN_DIRECTION d;
        if (!DirectionOf(pin.Get(), &d) || d != dir) continue;
        ComPtr<IPin> peer = PeerOf(pin.Get());
        if (!peer) continue;
        ComPtr<IBaseFilter> next = OwnerOf(peer.Get());
        if (!next) continue;
        bool seen = false;
        for (const auto& f : result) seen = seen || IsSameObject(f.Get(), next.Get());
        if (!seen) result.push_back(std::move(next));
    }
    return result;
}

bool HasConnectedPin(IBaseFilter* filter, PIN_DIRECTION dir)
{
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        PIN_DIRECTION d;
        if (DirectionOf(pin.Get(), &d) && d == dir && PeerOf(pin.Get())) return true;
    }
    return false;
}

}  // namespace quvo::graph
