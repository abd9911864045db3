#include "platform/filters/tee/InfTee.h"

#include <algorithm>
#include <new>
#include <string>

#include "platform/com/NoThrow.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::filters {

InfTee::InfTee(IUnknown* outer, HRESULT* hr)
    : CBaseFilter("Infinite Pin Tee", outer, CLSID_InfTee), input_(this, FilterLock(), nullptr)
{
    const HRESULT added = AddOutput();
    if (hr) *hr = added;
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
    if (n < 0 || n > static_cast<int>(outputs_.size())) return nullptr;
    return outputs_[n - 1].get();
}

namespace {
std::u16string OutputName(int number)
{
    std::string digits = std::to_string(number);
    return u"Output" + std::u16string(digits.begin(), digits.end());
}
}  // namespace

// A free output named "OutputN" with the lowest N no output uses.
HRESULT InfTee::AddOutput()
{
    std::lock_guard filterLock(*FilterLock());
    std::lock_guard lock(outputsLock_);
    auto taken = [this](const std::u16string& name) {
        return std::any_of(outputs_.begin(), outputs_.end(), [&](const auto& pin) { return pin->Name() == name; });
    };
    int number = 1;
    while (taken(OutputName(number))) ++number;
    HRESULT hr = S_OK;
    std::unique_ptr<TeeOutputPin> pin;
    const HRESULT made = quvo::NoThrow([&] {
        pin = std::make_unique<TeeOutputPin>(this, FilterLock(), &hr, OutputName(number).c_str());
        outputs_.reserve(outputs_.size() + 1);
        return S_OK;
    });
    if (FAILED(made)) return made;
    if (FAILED(hr)) return hr;
    outputs_.push_back(std::move(pin));
    IncrementPinVersion();
    return S_OK;
}

void InfTee::OnOutputConnected()
{
    bool anyFree;
    {
        std::lock_guard lock(outputsLock_);
        anyFree = std::any_of(outputs_.begin(), outputs_.end(), [](const auto& pin) { return !pin->IsConnected(); });
    }
    if (!anyFree) quvo::NoThrow([this] { return AddOutput(); });
}

void InfTee::OnOutputDisconnected(TeeOutputPin* pin)
{
    std::lock_guard lock(outputsLock_);
    // `pin` still counts as connected here: it is on its way out of the connection.
    bool otherFree = std::any_of(outputs_.begin(), outputs_.end(),
                                 [pin](const auto& p) { return p.get() != pin && !p->IsConnected(); });
    if (!otherFree) return;
    auto it = std::find_if(outputs_.begin(), outputs_.end(), [pin](const auto& p) { return p.get() == pin; });
    if (it == outputs_.end()) return;
    retired_.push_back(std::move(*it));
    outputs_.erase(it);
    IncrementPinVersion();
}

bool InfTee::OutputsAccept(const CMediaType* mt)
{
    for (const ComPtr<IPin>& out : ConnectedOutputs()) {
        ComPtr<IPin> peer;
        if (SUCCEEDED(out->ConnectedTo(&peer)) && peer && peer->QueryAccept(mt) != S_OK) return false;
    }
    return true;
}

std::vector<ComPtr<IPin>> InfTee::ConnectedOutputs()
{
    std::vector<ComPtr<IPin>> connected;
    std::lock_guard lock(outputsLock_);
    for (const auto& pin : outputs_) {
        if (pin->IsConnected()) connected.emplace_back(static_cast<IPin*>(pin.get()));
    }
    return connected;
}

// Each output gets the call in turn with no tee lock held (a sample also holds
// the streaming lock), so a slow or blocked output never holds up the application
// thread, and one output's failure does not keep the data from the others.
template <class Call>
HRESULT InfTee::ToEachOutput(Call call)
{
    HRESULT result = S_OK;
    bool first = true;
    for (const ComPtr<IPin>& pin : ConnectedOutputs()) {
        HRESULT hr = call(static_cast<TeeOutputPin*>(pin.Get()));
        if (first || FAILED(result)) result = hr;
        first = false;
    }
    return result;
}

HRESULT InfTee::DeliverSample(IMediaSample* sample)
{
    return ToEachOutput([&](TeeOutputPin* out) { return out->Deliver(sample); });
}

HRESULT InfTee::DeliverEndOfStream()
{
    return ToEachOutput([](TeeOutputPin* out) { return out->DeliverEndOfStream(); });
}

HRESULT InfTee::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return ToEachOutput([&](TeeOutputPin* out) { return out->DeliverNewSegment(start, stop, rate); });
}

HRESULT InfTee::DeliverBeginFlush()
{
    ToEachOutput([](TeeOutputPin* out) { return out->DeliverBeginFlush(); });
    return S_OK;
}

HRESULT InfTee::DeliverEndFlush()
{
    ToEachOutput([](TeeOutputPin* out) { return out->DeliverEndFlush(); });
    return S_OK;
}

}  // namespace quvo::filters
