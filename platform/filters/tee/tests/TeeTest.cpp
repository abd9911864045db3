// The Infinite Pin Tee on its own: its pins ("Input", then "Output1",
// "Output2"... one free output at all times), the type its outputs offer, and
// delivery that goes on to the other outputs when one of them fails.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/MediaType.h"
#include "platform/graph/testkit/TestFilters.h"

namespace quvo::test {
namespace {

std::vector<std::u16string> PinNames(IBaseFilter* filter)
{
    std::vector<std::u16string> names;
    ComPtr<IEnumPins> e;
    if (FAILED(filter->EnumPins(&e))) return names;
    IPin* pin = nullptr;
    ULONG fetched = 0;
    while (e->Next(1, &pin, &fetched) == S_OK) {
        PIN_INFO info{};
        pin->QueryPinInfo(&info);
        if (info.pFilter) info.pFilter->Release();
        names.emplace_back(info.achName);
        pin->Release();
    }
    return names;
}

ComPtr<IPin> Pin(IBaseFilter* filter, const char16_t* name)
{
    ComPtr<IPin> pin;
    filter->FindPin(name, &pin);
    return pin;
}

class TeeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   tee.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        source = CountingSource::Make(50, {});
        ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
        ASSERT_EQ(graph->AddFilter(tee.Get(), u"Tee"), S_OK);
    }
    void TearDown() override
    {
        ComPtr<IMediaControl> control;
        if (graph && SUCCEEDED(graph->QueryInterface(IID_IMediaControl, control.ReleaseAndGetVoidAddressOf())))
            control->Stop();
        control.Reset();
        graph.Reset();
        tee.Reset();
        source.Reset();
        CoUninitialize();
    }

    ComPtr<CountingSink> AddSink(const char16_t* name, bool failSamples = false)
    {
        auto sink = CountingSink::Make();
        if (failSamples) sink->failAfter = 0;
        EXPECT_EQ(graph->AddFilter(sink.Get(), name), S_OK);
        return sink;
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IBaseFilter> tee;
    ComPtr<CountingSource> source;
};

TEST_F(TeeTest, OutputsConnectOnlyAfterTheInput)
{
    EXPECT_EQ(PinNames(tee.Get()), (std::vector<std::u16string>{u"Input", u"Output1"}));
    auto sink = AddSink(u"Sink");
    EXPECT_TRUE(FAILED(graph->ConnectDirect(Pin(tee.Get(), u"Output1").Get(), sink->In(), nullptr)));
    ComPtr<IPin> peer;
    EXPECT_EQ(sink->In()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
}

TEST_F(TeeTest, ConnectingAnOutputOffersTheNextFreeOne)
{
    ASSERT_EQ(graph->ConnectDirect(source->Out(), Pin(tee.Get(), u"Input").Get(), nullptr), S_OK);
    auto a = AddSink(u"A");
    auto b = AddSink(u"B");
    ASSERT_EQ(graph->ConnectDirect(Pin(tee.Get(), u"Output1").Get(), a->In(), nullptr), S_OK);
    EXPECT_EQ(PinNames(tee.Get()), (std::vector<std::u16string>{u"Input", u"Output1", u"Output2"}));
    ASSERT_EQ(graph->ConnectDirect(Pin(tee.Get(), u"Output2").Get(), b->In(), nullptr), S_OK);
    EXPECT_EQ(PinNames(tee.Get()), (std::vector<std::u16string>{u"Input", u"Output1", u"Output2", u"Output3"}));

    // A disconnected output goes while another free one remains; the free one stays.
    ASSERT_EQ(graph->Disconnect(a->In()), S_OK);
    ASSERT_EQ(graph->Disconnect(Pin(tee.Get(), u"Output1").Get()), S_OK);
    EXPECT_EQ(PinNames(tee.Get()), (std::vector<std::u16string>{u"Input", u"Output2", u"Output3"}));
    // The next connection takes the free pin and a new one gets the lowest free number.
    ASSERT_EQ(graph->ConnectDirect(Pin(tee.Get(), u"Output3").Get(), a->In(), nullptr), S_OK);
    EXPECT_EQ(PinNames(tee.Get()), (std::vector<std::u16string>{u"Input", u"Output2", u"Output3", u"Output1"}));
}

TEST_F(TeeTest, OutputsOfferTheInputsConnectionType)
{
    ASSERT_EQ(graph->ConnectDirect(source->Out(), Pin(tee.Get(), u"Input").Get(), nullptr), S_OK);
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(Pin(tee.Get(), u"Output1")->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* mt = nullptr;
    ULONG fetched = 0;
    ASSERT_EQ(types->Next(1, &mt, &fetched), S_OK);
    EXPECT_EQ(mt->majortype, MEDIATYPE_Stream);
    EXPECT_EQ(mt->subtype, MEDIASUBTYPE_MPEG2_PROGRAM);
    DeleteMediaType(mt);
    EXPECT_EQ(types->Next(1, &mt, &fetched), S_FALSE);
}

TEST_F(TeeTest, AFailingOutputDoesNotStopTheOthers)
{
    ASSERT_EQ(graph->ConnectDirect(source->Out(), Pin(tee.Get(), u"Input").Get(), nullptr), S_OK);
    auto failing = AddSink(u"Failing", true);
    auto good = AddSink(u"Good");
    ASSERT_EQ(graph->ConnectDirect(Pin(tee.Get(), u"Output1").Get(), failing->In(), nullptr), S_OK);
    ASSERT_EQ(graph->ConnectDirect(Pin(tee.Get(), u"Output2").Get(), good->In(), nullptr), S_OK);

    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.ReleaseAndGetVoidAddressOf()), S_OK);
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, events.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    // Both sinks report the end of the stream; the good one has every sample.
    LONG code = 0;
    for (int i = 0; i < 100 && code != EC_COMPLETE; ++i) events->WaitForCompletion(100, &code);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(good->Received().size(), 50u);
    EXPECT_TRUE(failing->Received().empty());
    control->Stop();
}

}  // namespace
}  // namespace quvo::test
