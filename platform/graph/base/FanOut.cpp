#include "platform/graph/base/FanOut.h"

#include <algorithm>

#include "platform/com/NoThrow.h"

using quvo::NoThrow;

CFanOutFilter::CFanOutFilter(const char* name, IUnknown* outer, REFCLSID clsid, LPCWSTR inputName)
    : CBaseFilter(name, outer, clsid), input_(this, inputName)
{
}

CFanOutFilter::~CFanOutFilter() = default;

int CFanOutFilter::GetPinCount()
{
    std::lock_guard lock(outputsLock_);
    return 1 + static_cast<int>(outputs_.size());
}

CBasePin* CFanOutFilter::GetPin(int n)
{
    if (n == 0) return &input_;
    std::lock_guard lock(outputsLock_);
    return n > 0 && n <= static_cast<int>(outputs_.size()) ? outputs_[n - 1].get() : nullptr;
}

HRESULT CFanOutFilter::AddOutput()
{
    std::lock_guard filterLock(*FilterLock());
    std::lock_guard lock(outputsLock_);
    return NoThrow([this] {
        int number = 1;
        while (std::any_of(outputs_.begin(), outputs_.end(),
                           [&](const auto& p) { return p->Name() == OutputName(number); }))
            ++number;
        HRESULT hr = S_OK;
        auto pin = std::make_unique<CFanOutOutputPin>(this, &hr, OutputName(number).c_str());
        if (FAILED(hr)) return hr;
        outputs_.push_back(std::move(pin));
        IncrementPinVersion();
        return S_OK;
    });
}

bool CFanOutFilter::FreeOutputBesides(const CFanOutOutputPin* pin)
{
    std::lock_guard lock(outputsLock_);
    return std::any_of(outputs_.begin(), outputs_.end(),
                       [pin](const auto& p) { return p.get() != pin && !p->IsConnected(); });
}

void CFanOutFilter::RemoveOutput(CFanOutOutputPin* pin)
{
    std::lock_guard lock(outputsLock_);
    auto it = std::find_if(outputs_.begin(), outputs_.end(), [pin](const auto& p) { return p.get() == pin; });
    if (it == outputs_.end() || FAILED(NoThrow([&] { retired_.push_back(std::move(*it)); return S_OK; }))) return;
    outputs_.erase(it);
    IncrementPinVersion();
}

template <class Call>
HRESULT CFanOutFilter::ToEachOutput(Call call)
{
    std::vector<ComPtr<IPin>> connected;
    const HRESULT listed = NoThrow([&] {
        std::lock_guard lock(outputsLock_);
        for (const auto& pin : outputs_)
            if (pin->IsConnected()) connected.emplace_back(static_cast<IPin*>(pin.get()));
        return S_OK;
    });
    if (FAILED(listed)) return listed;
    HRESULT result = S_OK;
    for (std::size_t i = 0; i < connected.size(); ++i) {
        const HRESULT hr = call(static_cast<CFanOutOutputPin*>(connected[i].Get()));
        if (i == 0 || FAILED(result)) result = hr;
    }
    return result;
}

// ---- input ----

CFanOutInputPin::CFanOutInputPin(CFanOutFilter* filter, LPCWSTR name)
    : CBaseInputPin("Fan-out input", filter, filter->FilterLock(), nullptr, name), filter_(filter)
{
}

HRESULT CFanOutInputPin::CheckMediaType(const CMediaType* mt)
{
    if (!mt->IsValid()) return VFW_E_TYPE_NOT_ACCEPTED;
    bool accepted = true;
    const HRESULT hr = filter_->ToEachOutput([&](CFanOutOutputPin* out) {
        accepted = accepted && out->GetConnected()->QueryAccept(mt) == S_OK;
        return S_OK;
    });
    return SUCCEEDED(hr) && accepted ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CFanOutInputPin::Receive(IMediaSample* sample)
{
    std::lock_guard streaming(filter_->StreamingLock());
    const HRESULT hr = CBaseInputPin::Receive(sample);
    return hr != S_OK ? hr : filter_->ToEachOutput([&](CFanOutOutputPin* out) { return out->Deliver(sample); });
}

HRESULT CFanOutInputPin::EndOfStream()
{
    std::lock_guard streaming(filter_->StreamingLock());
    const HRESULT hr = CheckStreaming();
    return hr != S_OK ? hr : filter_->ToEachOutput([](CFanOutOutputPin* out) { return out->DeliverEndOfStream(); });
}

HRESULT CFanOutInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    std::lock_guard streaming(filter_->StreamingLock());
    CBaseInputPin::NewSegment(start, stop, rate);
    return filter_->ToEachOutput([&](CFanOutOutputPin* out) { return out->DeliverNewSegment(start, stop, rate); });
}

// Flushing passes down without the streaming lock: it is there to release a
// streaming thread that may be blocked downstream while holding that lock.
HRESULT CFanOutInputPin::BeginFlush()
{
    const HRESULT hr = CBaseInputPin::BeginFlush();
    if (SUCCEEDED(hr)) filter_->ToEachOutput([](CFanOutOutputPin* out) { return out->DeliverBeginFlush(); });
    return hr;
}

HRESULT CFanOutInputPin::EndFlush()
{
    filter_->ToEachOutput([](CFanOutOutputPin* out) { return out->DeliverEndFlush(); });
    CBaseInputPin::EndFlush();
    return S_OK;
}

// ---- outputs ----

CFanOutOutputPin::CFanOutOutputPin(CFanOutFilter* filter, HRESULT* phr, LPCWSTR name)
    : CBaseOutputPin("Fan-out output", filter, filter->FilterLock(), phr, name), filter_(filter)
{
}

HRESULT CFanOutOutputPin::CheckMediaType(const CMediaType* mt)
{
    if (!filter_->input_.IsConnected()) return VFW_E_NOT_CONNECTED;
    return *mt == filter_->input_.CurrentMediaType() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CFanOutOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0 || !filter_->input_.IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(filter_->input_.CurrentMediaType());
}

// Samples pass through from upstream's allocator, so this pin's own pool is only
// what the connection requires: one buffer of the size downstream asks for.
HRESULT CFanOutOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    ALLOCATOR_PROPERTIES request = *props, actual{};
    request.cBuffers = std::max<LONG>(request.cBuffers, 1);
    request.cbBuffer = std::max<LONG>(request.cbBuffer, 1);
    request.cbAlign = std::max<LONG>(request.cbAlign, 1);
    return allocator->SetProperties(&request, &actual);
}

HRESULT CFanOutOutputPin::CompleteConnect(IPin* receivePin)
{
    const HRESULT hr = CBaseOutputPin::CompleteConnect(receivePin);
    if (SUCCEEDED(hr)) filter_->OutputConnected();
    return hr;
}

HRESULT CFanOutOutputPin::BreakConnect()
{
    const bool wasConnected = IsConnected();
    const HRESULT hr = CBaseOutputPin::BreakConnect();
    if (wasConnected) filter_->OutputDisconnecting(this);
    return hr;
}
