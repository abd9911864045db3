#include "platform/filters/tee/InfTee.h"

#include <algorithm>
#include <new>
#include <string>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::filters {

namespace {
const BuiltinClassRegistrar kRegistrar(CLSID_InfTee, "Infinite Pin Tee Filter", &InfTee::Create);

// Combines the answers of several outputs: success when any output took the data.
HRESULT Combine(HRESULT sofar, HRESULT next, bool first)
{
    if (first) return next;
    if (SUCCEEDED(sofar)) return sofar;
    return next;
}
}  // namespace

HRESULT InfTee::Create(IUnknown* outer, REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (outer && riid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    auto* tee = new (std::nothrow) InfTee(outer);
    if (!tee) return E_OUTOFMEMORY;
    tee->NonDelegatingAddRef();
    HRESULT hr = tee->AddOutput();
    if (SUCCEEDED(hr)) hr = tee->NonDelegatingQueryInterface(riid, ppv);
    tee->NonDelegatingRelease();
    return hr;
}

InfTee::InfTee(IUnknown* outer)
    : CBaseFilter("Infinite Pin Tee", outer, &filterLock_, CLSID_InfTee),
      input_(this, &filterLock_, nullptr)
{
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
    std::lock_guard filterLock(filterLock_);
    std::lock_guard lock(outputsLock_);
    auto taken = [this](const std::u16string& name) {
        return std::any_of(outputs_.begin(), outputs_.end(), [&](const auto& pin) { return pin->Name() == name; });
    };
    int number = 1;
    while (taken(OutputName(number))) ++number;
    HRESULT hr = S_OK;
    auto pin = std::make_unique<TeeOutputPin>(this, &filterLock_, &hr, OutputName(number).c_str());
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
    if (!anyFree) AddOutput();
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

// Each output gets the sample in turn with no tee lock but the streaming lock
// held, so a slow or blocked output never holds up the application thread.
HRESULT InfTee::DeliverSample(IMediaSample* sample)
{
    HRESULT result = S_OK;
    bool first = true;
    for (const ComPtr<IPin>& pin : ConnectedOutputs()) {
        result = Combine(result, static_cast<TeeOutputPin*>(pin.Get())->Deliver(sample), first);
        first = false;
    }
    return result;
}

HRESULT InfTee::DeliverEndOfStream()
{
    HRESULT result = S_OK;
    bool first = true;
    for (const ComPtr<IPin>& pin : ConnectedOutputs()) {
        result = Combine(result, static_cast<TeeOutputPin*>(pin.Get())->DeliverEndOfStream(), first);
        first = false;
    }
    return result;
}

HRESULT InfTee::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    HRESULT result = S_OK;
    bool first = true;
    for (const ComPtr<IPin>& pin : ConnectedOutputs()) {
        result = Combine(result, static_cast<TeeOutputPin*>(pin.Get())->DeliverNewSegment(start, stop, rate), first);
        first = false;
    }
    return result;
}

HRESULT InfTee::DeliverBeginFlush()
{
    for (const ComPtr<IPin>& pin : ConnectedOutputs()) static_cast<TeeOutputPin*>(pin.Get())->DeliverBeginFlush();
    return S_OK;
}

HRESULT InfTee::DeliverEndFlush()
{
    for (const ComPtr<IPin>& pin : ConnectedOutputs()) static_cast<TeeOutputPin*>(pin.Get())->DeliverEndFlush();
    return S_OK;
}

}  // namespace quvo::filters
