#include "outside/board/filter/CaptureStream.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "outside/board/driver/BoardDriver.h"
#include "platform/graph/Guids.h"

namespace quvo::board {
namespace {

constexpr DWORD kPinCategoryProperty = 0;  // AMPROPERTY_PIN_CATEGORY

std::int64_t SteadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

CaptureStream::CaptureStream(HRESULT* phr, CSource* filter) : CSourceStream("Kestor capture pin", phr, filter, u"Capture")
{
}

HRESULT CaptureStream::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IKsPropertySet) return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CaptureStream::Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD) { return E_NOTIMPL; }

HRESULT CaptureStream::Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID propertyData, DWORD dataLength,
                           DWORD* bytesReturned)
{
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != kPinCategoryProperty) return E_PROP_ID_UNSUPPORTED;
    if (!propertyData) return E_POINTER;
    if (dataLength < sizeof(GUID)) return E_UNEXPECTED;
    std::memcpy(propertyData, &PIN_CATEGORY_CAPTURE, sizeof(GUID));
    if (bytesReturned) *bytesReturned = sizeof(GUID);
    return S_OK;
}

HRESULT CaptureStream::QuerySupported(REFGUID set, DWORD id, DWORD* typeSupport)
{
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != kPinCategoryProperty) return E_PROP_ID_UNSUPPORTED;
    if (typeSupport) *typeSupport = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT CaptureStream::GetMediaType(CMediaType* mt)
{
    if (!mt) return E_POINTER;
    *mt = CMediaType();
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    mt->SetFormatType(&FORMAT_None);
    mt->bFixedSizeSamples = FALSE;
    mt->bTemporalCompression = TRUE;
    mt->lSampleSize = 0;
    return S_OK;
}

HRESULT CaptureStream::CheckMediaType(const CMediaType* mt)
{
    if (!mt) return E_POINTER;
    return mt->majortype == MEDIATYPE_Stream && mt->subtype == MEDIASUBTYPE_MPEG2_PROGRAM ? S_OK
                                                                                          : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CaptureStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props)
{
    if (!allocator || !props) return E_POINTER;
    ALLOCATOR_PROPERTIES want = *props;
    want.cBuffers = std::max<LONG>(want.cBuffers, 8);
    want.cbBuffer = std::max<LONG>(want.cbBuffer, kSampleSize);
    want.cbAlign = std::max<LONG>(want.cbAlign, 1);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(&want, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer >= 2048 ? S_OK : E_FAIL;
}

HRESULT CaptureStream::OnThreadStartPlay()
{
    // Each streaming session is a new stream: new encoder, new time line.
    encoder_ = std::make_unique<BoardEncoder>();
    pending_.clear();
    pendingSent_ = 0;
    ownClockStart_ = SteadyNanoseconds();
    anchored_ = false;  // stream time means something only once running
    discontinuity_ = true;
    anchorFrames_ = 0;
    anchorTv_ = BoardDriver::Instance().Video().tv;
    return S_OK;
}

REFERENCE_TIME CaptureStream::Now()
{
    REFERENCE_TIME t = 0;
    if (SUCCEEDED(filter_->StreamTime(&t))) return t;
    return (SteadyNanoseconds() - ownClockStart_) / 100;
}

bool CaptureStream::EncodeDueFrame()
{
    BoardDriver& driver = BoardDriver::Instance();
    const VideoFormat format = driver.Video();
    if (!anchored_) {
        anchorTime_ = Now();
        anchorTv_ = format.tv;
        anchored_ = true;
    }
    if (format.tv != anchorTv_) {
        // The frame period changes with the standard: restart the schedule here.
        anchorTime_ += BoardEncoder::FrameTime(anchorFrames_, anchorTv_);
        anchorFrames_ = 0;
        anchorTv_ = format.tv;
    }
    REFERENCE_TIME due = anchorTime_ + BoardEncoder::FrameTime(anchorFrames_, anchorTv_);
    const REFERENCE_TIME now = Now();
    if (now < due) return false;
    const REFERENCE_TIME period = BoardEncoder::FrameTime(1, anchorTv_);
    if (now - due > 2 * period) {
        // Far behind (a busy machine): drop the frames that are past, as a board
        // that loses frames would; the encoder numbers pictures by time.
        anchorFrames_ += (now - due) / period;
        due = anchorTime_ + BoardEncoder::FrameTime(anchorFrames_, anchorTv_);
    }
    ++anchorFrames_;

    encoder_->SetVideoFormat(format);
    encoder_->SetPicture(driver.Picture());
    encoder_->SetAudio(driver.Audio());
    encoder_->SetSource(CurrentConfig().source);
    pending_.clear();
    pendingSent_ = 0;
    if (!encoder_->EncodeFrame(due, pending_)) pending_.clear();
    frameTime_ = due;
    frameDuration_ = period;
    framesSent.fetch_add(1);
    return true;
}

HRESULT CaptureStream::FillBuffer(IMediaSample* sample)
{
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    // Whole packs only, so every sample starts with a pack header.
    const std::size_t room = static_cast<std::size_t>(sample->GetSize()) / 2048 * 2048;
    const std::size_t left = pending_.size() - pendingSent_;
    const std::size_t n = std::min(room ? room : static_cast<std::size_t>(sample->GetSize()), left);
    std::memcpy(data, pending_.data() + pendingSent_, n);
    pendingSent_ += n;
    sample->SetActualDataLength(static_cast<LONG>(n));
    REFERENCE_TIME start = frameTime_, stop = frameTime_ + frameDuration_;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(std::exchange(discontinuity_, false) ? TRUE : FALSE);
    bytesSent.fetch_add(n);
    return S_OK;
}

HRESULT CaptureStream::DeliverPending()
{
    while (pendingSent_ < pending_.size()) {
        ComPtr<IMediaSample> sample;
        HRESULT hr = GetDeliveryBuffer(&sample, nullptr, nullptr, 0);
        if (FAILED(hr)) return hr;  // decommitted: a Stop is on its way
        hr = FillBuffer(sample.Get());
        if (FAILED(hr)) return hr;
        hr = Deliver(sample.Get());
        if (hr != S_OK) return hr;
    }
    return S_OK;
}

HRESULT CaptureStream::DoBufferProcessingLoop()
{
    // A live source: frames come when their time comes, while running; paused,
    // the board holds still. Commands are answered between frames.
    OnThreadStartPlay();
    Command cmd = CMD_RUN;
    for (;;) {
        while (!CheckRequest(&cmd)) {
            if (filter_->State() != State_Running || !EncodeDueFrame()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const HRESULT hr = DeliverPending();
            if (hr == S_OK) continue;
            if (FAILED(hr) && hr != VFW_E_WRONG_STATE && hr != VFW_E_NOT_COMMITTED)
                filter_->NotifyEvent(EC_ERRORABORT, hr, 0);
            if (hr == S_FALSE || FAILED(hr)) {
                // Downstream will take no more: wait for the command that ends this.
                while (!CheckRequest(&cmd)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        if (cmd == CMD_RUN || cmd == CMD_PAUSE) {
            GetRequest();
            Reply(S_OK);
            continue;
        }
        if (cmd == CMD_STOP || cmd == CMD_EXIT) return S_FALSE;
        GetRequest();
        Reply(E_UNEXPECTED);
    }
}

}  // namespace quvo::board
