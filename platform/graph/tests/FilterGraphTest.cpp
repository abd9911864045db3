// The graph manager's filter list and connections, with the tests' own filters:
// names are unique, removal disconnects, ConnectDirect connects exactly the two
// pins it is given or neither, and the forwarded interfaces fail cleanly when no
// filter offers them.
#include <string>

#include "platform/graph/tests/GraphFixture.h"
#include "platform/graph/testkit/TestFilters.h"

namespace quvo::test {
namespace {

std::u16string NameOf(IBaseFilter* filter)
{
    FILTER_INFO info{};
    if (FAILED(filter->QueryFilterInfo(&info))) return {};
    if (info.pGraph) info.pGraph->Release();
    return info.achName;
}

using FilterListTest = GraphTest;

TEST_F(FilterListTest, NamesAreMadeUniqueAndFindable)
{
    auto a = CountingSink::Make();
    auto b = CountingSink::Make();
    auto c = CountingSink::Make();
    ASSERT_EQ(graph->AddFilter(a.Get(), u"Sink"), S_OK);
    EXPECT_EQ(graph->AddFilter(b.Get(), u"Sink"), VFW_S_DUPLICATE_NAME);
    ASSERT_EQ(graph->AddFilter(c.Get(), nullptr), S_OK);

    EXPECT_EQ(NameOf(a.Get()), u"Sink");
    EXPECT_EQ(NameOf(b.Get()), u"Sink 0001");
    EXPECT_FALSE(NameOf(c.Get()).empty());
    EXPECT_NE(NameOf(c.Get()), NameOf(a.Get()));

    ComPtr<IBaseFilter> found;
    ASSERT_EQ(graph->FindFilterByName(u"Sink 0001", &found), S_OK);
    EXPECT_TRUE(IsSameObject(found.Get(), b.Get()));
    EXPECT_EQ(graph->FindFilterByName(u"Nothing", &found), VFW_E_NOT_FOUND);

    // The same filter twice is refused.
    EXPECT_TRUE(FAILED(graph->AddFilter(a.Get(), u"Again")));
}

TEST_F(FilterListTest, EnumeratesInOrderAndForgetsRemovedFilters)
{
    auto a = CountingSink::Make();
    auto b = CountingSource::Make(1, {});
    ASSERT_EQ(graph->AddFilter(a.Get(), u"A"), S_OK);
    ASSERT_EQ(graph->AddFilter(b.Get(), u"B"), S_OK);

    ComPtr<IEnumFilters> e;
    ASSERT_EQ(graph->EnumFilters(&e), S_OK);
    IBaseFilter* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(e->Next(3, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_TRUE(IsSameObject(got[0], a.Get()));
    EXPECT_TRUE(IsSameObject(got[1], static_cast<IBaseFilter*>(b.Get())));
    got[0]->Release();
    got[1]->Release();

    ASSERT_EQ(graph->RemoveFilter(a.Get()), S_OK);
    EXPECT_EQ(graph->RemoveFilter(a.Get()), VFW_E_NOT_FOUND);
    FILTER_INFO info{};
    ASSERT_EQ(a->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(info.pGraph, nullptr);  // left the graph

    ASSERT_EQ(graph->EnumFilters(&e), S_OK);
    ASSERT_EQ(e->Next(1, got, &fetched), S_OK);
    EXPECT_TRUE(IsSameObject(got[0], static_cast<IBaseFilter*>(b.Get())));
    got[0]->Release();
    EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
}

using ConnectionTest = GraphTest;

TEST_F(ConnectionTest, ConnectDirectJoinsExactlyTheTwoPins)
{
    auto source = CountingSource::Make(1, {});
    auto sink = CountingSink::Make();
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);

    ASSERT_EQ(graph->ConnectDirect(source->Out(), sink->In(), nullptr), S_OK);
    ComPtr<IPin> peer;
    ASSERT_EQ(source->Out()->ConnectedTo(&peer), S_OK);
    EXPECT_TRUE(IsSameObject(peer.Get(), sink->In()));
    EXPECT_EQ(graph->ConnectDirect(source->Out(), sink->In(), nullptr), VFW_E_ALREADY_CONNECTED);

    // Disconnect works on one pin only.
    ASSERT_EQ(graph->Disconnect(sink->In()), S_OK);
    EXPECT_EQ(sink->In()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(source->Out()->ConnectedTo(&peer), S_OK);
    ASSERT_EQ(graph->Disconnect(source->Out()), S_OK);
}

TEST_F(ConnectionTest, RefusedConnectionLeavesBothPinsFree)
{
    auto source = CountingSource::Make(1, {});
    auto refusing = CountingSink::Make(GUID_NULL);
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(refusing.Get(), u"Refusing"), S_OK);

    EXPECT_TRUE(FAILED(graph->ConnectDirect(source->Out(), refusing->In(), nullptr)));
    ComPtr<IPin> peer;
    EXPECT_EQ(source->Out()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(refusing->In()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    // Nothing was inserted between them.
    ComPtr<IEnumFilters> e;
    ASSERT_EQ(graph->EnumFilters(&e), S_OK);
    EXPECT_EQ(e->Skip(2), S_OK);
    EXPECT_EQ(e->Skip(1), S_FALSE);
}

TEST_F(ConnectionTest, PinsOutsideTheGraphOrBackwardsAreRefused)
{
    auto source = CountingSource::Make(1, {});
    auto sink = CountingSink::Make();
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    EXPECT_EQ(graph->ConnectDirect(source->Out(), sink->In(), nullptr), VFW_E_NOT_IN_GRAPH);
    ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);
    EXPECT_EQ(graph->ConnectDirect(sink->In(), source->Out(), nullptr), VFW_E_INVALID_DIRECTION);
}

TEST_F(ConnectionTest, RemovingAFilterBreaksItsConnections)
{
    auto source = CountingSource::Make(1, {});
    auto sink = CountingSink::Make();
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(graph->ConnectDirect(source->Out(), sink->In(), nullptr), S_OK);

    ASSERT_EQ(graph->RemoveFilter(sink.Get()), S_OK);
    ComPtr<IPin> peer;
    EXPECT_EQ(source->Out()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(sink->In()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
}

using ForwardingTest = GraphTest;

TEST_F(ForwardingTest, VideoWindowWithoutRendererFails)
{
    ComPtr<IVideoWindow> window;
    ASSERT_EQ(graph->QueryInterface(IID_IVideoWindow, window.ReleaseAndGetVoidAddressOf()), S_OK);
    auto sink = CountingSink::Make();
    ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);
    EXPECT_EQ(window->put_Visible(OATRUE), E_NOINTERFACE);
    LONG mode = 0;
    EXPECT_EQ(window->get_FullScreenMode(&mode), E_NOINTERFACE);

    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaSeeking, seeking.ReleaseAndGetVoidAddressOf()), S_OK);
    LONGLONG duration = 0;
    EXPECT_EQ(seeking->GetDuration(&duration), E_NOTIMPL);
}

}  // namespace
}  // namespace quvo::test
