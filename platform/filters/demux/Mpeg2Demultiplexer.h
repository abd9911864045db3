// The MPEG-2 Demultiplexer (CLSID_MPEG2Demultiplexer) for program streams: one input
// pin, output pins created by the application through IMpeg2Demultiplexer, each
// mapped to stream identifiers (and private stream 1 substreams) through its
// IMPEG2StreamIdMap. PES time stamps become sample times, starting near zero.
//
// Locks:
//   filterLock     the base filter's lock: state changes, connections, pin creation.
//   streamingLock  the streaming lock: the parser and the time base, taken by the
//                 input pin's Receive, EndOfStream and the flush calls.
//   mapLock_      the stream map and the list of outputs; taken briefly by the
//                 streaming thread (routing a payload) and by the application
//                 thread (creating, deleting and mapping pins). Never held while
//                 calling another filter.
#pragma once

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/filters/demux/DemuxPins.h"
#include "platform/filters/demux/ProgramStreamParser.h"
#include "platform/filters/demux/StreamRouter.h"
#include "platform/filters/demux/TimeStampClock.h"
#include "platform/graph/base/BaseFilter.h"

namespace quvo::filters {

class Mpeg2Demultiplexer final : public CBaseFilter, public IMpeg2Demultiplexer {
public:
    // The class table creates it (CreateComObject).
    Mpeg2Demultiplexer(IUnknown* outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMpeg2Demultiplexer (only while stopped).
    HRESULT CreateOutputPin(AM_MEDIA_TYPE* mt, LPWSTR pinName, IPin** pin) override;
    HRESULT SetOutputPinMediaType(LPWSTR pinName, AM_MEDIA_TYPE* mt) override;
    HRESULT DeleteOutputPin(LPWSTR pinName) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // From the output pins' IMPEG2StreamIdMap.
    HRESULT Map(int output, ULONG streamId, ULONG substreamFilter, int dataOffset);
    HRESULT Unmap(int output, ULONG streamId);

    // From the input pin: a new run starts (parser and time base forgotten).
    void ResetStreaming();
    // From the input pin, streaming thread.
    HRESULT ReceiveData(IMediaSample* sample);
    HRESULT EndOfStreamAll();
    // From the input pin, application thread.
    HRESULT BeginFlushAll();
    HRESULT EndFlushAll();

private:
    ~Mpeg2Demultiplexer() override;

    void OnPayload(const mpeg::PesPayload& payload);
    DemuxOutputPin* FindOutputLocked(std::u16string_view name) const;
    std::vector<DemuxOutputPin*> Outputs() const;

    mutable std::mutex mapLock_;

    DemuxInputPin input_;
    // Guarded by mapLock_ (changes also hold filterLock).
    std::vector<std::unique_ptr<DemuxOutputPin>> outputs_;
    // Pins deleted by DeleteOutputPin stay allocated: a caller may hold a reference.
    std::vector<std::unique_ptr<DemuxOutputPin>> retired_;
    mpeg::StreamRouter router_;
    int nextOutputId_ = 0;

    // Guarded by streamingLock.
    mpeg::ProgramStreamParser parser_;
    mpeg::TimeStampClock clock_;
};

}  // namespace quvo::filters
