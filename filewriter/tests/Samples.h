// Media samples for driving the writer's pin the way an upstream pin does: buffers
// from a committed CMemAllocator, filled and handed to Receive.
#pragma once

#include <cstring>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/graph/base/MemAllocator.h"

namespace quvo::filewriter::test {

class SamplePool {
public:
    explicit SamplePool(LONG bufferSize, LONG count = 4)
    {
        if (FAILED(CMemAllocator::Create(allocator_.ReleaseAndGetAddressOf()))) return;
        ALLOCATOR_PROPERTIES want{count, bufferSize, 1, 0}, got{};
        if (SUCCEEDED(allocator_->SetProperties(&want, &got))) allocator_->Commit();
    }
    ~SamplePool()
    {
        if (allocator_) allocator_->Decommit();
    }

    // A sample holding `n` bytes of `data`, or null.
    ComPtr<IMediaSample> Make(const BYTE* data, std::size_t n)
    {
        ComPtr<IMediaSample> sample;
        if (!allocator_ || FAILED(allocator_->GetBuffer(sample.ReleaseAndGetAddressOf(), nullptr, nullptr, 0)))
            return {};
        BYTE* buffer = nullptr;
        sample->GetPointer(&buffer);
        if (n) std::memcpy(buffer, data, n);
        sample->SetActualDataLength(static_cast<LONG>(n));
        return sample;
    }
    ComPtr<IMediaSample> Make(const std::vector<BYTE>& data) { return Make(data.data(), data.size()); }

private:
    ComPtr<IMemAllocator> allocator_;
};

}  // namespace quvo::filewriter::test
