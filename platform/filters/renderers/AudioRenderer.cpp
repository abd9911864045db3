#include "platform/filters/renderers/AudioRenderer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::filters {

namespace {

// A sample up to this early is written as it comes: time stamps jitter.
constexpr REFERENCE_TIME kTolerance = 40 * MILLISECONDS;
// A live source delivers audio about when it is due; up to this late it is still
// played (a little behind its stamp) rather than lost.
constexpr REFERENCE_TIME kLateLimit = 500 * MILLISECONDS;
// Earlier than this the data has no place in the queue: silence is not written
// for more than this at once, so a wild time stamp cannot block the stream.
constexpr REFERENCE_TIME kMaxGap = 2 * UNITS;
}  // namespace

AudioInputPin::AudioInputPin(AudioRenderer* renderer, HRESULT* phr)
    : CSinkInputPin("Audio input", renderer, phr, u"Audio Input pin (rendered)"),
      renderer_(renderer)
{
}

HRESULT AudioInputPin::CheckMediaType(const CMediaType* mt)
{
    if (mt->majortype != MEDIATYPE_Audio || mt->subtype != MEDIASUBTYPE_PCM) return VFW_E_TYPE_NOT_ACCEPTED;
    if (mt->formattype != FORMAT_WaveFormatEx || !mt->Format() || mt->FormatLength() < sizeof(WAVEFORMATEX))
        return VFW_E_TYPE_NOT_ACCEPTED;
    WAVEFORMATEX wfx;
    std::memcpy(&wfx, mt->Format(), sizeof wfx);
    if (wfx.wFormatTag != WAVE_FORMAT_PCM || wfx.wBitsPerSample != 16) return VFW_E_TYPE_NOT_ACCEPTED;
    if (wfx.nChannels < 1 || wfx.nChannels > 8) return VFW_E_TYPE_NOT_ACCEPTED;
    if (wfx.nSamplesPerSec < 8000 || wfx.nSamplesPerSec > 192000) return VFW_E_TYPE_NOT_ACCEPTED;
    return S_OK;
}

HRESULT AudioInputPin::SetMediaType(const CMediaType* mt)
{
    const HRESULT hr = CSinkInputPin::SetMediaType(mt);
    if (FAILED(hr)) return hr;
    WAVEFORMATEX wfx;
    std::memcpy(&wfx, mt->Format(), sizeof wfx);
    renderer_->SetFormat(static_cast<int>(wfx.nSamplesPerSec), wfx.nChannels);
    return S_OK;
}

AudioRenderer::AudioRenderer(IUnknown* outer, HRESULT* phr)
    : CBaseSink("Audio Renderer", outer, CLSID_DSoundRender), input_(this, phr)
{
    clock_ = std::make_unique<AudioRendererClock>(GetOwner(), phr);
}

AudioRenderer::~AudioRenderer()
{
    playout_.Close();
}

HRESULT AudioRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IReferenceClock) return clock_->NonDelegatingQueryInterface(riid, ppv);
    if (riid == IID_IAudioPlayStatistics) return GetInterface(static_cast<IAudioPlayStatistics*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

void AudioRenderer::SetFormat(int rate, int channels)
{
    rate_ = rate;
    channels_ = channels;
}

HRESULT AudioRenderer::GetSoundPlayed(LONGLONG* frames, LONG* rate, LONGLONG* firstNs, LONGLONG* endNs)
{
    if (!frames || !rate || !firstNs || !endNs) return E_POINTER;
    std::lock_guard lock(*FilterLock());  // the playout opens and closes under it
    const AudioPlayout::SoundPlayed sound = playout_.Sound();
    *frames = static_cast<LONGLONG>(sound.frames);
    *rate = playout_.Rate();
    *firstNs = sound.firstNs;
    *endNs = sound.endNs;
    return S_OK;
}

// Streaming thread, under the streaming lock. The ring lives from Pause to Stop,
// and Stop takes the streaming lock before it closes the playout: it is there for
// as long as this waits. Stop and flushes abort the wait.
HRESULT AudioRenderer::DrainForEndOfStream()
{
    PcmRing* ring = playout_.Ring();
    return !ring || ring->WaitUntilDrained() ? S_OK : S_FALSE;
}

// Stop and BeginFlush: a Receive waiting for room in the queue leaves.
void AudioRenderer::AbortReceive()
{
    if (PcmRing* ring = playout_.Ring()) ring->Abort();
}

// What is queued is not played after a flush.
void AudioRenderer::OnBeginFlush()
{
    if (PcmRing* ring = playout_.Ring()) ring->Clear();
}

void AudioRenderer::OnEndFlush()
{
    if (PcmRing* ring = playout_.Ring()) ring->Resume();
}

HRESULT AudioRenderer::InitStream()
{
    if (input_.IsConnected()) {
        if (!playout_.Open(rate_, channels_)) return E_FAIL;
        clock_->Attach(&playout_);
    }
    if (PcmRing* ring = playout_.Ring()) ring->SetPlaying(false);
    return S_OK;
}

HRESULT AudioRenderer::StartStream(REFERENCE_TIME)
{
    if (PcmRing* ring = playout_.Ring()) ring->SetPlaying(true);
    return S_OK;
}

HRESULT AudioRenderer::StopStream()
{
    if (PcmRing* ring = playout_.Ring()) ring->SetPlaying(false);
    return S_OK;
}

HRESULT AudioRenderer::CleanupStream()
{
    if (playout_.IsOpen()) {
        clock_->Detach();
        playout_.Close();
    }
    return S_OK;
}

// Streaming thread, under the streaming lock.
HRESULT AudioRenderer::OnReceive(IMediaSample* sample)
{
    PcmRing* ring = playout_.Ring();
    BYTE* data = nullptr;
    if (!ring || FAILED(sample->GetPointer(&data)) || !data) return S_FALSE;
    const std::size_t frameBytes = static_cast<std::size_t>(channels_) * 2;
    std::size_t frames = static_cast<std::size_t>(std::max<LONG>(sample->GetActualDataLength(), 0)) / frameBytes;
    const auto* samples = reinterpret_cast<const std::int16_t*>(data);

    // Samples are placed by time only when the graph runs on this renderer's clock:
    // the stream start is then a time of the play-out itself.
    REFERENCE_TIME start = 0, stop = 0;
    const bool ownClock = IsSameObject(Clock().Get(), GetOwner());
    if (ownClock && State() == State_Running && SUCCEEDED(sample->GetTime(&start, &stop))) {
        // Frame of the play-out at which this sample is due.
        const REFERENCE_TIME due = StreamStart() + start - clock_->PlayoutOrigin();
        const std::int64_t dueFrame = due * rate_ / UNITS;
        const std::int64_t writeFrame = static_cast<std::int64_t>(ring->WritePosition());
        const std::int64_t tolerance = kTolerance * rate_ / UNITS;
        const std::int64_t lateLimit = kLateLimit * rate_ / UNITS;
        const std::int64_t gap = dueFrame - writeFrame;
        if (gap > tolerance) {
            ring->WriteSilence(static_cast<std::size_t>(std::min<std::int64_t>(gap, kMaxGap * rate_ / UNITS)));
        } else if (gap < -lateLimit) {
            const std::size_t late = static_cast<std::size_t>(std::min<std::int64_t>(-gap, static_cast<std::int64_t>(frames)));
            samples += late * static_cast<std::size_t>(channels_);
            frames -= late;
        }
    }
    ring->Write(samples, frames);
    return S_OK;
}

}  // namespace quvo::filters
