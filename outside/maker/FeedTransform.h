// The maker's transform ("XFormFeedFace"): readies the two streams of a played file
// for the muxer that feeds them back into the board. Pins, in the order the
// playback graph connects them: video in, audio in, video out, audio out.
//
//   video: the splitter's elementary stream, cut into access units. Each timed
//          output sample starts one: start time = PTS, media time = DTS (both
//          100 ns), sync point = it starts with a sequence or group header. An
//          untimed sample continues the unit before it.
//   audio: the decoder's 16-bit PCM of any rate, as 48 kHz 16-bit stereo PCM; a
//          timed sample gives the time of its first sample frame.
//
// Each path works on the thread of its upstream filter and delivers at once, so
// the two never wait for each other.
//
// Locks: filterLock (state, connections); each path has its streaming lock
// (Receive, EndOfStream, and the reset when its output stops). A flush is passed
// downstream before the streaming lock is taken, which releases a Receive blocked
// downstream.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "outside/maker/AccessUnits.h"
#include "outside/maker/PcmTo48k.h"
#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

namespace quvo::maker {

class FeedPath;

class FeedInputPin final : public CBaseInputPin {
public:
    FeedInputPin(FeedPath* path, CBaseFilter* filter, std::recursive_mutex* lock, LPCWSTR name);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT Active() override;
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    FeedPath* const path_;
};

class FeedOutputPin final : public CBaseOutputPin {
public:
    FeedOutputPin(FeedPath* path, CBaseFilter* filter, std::recursive_mutex* lock, LPCWSTR name);
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Inactive() override;

private:
    FeedPath* const path_;
};

// One input feeding one output.
class FeedPath {
public:
    FeedPath(CBaseFilter* filter, std::recursive_mutex* lock, LPCWSTR inName, LPCWSTR outName);
    virtual ~FeedPath() = default;

    FeedInputPin& Input() { return input_; }
    FeedOutputPin& Output() { return output_; }

    // What the path takes and gives (filter lock).
    virtual HRESULT CheckInput(const CMediaType& mt) = 0;
    virtual HRESULT UseInput(const CMediaType& mt) = 0;
    virtual bool OutputType(CMediaType* mt) = 0;
    virtual LONG BufferBytes() const = 0;

    // Streaming, under receiveLock.
    HRESULT Receive(IMediaSample* sample);
    HRESULT EndOfStream();
    void BeginFlush();
    void EndFlush();
    void Reset();  // a new run, a flush, a stop: nothing is kept

protected:
    virtual HRESULT Process(const BYTE* data, std::size_t size, bool hasTime, REFERENCE_TIME start) = 0;
    virtual HRESULT Finish() = 0;
    virtual void Clear() = 0;
    // Delivers `size` bytes in as many samples as they need; only the first is
    // timed (and a sync point when asked).
    HRESULT Deliver(const std::uint8_t* data, std::size_t size, const REFERENCE_TIME* start,
                    const REFERENCE_TIME* mediaTime, bool syncPoint);

    std::mutex receiveLock_;

private:
    FeedInputPin input_;
    FeedOutputPin output_;
};

class FeedTransform final : public CBaseFilter {
public:
    // The class table creates it (CreateComObject).
    FeedTransform(IUnknown* outer, HRESULT* hr);
    ~FeedTransform() override;

    int GetPinCount() override { return 4; }
    CBasePin* GetPin(int n) override;

private:
    std::unique_ptr<FeedPath> video_;
    std::unique_ptr<FeedPath> audio_;
};

}  // namespace quvo::maker
