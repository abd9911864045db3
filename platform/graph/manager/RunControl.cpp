// State changes and the clock. Filters change state renderers first, then the
// filters upstream of them, so that a source never delivers to a filter that is
// not ready; and always step by step: Stop -> Pause -> Run and back.
#include <chrono>
#include <limits>

#include "platform/graph/manager/FilterGraph.h"
#include "platform/graph/manager/PinWalk.h"
#include "platform/graph/manager/SystemClock.h"
#include "platform/com/NoThrow.h"

namespace quvo::graph {

using quvo::NoThrow;

namespace {
// Stream time 0 lies this far after "now" at Run, so that every filter is running
// before the first sample falls due.
constexpr REFERENCE_TIME kStartOffset = 10 * MILLISECONDS;
constexpr REFERENCE_TIME kChooseStart = std::numeric_limits<REFERENCE_TIME>::min();

HRESULT Worse(HRESULT current, HRESULT next)
{
    if (FAILED(current)) return current;
    if (FAILED(next)) return next;
    return current == S_OK ? next : current;
}
}  // namespace

// Every filter after all the filters downstream of it (depth-first post-order
// along output connections); filters outside the graph are not followed.
std::vector<ComPtr<IBaseFilter>> FilterGraph::RendererFirstOrder() const
{
    const std::size_t n = filters_.size();
    std::vector<bool> visited(n, false);
    std::vector<ComPtr<IBaseFilter>> order;
    order.reserve(n);
    auto indexOf = [this](IBaseFilter* f) -> std::size_t {
        for (std::size_t i = 0; i < filters_.size(); ++i)
            if (IsSameObject(filters_[i].filter.Get(), f)) return i;
        return filters_.size();
    };
    auto visit = [&](auto& self, std::size_t i) -> void {
        if (visited[i]) return;
        visited[i] = true;
        for (const ComPtr<IBaseFilter>& next : NeighboursOf(filters_[i].filter.Get(), PINDIR_OUTPUT)) {
            std::size_t j = indexOf(next.Get());
            if (j < n) self(self, j);
        }
        order.push_back(filters_[i].filter);
    };
    for (std::size_t i = 0; i < n; ++i) visit(visit, i);
    return order;
}

// Renderers: filters that take a stream in and pass none on. Each reports
// EC_COMPLETE at the end of its stream.
int FilterGraph::CountRenderers() const
{
    int count = 0;
    for (const Entry& e : filters_) {
        if (HasConnectedPin(e.filter.Get(), PINDIR_INPUT) && !HasConnectedPin(e.filter.Get(), PINDIR_OUTPUT))
            ++count;
    }
    return count;
}

// The first filter that is a clock (the audio renderer), else the system clock.
HRESULT FilterGraph::ChooseDefaultClock()
{
    clock_.Reset();
    for (const Entry& e : filters_) {
        ComPtr<IReferenceClock> clock;
        if (SUCCEEDED(e.filter->QueryInterface(IID_IReferenceClock, clock.ReleaseAndGetVoidAddressOf())) && clock) {
            clock_ = clock;
            return S_OK;
        }
    }
    return CreateSystemClock(&clock_);
}

HRESULT FilterGraph::GiveClockToFilters()
{
    HRESULT result = S_OK;
    for (const Entry& e : filters_) result = Worse(result, e.filter->SetSyncSource(clock_.Get()));
    return result;
}

REFERENCE_TIME FilterGraph::ClockNow() const
{
    REFERENCE_TIME now = 0;
    if (clock_ && SUCCEEDED(clock_->GetTime(&now))) return now;
    return 0;
}

HRESULT FilterGraph::PauseLocked()
{
    if (state_ == State_Paused) return S_OK;
    auto order = RendererFirstOrder();
    if (state_ == State_Stopped) {
        if (!clock_ && !clockSetByCaller_) ChooseDefaultClock();
        GiveClockToFilters();
        hasStarted_ = false;
        events_.OnRunStarting(CountRenderers());
    } else {
        pausedAt_ = ClockNow();
    }
    HRESULT result = S_OK;
    for (const ComPtr<IBaseFilter>& f : order) {
        HRESULT hr = f->Pause();
        if (FAILED(hr)) {
            // Leave no filter half-started.
            state_ = State_Paused;
            StopLocked();
            return hr;
        }
        result = Worse(result, hr);
    }
    state_ = State_Paused;
    return result;
}

HRESULT FilterGraph::RunLocked(REFERENCE_TIME start)
{
    if (state_ == State_Running) return S_OK;
    HRESULT result = S_OK;
    if (state_ == State_Stopped) {
        result = PauseLocked();
        if (FAILED(result)) return result;
    }
    if (start != kChooseStart) {
        streamStart_ = start;
    } else if (hasStarted_) {
        // Resuming: stream time continues where the pause left it.
        streamStart_ += ClockNow() - pausedAt_;
    } else {
        streamStart_ = ClockNow() + kStartOffset;
    }
    hasStarted_ = true;
    for (const ComPtr<IBaseFilter>& f : RendererFirstOrder()) {
        HRESULT hr = f->Run(streamStart_);
        if (FAILED(hr)) {
            state_ = State_Running;
            StopLocked();
            return hr;
        }
        result = Worse(result, hr);
    }
    state_ = State_Running;
    return result;
}

HRESULT FilterGraph::StopLocked()
{
    if (state_ == State_Stopped) return S_OK;
    auto order = RendererFirstOrder();
    if (state_ == State_Running) {
        for (const ComPtr<IBaseFilter>& f : order) f->Pause();
    }
    HRESULT result = S_OK;
    for (const ComPtr<IBaseFilter>& f : order) {
        HRESULT hr = f->Stop();
        if (FAILED(hr) && SUCCEEDED(result)) result = hr;
    }
    state_ = State_Stopped;
    hasStarted_ = false;
    events_.OnStopped();
    return result;
}

// The graph's state, with VFW_S_STATE_INTERMEDIATE while a filter has not reached
// it within the time-out (shared by all filters, not given to each).
HRESULT FilterGraph::StateOfFilters(DWORD timeoutMs, FILTER_STATE* state)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    *state = state_;
    HRESULT result = S_OK;
    for (const Entry& e : filters_) {
        DWORD left = 0;
        if (timeoutMs == INFINITE) {
            left = INFINITE;
        } else {
            auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            left = remaining.count() > 0 ? static_cast<DWORD>(remaining.count()) : 0;
        }
        FILTER_STATE fs;
        HRESULT hr = e.filter->GetState(left, &fs);
        if (FAILED(hr)) return hr;
        if (hr == VFW_S_STATE_INTERMEDIATE || result == S_OK) result = hr;
    }
    return result;
}

HRESULT FilterGraph::Run()
{
    std::lock_guard lock(graphLock_);
    return NoThrow([&] { return RunLocked(kChooseStart); });
}

HRESULT FilterGraph::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(graphLock_);
    return NoThrow([&] { return RunLocked(start); });
}

HRESULT FilterGraph::Pause()
{
    std::lock_guard lock(graphLock_);
    return NoThrow([&] { return PauseLocked(); });
}

HRESULT FilterGraph::Stop()
{
    std::lock_guard lock(graphLock_);
    return NoThrow([&] { return StopLocked(); });
}

HRESULT FilterGraph::GetState(LONG timeoutMs, OAFilterState* state)
{
    if (!state) return E_POINTER;
    FILTER_STATE fs;
    HRESULT hr = GetState(timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs), &fs);
    *state = fs;
    return hr;
}

HRESULT FilterGraph::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    std::lock_guard lock(graphLock_);
    return NoThrow([&] { return StateOfFilters(timeoutMs, state); });
}

HRESULT FilterGraph::StopWhenReady()
{
    std::lock_guard lock(graphLock_);
    return NoThrow([&] {
        HRESULT hr = PauseLocked();
        if (FAILED(hr)) return hr;
        FILTER_STATE fs;
        StateOfFilters(10000, &fs);  // let renderers take what was queued, within reason
        return StopLocked();
    });
}

HRESULT FilterGraph::SetSyncSource(IReferenceClock* clock)
{
    std::lock_guard lock(graphLock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    clock_ = ComPtr<IReferenceClock>(clock);
    clockSetByCaller_ = true;
    return NoThrow([&] { return GiveClockToFilters(); });
}

HRESULT FilterGraph::GetSyncSource(IReferenceClock** clock)
{
    if (!clock) return E_POINTER;
    std::lock_guard lock(graphLock_);
    return clock_.CopyTo(clock);
}

HRESULT FilterGraph::SetDefaultSyncSource()
{
    std::lock_guard lock(graphLock_);
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    return NoThrow([&] {
        HRESULT hr = ChooseDefaultClock();
        if (FAILED(hr)) return hr;
        clockSetByCaller_ = true;
        return GiveClockToFilters();
    });
}

}  // namespace quvo::graph
