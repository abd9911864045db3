#include "platform/graph/base/TransformFilter.h"

#include <memory>

#include "platform/com/NoThrow.h"

using quvo::NoThrow;

// ---- input pin ----

CTransformInputPin::CTransformInputPin(const char* objectName, CTransformFilter* filter, HRESULT* phr,
                                       LPCWSTR name)
    : CBaseInputPin(objectName, filter, filter->FilterLock(), phr, name), transform_(filter)
{
}

HRESULT CTransformInputPin::CheckConnect(IPin* pin)
{
    HRESULT hr = transform_->CheckConnect(PINDIR_INPUT, pin);
    return FAILED(hr) ? hr : CBaseInputPin::CheckConnect(pin);
}

HRESULT CTransformInputPin::CompleteConnect(IPin* receivePin)
{
    HRESULT hr = transform_->CompleteConnect(PINDIR_INPUT, receivePin);
    return FAILED(hr) ? hr : CBaseInputPin::CompleteConnect(receivePin);
}

HRESULT CTransformInputPin::BreakConnect()
{
    transform_->BreakConnect(PINDIR_INPUT);
    return CBaseInputPin::BreakConnect();
}

HRESULT CTransformInputPin::CheckMediaType(const CMediaType* mt)
{
    HRESULT hr = transform_->CheckInputType(mt);
    if (hr != S_OK) return hr;
    // With the output already connected the new input must still lead to its type.
    CTransformOutputPin* out = transform_->OutputPin();
    if (out && out->IsConnected()) return transform_->CheckTransform(mt, &out->CurrentMediaType());
    return S_OK;
}

HRESULT CTransformInputPin::SetMediaType(const CMediaType* mt)
{
    HRESULT hr = CBasePin::SetMediaType(mt);
    return FAILED(hr) ? hr : transform_->SetMediaType(PINDIR_INPUT, mt);
}

// No exception leaves the streaming path: the transform's own failures become codes.
HRESULT CTransformInputPin::Receive(IMediaSample* sample)
{
    return NoThrow([&] { return transform_->Receive(sample); });
}
HRESULT CTransformInputPin::EndOfStream()
{
    return NoThrow([&] { return transform_->EndOfStream(); });
}
HRESULT CTransformInputPin::BeginFlush() { return transform_->BeginFlush(); }
HRESULT CTransformInputPin::EndFlush()
{
    return NoThrow([&] { return transform_->EndFlush(); });
}

HRESULT CTransformInputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    CBasePin::NewSegment(start, stop, rate);
    return NoThrow([&] { return transform_->NewSegment(start, stop, rate); });
}

// ---- output pin ----

CTransformOutputPin::CTransformOutputPin(const char* objectName, CTransformFilter* filter,
                                         HRESULT* phr, LPCWSTR name)
    : CBaseOutputPin(objectName, filter, filter->FilterLock(), phr, name), transform_(filter)
{
}

HRESULT CTransformOutputPin::CheckConnect(IPin* pin)
{
    // Output types follow from the input type.
    if (!transform_->InputPin()->IsConnected()) return E_UNEXPECTED;
    HRESULT hr = transform_->CheckConnect(PINDIR_OUTPUT, pin);
    return FAILED(hr) ? hr : CBaseOutputPin::CheckConnect(pin);
}

HRESULT CTransformOutputPin::CompleteConnect(IPin* receivePin)
{
    HRESULT hr = transform_->CompleteConnect(PINDIR_OUTPUT, receivePin);
    return FAILED(hr) ? hr : CBaseOutputPin::CompleteConnect(receivePin);
}

HRESULT CTransformOutputPin::BreakConnect()
{
    transform_->BreakConnect(PINDIR_OUTPUT);
    return CBaseOutputPin::BreakConnect();
}

HRESULT CTransformOutputPin::CheckMediaType(const CMediaType* mt)
{
    CTransformInputPin* in = transform_->InputPin();
    if (!in->IsConnected()) return E_INVALIDARG;
    return transform_->CheckTransform(&in->CurrentMediaType(), mt);
}

HRESULT CTransformOutputPin::SetMediaType(const CMediaType* mt)
{
    HRESULT hr = CBasePin::SetMediaType(mt);
    return FAILED(hr) ? hr : transform_->SetMediaType(PINDIR_OUTPUT, mt);
}

HRESULT CTransformOutputPin::GetMediaType(int position, CMediaType* mt)
{
    if (!transform_->InputPin()->IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return transform_->GetMediaType(position, mt);
}

HRESULT CTransformOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    return transform_->DecideBufferSize(allocator, props);
}

// ---- filter ----

CTransformFilter::CTransformFilter(const char* name, IUnknown* outer, REFCLSID clsid)
    : CBaseFilter(name, outer, clsid)
{
    // A failed allocation throws out of the constructor; the class's creation
    // function answers E_OUTOFMEMORY for it.
    input_ = std::make_unique<CTransformInputPin>("Transform input pin", this, nullptr, u"XForm In");
    output_ = std::make_unique<CTransformOutputPin>("Transform output pin", this, nullptr, u"XForm Out");
}

CTransformFilter::~CTransformFilter() = default;

CBasePin* CTransformFilter::GetPin(int n)
{
    if (n == 0) return input_.get();
    if (n == 1) return output_.get();
    return nullptr;
}

HRESULT CTransformFilter::InitStream()
{
    if (input_->IsConnected()) return StartStreaming();
    // Nothing can come in: tell downstream at once there is nothing to wait for.
    if (output_->IsConnected() && !eosDelivered_) {
        output_->DeliverEndOfStream();
        eosDelivered_ = true;
    }
    return S_OK;
}

HRESULT CTransformFilter::CleanupStream()
{
    eosDelivered_ = false;
    StopStreaming();  // not reported, as the filter stops all the same
    return S_OK;
}

HRESULT CTransformFilter::InitializeOutputSample(IMediaSample* in, IMediaSample** out)
{
    REFERENCE_TIME start = 0, stop = 0;
    HRESULT timed = in->GetTime(&start, &stop);
    HRESULT hr = output_->GetDeliveryBuffer(out, SUCCEEDED(timed) ? &start : nullptr,
                                            SUCCEEDED(timed) ? &stop : nullptr, 0);
    if (FAILED(hr)) return hr;
    IMediaSample* s = *out;
    if (SUCCEEDED(timed)) s->SetTime(&start, &stop);
    LONGLONG mediaStart = 0, mediaStop = 0;
    if (SUCCEEDED(in->GetMediaTime(&mediaStart, &mediaStop))) s->SetMediaTime(&mediaStart, &mediaStop);
    s->SetSyncPoint(in->IsSyncPoint() == S_OK);
    s->SetPreroll(in->IsPreroll() == S_OK);
    s->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    return S_OK;
}

HRESULT CTransformFilter::Receive(IMediaSample* sample)
{
    std::lock_guard streaming(StreamingLock());
    HRESULT hr = input_->CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    if (!output_->IsConnected()) return S_OK;

    ComPtr<IMediaSample> out;
    hr = InitializeOutputSample(sample, &out);
    if (FAILED(hr)) return hr;
    hr = NoThrow([&] { return Transform(sample, out.Get()); });
    if (hr == S_FALSE) return S_OK;  // skipped by the transform
    if (FAILED(hr)) {
        input_->SetRuntimeError();
        NotifyEvent(EC_ERRORABORT, hr, 0);
        return hr;
    }
    return output_->Deliver(out.Get());
}

HRESULT CTransformFilter::EndOfStream()
{
    std::lock_guard streaming(StreamingLock());
    HRESULT hr = input_->CheckStreaming();
    if (hr != S_OK) return hr;
    eosDelivered_ = true;
    return output_->IsConnected() ? output_->DeliverEndOfStream() : S_OK;
}

HRESULT CTransformFilter::BeginFlush()
{
    std::lock_guard lock(*FilterLock());
    input_->CBaseInputPin::BeginFlush();
    return output_->IsConnected() ? output_->DeliverBeginFlush() : S_OK;
}

HRESULT CTransformFilter::EndFlush()
{
    std::lock_guard lock(*FilterLock());
    HRESULT hr = output_->IsConnected() ? output_->DeliverEndFlush() : S_OK;
    input_->CBaseInputPin::EndFlush();
    return hr;
}

HRESULT CTransformFilter::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    return output_->IsConnected() ? output_->DeliverNewSegment(start, stop, rate) : S_OK;
}
