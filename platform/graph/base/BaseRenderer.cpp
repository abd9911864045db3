#include "platform/graph/base/BaseRenderer.h"

#include <chrono>
#include <cmath>
#include <new>

namespace {
std::int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int Deviation(double sum, double squares, int n)
{
    if (n < 2) return 0;
    double mean = sum / n;
    double variance = squares / n - mean * mean;
    return variance > 0 ? static_cast<int>(std::lround(std::sqrt(variance))) : 0;
}
}  // namespace

// ---- input pin: forwards to the renderer ----

CRendererInputPin::CRendererInputPin(CBaseRenderer* renderer, HRESULT* phr, LPCWSTR pinName)
    : CSinkInputPin("Renderer input pin", renderer, phr, pinName), renderer_(renderer)
{
}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* mt) { return renderer_->CheckMediaType(mt); }

HRESULT CRendererInputPin::SetMediaType(const CMediaType* mt)
{
    HRESULT hr = CBasePin::SetMediaType(mt);
    return FAILED(hr) ? hr : renderer_->SetMediaType(mt);
}

HRESULT CRendererInputPin::CompleteConnect(IPin* receivePin)
{
    HRESULT hr = CSinkInputPin::CompleteConnect(receivePin);
    return FAILED(hr) ? hr : renderer_->CompleteConnect(receivePin);
}

HRESULT CRendererInputPin::BreakConnect()
{
    renderer_->BreakConnect();
    return CSinkInputPin::BreakConnect();
}

HRESULT CRendererInputPin::GetMediaType(int position, CMediaType* mt)
{
    return renderer_->GetMediaType(position, mt);
}

// ---- renderer ----

CBaseRenderer::CBaseRenderer(REFCLSID clsid, const char* name, IUnknown* outer, HRESULT* phr)
    : CBaseSink(name, outer, clsid)
{
    HRESULT hr = S_OK;
    inputPin_.reset(new (std::nothrow) CRendererInputPin(this, &hr, u"In"));
    if (phr) *phr = !inputPin_ ? E_OUTOFMEMORY : hr;
}

CBaseRenderer::~CBaseRenderer() = default;

HRESULT CBaseRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IQualProp) return GetInterface(static_cast<IQualProp*>(this), ppv);
    if (riid == IID_IMediaSeeking || riid == IID_IMediaPosition) {
        if (!ppv) return E_POINTER;
        std::lock_guard lock(positionLock_);
        if (!position_) {
            HRESULT hr = S_OK;
            position_.reset(new (std::nothrow)
                                CPosPassThru("Renderer position", GetOwner(), &hr, inputPin_.get()));
            if (!position_) return E_OUTOFMEMORY;
            if (FAILED(hr)) {
                position_.reset();
                return hr;
            }
        }
        return position_->NonDelegatingQueryInterface(riid, ppv);
    }
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

void CBaseRenderer::SetPauseComplete(bool complete)
{
    {
        std::lock_guard r(rendererLock_);
        pauseComplete_ = complete;
    }
    stateChanged_.notify_all();
}

HRESULT CBaseRenderer::InitStream()
{
    HRESULT hr = OnStartStreaming();
    if (FAILED(hr)) return hr;
    ResetStatistics();
    // Unconnected, nothing will come: the pause is complete at once.
    SetPauseComplete(!inputPin_->IsConnected());
    return S_OK;
}

HRESULT CBaseRenderer::StartStream(REFERENCE_TIME)
{
    WakeUpEvent().Set();  // a held sample is scheduled now
    stateChanged_.notify_all();
    return S_OK;
}

HRESULT CBaseRenderer::StopStream()
{
    SetPauseComplete(true);
    WakeUpEvent().Set();  // a sample waiting for its time now waits for Run
    return S_OK;
}

HRESULT CBaseRenderer::CleanupStream()
{
    HRESULT hr = OnStopStreaming();
    stateChanged_.notify_all();
    return hr;
}

HRESULT CBaseRenderer::GetState(DWORD timeoutMs, FILTER_STATE* state)
{
    if (!state) return E_POINTER;
    *state = State();
    if (*state != State_Paused) return S_OK;
    std::unique_lock r(rendererLock_);
    auto done = [this] {
        return pauseComplete_ || State() != State_Paused || IsStopped() || inputPin_->IsAtEndOfStream();
    };
    if (timeoutMs == INFINITE) {
        stateChanged_.wait(r, done);
    } else if (!stateChanged_.wait_for(r, std::chrono::milliseconds(timeoutMs), done)) {
        return VFW_S_STATE_INTERMEDIATE;
    }
    *state = State();
    return S_OK;
}

HRESULT CBaseRenderer::OnReceive(IMediaSample* sample)
{
    // The still is shown before the pause counts as complete.
    if (State() == State_Paused) OnReceiveFirstSample(sample);
    SetPauseComplete(true);
    REFERENCE_TIME lateness = 0;
    if (WaitForRenderTime(sample, &lateness) != S_OK) return S_FALSE;
    Render(sample, lateness);
    return S_OK;
}

HRESULT CBaseRenderer::WaitForRenderTime(IMediaSample* sample, REFERENCE_TIME* lateness)
{
    REFERENCE_TIME start = 0, end = 0;
    const bool timed = SUCCEEDED(sample->GetTime(&start, &end));
    ComPtr<IReferenceClock> advised;  // the clock holding our advice, if any
    DWORD_PTR cookie = 0;
    REFERENCE_TIME advisedDue = 0;
    auto unadvise = [&] {
        if (advised) advised->Unadvise(cookie);
        advised.Reset();
    };

    HRESULT result = S_FALSE;
    *lateness = 0;
    for (;;) {
        if (Aborting()) break;
        if (State() == State_Running) {
            ComPtr<IReferenceClock> clock = Clock();
            if (!clock || !timed) {
                result = S_OK;
                break;
            }
            const REFERENCE_TIME base = StreamStart();
            const REFERENCE_TIME due = base + start;
            REFERENCE_TIME now = 0;
            if (FAILED(clock->GetTime(&now)) || now >= due) {
                *lateness = now >= due ? now - due : 0;
                result = S_OK;
                break;
            }
            // (Re)advise when the clock or the stream start changed since the last advice.
            if (advised.Get() != clock.Get() || advisedDue != due) {
                unadvise();
                if (FAILED(clock->AdviseTime(base, start, &WakeUpEvent(), &cookie))) {
                    result = S_OK;
                    break;
                }
                advised = clock;
                advisedDue = due;
            }
        } else {
            unadvise();  // paused: hold the sample until Run
        }
        WakeUpEvent().Wait(INFINITE);
    }
    unadvise();
    return result;
}

void CBaseRenderer::Render(IMediaSample* sample, REFERENCE_TIME lateness)
{
    if (lateness > 0 && DropLateSample(sample, lateness)) {
        std::lock_guard s(statsLock_);
        ++framesDropped_;
        return;
    }
    DoRenderSample(sample);
    const std::int64_t now = NowNs();
    std::lock_guard s(statsLock_);
    ++framesDrawn_;
    double syncMs = static_cast<double>(lateness) / MILLISECONDS;
    syncSum_ += syncMs;
    syncSquares_ += syncMs * syncMs;
    if (haveLastDraw_) {
        double interval = static_cast<double>(now - lastDrawNs_) / 1e6;
        intervalSum_ += interval;
        intervalSquares_ += interval * interval;
        ++intervals_;
    }
    haveLastDraw_ = true;
    lastDrawNs_ = now;
}

HRESULT CBaseRenderer::OnEndOfStream()
{
    SetPauseComplete(true);
    return S_OK;
}

void CBaseRenderer::OnBeginFlush()
{
    std::lock_guard r(rendererLock_);
    if (State() == State_Paused) pauseComplete_ = false;
}

void CBaseRenderer::ResetStatistics()
{
    std::lock_guard s(statsLock_);
    framesDrawn_ = framesDropped_ = 0;
    syncSum_ = syncSquares_ = intervalSum_ = intervalSquares_ = 0;
    intervals_ = 0;
    haveLastDraw_ = false;
}

HRESULT CBaseRenderer::get_FramesDroppedInRenderer(int* frames)
{
    if (!frames) return E_POINTER;
    std::lock_guard s(statsLock_);
    *frames = framesDropped_;
    return S_OK;
}

HRESULT CBaseRenderer::get_FramesDrawn(int* frames)
{
    if (!frames) return E_POINTER;
    std::lock_guard s(statsLock_);
    *frames = framesDrawn_;
    return S_OK;
}

HRESULT CBaseRenderer::get_AvgFrameRate(int* centiFramesPerSecond)
{
    if (!centiFramesPerSecond) return E_POINTER;
    std::lock_guard s(statsLock_);
    *centiFramesPerSecond =
        intervalSum_ > 0 ? static_cast<int>(std::lround(intervals_ * 100000.0 / intervalSum_)) : 0;
    return S_OK;
}

HRESULT CBaseRenderer::get_Jitter(int* jitterMs)
{
    if (!jitterMs) return E_POINTER;
    std::lock_guard s(statsLock_);
    *jitterMs = Deviation(intervalSum_, intervalSquares_, intervals_);
    return S_OK;
}

HRESULT CBaseRenderer::get_AvgSyncOffset(int* ms)
{
    if (!ms) return E_POINTER;
    std::lock_guard s(statsLock_);
    *ms = framesDrawn_ > 0 ? static_cast<int>(std::lround(syncSum_ / framesDrawn_)) : 0;
    return S_OK;
}

HRESULT CBaseRenderer::get_DevSyncOffset(int* ms)
{
    if (!ms) return E_POINTER;
    std::lock_guard s(statsLock_);
    *ms = Deviation(syncSum_, syncSquares_, framesDrawn_);
    return S_OK;
}
