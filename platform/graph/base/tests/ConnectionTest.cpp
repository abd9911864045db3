// Pins connected by hand, without a graph manager: type negotiation between an
// output and an input pin, and the state machine of CBaseFilter calling the
// pins' Active/Inactive/Run hooks once per real transition.
#include <gtest/gtest.h>

#include "platform/graph/testkit/TestFilters.h"

namespace {
using namespace quvo::test;

bool IsConnected(IPin* pin)
{
    ComPtr<IPin> other;
    return pin->ConnectedTo(&other) == S_OK && other;
}

TEST(Connection, AgreesOnTheOnlyTypeBothSidesTake)
{
    auto* source = new CountingSource;
    ComPtr<IBaseFilter> holdSource(source);
    auto* sink = new CountingSink;
    ComPtr<IBaseFilter> holdSink(sink);

    ASSERT_EQ(source->Stream()->Connect(sink->Pin(), nullptr), S_OK);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(sink->Pin()->ConnectionMediaType(&mt), S_OK);
    EXPECT_TRUE(mt.majortype == MEDIATYPE_Stream);
    EXPECT_TRUE(mt.subtype == MEDIASUBTYPE_MPEG2_PROGRAM);
    FreeMediaType(mt);
    EXPECT_NE(sink->Pin()->Allocator(), nullptr);
    EXPECT_EQ(source->Stream()->Allocator(), sink->Pin()->Allocator());
    EXPECT_EQ(source->Stream()->Connect(sink->Pin(), nullptr), VFW_E_ALREADY_CONNECTED);

    EXPECT_EQ(source->Stream()->Disconnect(), S_OK);
    EXPECT_EQ(sink->Pin()->Disconnect(), S_OK);
    EXPECT_EQ(sink->Pin()->Disconnect(), S_FALSE);
}

TEST(Connection, RefusedTypeLeavesBothPinsUnconnected)
{
    auto* source = new CountingSource;
    ComPtr<IBaseFilter> holdSource(source);
    auto* sink = new CountingSink(MEDIATYPE_Video);
    ComPtr<IBaseFilter> holdSink(sink);

    HRESULT hr = source->Stream()->Connect(sink->Pin(), nullptr);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_FALSE(IsConnected(source->Stream()));
    EXPECT_FALSE(IsConnected(sink->Pin()));
    EXPECT_EQ(source->Stream()->Allocator(), nullptr);

    // A given type the output cannot produce is refused the same way.
    CMediaType video = VideoType();
    sink->accepted = MEDIATYPE_Video;
    EXPECT_TRUE(FAILED(source->Stream()->Connect(sink->Pin(), &video)));
    EXPECT_FALSE(IsConnected(source->Stream()));
    EXPECT_FALSE(IsConnected(sink->Pin()));
}

TEST(Connection, FailureAfterTheReceiverAcceptedUndoesBothSides)
{
    auto* source = new CountingSource;
    ComPtr<IBaseFilter> holdSource(source);
    auto* sink = new CountingSink;
    ComPtr<IBaseFilter> holdSink(sink);

    source->Stream()->decideResult = E_OUTOFMEMORY;  // allocator sizing fails
    EXPECT_TRUE(FAILED(source->Stream()->Connect(sink->Pin(), nullptr)));
    EXPECT_FALSE(IsConnected(source->Stream()));
    EXPECT_FALSE(IsConnected(sink->Pin()));

    source->Stream()->decideResult = S_OK;
    EXPECT_EQ(source->Stream()->Connect(sink->Pin(), nullptr), S_OK);
    source->Stream()->Disconnect();
    sink->Pin()->Disconnect();
}

TEST(Connection, PartialTypeSelectsAndDirectionIsChecked)
{
    auto* source = new CountingSource;
    ComPtr<IBaseFilter> holdSource(source);
    auto* sink = new CountingSink;
    ComPtr<IBaseFilter> holdSink(sink);
    auto* other = new CountingSource;
    ComPtr<IBaseFilter> holdOther(other);

    EXPECT_EQ(source->Stream()->Connect(other->Stream(), nullptr), VFW_E_INVALID_DIRECTION);
    CMediaType partial(&MEDIATYPE_Stream);  // subtype and format left open
    ASSERT_EQ(source->Stream()->Connect(sink->Pin(), &partial), S_OK);
    EXPECT_TRUE(sink->Pin()->CurrentMediaType() == StreamType());
    EXPECT_EQ(sink->Pin()->QueryAccept(&partial), S_OK);  // the sink checks the major type only
    CMediaType video = VideoType();
    EXPECT_EQ(sink->Pin()->QueryAccept(&video), S_FALSE);
    source->Stream()->Disconnect();
    sink->Pin()->Disconnect();
}

TEST(Connection, EnumeratorsListPinsAndTypes)
{
    auto* hook = new HookFilter;
    ComPtr<IBaseFilter> hold(hook);
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(hook->EnumPins(&pins), S_OK);
    IPin* got[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(pins->Next(3, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(got[0], static_cast<IPin*>(hook->In()));
    EXPECT_EQ(got[1], static_cast<IPin*>(hook->Out()));
    got[0]->Release();
    got[1]->Release();

    ComPtr<IPin> found;
    EXPECT_EQ(hook->FindPin(u"Out", &found), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IPin*>(hook->Out()));
    EXPECT_EQ(hook->FindPin(u"Nope", &found), VFW_E_NOT_FOUND);

    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(hook->Out()->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* mt[2] = {};
    EXPECT_EQ(types->Next(2, mt, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_TRUE(mt[0]->majortype == MEDIATYPE_Stream);
    DeleteMediaType(mt[0]);
}

// Source -> hook filter -> sink, so both hook pins are connected.
struct Chain {
    CountingSource* source = new CountingSource;
    ComPtr<IBaseFilter> holdSource{source};
    HookFilter* hook = new HookFilter;
    ComPtr<IBaseFilter> holdHook{hook};
    CountingSink* sink = new CountingSink;
    ComPtr<IBaseFilter> holdSink{sink};

    Chain()
    {
        EXPECT_EQ(source->Stream()->Connect(hook->In(), nullptr), S_OK);
        EXPECT_EQ(hook->Out()->Connect(sink->Pin(), nullptr), S_OK);
    }
    ~Chain()
    {
        sink->Stop();
        hook->Stop();
        source->Stop();
        source->Stream()->Disconnect();
        hook->In()->Disconnect();
        hook->Out()->Disconnect();
        sink->Pin()->Disconnect();
    }
};

TEST(FilterState, HooksRunOncePerTransition)
{
    Chain c;
    HookFilter* f = c.hook;
    ASSERT_EQ(f->Pause(), S_OK);
    ASSERT_EQ(f->Pause(), S_OK);
    ASSERT_EQ(f->Run(0), S_OK);
    ASSERT_EQ(f->Run(0), S_OK);
    ASSERT_EQ(f->Pause(), S_OK);
    ASSERT_EQ(f->Run(10), S_OK);
    FILTER_STATE state;
    ASSERT_EQ(f->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Running);
    EXPECT_EQ(f->StreamStart(), 10);
    EXPECT_EQ(f->In()->actives, 1);
    EXPECT_EQ(f->Out()->actives, 1);
    EXPECT_EQ(f->In()->runs, 2);
    EXPECT_EQ(f->In()->inactives, 0);
    // A connection change is refused while active.
    EXPECT_EQ(f->In()->Disconnect(), VFW_E_NOT_STOPPED);

    ASSERT_EQ(f->Stop(), S_OK);
    ASSERT_EQ(f->Stop(), S_OK);
    EXPECT_EQ(f->In()->inactives, 1);
    EXPECT_EQ(f->Out()->inactives, 1);
    EXPECT_TRUE(f->IsStopped());

    // Run from Stopped passes through Pause.
    ASSERT_EQ(f->Run(0), S_OK);
    EXPECT_EQ(f->In()->actives, 2);
}

TEST(FilterState, FailedActivationLeavesTheFilterStopped)
{
    Chain c;
    HookFilter* f = c.hook;
    f->Out()->failActive = E_FAIL;
    EXPECT_EQ(f->Pause(), E_FAIL);
    EXPECT_TRUE(f->IsStopped());
    EXPECT_EQ(f->In()->actives, 1);
    EXPECT_EQ(f->In()->inactives, 1);  // undone
    EXPECT_EQ(f->Run(0), E_FAIL);
    EXPECT_TRUE(f->IsStopped());

    f->Out()->failActive = S_OK;
    EXPECT_EQ(f->Pause(), S_OK);
    EXPECT_EQ(f->State(), State_Paused);
}

TEST(FilterState, UnconnectedPinsGetNoHooks)
{
    auto* f = new HookFilter;
    ComPtr<IBaseFilter> hold(f);
    ASSERT_EQ(f->Run(0), S_OK);
    ASSERT_EQ(f->Stop(), S_OK);
    EXPECT_EQ(f->In()->actives + f->Out()->actives + f->In()->inactives + f->Out()->inactives, 0);
}

TEST(FilterState, GraphMembershipAndClock)
{
    EventRecorder graph;
    ManualClock clock;
    auto* f = new HookFilter;
    ComPtr<IBaseFilter> hold(f);
    ASSERT_EQ(f->JoinFilterGraph(&graph, u"Hook"), S_OK);
    FILTER_INFO info{};
    ASSERT_EQ(f->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(std::u16string(info.achName), u"Hook");
    EXPECT_EQ(info.pGraph, static_cast<IFilterGraph*>(&graph));
    info.pGraph->Release();

    EXPECT_EQ(f->NotifyEvent(EC_COMPLETE, S_OK, 0), S_OK);
    EXPECT_EQ(graph.LastParam2(EC_COMPLETE),
              reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(f)));
    f->JoinFilterGraph(nullptr, nullptr);
    EXPECT_EQ(f->NotifyEvent(EC_COMPLETE, S_OK, 0), S_FALSE);
    EXPECT_EQ(graph.Count(EC_COMPLETE), 1);

    REFERENCE_TIME t = 0;
    EXPECT_EQ(f->StreamTime(&t), VFW_E_NO_CLOCK);
    f->SetSyncSource(&clock);
    clock.SetTime(500);
    f->Run(200);
    ASSERT_EQ(f->StreamTime(&t), S_OK);
    EXPECT_EQ(t, 300);
    f->Stop();
    f->SetSyncSource(nullptr);
}

}  // namespace
