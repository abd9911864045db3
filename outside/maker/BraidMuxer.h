// The maker's muxer ("BraidMuxer"): the transform's video access units (first
// input) and 48 kHz stereo PCM (second input) braided into one MPEG-2 program
// stream (StreamBraid.h) on its one output, MEDIATYPE_Stream /
// MEDIASUBTYPE_MPEG2_PROGRAM, which the board's playback input takes.
//
// Threads: each input's Receive and EndOfStream come on its upstream thread and
// run under receiveLock, which is held across the delivery downstream so the
// stream leaves in the order it was braided (the board paces it, and so holds
// both inputs back). Flushes come on the application thread and pass downstream
// before they take receiveLock.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "outside/maker/StreamBraid.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

namespace quvo::maker {

class BraidMuxer;

class BraidInputPin final : public CBaseInputPin {
public:
    BraidInputPin(BraidMuxer* muxer, bool video, LPCWSTR name);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    BraidMuxer* const muxer_;
    const bool video_;
};

class BraidOutputPin final : public CBaseOutputPin {
public:
    explicit BraidOutputPin(BraidMuxer* muxer);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

private:
    BraidMuxer* const muxer_;
};

class BraidMuxer final : public CBaseFilter {
public:
    // The class table creates it (CreateComObject).
    BraidMuxer(IUnknown* outer, HRESULT* hr);
    ~BraidMuxer() override;

    int GetPinCount() override { return 3; }
    CBasePin* GetPin(int n) override;

    // From the pins.
    HRESULT ReceiveVideo(IMediaSample* sample);
    HRESULT ReceiveAudio(IMediaSample* sample);
    HRESULT EndOfStream(bool video);
    void BeginFlush();
    void EndFlush();
    void StartRun();  // output going active, or a flush ended: a fresh braid
    void EndRun();    // output inactive: nothing kept

private:
    // Sends what the braid produced (under receiveLock).
    HRESULT DeliverBytes();

    std::mutex receiveLock_;
    BraidInputPin videoIn_;
    BraidInputPin audioIn_;
    BraidOutputPin output_;
    StreamBraid braid_;                  // receiveLock
    std::vector<std::uint8_t> pending_;  // receiveLock: produced, not yet delivered
    bool endSent_ = false;               // receiveLock
    std::atomic<int> flushing_{0};       // inputs between BeginFlush and EndFlush
};

}  // namespace quvo::maker
