// The capture filter in a real graph (the platform's filter graph, its clock):
// five seconds of the board's stream taken by a sink and written to a file must
// be an MPEG program stream to ffprobe that ffmpeg decodes without a cut-off
// picture.
#include <chrono>
#include <thread>

#include "outside/board/core/BoardEncoder.h"
#include "outside/board/tests/BoardFixture.h"
#include "outside/board/tests/StreamCheck.h"
#include "platform/graph/testkit/TestFilters.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::board::test {
namespace {

using quvo::test::CountingSink;

// Whether every sample begins with a pack header.
bool EverySampleStartsWithPack(const std::vector<std::uint8_t>& bytes, const std::vector<std::size_t>& sizes)
{
    std::size_t at = 0;
    for (std::size_t size : sizes) {
        if (size < 4 || bytes[at] != 0 || bytes[at + 1] != 0 || bytes[at + 2] != 1 || bytes[at + 3] != 0xBA)
            return false;
        at += size;
    }
    return true;
}

class BoardStreaming : public BoardGraphTest {};

TEST_F(BoardStreaming, FiveSecondsOfCaptureAreAProgramStreamToFfprobe)
{
    // DVD settings: MPEG-2 720x576 PAL, variable rate up to 6 Mbit/s.
    ComPtr<IKsPropertySet> ks = As<IKsPropertySet>(board_);
    ASSERT_EQ(As<IAMAnalogVideoDecoder>(board_)->put_TVFormat(AnalogVideo_PAL_B), S_OK);
    std::vector<BYTE> s(48, 0);
    const std::uint32_t v[] = {6000000, 6000000, 1, 720, 576, 0};
    for (int i = 0; i < 6; ++i) PutU32(s, 24 + 4 * i, v[i]);
    ASSERT_EQ(SetProperty(ks.Get(), ENCPROP_ENCODER_SETTINGS, s), S_OK);

    auto* sink = new CountingSink;
    ComPtr<IBaseFilter> sinkFilter(sink);
    ASSERT_EQ(graph_->AddFilter(sinkFilter.Get(), u"Sink"), S_OK);
    ComPtr<IPin> out = BoardPin(PINDIR_OUTPUT);
    ASSERT_TRUE(out);
    ASSERT_EQ(graph_->ConnectDirect(out.Get(), FirstPin(sinkFilter.Get()).Get(), nullptr), S_OK);
    AM_MEDIA_TYPE mt{};
    ASSERT_EQ(out->ConnectionMediaType(&mt), S_OK);
    EXPECT_EQ(mt.majortype, MEDIATYPE_Stream);
    EXPECT_EQ(mt.subtype, MEDIASUBTYPE_MPEG2_PROGRAM);
    if (mt.pbFormat) CoTaskMemFree(mt.pbFormat);

    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph_->QueryInterface(IID_IMediaControl, control.ReleaseAndGetVoidAddressOf()), S_OK);
    // Paused, the live board sends nothing and says it cannot cue.
    ASSERT_TRUE(SUCCEEDED(control->Pause()));
    FILTER_STATE state;
    EXPECT_EQ(board_->GetState(0, &state), 0x00040268);  // VFW_S_CANT_CUE
    EXPECT_EQ(state, State_Paused);
    ASSERT_TRUE(SUCCEEDED(control->Run()));
    // Halfway, the picture is turned up to full brightness: it shows while streaming.
    ComPtr<IAMVideoProcAmp> procAmp = As<IAMVideoProcAmp>(board_);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    ASSERT_EQ(procAmp->Set(VideoProcAmp_Brightness, 255, VideoProcAmp_Flags_Manual), S_OK);
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    ASSERT_EQ(control->Stop(), S_OK);
    procAmp->Set(VideoProcAmp_Brightness, kProcAmpRanges[0].defaultValue, VideoProcAmp_Flags_Manual);

    const std::vector<std::uint8_t> bytes = sink->Bytes();
    EXPECT_TRUE(EverySampleStartsWithPack(bytes, sink->SampleSizes())) << "each sample holds whole packs";
    ULONGLONG sent = 0;
    ULONG frames = 0;
    ASSERT_EQ(As<IKestorBoardStatus>(board_)->GetCaptureCounts(&sent, &frames), S_OK);
    EXPECT_EQ(sent, bytes.size());
    ASSERT_GT(bytes.size(), 0u);

    const std::string path = TempPath("capture-5s.mpg");
    ASSERT_TRUE(WriteFile(path, bytes));
    const std::string json = Ffprobe(path);
    EXPECT_NE(json.find("\"format_name\": \"mpeg\""), std::string::npos) << json;
    EXPECT_EQ(StreamField(json, "video", "codec_name"), "mpeg2video");
    EXPECT_EQ(StreamField(json, "video", "width"), "720");
    EXPECT_EQ(StreamField(json, "video", "height"), "576");
    EXPECT_EQ(StreamField(json, "audio", "codec_name"), "pcm_dvd");
    EXPECT_EQ(StreamField(json, "audio", "sample_rate"), "48000");
    EXPECT_EQ(StreamField(json, "audio", "channels"), "2");
    // Samples end where pictures end, so the stop cut no picture.
    EXPECT_EQ(FfmpegErrors(path), "");
    const DecodedMedia media = DecodeFile(path);
    ASSERT_GT(media.pictures.size(), 10u);
    EXPECT_GT(media.pictures[media.pictures.size() - 3].meanLuma, media.pictures.front().meanLuma + 40);
}

}  // namespace
}  // namespace quvo::board::test
