// The demultiplexer's control surface as the SDK uses it: output pins offer exactly
// the type they were created with, names are unique, stream maps refuse clashes,
// the input takes only a program stream; the decoders' first input accepts the
// demultiplexer's "Video Out" and "Audio Out" pins directly, and creating and
// releasing the decoders is cheap.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/com/Runtime.h"
#include "platform/filters/tests/GraphHelpers.h"
#include "platform/graph/Guids.h"
#include "platform/graph/base/MediaType.h"

namespace quvo::filters::test {
namespace {

class DemuxFilterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        demux_ = CreateFilter(CLSID_MPEG2Demultiplexer);
        ASSERT_TRUE(demux_);
        ASSERT_EQ(demux_->QueryInterface(IID_IMpeg2Demultiplexer, control_.ReleaseAndGetVoidAddressOf()), S_OK);
    }
    void TearDown() override
    {
        control_.Reset();
        demux_.Reset();
        CoUninitialize();
    }

    ComPtr<IPin> MakePin(const CMediaType& type, std::u16string name)
    {
        ComPtr<IPin> pin;
        CMediaType copy(type);
        EXPECT_EQ(control_->CreateOutputPin(&copy, name.data(), &pin), S_OK);
        return pin;
    }

    ComPtr<IBaseFilter> demux_;
    ComPtr<IMpeg2Demultiplexer> control_;
};

TEST_F(DemuxFilterTest, OutputPinOffersExactlyItsType)
{
    const CMediaType video = VideoOutType(720, 576, 6000000, 400000);
    ComPtr<IPin> pin = MakePin(video, u"Video Out");
    ASSERT_TRUE(pin);
    PIN_INFO info{};
    ASSERT_EQ(pin->QueryPinInfo(&info), S_OK);
    EXPECT_EQ(info.dir, PINDIR_OUTPUT);
    EXPECT_EQ(std::u16string(info.achName), u"Video Out");
    if (info.pFilter) info.pFilter->Release();

    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pin->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* mt = nullptr;
    ASSERT_EQ(types->Next(1, &mt, nullptr), S_OK);
    EXPECT_TRUE(CMediaType(*mt) == video);
    EXPECT_EQ(mt->cbFormat, 288u);
    DeleteMediaType(mt);
    EXPECT_NE(types->Next(1, &mt, nullptr), S_OK);

    EXPECT_EQ(pin->QueryAccept(&video), S_OK);
    const CMediaType audio = LpcmAudioType(48000);
    EXPECT_NE(pin->QueryAccept(&audio), S_OK);
}

TEST_F(DemuxFilterTest, PinNamesAndDeletion)
{
    ASSERT_TRUE(MakePin(LpcmAudioType(48000), u"Audio Out"));
    CMediaType copy = LpcmAudioType(48000);
    std::u16string name = u"Audio Out";
    ComPtr<IPin> again;
    EXPECT_EQ(control_->CreateOutputPin(&copy, name.data(), &again), VFW_E_DUPLICATE_NAME);
    ComPtr<IPin> found;
    EXPECT_EQ(demux_->FindPin(u"Audio Out", &found), S_OK);
    EXPECT_EQ(control_->DeleteOutputPin(name.data()), S_OK);
    EXPECT_EQ(control_->DeleteOutputPin(name.data()), VFW_E_NOT_FOUND);
    EXPECT_NE(demux_->FindPin(u"Audio Out", &found), S_OK);
}

TEST_F(DemuxFilterTest, StreamMapsRefuseClashesAndBadValues)
{
    ComPtr<IPin> audio = MakePin(LpcmAudioType(48000), u"Audio Out");
    ComPtr<IPin> other = MakePin(Ac3AudioType(48000), u"Other");
    ComPtr<IMPEG2StreamIdMap> audioMap, otherMap;
    ASSERT_EQ(audio->QueryInterface(IID_IMPEG2StreamIdMap, audioMap.ReleaseAndGetVoidAddressOf()), S_OK);
    ASSERT_EQ(other->QueryInterface(IID_IMPEG2StreamIdMap, otherMap.ReleaseAndGetVoidAddressOf()), S_OK);
    EXPECT_EQ(audioMap->MapStreamId(0xBD, MPEG2_PROGRAM_ELEMENTARY_STREAM, 0xA0, 7), S_OK);
    EXPECT_NE(otherMap->MapStreamId(0xBD, MPEG2_PROGRAM_ELEMENTARY_STREAM, 0xA0, 4), S_OK);
    EXPECT_EQ(otherMap->MapStreamId(0xBD, MPEG2_PROGRAM_ELEMENTARY_STREAM, 0x80, 4), S_OK);
    EXPECT_NE(otherMap->MapStreamId(0x42, MPEG2_PROGRAM_ELEMENTARY_STREAM, 0, 0), S_OK);
    EXPECT_NE(otherMap->MapStreamId(0xC0, MPEG2_PROGRAM_ELEMENTARY_STREAM, 0, -1), S_OK);
    ULONG id = 0xBD;
    EXPECT_EQ(audioMap->UnmapStreamId(1, &id), S_OK);
    EXPECT_NE(audioMap->UnmapStreamId(1, &id), S_OK);
    EXPECT_EQ(otherMap->MapStreamId(0xBD, MPEG2_PROGRAM_ELEMENTARY_STREAM, 0xA0, 7), S_OK);
}

TEST_F(DemuxFilterTest, InputTakesOnlyAProgramStream)
{
    ComPtr<IPin> input;
    ComPtr<IEnumPins> pins;
    ASSERT_EQ(demux_->EnumPins(&pins), S_OK);
    ASSERT_EQ(pins->Next(1, &input, nullptr), S_OK);
    CMediaType program;
    program.SetType(&MEDIATYPE_Stream);
    program.SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    EXPECT_EQ(input->QueryAccept(&program), S_OK);
    CMediaType other;
    other.SetType(&MEDIATYPE_Stream);
    other.SetSubtype(&MEDIASUBTYPE_MPEG1System);
    EXPECT_NE(input->QueryAccept(&other), S_OK);
}

TEST_F(DemuxFilterTest, DecodersTakeTheDemultiplexerPinsAndAreCheapToCreate)
{
    ASSERT_TRUE(RegisterMpegModule());
    // Pass-1 identifiers of the system's decoder search.
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(CreateFilter(kVideoDecoderClsid));
        EXPECT_TRUE(CreateFilter(kAudioDecoderClsid));
    }
    const double each = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() / 100;
    RecordProperty("seconds_per_creation", std::to_string(each));

    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ComPtr<IBaseFilter> video = CreateFilter(kVideoDecoderClsid);
    ComPtr<IBaseFilter> audio = CreateFilter(kAudioDecoderClsid);
    ComPtr<IBaseFilter> renderer = CreateFilter(CLSID_VideoRenderer);
    ComPtr<IBaseFilter> sound = CreateFilter(CLSID_DSoundRender);
    graph->AddFilter(demux_.Get(), u"Demux");
    graph->AddFilter(video.Get(), u"Video Decoder");
    graph->AddFilter(audio.Get(), u"Audio Decoder");
    graph->AddFilter(renderer.Get(), u"Video Renderer");
    graph->AddFilter(sound.Get(), u"Audio Renderer");
    ASSERT_EQ(CreateMappedPin(control_.Get(), VideoOutType(720, 576, 6000000, 400000), u"Video Out", 0xE0, 0, 0), S_OK);
    EXPECT_EQ(ConnectFilters(graph.Get(), demux_.Get(), video.Get()), S_OK);
    EXPECT_EQ(ConnectFilters(graph.Get(), video.Get(), renderer.Get()), S_OK);
    ASSERT_EQ(CreateMappedPin(control_.Get(), LpcmAudioType(48000), u"Audio Out", 0xBD, 0xA0, 7), S_OK);
    EXPECT_EQ(ConnectFilters(graph.Get(), demux_.Get(), audio.Get()), S_OK);
    EXPECT_EQ(ConnectFilters(graph.Get(), audio.Get(), sound.Get()), S_OK);
    // The video decoder's output is RGB32 at the input's size, top-down.
    ComPtr<IPin> rendererIn;
    ComPtr<IEnumPins> pins;
    renderer->EnumPins(&pins);
    ASSERT_EQ(pins->Next(1, &rendererIn, nullptr), S_OK);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(rendererIn->ConnectionMediaType(&mt), S_OK);
    EXPECT_TRUE(mt.subtype == MEDIASUBTYPE_RGB32);
    ASSERT_GE(mt.cbFormat, sizeof(VIDEOINFOHEADER));
    const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
    EXPECT_EQ(vih->bmiHeader.biWidth, 720);
    EXPECT_EQ(vih->bmiHeader.biHeight, -576);
    FreeMediaType(mt);
    for (IBaseFilter* f : {demux_.Get(), video.Get(), audio.Get(), renderer.Get(), sound.Get()}) graph->RemoveFilter(f);
}

}  // namespace
}  // namespace quvo::filters::test
