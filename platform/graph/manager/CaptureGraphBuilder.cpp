#include "platform/graph/manager/CaptureGraphBuilder.h"

#include <new>
#include <vector>

#include "platform/com/Runtime.h"
#include "platform/graph/DeviceInterfaces.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/MediaType.h"
#include "platform/graph/manager/PinWalk.h"
#include "platform/com/NoThrow.h"

namespace quvo::graph {

using quvo::NoThrow;

namespace {

constexpr DWORD kPinCategoryProperty = 0;  // AMPROPERTY_PIN_CATEGORY

bool TryInterface(IUnknown* object, REFIID riid, void** ppv)
{
    return object && SUCCEEDED(object->QueryInterface(riid, ppv)) && *ppv;
}

// The filter itself, then its pins.
bool TryFilterAndPins(IBaseFilter* filter, REFIID riid, void** ppv)
{
    if (TryInterface(filter, riid, ppv)) return true;
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        if (TryInterface(pin.Get(), riid, ppv)) return true;
    }
    return false;
}

// Depth first along the connections of `dir` pins (PINDIR_INPUT: upstream).
bool SearchFrom(IBaseFilter* filter, PIN_DIRECTION dir, REFIID riid, void** ppv,
                std::vector<ComPtr<IBaseFilter>>& seen)
{
    for (const ComPtr<IBaseFilter>& next : NeighboursOf(filter, dir)) {
        bool visited = false;
        for (const auto& s : seen) visited = visited || IsSameObject(s.Get(), next.Get());
        if (visited) continue;
        seen.push_back(next);
        if (TryFilterAndPins(next.Get(), riid, ppv)) return true;
        if (SearchFrom(next.Get(), dir, riid, ppv, seen)) return true;
    }
    return false;
}

// The pin category a pin reports through its property set; false when it has none.
bool PinCategory(IPin* pin, GUID* category)
{
    ComPtr<IKsPropertySet> props;
    if (FAILED(pin->QueryInterface(IID_IKsPropertySet, props.ReleaseAndGetVoidAddressOf())) || !props)
        return false;
    DWORD returned = 0;
    return SUCCEEDED(props->Get(AMPROPSETID_Pin, kPinCategoryProperty, nullptr, 0, category,
                                sizeof(GUID), &returned)) &&
           returned == sizeof(GUID);
}

// Whether the pin carries or offers media of major type `type`.
bool PinHasType(IPin* pin, const GUID& type)
{
    AM_MEDIA_TYPE connected{};
    if (SUCCEEDED(pin->ConnectionMediaType(&connected))) {
        bool match = connected.majortype == type;
        FreeMediaType(connected);
        if (match) return true;
    }
    ComPtr<IEnumMediaTypes> types;
    if (FAILED(pin->EnumMediaTypes(&types)) || !types) return false;
    AM_MEDIA_TYPE* mt = nullptr;
    ULONG fetched = 0;
    while (types->Next(1, &mt, &fetched) == S_OK && fetched == 1) {
        bool match = mt->majortype == type;
        DeleteMediaType(mt);
        if (match) return true;
    }
    return false;
}
}  // namespace

CaptureGraphBuilder::CaptureGraphBuilder(IUnknown* outer, HRESULT*) : CUnknown("Capture Graph Builder", outer) {}

HRESULT CaptureGraphBuilder::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_ICaptureGraphBuilder2)
        return GetInterface(static_cast<ICaptureGraphBuilder2*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CaptureGraphBuilder::SetFiltergraph(IGraphBuilder* graph)
{
    if (!graph) return E_POINTER;
    std::lock_guard lock(graphLock_);
    if (graph_) return IsSameObject(graph_.Get(), graph) ? S_OK : E_UNEXPECTED;  // one graph per builder
    graph_ = ComPtr<IGraphBuilder>(graph);
    return S_OK;
}

HRESULT CaptureGraphBuilder::GetFiltergraph(IGraphBuilder** graph)
{
    if (!graph) return E_POINTER;
    std::lock_guard lock(graphLock_);
    if (!graph_) {
        *graph = nullptr;
        return E_UNEXPECTED;
    }
    return graph_.CopyTo(graph);
}

// The filter, its pins, then upstream (unless only downstream is asked for), then
// downstream (unless only upstream is asked for). `type` does not narrow the
// search: filters here expose an interface for all their streams alike.
HRESULT CaptureGraphBuilder::FindInterface(const GUID* category, const GUID*, IBaseFilter* filter,
                                           REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!filter) return E_POINTER;
    return NoThrow([&] {
        if (TryFilterAndPins(filter, riid, ppv)) return S_OK;
        const bool up = !category || *category != LOOK_DOWNSTREAM_ONLY;
        const bool down = !category || *category != LOOK_UPSTREAM_ONLY;
        std::vector<ComPtr<IBaseFilter>> seen{ComPtr<IBaseFilter>(filter)};
        if (up && SearchFrom(filter, PINDIR_INPUT, riid, ppv, seen)) return S_OK;
        if (down && SearchFrom(filter, PINDIR_OUTPUT, riid, ppv, seen)) return S_OK;
        return E_NOINTERFACE;
    });
}

HRESULT CaptureGraphBuilder::FindPin(IUnknown* source, PIN_DIRECTION dir, const GUID* category,
                                     const GUID* type, BOOL unconnected, int num, IPin** pin)
{
    if (!source || !pin) return E_POINTER;
    *pin = nullptr;
    return NoThrow([&] { return FindPinOf(source, dir, category, type, unconnected, num, pin); });
}

HRESULT CaptureGraphBuilder::FindPinOf(IUnknown* source, PIN_DIRECTION dir, const GUID* category,
                                       const GUID* type, BOOL unconnected, int num, IPin** pin)
{
    std::vector<ComPtr<IPin>> candidates;
    ComPtr<IPin> asPin;
    ComPtr<IBaseFilter> asFilter;
    if (SUCCEEDED(source->QueryInterface(IID_IPin, asPin.ReleaseAndGetVoidAddressOf())) && asPin)
        candidates.push_back(asPin);
    else if (SUCCEEDED(source->QueryInterface(IID_IBaseFilter, asFilter.ReleaseAndGetVoidAddressOf())) && asFilter)
        candidates = PinsOf(asFilter.Get());
    else
        return E_INVALIDARG;

    int found = 0;
    for (const ComPtr<IPin>& p : candidates) {
        PIN_DIRECTION d;
        if (!DirectionOf(p.Get(), &d) || d != dir) continue;
        if (unconnected && PeerOf(p.Get())) continue;
        GUID pinCategory;
        if (category && (!PinCategory(p.Get(), &pinCategory) || pinCategory != *category)) continue;
        if (type && !PinHasType(p.Get(), *type)) continue;
        if (found++ == num) return p.CopyTo(pin);
    }
    return E_FAIL;
}

HRESULT CaptureGraphBuilder::SetOutputFileName(const GUID*, LPCWSTR, IBaseFilter** mux, IFileSinkFilter** sink)
{
    if (mux) *mux = nullptr;
    if (sink) *sink = nullptr;
    return E_NOTIMPL;
}

HRESULT CaptureGraphBuilder::RenderStream(const GUID*, const GUID*, IUnknown*, IBaseFilter*, IBaseFilter*)
{
    return E_NOTIMPL;
}

HRESULT CaptureGraphBuilder::ControlStream(const GUID*, const GUID*, IBaseFilter*, REFERENCE_TIME*,
                                           REFERENCE_TIME*, WORD, WORD)
{
    return E_NOTIMPL;
}

HRESULT CaptureGraphBuilder::AllocCapFile(LPCWSTR, ULONGLONG) { return E_NOTIMPL; }

HRESULT CaptureGraphBuilder::CopyCaptureFile(LPWSTR, LPWSTR, int, IUnknown*) { return E_NOTIMPL; }

}  // namespace quvo::graph
