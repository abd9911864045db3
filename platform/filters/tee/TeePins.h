// The tee's pins. The input takes any type while no output is connected, and
// afterwards only a type every connected output's peer accepts; an output offers
// exactly the input's connection type and can connect only while the input is
// connected.
#pragma once

#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"

namespace quvo::filters {

class InfTee;

class TeeInputPin final : public CBaseInputPin {
public:
    TeeInputPin(InfTee* tee, std::recursive_mutex* filterLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    // Streaming thread.
    HRESULT Receive(IMediaSample* sample) override;
    HRESULT EndOfStream() override;
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;
    // Application thread.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    InfTee* const tee_;
};

class TeeOutputPin final : public CBaseOutputPin {
public:
    TeeOutputPin(InfTee* tee, std::recursive_mutex* filterLock, HRESULT* phr, LPCWSTR name);

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT BreakConnect() override;

private:
    InfTee* const tee_;
};

}  // namespace quvo::filters
