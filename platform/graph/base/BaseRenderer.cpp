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
    : CRenderedInputPin("Renderer input pin", renderer, renderer->InterfaceLock(), phr, pinName),
      renderer_(renderer)
{
}

HRESULT CRendererInputPin::Receive(IMediaSample* sample)
{
    HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return renderer_->Receive(sample);
}

HRESULT CRendererInputPin::EndOfStream()
{
    HRESULT hr = CRenderedInputPin::EndOfStream();
    if (hr != S_OK) return hr;
    return renderer_->EndOfStream();
}

HRESULT CRendererInputPin::BeginFlush()
{
    std::lock_guard lock(*filterLock_);
    CBaseInputPin::BeginFlush();
    return renderer_->BeginFlush();
}

HRESULT CRendererInputPin::EndFlush()
{
    std::lock_guard lock(*filterLock_);
    renderer_->EndFlush();
    return CRenderedInputPin::EndFlush();
}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* mt) { return renderer_->CheckMediaType(mt); }

HRESULT CRendererInputPin::SetMediaType(const CMediaType* mt)
{
    HRESULT hr = CBasePin::SetMediaType(mt);
    return FAILED(hr) ? hr : renderer_->SetMediaType(mt);
}

HRESULT CRendererInputPin::CompleteConnect(IPin* receivePin)
{
    HRESULT hr = CRenderedInputPin::CompleteConnect(receivePin);
    return FAILED(hr) ? hr : renderer_->CompleteConnect(receivePin);
}

HRESULT CRendererInputPin::BreakConnect()
{
    renderer_->BreakConnect();
    return CRenderedInputPin::BreakConnect();
}

HRESULT CRendererInputPin::GetMediaType(int position, CMediaType* mt)
{
    return renderer_->GetMediaType(position, mt);
}

// ---- renderer ----

CBaseRenderer::CBaseRenderer(REFCLSID clsid, const char* name, IUnknown* outer, HRESULT* phr)
    : CBaseFilter(name, outer, &interfaceLock_, clsid)
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

CBasePin* CBaseRenderer::GetPin(int n) { return n == 0 ? inputPin_.get() : nullptr; }

HRESULT CBaseRenderer::Stop()
{
    std::lock_guard lock(interfaceLock_);
    if (IsStopped()) return S_OK;
    {
        std::lock_guard r(rendererLock_);
        abort_ = true;
    }
    renderEvent_.Set();
    WaitForReceiveToComplete();
    HRESULT hr = CBaseFilter::Stop();
    if (SUCCEEDED(hr)) OnStopStreaming();
    stateChanged_.notify_all();
    return hr;
}

HRESULT CBaseRenderer::Pause()
{
    std::lock_guard lock(interfaceLock_);
    const FILTER_STATE old = State();
    if (old == State_Paused) return S_OK;
    if (old == State_Stopped) {
        HRESULT hr = OnStartStreaming();
        if (FAILED(hr)) return hr;
        ResetStatistics();
        std::lock_guard r(rendererLock_);
        abort_ = false;
        // Unconnected, nothing will come: the pause is complete at once.
        pauseComplete_ = !inputPin_->IsConnected();
    } else {
        std::lock_guard r(rendererLock_);
        pauseComplete_ = true;
    }
    HRESULT hr = CBaseFilter::Pause();
    if (FAILED(hr)) {
        if (old == State_Stopped) {
            {
                std::lock_guard r(rendererLock_);
                abort_ = true;
            }
            OnStopStreaming();
        }
        return hr;
    }
    renderEvent_.Set();  // a sample waiting for its time now waits for Run
    stateChanged_.notify_all();
    return S_OK;
}

HRESULT CBaseRenderer::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(interfaceLock_);
    HRESULT hr = CBaseFilter::Run(start);
    renderEvent_.Set();  // a held sample is scheduled now
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
        return pauseComplete_ || State() != State_Paused || inputPin_->IsAtEndOfStream();
    };
    if (timeoutMs == INFINITE) {
        stateChanged_.wait(r, done);
    } else if (!stateChanged_.wait_for(r, std::chrono::milliseconds(timeoutMs), done)) {
        return VFW_S_STATE_INTERMEDIATE;
    }
    *state = State();
    return S_OK;
}

HRESULT CBaseRenderer::Receive(IMediaSample* sample)
{
    {
        std::lock_guard r(rendererLock_);
        if (abort_) return S_FALSE;
        // Upstream delivers synchronously: a second sample while one is held is a fault.
        if (holdingSample_) return E_UNEXPECTED;
        holdingSample_ = true;
        ++inReceive_;
    }
    struct Leave {
        CBaseRenderer* self;
        ~Leave()
        {
            {
                std::lock_guard r(self->rendererLock_);
                self->holdingSample_ = false;
                --self->inReceive_;
            }
            self->stateChanged_.notify_all();
        }
    } leave{this};

    // The still is shown before the pause counts as complete.
    if (State() == State_Paused) OnReceiveFirstSample(sample);
    {
        std::lock_guard r(rendererLock_);
        pauseComplete_ = true;
    }
    stateChanged_.notify_all();
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
        {
            std::lock_guard r(rendererLock_);
            if (abort_) break;
        }
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
                if (FAILED(clock->AdviseTime(base, start, &renderEvent_, &cookie))) {
                    result = S_OK;
                    break;
                }
                advised = clock;
                advisedDue = due;
            }
        } else {
            unadvise();  // paused: hold the sample until Run
        }
        renderEvent_.Wait(INFINITE);
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

HRESULT CBaseRenderer::EndOfStream()
{
    {
        std::lock_guard r(rendererLock_);
        pauseComplete_ = true;
    }
    stateChanged_.notify_all();
    return S_OK;
}

HRESULT CBaseRenderer::BeginFlush()
{
    {
        std::lock_guard r(rendererLock_);
        abort_ = true;
        if (State() == State_Paused) pauseComplete_ = false;
    }
    renderEvent_.Set();
    WaitForReceiveToComplete();
    return S_OK;
}

HRESULT CBaseRenderer::EndFlush()
{
    std::lock_guard r(rendererLock_);
    if (!IsStopped()) abort_ = false;
    return S_OK;
}

void CBaseRenderer::WaitForReceiveToComplete()
{
    std::unique_lock r(rendererLock_);
    stateChanged_.wait(r, [this] { return inReceive_ == 0; });
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
