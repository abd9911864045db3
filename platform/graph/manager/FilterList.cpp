// The graph's filter list: adding with unique names, removing, finding, enumerating.
#include <algorithm>
#include <cstdio>

#include "platform/graph/base/SnapshotEnumerator.h"
#include "platform/graph/manager/FilterGraph.h"
#include "platform/graph/manager/PinWalk.h"
#include "platform/com/NoThrow.h"

namespace quvo::graph {

using quvo::NoThrow;

namespace {
constexpr std::size_t kMaxName = 127;  // FILTER_INFO::achName holds 128 units with the zero

// Whether `clock` is the filter's: the filter itself, or a clock object of its own
// that it hands out (a renderer may keep its clock as a separate object).
bool ProvidesClock(IBaseFilter* filter, IReferenceClock* clock)
{
    if (IsSameObject(filter, clock)) return true;
    ComPtr<IReferenceClock> own;
    return SUCCEEDED(filter->QueryInterface(IID_IReferenceClock, own.ReleaseAndGetVoidAddressOf())) &&
           IsSameObject(own.Get(), clock);
}

std::u16string Ascii(const char* text) { return std::u16string(text, text + std::char_traits<char>::length(text)); }
}  // namespace

std::vector<FilterGraph::Entry>::iterator FilterGraph::FindEntry(IBaseFilter* filter)
{
    return std::find_if(filters_.begin(), filters_.end(),
                        [filter](const Entry& e) { return IsSameObject(e.filter.Get(), filter); });
}

bool FilterGraph::NameInUse(const std::u16string& name) const
{
    return std::any_of(filters_.begin(), filters_.end(), [&](const Entry& e) { return e.name == name; });
}

// A name no other filter has: the one asked for, else it with " 0001", " 0002"...
// appended (a null name becomes "Filter 0001" and so on).
std::u16string FilterGraph::UniqueName(LPCWSTR wanted) const
{
    std::u16string base = wanted ? std::u16string(wanted) : std::u16string(u"Filter");
    if (base.size() > kMaxName) base.resize(kMaxName);
    if (wanted && !base.empty() && !NameInUse(base)) return base;
    if (base.size() > kMaxName - 5) base.resize(kMaxName - 5);
    for (unsigned n = 1;; ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, " %04u", n % 10000);
        std::u16string name = base + Ascii(suffix);
        if (!NameInUse(name)) return name;
    }
}

HRESULT FilterGraph::AddFilter(IBaseFilter* filter, LPCWSTR name)
{
    if (!filter) return E_POINTER;
    std::lock_guard lock(graphLock_);
    if (FindEntry(filter) != filters_.end()) return E_INVALIDARG;
    return NoThrow([&] {
        std::u16string unique = UniqueName(name);
        const bool renamed = name && unique != name;
        filters_.reserve(filters_.size() + 1);  // the filter is not told it joined unless it is listed
        HRESULT hr = filter->JoinFilterGraph(static_cast<IGraphBuilder*>(this), unique.c_str());
        if (FAILED(hr)) return hr;
        filters_.push_back({ComPtr<IBaseFilter>(filter), std::move(unique)});
        // A filter joining a graph that already has a clock runs by it too.
        if (clock_) filter->SetSyncSource(clock_.Get());
        return renamed ? VFW_S_DUPLICATE_NAME : S_OK;
    });
}

void FilterGraph::DisconnectAllPins(IBaseFilter* filter)
{
    for (const ComPtr<IPin>& pin : PinsOf(filter)) {
        if (ComPtr<IPin> peer = PeerOf(pin.Get())) {
            peer->Disconnect();
            pin->Disconnect();
        }
    }
}

// Takes the filter out of the graph: no connection, no clock, no graph. Stopping
// it first is the caller's business (a running filter refuses to disconnect).
void FilterGraph::ForgetFilter(std::vector<Entry>::iterator it)
{
    ComPtr<IBaseFilter> filter = it->filter;
    filters_.erase(it);
    DisconnectAllPins(filter.Get());
    if (clock_ && ProvidesClock(filter.Get(), clock_.Get())) {
        // The clock leaves with its filter; the next run picks a default again.
        clock_.Reset();
        clockSetByCaller_ = false;
        for (const Entry& e : filters_) e.filter->SetSyncSource(nullptr);
    }
    filter->SetSyncSource(nullptr);
    filter->JoinFilterGraph(nullptr, nullptr);
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* filter)
{
    if (!filter) return E_POINTER;
    std::lock_guard lock(graphLock_);
    auto it = FindEntry(filter);
    if (it == filters_.end()) return VFW_E_NOT_FOUND;
    return NoThrow([&] {
        ForgetFilter(it);
        return S_OK;
    });
}

HRESULT FilterGraph::EnumFilters(IEnumFilters** filters)
{
    if (!filters) return E_POINTER;
    return NoThrow([&] {
        std::vector<ComPtr<IBaseFilter>> snapshot;
        {
            std::lock_guard lock(graphLock_);
            for (const Entry& e : filters_) snapshot.push_back(e.filter);
        }
        return SnapshotEnumerator<IEnumFilters, IBaseFilter>::Create(std::move(snapshot), filters);
    });
}

HRESULT FilterGraph::FindFilterByName(LPCWSTR name, IBaseFilter** filter)
{
    if (!name || !filter) return E_POINTER;
    *filter = nullptr;
    std::lock_guard lock(graphLock_);
    for (const Entry& e : filters_) {
        if (e.name == name) return e.filter.CopyTo(filter);
    }
    return VFW_E_NOT_FOUND;
}

}  // namespace quvo::graph
