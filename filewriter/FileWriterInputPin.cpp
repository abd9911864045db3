#include "filewriter/FileWriterInputPin.h"

#include "filewriter/FileWriter.h"
#include "filewriter/NoThrow.h"

FileWriterInputPin::FileWriterInputPin(FileWriter* writer, CBaseFilter* filter, std::recursive_mutex* filterLock,
                                       std::recursive_mutex* receiveLock, HRESULT* hr)
    : CRenderedInputPin("Tavrin MPEG File Writer input pin", filter, filterLock, hr, u"Input"),
      writer_(writer),
      receiveLock_(receiveLock)
{
}

HRESULT FileWriterInputPin::CheckMediaType(const CMediaType*) { return S_OK; }

HRESULT FileWriterInputPin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT FileWriterInputPin::ReceiveCanBlock() { return S_FALSE; }

HRESULT FileWriterInputPin::Receive(IMediaSample* sample)
{
    if (!sample) return E_POINTER;
    std::lock_guard lock(*receiveLock_);
    quvo::filewriter::WriterState& state = writer_->state_;
    // Before the first Pause, after Stop or after a failed split: nothing to write to.
    if (!state.FragmentOpen()) return S_OK;
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    lastSampleTime_ = start;
    BYTE* data = nullptr;
    HRESULT hr = sample->GetPointer(&data);
    if (FAILED(hr)) return hr;
    LONG length = sample->GetActualDataLength();
    return quvo::filewriter::NoThrow(
        [&] { return state.WriteData(data, length > 0 ? static_cast<DWORD>(length) : 0); });
}

HRESULT FileWriterInputPin::EndOfStream()
{
    // No writer state is involved, and the base sends EC_COMPLETE to the graph,
    // which must not happen under a lock that Stop waits for: no receiveLock here.
    return CRenderedInputPin::EndOfStream();
}

HRESULT FileWriterInputPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double)
{
    std::lock_guard lock(*receiveLock_);
    lastSampleTime_ = 0;
    return S_OK;
}
