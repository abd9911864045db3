// The capture graph builder's searches in a graph source -> tee -> sink: an
// interface is found on the filter, upstream along input connections (depth
// first, through the tee) or downstream, as the direction asks; pins are found by
// direction, media type and connection state.
#include "platform/graph/tests/GraphFixture.h"
#include "platform/graph/testkit/TestFilters.h"

namespace quvo::test {
namespace {

class CaptureBuilderTest : public GraphTest {
protected:
    void SetUp() override
    {
        GraphTest::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2, builder.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
        source = CountingSource::Make(1, {});
        sink = CountingSink::Make();
        ASSERT_EQ(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   tee.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
        ASSERT_EQ(graph->AddFilter(tee.Get(), u"Tee"), S_OK);
        ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);
    }
    void Connect()
    {
        ComPtr<IPin> in, out;
        ASSERT_EQ(tee->FindPin(u"Input", &in), S_OK);
        ASSERT_EQ(graph->ConnectDirect(source->Out(), in.Get(), nullptr), S_OK);
        ASSERT_EQ(tee->FindPin(u"Output1", &out), S_OK);
        ASSERT_EQ(graph->ConnectDirect(out.Get(), sink->In(), nullptr), S_OK);
    }
    void TearDown() override
    {
        builder.Reset();
        source.Reset();
        sink.Reset();
        tee.Reset();
        GraphTest::TearDown();
    }

    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<CountingSource> source;
    ComPtr<CountingSink> sink;
    ComPtr<IBaseFilter> tee;
};

TEST_F(CaptureBuilderTest, KeepsOneGraph)
{
    ComPtr<IGraphBuilder> held;
    ASSERT_EQ(builder->GetFiltergraph(&held), S_OK);
    EXPECT_TRUE(IsSameObject(held.Get(), graph.Get()));
    ComPtr<IGraphBuilder> other;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               other.ReleaseAndGetVoidAddressOf()),
              S_OK);
    EXPECT_EQ(builder->SetFiltergraph(other.Get()), E_UNEXPECTED);
}

TEST_F(CaptureBuilderTest, FindsInterfacesUpstreamThroughTheTee)
{
    ComPtr<ITestMarker> marker;
    // Unconnected, the sink has nothing upstream.
    EXPECT_EQ(builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, sink.Get(), IID_ITestMarker,
                                     marker.ReleaseAndGetVoidAddressOf()),
              E_NOINTERFACE);
    Connect();
    ASSERT_EQ(builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, sink.Get(), IID_ITestMarker,
                                     marker.ReleaseAndGetVoidAddressOf()),
              S_OK);
    EXPECT_EQ(marker->Count(), 1);
    EXPECT_EQ(builder->FindInterface(&LOOK_DOWNSTREAM_ONLY, nullptr, sink.Get(), IID_ITestMarker,
                                     marker.ReleaseAndGetVoidAddressOf()),
              E_NOINTERFACE);
    // The capture category searches the filter itself first.
    ASSERT_EQ(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Stream, source.Get(), IID_ITestMarker,
                                     marker.ReleaseAndGetVoidAddressOf()),
              S_OK);
    // Downstream, the sink's input pin offers IMemInputPin.
    ComPtr<IMemInputPin> input;
    ASSERT_EQ(builder->FindInterface(&LOOK_DOWNSTREAM_ONLY, nullptr, source.Get(), IID_IMemInputPin,
                                     input.ReleaseAndGetVoidAddressOf()),
              S_OK);
}

TEST_F(CaptureBuilderTest, FindsPinsByDirectionTypeAndConnection)
{
    ComPtr<IPin> pin;
    ASSERT_EQ(builder->FindPin(static_cast<IBaseFilter*>(source.Get()), PINDIR_OUTPUT, nullptr, &MEDIATYPE_Stream, TRUE, 0, &pin), S_OK);
    EXPECT_TRUE(IsSameObject(pin.Get(), source->Out()));
    EXPECT_EQ(builder->FindPin(static_cast<IBaseFilter*>(source.Get()), PINDIR_OUTPUT, nullptr, &MEDIATYPE_Video, FALSE, 0, &pin), E_FAIL);
    EXPECT_EQ(builder->FindPin(static_cast<IBaseFilter*>(source.Get()), PINDIR_INPUT, nullptr, nullptr, FALSE, 0, &pin), E_FAIL);
    Connect();
    EXPECT_EQ(builder->FindPin(static_cast<IBaseFilter*>(source.Get()), PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, &pin), E_FAIL);
    // The tee's second output is its free one.
    ASSERT_EQ(builder->FindPin(tee.Get(), PINDIR_OUTPUT, nullptr, nullptr, FALSE, 1, &pin), S_OK);
    PIN_INFO info{};
    ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
    info.pFilter->Release();
    EXPECT_EQ(std::u16string(info.achName), u"Output2");
}

}  // namespace
}  // namespace quvo::test
