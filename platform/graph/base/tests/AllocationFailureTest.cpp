// A failed allocation on the streaming path. Graph: manual source -> Infinite
// Pin Tee -> counting sink, paused. While every allocation of the delivering
// thread fails, the tee's Receive (which lists its outputs) and the sink's
// OnReceive (which records the sample) answer E_OUTOFMEMORY instead of letting
// std::bad_alloc out of the component; afterwards samples flow again. Component
// methods that allocate (a demultiplexer's new pin and its name, a filter joining
// a graph, a pin enumerator) answer the same, and work again afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "platform/com/Runtime.h"
#include "platform/graph/MpegInterfaces.h"
#include "platform/graph/testkit/TestFilters.h"

namespace {
thread_local bool t_failAllocations = false;
}  // namespace

// Replaces the process's allocator so a test can make one thread's allocations fail.
// The compiler cannot see that new and delete here are one malloc/free pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size)
{
    if (t_failAllocations) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
// The nothrow form too: the library's new (std::nothrow) must pair with the delete
// above, and fails like the throwing form while the thread's allocations fail.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    if (t_failAllocations) return nullptr;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {
using namespace quvo::test;

struct FailAllocations {
    FailAllocations() { t_failAllocations = true; }
    ~FailAllocations() { t_failAllocations = false; }
};

TEST(AllocationFailure, OnTheStreamingPathBecomesOutOfMemory)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    {
        auto* source = new ManualSource;
        ComPtr<IBaseFilter> holdSource(source);
        auto* sink = new CountingSink;
        ComPtr<IBaseFilter> holdSink(sink);
        ComPtr<IBaseFilter> tee;
        ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   tee.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ComPtr<IPin> teeIn, teeOut;
        ASSERT_EQ(tee->FindPin(u"Input", &teeIn), S_OK);
        ASSERT_EQ(source->Pin()->Connect(teeIn.Get(), nullptr), S_OK);
        ASSERT_EQ(tee->FindPin(u"Output1", &teeOut), S_OK);
        ASSERT_EQ(teeOut->Connect(sink->Pin(), nullptr), S_OK);
        ASSERT_EQ(sink->Pause(), S_OK);
        ASSERT_EQ(tee->Pause(), S_OK);
        ASSERT_EQ(source->Pause(), S_OK);

        ComPtr<IMediaSample> sample;
        ASSERT_EQ(source->Pin()->GetDeliveryBuffer(&sample, nullptr, nullptr, 0), S_OK);
        ComPtr<IMemInputPin> teeInput;
        ASSERT_EQ(teeIn->QueryInterface(IID_IMemInputPin, teeInput.ReleaseAndGetVoidAddressOf()), S_OK);
        HRESULT hr = S_OK;
        {
            FailAllocations failing;
            hr = teeInput->Receive(sample.Get());
        }
        EXPECT_EQ(hr, E_OUTOFMEMORY);
        {
            FailAllocations failing;
            hr = sink->Pin()->Receive(sample.Get());
        }
        EXPECT_EQ(hr, E_OUTOFMEMORY);
        sample.Reset();
        EXPECT_TRUE(sink->Received().empty());

        EXPECT_EQ(source->Pin()->Push(7, -1, -1), S_OK);
        EXPECT_EQ(sink->Received(), (std::vector<std::uint32_t>{7}));

        sink->Stop();
        tee->Stop();
        source->Stop();
        source->Pin()->Disconnect();
        teeIn->Disconnect();
        teeOut->Disconnect();
        sink->Pin()->Disconnect();
    }
    CoUninitialize();
}

TEST(AllocationFailure, ComponentMethodsAnswerOutOfMemory)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    {
        ComPtr<IBaseFilter> demux, tee;
        ComPtr<IGraphBuilder> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_MPEG2Demultiplexer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   demux.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   tee.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ComPtr<IMpeg2Demultiplexer> control;
        ASSERT_EQ(demux->QueryInterface(IID_IMpeg2Demultiplexer, control.ReleaseAndGetVoidAddressOf()), S_OK);
        CMediaType type = StreamType();
        char16_t name[] = u"Video Out";
        ComPtr<IPin> pin;
        ComPtr<IEnumPins> pins;
        HRESULT created = S_OK, joined = S_OK, listed = S_OK;
        {
            FailAllocations failing;
            created = control->CreateOutputPin(&type, name, &pin);
            joined = graph->AddFilter(tee.Get(), u"Tee");
            listed = tee->EnumPins(&pins);
        }
        EXPECT_EQ(created, E_OUTOFMEMORY);
        EXPECT_EQ(joined, E_OUTOFMEMORY);
        EXPECT_EQ(listed, E_OUTOFMEMORY);
        EXPECT_FALSE(pin || pins);
        EXPECT_EQ(control->CreateOutputPin(&type, name, &pin), S_OK);
        EXPECT_EQ(graph->AddFilter(tee.Get(), u"Tee"), S_OK);
        EXPECT_EQ(tee->EnumPins(&pins), S_OK);
        graph->RemoveFilter(tee.Get());
    }
    CoUninitialize();
}

}  // namespace
