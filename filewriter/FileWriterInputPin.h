// FileWriterInputPin: the writer's "Input" pin. Accepts any media type and hands
// every byte of every sample to the writer state, under receiveLock.
#pragma once

#include "platform/graph/base/RenderedInputPin.h"

class FileWriter;

class FileWriterInputPin final : public CRenderedInputPin {
public:
    FileWriterInputPin(FileWriter* writer, CBaseFilter* filter, std::recursive_mutex* filterLock,
                       std::recursive_mutex* receiveLock, HRESULT* hr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT ReceiveCanBlock() override;

    // Drops the sample (S_OK) while no fragment is open; else the write path's result.
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

private:
    FileWriter* const writer_;
    std::recursive_mutex* const receiveLock_;
    // Start time of the last sample received (streaming thread, under receiveLock).
    REFERENCE_TIME lastSampleTime_ = 0;
};
