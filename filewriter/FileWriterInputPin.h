// FileWriterInputPin: the writer's "Input" pin. Accepts any media type; the
// filter (FileWriterFilter) takes what it receives, and once the streaming lock is
// released the pin has the writer tell the graph what that brought about.
#pragma once

#include "platform/graph/base/BaseSink.h"

class FileWriter;

class FileWriterInputPin final : public CSinkInputPin {
public:
    FileWriterInputPin(CBaseSink* filter, FileWriter* writer, HRESULT* hr);

    HRESULT Receive(IMediaSample* sample) override;
    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT ReceiveCanBlock() override;

private:
    FileWriter* const writer_;
};
