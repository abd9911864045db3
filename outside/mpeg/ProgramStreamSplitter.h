// MPEG splitter for playback of recorded files: one input taking the file reader's
// program stream, two outputs enumerated video first, then audio. Their media types
// come from the start of the file, which the splitter reads itself through the
// upstream filter's IFileSourceFilter when its input connects (the types must be
// known before any data flows); without a file name it offers PAL MPEG-2 video and
// 48 kHz linear PCM. Each output delivers from its own queue thread.
//
// Locks:
//   filterLock   state changes, connections, the probed types.
//   streamingLock  the streaming lock: parser and time base (Receive, EndOfStream).
#pragma once

#include <atomic>
#include <memory>
#include <mutex>

#include "outside/mpeg/SplitterProbe.h"
#include "platform/filters/demux/OutputQueue.h"
#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/StreamRouter.h"
#include "platform/filters/demux/TimeStampClock.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

namespace quvo::mpegdec {

class ProgramStreamSplitter;

class SplitterInputPin final : public CBaseInputPin {
public:
    SplitterInputPin(ProgramStreamSplitter* splitter, std::recursive_mutex* lock, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT Active() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    ProgramStreamSplitter* const splitter_;
};

class SplitterOutputPin final : public CBaseOutputPin {
public:
    SplitterOutputPin(ProgramStreamSplitter* splitter, std::recursive_mutex* lock, HRESULT* phr, LPCWSTR name);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    void SetType(const CMediaType& type) { type_ = type; }  // filter lock, unconnected
    void Queue(filters::QueuedPayload payload);
    void Flush();

    // A stream the file never carried ends with the other one, not the moment the
    // reader reaches the end of the file: its renderer's completion would otherwise
    // come before the other stream has played.
    bool Carried() const { return carried_.load(); }
    void HoldEnd() { endHeld_ = true; }
    void ReleaseEnd();

private:
    void DeliverPayload(filters::QueuedPayload& payload);

    ProgramStreamSplitter* const splitter_;
    CMediaType type_;
    filters::OutputQueue queue_;
    std::atomic<bool> discontinuity_{true};  // Active (application), Queue (streaming thread)
    // Since Active: whether data was queued, and whether the end waits for the
    // other output's (streaming thread, the other output's queue thread, application).
    std::atomic<bool> carried_{false};
    std::atomic<bool> endHeld_{false};
};

class ProgramStreamSplitter final : public CBaseFilter {
public:
    // The class table creates it (CreateComObject).
    ProgramStreamSplitter(IUnknown* outer, HRESULT* hr);

    int GetPinCount() override { return 3; }
    CBasePin* GetPin(int n) override;

    // From the input pin.
    void UseProbe(const StreamProbe& probe);  // filter lock
    void ResetStreaming();
    HRESULT ReceiveData(IMediaSample* sample);
    HRESULT EndOfStreamAll();
    void FlushAll(bool begin);
    // An output delivered its end of stream (that output's queue thread).
    void OutputEnded();

private:
    void OnPayload(const mpeg::PesPayload& payload);

    SplitterInputPin input_;
    SplitterOutputPin video_;
    SplitterOutputPin audio_;
    mpeg::StreamRouter router_;  // set while stopped, read by the streaming thread
    mpeg::ProgramStreamParser parser_;  // streamingLock
    mpeg::TimeStampClock clock_;        // streamingLock
};

}  // namespace quvo::mpegdec
