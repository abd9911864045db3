// CBaseRenderer: a filter with one input pin that presents samples by the graph
// clock. A derived renderer supplies CheckMediaType and DoRenderSample.
//
// Presentation: a sample is presented when the clock reaches stream start + its
// start time (IReferenceClock::AdviseTime signals renderEvent), at once without a
// clock or without a time stamp. A sample that arrives while paused is held until
// Run; the first one completes the pause transition (GetState answers
// VFW_S_STATE_INTERMEDIATE until then). Stop and BeginFlush release a waiting
// sample at once. End of stream gives EC_COMPLETE through CRenderedInputPin.
// Late samples go through DropLateSample (default: never drop).
//
// Locks:
//  - filterLock and streamingLock (CBaseSink): Stop and BeginFlush hold the filter
//    lock while they wait for Receive to leave, so nothing on the streaming path
//    (DoRenderSample, OnReceiveFirstSample) may take it. A sample waiting for its
//    time waits on the sink's wake-up event, which the clock's advice, Run, Pause,
//    Stop and flushes set.
//  - rendererLock: the pause-complete flag, shared by the streaming thread and a
//    GetState waiting on the application thread. The clock is never called under it.
//  - statsLock: the presentation statistics behind IQualProp.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/graph/base/BaseSink.h"
#include "platform/graph/base/PosPassThru.h"

class CBaseRenderer;

class CRendererInputPin : public CSinkInputPin {
public:
    CRendererInputPin(CBaseRenderer* renderer, HRESULT* phr, LPCWSTR pinName);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;

private:
    CBaseRenderer* const renderer_;
};

class CBaseRenderer : public CBaseSink, public IQualProp {
public:
    CBaseRenderer(REFCLSID clsid, const char* name, IUnknown* outer, HRESULT* phr);
    ~CBaseRenderer() override;

    DECLARE_IUNKNOWN
    // Adds IQualProp, and IMediaSeeking/IMediaPosition through a CPosPassThru made
    // on the first query.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    CSinkInputPin* SinkPin() override { return inputPin_.get(); }

    // IQualProp
    HRESULT get_FramesDroppedInRenderer(int* frames) override;
    HRESULT get_FramesDrawn(int* frames) override;
    HRESULT get_AvgFrameRate(int* centiFramesPerSecond) override;
    HRESULT get_Jitter(int* jitterMs) override;
    HRESULT get_AvgSyncOffset(int* ms) override;
    HRESULT get_DevSyncOffset(int* ms) override;

    // What a derived renderer supplies.
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    virtual HRESULT DoRenderSample(IMediaSample* sample) = 0;
    virtual HRESULT SetMediaType(const CMediaType*) { return S_OK; }
    virtual HRESULT GetMediaType(int, CMediaType*) { return VFW_S_NO_MORE_ITEMS; }
    virtual HRESULT CompleteConnect(IPin*) { return S_OK; }
    virtual HRESULT BreakConnect() { return S_OK; }
    // Leaving Stopped / entering Stopped (application thread, under the filter lock;
    // OnStopStreaming under the streaming lock too).
    virtual HRESULT OnStartStreaming() { return S_OK; }
    virtual HRESULT OnStopStreaming() { return S_OK; }
    // A sample arrived while paused (streaming thread): e.g. show it as a still.
    virtual void OnReceiveFirstSample(IMediaSample*) {}
    // Whether a sample `lateness` (100 ns) behind the clock is dropped instead of drawn.
    virtual bool DropLateSample(IMediaSample*, REFERENCE_TIME lateness) { return false; }

    CRendererInputPin* InputPin() const { return inputPin_.get(); }

protected:
    HRESULT OnReceive(IMediaSample* sample) override;
    HRESULT OnEndOfStream() override;
    void OnBeginFlush() override;
    HRESULT InitStream() final;
    HRESULT StartStream(REFERENCE_TIME start) final;
    HRESULT StopStream() final;
    HRESULT CleanupStream() final;

    // S_OK when the sample is due (lateness set), S_FALSE when released by Stop/flush.
    HRESULT WaitForRenderTime(IMediaSample* sample, REFERENCE_TIME* lateness);
    void Render(IMediaSample* sample, REFERENCE_TIME lateness);
    void ResetStatistics();
    void SetPauseComplete(bool complete);

private:
    std::unique_ptr<CRendererInputPin> inputPin_;

    std::mutex positionLock_;  // creation of position_
    std::unique_ptr<CPosPassThru> position_;

    std::mutex rendererLock_;
    std::condition_variable stateChanged_;  // pause completed, state changed
    bool pauseComplete_ = false;

    std::mutex statsLock_;
    int framesDrawn_ = 0;
    int framesDropped_ = 0;
    double syncSum_ = 0, syncSquares_ = 0;     // lateness of drawn frames, ms
    double intervalSum_ = 0, intervalSquares_ = 0;  // time between drawn frames, ms
    int intervals_ = 0;
    bool haveLastDraw_ = false;
    std::int64_t lastDrawNs_ = 0;
};
