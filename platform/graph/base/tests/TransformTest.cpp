// Push source -> CTransformFilter -> counting sink, connected by hand. The
// transform doubles each sample number and skips multiples of 10; samples keep
// their order and times, end of stream and flushes pass downstream, and the
// output pin offers nothing before its input is connected.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/graph/testkit/TestFilters.h"

namespace {
using namespace quvo::test;

constexpr GUID kDoublerClsid = {0x5e1d0004, 0x1111, 0x4222, {0x83, 0x33, 0, 0, 0, 0, 0, 4}};

class Doubler : public CTransformFilter {
public:
    Doubler() : CTransformFilter("Doubler", nullptr, kDoublerClsid) {}

    HRESULT CheckInputType(const CMediaType* mt) override
    {
        return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override
    {
        return *in == *out ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    HRESULT GetMediaType(int position, CMediaType* mt) override
    {
        if (position != 0) return VFW_S_NO_MORE_ITEMS;
        *mt = InputPin()->CurrentMediaType();
        return S_OK;
    }
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override
    {
        props->cBuffers = 2;
        props->cbBuffer = 4;
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(props, &actual);
    }
    HRESULT Transform(IMediaSample* in, IMediaSample* out) override
    {
        BYTE *src = nullptr, *dst = nullptr;
        in->GetPointer(&src);
        out->GetPointer(&dst);
        std::uint32_t n;
        std::memcpy(&n, src, 4);
        if (n % 10 == 0) return S_FALSE;
        n *= 2;
        std::memcpy(dst, &n, 4);
        out->SetActualDataLength(4);
        REFERENCE_TIME s = 0, e = 0, outS = 0, outE = 0;
        in->GetTime(&s, &e);
        if (out->GetTime(&outS, &outE) != S_OK || outS != s || outE != e) timesLost = true;
        return S_OK;
    }
    HRESULT StartStreaming() override
    {
        ++starts;
        return S_OK;
    }
    HRESULT StopStreaming() override
    {
        ++stops;
        return S_OK;
    }

    bool timesLost = false;  // streaming thread, read after Stop
    int starts = 0, stops = 0;
};

struct Chain {
    CountingSource* source = new CountingSource;
    ComPtr<IBaseFilter> holdSource{source};
    Doubler* doubler = new Doubler;
    ComPtr<IBaseFilter> holdDoubler{doubler};
    CountingSink* sink = new CountingSink;
    ComPtr<IBaseFilter> holdSink{sink};

    void Connect()
    {
        ASSERT_EQ(source->Stream()->Connect(doubler->InputPin(), nullptr), S_OK);
        ASSERT_EQ(doubler->OutputPin()->Connect(sink->Pin(), nullptr), S_OK);
    }
    void Run()
    {
        sink->Pause();
        doubler->Pause();
        source->Pause();
        sink->Run(0);
        doubler->Run(0);
        source->Run(0);
    }
    void Stop()
    {
        sink->Stop();
        doubler->Stop();
        source->Stop();
    }
    ~Chain()
    {
        Stop();
        source->Stream()->Disconnect();
        doubler->InputPin()->Disconnect();
        doubler->OutputPin()->Disconnect();
        sink->Pin()->Disconnect();
    }
};

TEST(Transform, OutputNeedsAConnectedInput)
{
    Chain c;
    EXPECT_TRUE(FAILED(c.doubler->OutputPin()->Connect(c.sink->Pin(), nullptr)));
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(c.doubler->OutputPin()->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* mt = nullptr;
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(1, &mt, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
}

TEST(Transform, TransformsInOrderSkipsAndPassesEndOfStream)
{
    Chain c;
    c.Connect();
    c.source->Stream()->limit = 25;
    c.Run();
    ASSERT_TRUE(c.sink->WaitForEndOfStream());
    c.Stop();

    std::vector<std::uint32_t> expected;
    for (std::uint32_t n = 0; n < 25; ++n)
        if (n % 10 != 0) expected.push_back(n * 2);
    EXPECT_EQ(c.sink->Received(), expected);
    EXPECT_EQ(c.sink->EndOfStreams(), 1);
    EXPECT_FALSE(c.doubler->timesLost);
    EXPECT_EQ(c.doubler->starts, 1);
    EXPECT_EQ(c.doubler->stops, 1);
}

TEST(Transform, FlushTravelsDownstream)
{
    Chain c;
    c.Connect();
    c.source->Stream()->limit = 0;  // nothing but end of stream
    c.Run();
    ASSERT_TRUE(c.sink->WaitForEndOfStream());
    EXPECT_TRUE(c.sink->Pin()->IsAtEndOfStream());
    EXPECT_EQ(c.doubler->InputPin()->BeginFlush(), S_OK);
    EXPECT_TRUE(c.sink->Pin()->IsFlushing());
    EXPECT_EQ(c.doubler->InputPin()->EndFlush(), S_OK);
    EXPECT_FALSE(c.sink->Pin()->IsFlushing());
    EXPECT_FALSE(c.sink->Pin()->IsAtEndOfStream());
}

TEST(Transform, RepeatedStartStopWhileStreaming)
{
    Chain c;
    c.Connect();
    for (int cycle = 0; cycle < 200; ++cycle) {
        c.sink->Clear();
        c.Run();
        ASSERT_TRUE(c.sink->WaitForSamples(3)) << "cycle " << cycle;
        c.Stop();
        ASSERT_FALSE(c.source->Stream()->ThreadExists());
    }
    EXPECT_EQ(c.doubler->starts, 200);
    EXPECT_EQ(c.doubler->stops, 200);
}

}  // namespace
