#include "outside/board/filter/CaptureFilter.h"

#include "outside/board/driver/BoardDriver.h"

namespace quvo::board {

CaptureFilter::CaptureFilter(IUnknown* outer, HRESULT* hr) : CSource("Kestor capture filter", outer, CLSID_KestorCaptureFilter, hr)
{
    // A new filter starts from the settings as they are now.
    RefreshConfig();
    output_ = new CaptureStream(hr, this);
    input_ = std::make_unique<PlaybackPin>(this, FilterLock(), hr);
}

CaptureFilter::~CaptureFilter() = default;

HRESULT CaptureFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv) return E_POINTER;
    const BoardConfig config = CurrentConfig();
    if (riid == IID_IKsPropertySet && !config.noPropertySet)
        return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    if (riid == IID_IAMAnalogVideoDecoder && !config.noDecoder)
        return GetInterface(static_cast<IAMAnalogVideoDecoder*>(this), ppv);
    if (riid == IID_IAMVideoProcAmp && !config.noProcAmp)
        return GetInterface(static_cast<IAMVideoProcAmp*>(this), ppv);
    if (riid == IID_IAMCrossbar && !config.noCrossbar) return GetInterface(static_cast<IAMCrossbar*>(this), ppv);
    if (riid == IID_IKestorBoardStatus) return GetInterface(static_cast<IKestorBoardStatus*>(this), ppv);
    if (riid == IID_IKsPropertySet || riid == IID_IAMAnalogVideoDecoder || riid == IID_IAMVideoProcAmp ||
        riid == IID_IAMCrossbar) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    return CSource::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CaptureFilter::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    constexpr HRESULT kCantCue = 0x00040268;  // VFW_S_CANT_CUE
    const HRESULT hr = CSource::GetState(timeoutMs, state);
    return hr == S_OK && *state == State_Paused ? kCantCue : hr;
}

int CaptureFilter::GetPinCount() { return CSource::GetPinCount() + 1; }

CBasePin* CaptureFilter::GetPin(int n)
{
    const int outputs = CSource::GetPinCount();
    if (n < outputs) return CSource::GetPin(n);
    return n == outputs ? input_.get() : nullptr;
}

// ---- IKsPropertySet: the buffer is the property data; instance data is not needed.

HRESULT CaptureFilter::Set(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID propertyData, DWORD dataLength)
{
    return BoardDriver::Instance().SetProperty(set, id, static_cast<const BYTE*>(propertyData), dataLength);
}

HRESULT CaptureFilter::Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID propertyData, DWORD dataLength,
                           DWORD* bytesReturned)
{
    return BoardDriver::Instance().GetProperty(set, id, static_cast<BYTE*>(propertyData), dataLength, bytesReturned);
}

HRESULT CaptureFilter::QuerySupported(REFGUID set, DWORD id, DWORD* typeSupport)
{
    return BoardDriver::Instance().QuerySupported(set, id, typeSupport);
}

// ---- IAMAnalogVideoDecoder

HRESULT CaptureFilter::get_AvailableTVFormats(LONG* formats)
{
    if (!formats) return E_POINTER;
    *formats = AnalogVideo_NTSC_M | AnalogVideo_PAL_B;
    return S_OK;
}

HRESULT CaptureFilter::put_TVFormat(LONG format) { return BoardDriver::Instance().PutTvFormat(format); }

HRESULT CaptureFilter::get_TVFormat(LONG* format)
{
    if (!format) return E_POINTER;
    *format = BoardDriver::Instance().TvFormat();
    return S_OK;
}

HRESULT CaptureFilter::get_HorizontalLocked(LONG* locked) { return BoardDriver::Instance().HorizontalLocked(locked); }

HRESULT CaptureFilter::put_VCRHorizontalLocking(LONG locking)
{
    vcrLocking_ = locking ? 1 : 0;
    return S_OK;
}

HRESULT CaptureFilter::get_VCRHorizontalLocking(LONG* locking)
{
    if (!locking) return E_POINTER;
    *locking = vcrLocking_;
    return S_OK;
}

HRESULT CaptureFilter::get_NumberOfLines(LONG* lines) { return BoardDriver::Instance().NumberOfLines(lines); }

HRESULT CaptureFilter::put_OutputEnable(LONG enable)
{
    outputEnable_ = enable ? 1 : 0;
    return S_OK;
}

HRESULT CaptureFilter::get_OutputEnable(LONG* enable)
{
    if (!enable) return E_POINTER;
    *enable = outputEnable_;
    return S_OK;
}

// ---- IAMVideoProcAmp

HRESULT CaptureFilter::GetRange(LONG property, LONG* min, LONG* max, LONG* step, LONG* defaultValue, LONG* capsFlags)
{
    return BoardDriver::Instance().ProcAmpRange(property, min, max, step, defaultValue, capsFlags);
}

HRESULT CaptureFilter::Set(LONG property, LONG value, LONG) { return BoardDriver::Instance().SetProcAmp(property, value); }

HRESULT CaptureFilter::Get(LONG property, LONG* value, LONG* flags)
{
    if (!flags) return E_POINTER;
    *flags = VideoProcAmp_Flags_Manual;
    return BoardDriver::Instance().GetProcAmp(property, value);
}

// ---- IAMCrossbar: inputs 0 composite and 1 S-video, output 0 the video decoder.

HRESULT CaptureFilter::get_PinCounts(LONG* outputs, LONG* inputs)
{
    if (!outputs || !inputs) return E_POINTER;
    *outputs = 1;
    *inputs = 2;
    return S_OK;
}

HRESULT CaptureFilter::CanRoute(LONG output, LONG input) { return output == 0 && (input == 0 || input == 1) ? S_OK : S_FALSE; }

HRESULT CaptureFilter::Route(LONG output, LONG input) { return BoardDriver::Instance().Route(output, input); }

HRESULT CaptureFilter::get_IsRoutedTo(LONG output, LONG* input) { return BoardDriver::Instance().RoutedTo(output, input); }

HRESULT CaptureFilter::get_CrossbarPinInfo(BOOL isInput, LONG index, LONG* relatedIndex, LONG* physicalType)
{
    if (!relatedIndex || !physicalType) return E_POINTER;
    if (isInput) {
        if (index != 0 && index != 1) return E_INVALIDARG;
        *relatedIndex = -1;
        *physicalType = index == 0 ? PhysConn_Video_Composite : PhysConn_Video_SVideo;
        return S_OK;
    }
    if (index != 0) return E_INVALIDARG;
    *relatedIndex = -1;
    *physicalType = PhysConn_Video_VideoDecoder;
    return S_OK;
}

// ---- IKestorBoardStatus

HRESULT CaptureFilter::GetPlaybackCounts(ULONGLONG* bytes, ULONG* samples, ULONG* packs)
{
    if (!bytes || !samples || !packs) return E_POINTER;
    *bytes = input_->bytes.load();
    *samples = input_->samples.load();
    *packs = input_->packs.load();
    return S_OK;
}

HRESULT CaptureFilter::GetPlaybackOutput(ULONG* pictures, ULONGLONG* audioFrames, ULONG* decodeErrors)
{
    if (!pictures || !audioFrames || !decodeErrors) return E_POINTER;
    *pictures = input_->pictures.load();
    *audioFrames = input_->audioFrames.load();
    *decodeErrors = input_->decodeErrors.load();
    return S_OK;
}

HRESULT CaptureFilter::GetCaptureCounts(ULONGLONG* bytes, ULONG* frames)
{
    if (!bytes || !frames) return E_POINTER;
    *bytes = output_->bytesSent.load();
    *frames = output_->framesSent.load();
    return S_OK;
}

}  // namespace quvo::board
