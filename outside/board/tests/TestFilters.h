// Two small filters for streaming tests of the board: a sink that appends every
// sample to a byte buffer, and a source that pushes a given byte string in
// chunks and then ends the stream (from the start again at each run).
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/graph/base/Streams.h"

namespace quvo::board::test {

class ByteSink;

class ByteSinkPin : public CSinkInputPin {
public:
    ByteSinkPin(ByteSink* sink, HRESULT* phr);
    HRESULT CheckMediaType(const CMediaType* mt) override;
};

class ByteSink : public CBaseSink {
public:
    ByteSink();
    CSinkInputPin* SinkPin() override { return &pin_; }

    // The streaming lock guards these (streaming thread writes, test reads after Stop).
    std::vector<std::uint8_t> bytes;
    int samples = 0;
    bool everyStartsWithPack = true;

private:
    HRESULT OnReceive(IMediaSample* sample) override;
    ByteSinkPin pin_;
};

class BytePushSource;

class BytePushStream : public CSourceStream {
public:
    BytePushStream(HRESULT* phr, BytePushSource* filter);
    HRESULT GetMediaType(CMediaType* mt) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    HRESULT FillBuffer(IMediaSample* sample) override;
    // Every run starts from the first byte.
    HRESULT OnThreadStartPlay() override;

    std::vector<std::uint8_t> data;  // set while stopped
    std::size_t chunk = 8192;

private:
    std::size_t sent_ = 0;  // streaming thread
};

class BytePushSource : public CSource {
public:
    BytePushSource();
    BytePushStream* Stream() { return stream_; }

private:
    BytePushStream* stream_;
};

}  // namespace quvo::board::test
