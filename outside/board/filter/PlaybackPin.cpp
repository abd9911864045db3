#include "outside/board/filter/PlaybackPin.h"

#include <algorithm>

#include "outside/board/driver/BoardConfig.h"
#include "platform/com/NoThrow.h"
#include "platform/graph/Guids.h"

namespace quvo::board {
namespace {

// Sound is taken up to this far ahead of its time, so that a muxer placing sound
// ahead of the pictures of the same time does not make the pictures late.
constexpr std::int64_t kSoundLead = 10000000;  // 1 s
constexpr auto kWaitStep = std::chrono::milliseconds(20);

}  // namespace

PlaybackPin::PlaybackPin(CBaseFilter* filter, std::recursive_mutex* filterLock, HRESULT* phr)
    : CRenderedInputPin("Kestor playback pin", filter, filterLock, phr, u"Playback"),
      decoder_([this](const OutputUnit& unit) { return OnUnit(unit); })
{
}

HRESULT PlaybackPin::CheckMediaType(const CMediaType* mt)
{
    if (!mt) return E_POINTER;
    if (mt->majortype != MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
    const GUID& s = mt->subtype;
    return s == MEDIASUBTYPE_MPEG2_PROGRAM || s == MEDIASUBTYPE_MPEG1System || s == GUID_NULL
        ? S_OK
        : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT PlaybackPin::GetMediaType(int position, CMediaType* mt)
{
    if (!mt) return E_POINTER;
    if (position != 0) return VFW_S_NO_MORE_ITEMS;
    *mt = CMediaType();
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    mt->SetFormatType(&FORMAT_None);
    return S_OK;
}

HRESULT PlaybackPin::Receive(IMediaSample* sample)
{
    HRESULT hr = CRenderedInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data))) return E_POINTER;
    const LONG n = std::max<LONG>(sample->GetActualDataLength(), 0);
    std::lock_guard lock(receiveLock_);
    if (stopping_.load()) return VFW_E_WRONG_STATE;
    if (IsFlushing()) return S_FALSE;
    bytes.fetch_add(static_cast<ULONGLONG>(n));
    samples.fetch_add(1);
    if (file_ && n > 0) std::fwrite(data, 1, static_cast<std::size_t>(n), file_.get());
    const std::uint64_t packsBefore = decoder_.Packs();
    const std::uint64_t errorsBefore = decoder_.Errors();
    // Decoding and showing allocate; a failure leaves as E_OUTOFMEMORY.
    hr = quvo::NoThrow([&] {
        decoder_.Push(data, static_cast<std::size_t>(n));
        return S_OK;
    });
    packs.fetch_add(static_cast<ULONG>(decoder_.Packs() - packsBefore));
    decodeErrors.fetch_add(static_cast<ULONG>(decoder_.Errors() - errorsBefore));
    if (FAILED(hr)) return hr;
    return Aborted() ? S_FALSE : S_OK;
}

HRESULT PlaybackPin::EndOfStream()
{
    {
        std::lock_guard lock(receiveLock_);
        if (Aborted() || IsStopped()) return S_FALSE;
        const std::uint64_t errorsBefore = decoder_.Errors();
        const HRESULT hr = quvo::NoThrow([&] {
            decoder_.Finish();
            return S_OK;
        });
        decodeErrors.fetch_add(static_cast<ULONG>(decoder_.Errors() - errorsBefore));
        if (FAILED(hr)) return hr;
        // The board reports the end once its output has played everything out.
        if (timeline_.Started() && !WaitUntil(timeline_.End())) return S_FALSE;
        if (file_) std::fflush(file_.get());
        PublishCountsLocked();
    }
    // With no lock held: the graph may be stopping this filter meanwhile.
    return CRenderedInputPin::EndOfStream();
}

HRESULT PlaybackPin::BeginFlush()
{
    CRenderedInputPin::BeginFlush();
    WakeWaiters();
    return S_OK;
}

HRESULT PlaybackPin::EndFlush()
{
    {
        std::lock_guard lock(receiveLock_);
        ResetOutputLocked();
    }
    return CRenderedInputPin::EndFlush();
}

HRESULT PlaybackPin::Active()
{
    {
        // Nothing streams into a stopped filter, so nothing waits here.
        std::lock_guard lock(receiveLock_);
        ResetOutputLocked();
        std::string path;
        if (ReadString(value::kPlaybackFile, &path) && !path.empty()) file_.reset(std::fopen(path.c_str(), "wb"));
        display_ = OutputWindow::DisplayAvailable();
        const std::vector<std::string> devices = ConfiguredDevices();
        windowTitle_ = (devices.empty() ? std::string(kDefaultDevice) : devices.front()) + " output";
        activeAt_ = std::chrono::steady_clock::now();
        stopping_.store(false);
    }
    return CRenderedInputPin::Active();
}

HRESULT PlaybackPin::Inactive()
{
    stopping_.store(true);
    WakeWaiters();
    {
        std::lock_guard lock(receiveLock_);
        ResetOutputLocked();
        file_.reset();
        window_.reset();
        sws_.reset();
        yuv_.clear();
        yuv_.shrink_to_fit();
        PublishCountsLocked();
    }
    return CRenderedInputPin::Inactive();
}

void PlaybackPin::ResetOutputLocked()
{
    decoder_.Reset();
    timeline_.Reset();
}

void PlaybackPin::PublishCountsLocked()
{
    // What the board's output took, for boardctl and tests in other processes.
    if (samples.load() == 0) return;
    WriteQword(value::kPlaybackBytes, bytes.load());
    WriteDword(value::kPlaybackSamples, samples.load());
    WriteDword(value::kPlaybackPictures, pictures.load());
    WriteQword(value::kPlaybackAudioFrames, audioFrames.load());
    WriteDword(value::kPlaybackErrors, decodeErrors.load());
}

bool PlaybackPin::OnUnit(const OutputUnit& unit)
{
    // Nothing leaves the output before the graph runs.
    if (!timeline_.Started() && !WaitUntil(INT64_MIN)) return false;
    const OutputTimeline::Kind kind = unit.picture ? OutputTimeline::kPicture : OutputTimeline::kSound;
    const std::int64_t due = timeline_.Place(kind, unit.start, unit.duration, OutputNow());
    if (!WaitUntil(unit.picture ? due : due - kSoundLead)) return false;
    if (unit.picture) {
        ShowPicture(unit.frame);
        pictures.fetch_add(1);
    } else {
        audioFrames.fetch_add(unit.audioFrames);
    }
    return true;
}

void PlaybackPin::ShowPicture(const AVFrame* frame)
{
    if (!display_ || !frame || frame->width <= 0 || frame->height <= 0) return;
    if (!window_) window_ = std::make_unique<OutputWindow>(windowTitle_);
    if (frame->format == AV_PIX_FMT_YUV420P || frame->format == AV_PIX_FMT_YUVJ420P) {
        window_->Show(frame->width, frame->height, frame->data, frame->linesize);
        return;
    }
    // 4:2:2 and others: to 4:2:0 for the window.
    const int w = frame->width, h = frame->height, cw = (w + 1) / 2, ch = (h + 1) / 2;
    sws_.reset(sws_getCachedContext(sws_.release(), w, h, static_cast<AVPixelFormat>(frame->format), w, h,
                                    AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!sws_) return;
    yuv_.resize(static_cast<std::size_t>(w) * h + 2 * static_cast<std::size_t>(cw) * ch);
    std::uint8_t* planes[4] = {yuv_.data(), yuv_.data() + static_cast<std::size_t>(w) * h,
                               yuv_.data() + static_cast<std::size_t>(w) * h + static_cast<std::size_t>(cw) * ch,
                               nullptr};
    const int strides[4] = {w, cw, cw, 0};
    sws_scale(sws_.get(), frame->data, frame->linesize, 0, h, planes, strides);
    window_->Show(w, h, planes, strides);
}

std::int64_t PlaybackPin::OutputNow()
{
    REFERENCE_TIME now = 0;
    if (SUCCEEDED(filter_->StreamTime(&now))) return now;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - activeAt_).count()
        / 100;
}

bool PlaybackPin::WaitUntil(std::int64_t due)
{
    for (;;) {
        if (Aborted()) return false;
        const bool running = filter_->State() == State_Running;
        const std::int64_t now = running ? OutputNow() : 0;
        if (running && now >= due) return true;
        auto step = std::chrono::duration_cast<std::chrono::steady_clock::duration>(kWaitStep);
        if (running) step = std::min(step, std::chrono::steady_clock::duration(std::chrono::nanoseconds((due - now) * 100)));
        std::unique_lock lock(waitLock_);
        if (Aborted()) return false;
        wake_.wait_for(lock, step);
    }
}

void PlaybackPin::WakeWaiters()
{
    std::lock_guard lock(waitLock_);
    wake_.notify_all();
}

}  // namespace quvo::board
