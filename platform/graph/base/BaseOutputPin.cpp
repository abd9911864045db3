#include "platform/graph/base/BaseOutputPin.h"

#include "platform/graph/base/MemAllocator.h"

CBaseOutputPin::CBaseOutputPin(const char* objectName, CBaseFilter* filter,
                               std::recursive_mutex* filterLock, HRESULT* phr, LPCWSTR pinName)
    : CBasePin(objectName, filter, filterLock, phr, pinName, PINDIR_OUTPUT)
{
}

CBaseOutputPin::~CBaseOutputPin() = default;

HRESULT CBaseOutputPin::CheckConnect(IPin* pin)
{
    HRESULT hr = CBasePin::CheckConnect(pin);
    if (FAILED(hr)) return hr;
    hr = pin->QueryInterface(IID_IMemInputPin, inputPin_.ReleaseAndGetVoidAddressOf());
    return FAILED(hr) ? VFW_E_NO_ALLOCATOR : S_OK;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin*)
{
    return DecideAllocator(inputPin_.Get(), allocator_.ReleaseAndGetAddressOf());
}

HRESULT CBaseOutputPin::BreakConnect()
{
    if (allocator_) {
        allocator_->Decommit();
        allocator_.Reset();
    }
    inputPin_.Reset();
    return S_OK;
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* pin, IMemAllocator** allocator)
{
    if (!pin || !allocator) return E_POINTER;
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES props{};
    pin->GetAllocatorRequirements(&props);  // zeros stay when it has none
    if (props.cbAlign == 0) props.cbAlign = 1;

    ComPtr<IMemAllocator> chosen;
    HRESULT hr = pin->GetAllocator(&chosen);
    if (SUCCEEDED(hr)) {
        hr = DecideBufferSize(chosen.Get(), &props);
        if (SUCCEEDED(hr)) hr = pin->NotifyAllocator(chosen.Get(), FALSE);
        if (SUCCEEDED(hr)) {
            *allocator = chosen.Detach();
            return S_OK;
        }
    }
    // The input pin's allocator is missing or refused our sizes: offer our own.
    hr = InitAllocator(&chosen);
    if (SUCCEEDED(hr)) {
        hr = DecideBufferSize(chosen.Get(), &props);
        if (SUCCEEDED(hr)) hr = pin->NotifyAllocator(chosen.Get(), FALSE);
        if (SUCCEEDED(hr)) {
            *allocator = chosen.Detach();
            return S_OK;
        }
    }
    return hr;
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** allocator)
{
    return CMemAllocator::Create(allocator);
}

HRESULT CBaseOutputPin::Active()
{
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Commit();
}

HRESULT CBaseOutputPin::Inactive()
{
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->Decommit();
}

HRESULT CBaseOutputPin::BeginFlush() { return E_UNEXPECTED; }
HRESULT CBaseOutputPin::EndFlush() { return E_UNEXPECTED; }

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                          REFERENCE_TIME* end, DWORD flags)
{
    if (!allocator_) return VFW_E_NO_ALLOCATOR;
    return allocator_->GetBuffer(sample, start, end, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample)
{
    if (!inputPin_) return VFW_E_NOT_CONNECTED;
    return inputPin_->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream()
{
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->EndOfStream();
}

HRESULT CBaseOutputPin::DeliverBeginFlush()
{
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->BeginFlush();
}

HRESULT CBaseOutputPin::DeliverEndFlush()
{
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->EndFlush();
}

HRESULT CBaseOutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    if (!connected_) return VFW_E_NOT_CONNECTED;
    return connected_->NewSegment(start, stop, rate);
}
