// The writer at the end of a real filter graph: the tests' push source delivers a
// program stream in 4 KiB samples from its own thread, then ends the stream. The
// writer connects to it with the source's type, writes every byte, makes the graph
// report EC_COMPLETE, and closes its files when the graph stops.
#include <gtest/gtest.h>

#include <vector>

#include "filewriter/FileWriter.h"
#include "platform/com/ClassFactory.h"
#include "filewriter/tests/ProgramStream.h"
#include "filewriter/tests/TestFiles.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/MediaType.h"
#include "platform/graph/testkit/TestFilters.h"

namespace quvo::filewriter {
namespace {

struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

TEST(WriterInAGraph, WritesTheWholeStreamAndReportsCompletion)
{
    ComScope com;
    test::TempDir dir;
    test::ProgramStreamBuilder ps(9);
    ps.Stream(120, 8);
    const std::vector<BYTE> data = ps.Take();

    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.ReleaseAndGetVoidAddressOf()),
              S_OK);
    auto* push = new quvo::test::CountingSource;
    push->Stream()->bytes = data;
    push->Stream()->chunk = 4096;
    ComPtr<IBaseFilter> source(push);
    HRESULT hr = S_OK;
    ComPtr<IBaseFilter> writer;
    CreateComObject<FileWriter>(nullptr, &hr)->NonDelegatingQueryInterface(IID_IBaseFilter, writer.ReleaseAndGetVoidAddressOf());
    ASSERT_TRUE(writer);
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(writer.Get(), u"Writer"), S_OK);

    ComPtr<IFileSinkFilter> sink;
    ComPtr<WriterControl> control;
    writer->QueryInterface(IID_IFileSinkFilter, sink.ReleaseAndGetVoidAddressOf());
    writer->QueryInterface(IID_WriterControl, control.ReleaseAndGetVoidAddressOf());
    ASSERT_EQ(control->DisableCaptureOnTheFly(), S_OK);
    ASSERT_EQ(sink->SetFileName(dir.Wide("graph.mpg").c_str(), nullptr), S_OK);
    ASSERT_EQ(control->SetFileSizeLimit(32), S_OK);  // 32 KiB: a few fragments

    ComPtr<IPin> out, in;
    ASSERT_EQ(source->FindPin(u"Output", out.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(writer->FindPin(u"Input", in.ReleaseAndGetAddressOf()), S_OK);
    ASSERT_EQ(graph->ConnectDirect(out.Get(), in.Get(), nullptr), S_OK);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(in->ConnectionMediaType(&mt), S_OK);
    EXPECT_EQ(mt.subtype, MEDIASUBTYPE_MPEG2_PROGRAM);
    FreeMediaType(mt);

    ComPtr<IMediaControl> media;
    ComPtr<IMediaEvent> events;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, media.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEvent, events.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_GE(media->Run(), S_OK);
    LONG code = 0;
    ASSERT_EQ(events->WaitForCompletion(20000, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(control->GetBytesStreamed(), data.size());
    ASSERT_GE(media->Stop(), S_OK);

    std::vector<BYTE> joined;
    std::string description = "TVMP\r\n";
    for (int i = 0; test::Exists(dir.File(i ? "graph_" + std::to_string(i) + ".mpg" : "graph.mpg")); ++i) {
        std::string name = i ? "graph_" + std::to_string(i) + ".mpg" : "graph.mpg";
        std::vector<BYTE> part = test::ReadBytes(dir.File(name));
        EXPECT_LE(part.size(), 32u * 1024) << name;
        joined.insert(joined.end(), part.begin(), part.end());
        description += name + ";" + std::to_string(part.size()) + "\r\n";
    }
    EXPECT_EQ(joined, data);
    EXPECT_EQ(test::ReadText(dir.File("graph.mzl")), description);
    EXPECT_NE(description.find("graph_1.mpg"), std::string::npos);
}

}  // namespace
}  // namespace quvo::filewriter
