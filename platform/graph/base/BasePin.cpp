#include "platform/graph/base/BasePin.h"

#include <new>

#include "platform/com/NoThrow.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/EnumMediaTypes.h"
#include "platform/graph/base/WideText.h"

using quvo::NoThrow;

namespace {
// Codes that only say "no" become the framework's "type not accepted".
HRESULT TypeRefusal(HRESULT hr)
{
    if (SUCCEEDED(hr) || hr == E_FAIL || hr == E_INVALIDARG) return VFW_E_TYPE_NOT_ACCEPTED;
    return hr;
}
}  // namespace

CBasePin::CBasePin(const char* objectName, CBaseFilter* filter, std::recursive_mutex* filterLock,
                   HRESULT* phr, LPCWSTR pinName, PIN_DIRECTION dir)
    : CUnknown(objectName, nullptr),
      filter_(filter),
      filterLock_(filterLock),
      name_(pinName ? pinName : u""),
      dir_(dir)
{
    // Nothing here fails but allocation, which throws: a pin is made in its filter's
    // constructor or under NoThrow. Derived pins report their own failures in phr.
    (void)phr;
}

CBasePin::~CBasePin() = default;

HRESULT CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IPin) return GetInterface(static_cast<IPin*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

ULONG CBasePin::NonDelegatingAddRef() { return filter_->AddRef(); }
ULONG CBasePin::NonDelegatingRelease() { return filter_->Release(); }

bool CBasePin::IsStopped() const { return filter_->IsStopped(); }

HRESULT CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt)
{
    if (!receivePin) return E_POINTER;
    std::lock_guard lock(*filterLock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;

    HRESULT hr = NoThrow([&] { return CheckConnect(receivePin); });
    if (SUCCEEDED(hr)) {
        CMediaType partial;
        if (mt) hr = partial.Set(*mt);
        if (SUCCEEDED(hr)) hr = AgreeMediaType(receivePin, mt ? &partial : nullptr);
    }
    if (FAILED(hr)) NoThrow([this] { return BreakConnect(); });
    return hr;
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const CMediaType* partial)
{
    if (partial && !partial->IsPartiallySpecified()) return AttemptConnection(receivePin, partial);

    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int pass = 0; pass < 2; ++pass) {
        const bool mine = (pass == 0) == tryMyTypesFirst_;
        ComPtr<IEnumMediaTypes> types;
        HRESULT hr = mine ? EnumMediaTypes(&types) : receivePin->EnumMediaTypes(&types);
        if (FAILED(hr) || !types) continue;
        hr = TryMediaTypes(receivePin, partial, types.Get());
        if (SUCCEEDED(hr)) return hr;
        // Keep a specific reason over the generic one.
        if (hr != VFW_E_NO_ACCEPTABLE_TYPES) failure = hr;
    }
    return failure;
}

HRESULT CBasePin::TryMediaTypes(IPin* receivePin, const CMediaType* partial, IEnumMediaTypes* types)
{
    if (FAILED(types->Reset())) return VFW_E_NO_ACCEPTABLE_TYPES;
    HRESULT failure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;) {
        AM_MEDIA_TYPE* raw = nullptr;
        ULONG fetched = 0;
        if (types->Next(1, &raw, &fetched) != S_OK || fetched != 1 || !raw) break;
        CMediaType candidate;
        HRESULT hr = candidate.Set(*raw);
        DeleteMediaType(raw);
        if (FAILED(hr)) return hr;
        if (partial && !candidate.MatchesPartial(partial)) continue;
        hr = AttemptConnection(receivePin, &candidate);
        if (SUCCEEDED(hr)) return hr;
        if (hr != VFW_E_TYPE_NOT_ACCEPTED) failure = hr;
    }
    return failure;
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const CMediaType* mt)
{
    HRESULT hr = NoThrow([&] { return CheckMediaType(mt); });
    if (hr != S_OK) return TypeRefusal(hr);

    connected_ = ComPtr<IPin>(receivePin);
    hr = NoThrow([&] { return SetMediaType(mt); });
    if (SUCCEEDED(hr)) {
        hr = receivePin->ReceiveConnection(this, mt);
        if (SUCCEEDED(hr)) {
            hr = NoThrow([&] { return CompleteConnect(receivePin); });
            if (SUCCEEDED(hr)) return S_OK;
            // The receiver accepted: undo its side too.
            receivePin->Disconnect();
        }
    }
    connected_.Reset();
    mt_.InitMediaType();
    return TypeRefusal(hr);
}

HRESULT CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt)
{
    if (!connector || !mt) return E_POINTER;
    std::lock_guard lock(*filterLock_);
    if (connected_) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;

    HRESULT hr = NoThrow([&] { return CheckConnect(connector); });
    if (FAILED(hr)) {
        NoThrow([this] { return BreakConnect(); });
        return hr;
    }
    CMediaType type;
    hr = type.Set(*mt);
    if (SUCCEEDED(hr)) {
        hr = NoThrow([&] { return CheckMediaType(&type); });
        if (hr != S_OK) hr = TypeRefusal(hr);
    }
    if (SUCCEEDED(hr)) {
        connected_ = ComPtr<IPin>(connector);
        hr = NoThrow([&] { return SetMediaType(&type); });
        if (SUCCEEDED(hr)) hr = NoThrow([&] { return CompleteConnect(connector); });
        if (SUCCEEDED(hr)) return S_OK;
        connected_.Reset();
        mt_.InitMediaType();
    }
    NoThrow([this] { return BreakConnect(); });
    return hr;
}

HRESULT CBasePin::Disconnect()
{
    std::lock_guard lock(*filterLock_);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    return DisconnectInternal();
}

HRESULT CBasePin::DisconnectInternal()
{
    if (!connected_) return S_FALSE;
    HRESULT hr = NoThrow([this] { return BreakConnect(); });
    if (FAILED(hr)) return hr;
    connected_.Reset();
    mt_.InitMediaType();
    return S_OK;
}

HRESULT CBasePin::ConnectedTo(IPin** pin)
{
    if (!pin) return E_POINTER;
    // Read without the filter lock: the connection only changes while stopped.
    if (!connected_) {
        *pin = nullptr;
        return VFW_E_NOT_CONNECTED;
    }
    return connected_.CopyTo(pin);
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mt)
{
    if (!mt) return E_POINTER;
    std::lock_guard lock(*filterLock_);
    if (!connected_) {
        *mt = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(mt, &mt_);
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* info)
{
    if (!info) return E_POINTER;
    info->pFilter = filter_;
    filter_->AddRef();
    info->dir = dir_;
    quvo::base::CopyName(info->achName, name_);
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* dir)
{
    if (!dir) return E_POINTER;
    *dir = dir_;
    return S_OK;
}

HRESULT CBasePin::QueryId(LPWSTR* id)
{
    if (!id) return E_POINTER;
    *id = quvo::base::TaskMemString(name_);
    return *id ? S_OK : E_OUTOFMEMORY;
}

HRESULT CBasePin::QueryAccept(const AM_MEDIA_TYPE* mt)
{
    if (!mt) return E_POINTER;
    CMediaType type;
    if (FAILED(type.Set(*mt))) return E_OUTOFMEMORY;
    return NoThrow([&] { return CheckMediaType(&type); }) == S_OK ? S_OK : S_FALSE;
}

HRESULT CBasePin::EnumMediaTypes(IEnumMediaTypes** types)
{
    if (!types) return E_POINTER;
    *types = nullptr;
    auto* e = new (std::nothrow) CEnumMediaTypes(this, nullptr);
    if (!e) return E_OUTOFMEMORY;
    e->AddRef();
    *types = e;
    return S_OK;
}

HRESULT CBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT CBasePin::EndOfStream() { return S_OK; }

HRESULT CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate)
{
    segmentStart_ = start;
    segmentStop_ = stop;
    segmentRate_ = rate;
    return S_OK;
}

HRESULT CBasePin::SetMediaType(const CMediaType* mt) { return mt_.Set(*mt); }

HRESULT CBasePin::GetMediaType(int, CMediaType*) { return VFW_S_NO_MORE_ITEMS; }

HRESULT CBasePin::CheckConnect(IPin* pin)
{
    PIN_DIRECTION other;
    HRESULT hr = pin->QueryDirection(&other);
    if (FAILED(hr)) return hr;
    return other == dir_ ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }
HRESULT CBasePin::BreakConnect() { return S_OK; }
HRESULT CBasePin::Active() { return S_OK; }
HRESULT CBasePin::Inactive() { return S_OK; }
HRESULT CBasePin::Run(REFERENCE_TIME) { return S_OK; }
