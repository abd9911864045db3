// Shared setup of the graph tests: the component runtime for the test thread and a
// fresh graph manager.
#pragma once

#include <gtest/gtest.h>

#include "platform/com/ComPtr.h"
#include "platform/com/Runtime.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Guids.h"

namespace quvo::test {

class GraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.ReleaseAndGetVoidAddressOf()),
                  S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.ReleaseAndGetVoidAddressOf()), S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_IMediaEventEx, events.ReleaseAndGetVoidAddressOf()), S_OK);
    }
    void TearDown() override
    {
        if (control) control->Stop();
        events.Reset();
        control.Reset();
        graph.Reset();
        CoUninitialize();
    }

    // Takes every event queued now; returns their codes in order.
    std::vector<LONG> DrainEvents()
    {
        std::vector<LONG> codes;
        LONG code;
        LONG_PTR p1, p2;
        while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
            codes.push_back(code);
            events->FreeEventParams(code, p1, p2);
        }
        return codes;
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
};

}  // namespace quvo::test
