#include "platform/filters/tee/InfTee.h"

#include <algorithm>
#include <string>

#include "platform/com/NoThrow.h"
#include "platform/graph/Guids.h"

namespace quvo::filters {

using quvo::NoThrow;

InfTee::InfTee(IUnknown* outer, HRESULT* hr) : CBaseFilter("Infinite Pin Tee", outer, CLSID_InfTee), input_(this)
{
    *hr = AddOutput();
}

InfTee::~InfTee() = default;

int InfTee::GetPinCount()
{
    std::lock_guard lock(outputsLock_);
    return 1 + static_cast<int>(outputs_.size());
}

CBasePin* InfTee::GetPin(int n)
{
    if (n == 0) return &input_;
    std::lock_guard lock(outputsLock_);
    return n > 0 && n <= static_cast<int>(outputs_.size()) ? outputs_[n - 1].get() : nullptr;
}

HRESULT InfTee::AddOutput()
{
    std::lock_guard filterLock(*FilterLock());
    std::lock_guard lock(outputsLock_);
    return NoThrow([this] {
        auto name = [](int n) {
            const std::string digits = std::to_string(n);
            return u"Output" + std::u16string(digits.begin(), digits.end());
        };
        int number = 1;
        while (std::any_of(outputs_.begin(), outputs_.end(), [&](const auto& p) { return p->Name() == name(number); }))
            ++number;
        HRESULT hr = S_OK;
        auto pin = std::make_unique<TeeOutputPin>(this, &hr, name(number).c_str());
        if (FAILED(hr)) return hr;
        outputs_.push_back(std::move(pin));
        IncrementPinVersion();
        return S_OK;
    });
}

bool InfTee::FreeOutputBesides(const TeeOutputPin* pin)
{
    std::lock_guard lock(outputsLock_);
    return std::any_of(outputs_.begin(), outputs_.end(),
                       [pin](const auto& p) { return p.get() != pin && !p->IsConnected(); });
}

void InfTee::RemoveOutput(TeeOutputPin* pin)
{
    std::lock_guard lock(outputsLock_);
    auto it = std::find_if(outputs_.begin(), outputs_.end(), [pin](const auto& p) { return p.get() == pin; });
    if (it == outputs_.end() || FAILED(NoThrow([&] { retired_.push_back(std::move(*it)); return S_OK; }))) return;
    outputs_.erase(it);
    IncrementPinVersion();
}

template <class Call>
HRESULT InfTee::ToEachOutput(Call call)
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
        const HRESULT hr = call(static_cast<TeeOutputPin*>(connected[i].Get()));
        if (i == 0 || FAILED(result)) result = hr;
    }
    return result;
}

// ---- input ----

TeeInputPin::TeeInputPin(InfTee* tee)
    : CBaseInputPin("Tee input", tee, tee->FilterLock(), nullptr, u"Input"), tee_(tee)
{
}

HRESULT TeeInputPin::CheckMediaType(const CMediaType* mt)
{
    if (!mt->IsValid()) return VFW_E_TYPE_NOT_ACCEPTED;
    bool accepted = true;
    const HRESULT hr = tee_->ToEachOutput([&](TeeOutputPin* out) {
        accepted = accepted && out->GetConnected()->QueryAccept(mt) == S_OK;
        return S_OK;
    });
    return SUCCEEDED(hr) && accepted ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TeeInputPin::Receive(IMediaSample* sample)
{
    std::lock_guard streaming(tee_->StreamingLock());
    const HRESULT hr = CBaseInputPin::Receive(sample);
    return hr != S_OK ? hr : tee_->ToEachOutput([&](TeeOutputPin* out) { return out->Deliver(sample); });
}

HRESULT TeeInputPin::EndOfStream()
{
    std::lock_guard streaming(tee_->StreamingLock());
    const HRESULT hr = CheckStreaming();
    return hr != S_OK ? hr : tee_->ToEachOutput([](TeeOutputPin* out) { return out->DeliverEndOfStream(); });
}

HRESULT TeeInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    std::lock_guard streaming(tee_->StreamingLock());
    CBaseInputPin::NewSegment(start, stop, rate);
    return tee_->ToEachOutput([&](TeeOutputPin* out) { return out->DeliverNewSegment(start, stop, rate); });
}

// Flushing passes down without the streaming lock: it is there to release a
// streaming thread that may be blocked downstream while holding that lock.
HRESULT TeeInputPin::BeginFlush()
{
    const HRESULT hr = CBaseInputPin::BeginFlush();
    if (SUCCEEDED(hr)) tee_->ToEachOutput([](TeeOutputPin* out) { return out->DeliverBeginFlush(); });
    return hr;
}

HRESULT TeeInputPin::EndFlush()
{
    tee_->ToEachOutput([](TeeOutputPin* out) { return out->DeliverEndFlush(); });
    CBaseInputPin::EndFlush();
    return S_OK;
}

// ---- outputs ----

TeeOutputPin::TeeOutputPin(InfTee* tee, HRESULT* phr, LPCWSTR name)
    : CBaseOutputPin("Tee output", tee, tee->FilterLock(), phr, name), tee_(tee)
{
}

HRESULT TeeOutputPin::CheckMediaType(const CMediaType* mt)
{
    if (!tee_->input_.IsConnected()) return VFW_E_NOT_CONNECTED;
    return *mt == tee_->input_.CurrentMediaType() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT TeeOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (position < 0) return E_INVALIDARG;
    if (position > 0 || !tee_->input_.IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return mt->Set(tee_->input_.CurrentMediaType());
}

// Samples pass through from upstream's allocator, so this pin's own pool is only
// what the connection requires: one buffer of the size downstream asks for.
HRESULT TeeOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    ALLOCATOR_PROPERTIES request = *props, actual{};
    request.cBuffers = std::max<LONG>(request.cBuffers, 1);
    request.cbBuffer = std::max<LONG>(request.cbBuffer, 1);
    request.cbAlign = std::max<LONG>(request.cbAlign, 1);
    return allocator->SetProperties(&request, &actual);
}

HRESULT TeeOutputPin::CompleteConnect(IPin* receivePin)
{
    const HRESULT hr = CBaseOutputPin::CompleteConnect(receivePin);
    // Without a new free output the tee still works; it offers one less.
    if (SUCCEEDED(hr) && !tee_->FreeOutputBesides(nullptr)) tee_->AddOutput();
    return hr;
}

HRESULT TeeOutputPin::BreakConnect()
{
    const bool wasConnected = IsConnected();
    const HRESULT hr = CBaseOutputPin::BreakConnect();
    // This pin still counts as connected here: it is on its way out of the connection.
    if (wasConnected && tee_->FreeOutputBesides(this)) tee_->RemoveOutput(this);
    return hr;
}

}  // namespace quvo::filters
