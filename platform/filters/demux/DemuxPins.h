// The demultiplexer's pins. The input takes a program stream (MEDIATYPE_Stream,
// MPEG-2 program subtype). Each output offers exactly the media type it was created
// with, maps stream identifiers through IMPEG2StreamIdMap and delivers from its own
// queue thread (OutputQueue).
#pragma once

#include <atomic>

#include "platform/filters/demux/OutputQueue.h"
#include "platform/graph/MpegInterfaces.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

namespace quvo::filters {

class Mpeg2Demultiplexer;

class DemuxInputPin final : public CBaseInputPin {
public:
    DemuxInputPin(Mpeg2Demultiplexer* demux, std::recursive_mutex* filterLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT Active() override;
    // Streaming thread.
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    // Application thread.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    Mpeg2Demultiplexer* const demux_;
};

class DemuxOutputPin final : public CBaseOutputPin, public IMPEG2StreamIdMap {
public:
    DemuxOutputPin(Mpeg2Demultiplexer* demux, std::recursive_mutex* filterLock, HRESULT* phr,
                   LPCWSTR name, const CMediaType& type, int id);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMPEG2StreamIdMap: any time, also while streaming.
    HRESULT MapStreamId(ULONG streamId, DWORD content, ULONG substreamFilterValue, int dataOffset) override;
    HRESULT UnmapStreamId(ULONG count, ULONG* streamIds) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // Only while unconnected (SetOutputPinMediaType).
    HRESULT SetOfferedType(const CMediaType& type);
    int Id() const { return id_; }

    // Input streaming thread: queue one payload (or an end of stream).
    void Queue(QueuedPayload payload);
    void Flush();
    void AfterFlush() { discontinuity_ = true; }

private:
    // Output thread: copies the payload into as many samples as it needs.
    void DeliverPayload(QueuedPayload& payload);

    Mpeg2Demultiplexer* const demux_;
    const int id_;
    CMediaType offered_;  // changed only while unconnected, under the filter lock
    OutputQueue queue_;
    // Set by Active and EndFlush (application thread), taken by Queue (input streaming thread).
    std::atomic<bool> discontinuity_{true};
};

}  // namespace quvo::filters
