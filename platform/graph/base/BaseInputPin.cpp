#include "platform/graph/base/BaseInputPin.h"

#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/MemAllocator.h"

CBaseInputPin::CBaseInputPin(const char* objectName, CBaseFilter* filter,
                             std::recursive_mutex* filterLock, HRESULT* phr, LPCWSTR pinName)
    : CBasePin(objectName, filter, filterLock, phr, pinName, PINDIR_INPUT)
{
}

CBaseInputPin::~CBaseInputPin() = default;

HRESULT CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), ppv);
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseInputPin::GetAllocator(IMemAllocator** allocator)
{
    if (!allocator) return E_POINTER;
    std::lock_guard lock(*filterLock_);
    if (!allocator_) {
        HRESULT hr = CMemAllocator::Create(allocator_.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return hr;
    }
    return allocator_.CopyTo(allocator);
}

HRESULT CBaseInputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly)
{
    if (!allocator) return E_POINTER;
    std::lock_guard lock(*filterLock_);
    allocator_ = ComPtr<IMemAllocator>(allocator);
    readOnly_ = readOnly != FALSE;
    return S_OK;
}

HRESULT CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES*) { return E_NOTIMPL; }

HRESULT CBaseInputPin::CheckStreaming()
{
    if (!IsConnected()) return VFW_E_NOT_CONNECTED;
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (flushing_.load()) return S_FALSE;
    if (runtimeError_.load()) return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT CBaseInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    return CheckStreaming();
}

HRESULT CBaseInputPin::ReceiveMultiple(IMediaSample** samples, LONG count, LONG* processed)
{
    if (!samples || !processed) return E_POINTER;
    *processed = 0;
    HRESULT hr = S_OK;
    while (*processed < count) {
        hr = Receive(samples[*processed]);
        if (hr != S_OK) break;
        ++*processed;
    }
    return hr;
}

HRESULT CBaseInputPin::ReceiveCanBlock() { return S_OK; }

HRESULT CBaseInputPin::BeginFlush()
{
    flushing_.store(true);
    return S_OK;
}

HRESULT CBaseInputPin::EndFlush()
{
    flushing_.store(false);
    runtimeError_.store(false);
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect()
{
    allocator_.Reset();
    return S_OK;
}

HRESULT CBaseInputPin::Inactive()
{
    runtimeError_.store(false);
    flushing_.store(false);
    // Filters stop downstream first: decommitting the shared allocator here releases
    // an upstream thread waiting for a buffer before its own filter is stopped.
    if (allocator_) allocator_->Decommit();
    return S_OK;
}
