// FileWriterInputPin: the writer's "Input" pin. Accepts any media type; the
// filter (FileWriterFilter) takes what it receives.
#pragma once

#include "platform/graph/base/BaseSink.h"

class FileWriterInputPin final : public CSinkInputPin {
public:
    FileWriterInputPin(CBaseSink* filter, HRESULT* hr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT ReceiveCanBlock() override;
};
