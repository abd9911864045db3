// The board's controls as the host reads and writes them through a capture filter
// bound from the device category: property layouts, device information under
// each standard, proc-amp, decoder and crossbar.
#include <algorithm>
#include <cstring>

#include "outside/board/tests/BoardFixture.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::board::test {
namespace {

using Pairs = std::vector<std::pair<std::uint32_t, std::uint32_t>>;

class BoardProperties : public BoardTest {
protected:
    void SetUp() override
    {
        BoardTest::SetUp();
        filter_ = FreshFilter();
        ASSERT_TRUE(filter_);
        ks_ = As<IKsPropertySet>(filter_);
        decoder_ = As<IAMAnalogVideoDecoder>(filter_);
        procAmp_ = As<IAMVideoProcAmp>(filter_);
        ASSERT_TRUE(ks_ && decoder_ && procAmp_);
        // The driver's state outlives filters: start each test from PAL, MPEG-2.
        ASSERT_EQ(decoder_->put_TVFormat(AnalogVideo_PAL_B), S_OK);
        WriteSettings(4200000, 4200000, 0, 720, 576, 0);
    }

    void WriteSettings(std::uint32_t rate, std::uint32_t peak, std::uint32_t mode, std::uint32_t w, std::uint32_t h,
                       std::uint32_t mpeg1)
    {
        std::vector<BYTE> b(48, 0);
        const std::uint32_t v[] = {rate, peak, mode, w, h, mpeg1};
        for (int i = 0; i < 6; ++i) PutU32(b, 24 + 4 * i, v[i]);
        ASSERT_EQ(SetProperty(ks_.Get(), ENCPROP_ENCODER_SETTINGS, b), S_OK);
    }

    struct Info {
        std::uint32_t min, max, ref, step;
        Pairs sizes;
    };
    Info ReadInfo()
    {
        std::vector<BYTE> b;
        EXPECT_EQ(GetProperty(ks_.Get(), ENCPROP_DEVICE_INFO, &b), S_OK);
        Info i{U32(b, 24), U32(b, 28), U32(b, 36), U32(b, 40), {}};
        const std::uint32_t n = U32(b, 44);
        EXPECT_LE(n, 10u);
        for (std::uint32_t k = 0; k < n && k < 10; ++k) i.sizes.emplace_back(U32(b, 48 + 8 * k), U32(b, 52 + 8 * k));
        return i;
    }
    static bool Offers(const Info& i, std::uint32_t w, std::uint32_t h)
    {
        return std::find(i.sizes.begin(), i.sizes.end(), std::make_pair(w, h)) != i.sizes.end();
    }

    ComPtr<IBaseFilter> filter_;
    ComPtr<IKsPropertySet> ks_;
    ComPtr<IAMAnalogVideoDecoder> decoder_;
    ComPtr<IAMVideoProcAmp> procAmp_;
};

TEST_F(BoardProperties, ReadsFillThePayloadAndLeaveTheHeader)
{
    for (DWORD id = 1; id <= 7; ++id) {
        std::vector<BYTE> b;
        ASSERT_EQ(GetProperty(ks_.Get(), id, &b), S_OK) << "property " << id;
        for (std::size_t i = 0; i < kPropertyHeader; ++i)
            EXPECT_EQ(b[i], static_cast<BYTE>(0xA0 + i)) << "header byte " << i << " of property " << id;
    }
    std::vector<BYTE> s;
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_ENCODER_SETTINGS, &s), S_OK);
    EXPECT_EQ(U32(s, 24), 4200000u);
    EXPECT_EQ(U32(s, 36), 720u);
    EXPECT_EQ(U32(s, 40), 576u);
    EXPECT_EQ(U32(s, 44), 0u);  // MPEG-2

    std::vector<BYTE> serial;
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_SERIAL_NUMBER, &serial), S_OK);
    ASSERT_EQ(serial[33], std::strlen(kDefaultSerial));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&serial[34]), serial[33]), kDefaultSerial);

    std::vector<BYTE> format;
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_AUDIO_FORMAT, &format), S_OK);
    EXPECT_EQ(U32(format, 24), 48000u);
}

TEST_F(BoardProperties, WritesRoundTripAndReachTheEncoderSettings)
{
    WriteSettings(6000000, 8000000, 1, 480, 576, 0);
    std::vector<BYTE> s;
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_ENCODER_SETTINGS, &s), S_OK);
    EXPECT_EQ(U32(s, 24), 6000000u);
    EXPECT_EQ(U32(s, 28), 8000000u);
    EXPECT_EQ(U32(s, 32), 1u);
    EXPECT_EQ(U32(s, 36), 480u);
    EXPECT_EQ(U32(s, 40), 576u);

    std::vector<BYTE> level(32, 0);
    PutU32(level, 24, static_cast<std::uint32_t>(-20));
    ASSERT_EQ(SetProperty(ks_.Get(), ENCPROP_AUDIO_LEVEL, level), S_OK);
    std::vector<BYTE> mute(32, 0);
    PutU32(mute, 24, 5);
    ASSERT_EQ(SetProperty(ks_.Get(), ENCPROP_AUDIO_MUTE, mute), S_OK);
    std::vector<BYTE> back;
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_AUDIO_LEVEL, &back), S_OK);
    EXPECT_EQ(static_cast<std::int32_t>(U32(back, 24)), -20);
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_AUDIO_MUTE, &back), S_OK);
    EXPECT_EQ(U32(back, 24), 5u);
    PutU32(mute, 24, 0);
    PutU32(level, 24, 0);
    SetProperty(ks_.Get(), ENCPROP_AUDIO_MUTE, mute);
    SetProperty(ks_.Get(), ENCPROP_AUDIO_LEVEL, level);

    // A second filter bound later sees what the first one set.
    ComPtr<IBaseFilter> other = FreshFilter();
    ASSERT_TRUE(other && !IsSameObject(other.Get(), filter_.Get()));
    ASSERT_EQ(GetProperty(As<IKsPropertySet>(other).Get(), ENCPROP_ENCODER_SETTINGS, &s), S_OK);
    EXPECT_EQ(U32(s, 36), 480u);
}

TEST_F(BoardProperties, OutputSelectIsACommandWithoutData)
{
    EXPECT_EQ(ks_->Set(PROPSETID_EncoderDevice, ENCPROP_OUTPUT_SELECT, nullptr, 0, nullptr, 0), S_OK);
}

TEST_F(BoardProperties, ShortBuffersReadOnlyWritesAndUnknownIdsFail)
{
    std::vector<BYTE> small(40, 0);
    DWORD got = 0;
    EXPECT_TRUE(FAILED(ks_->Get(PROPSETID_EncoderDevice, ENCPROP_ENCODER_SETTINGS, small.data(), 40, small.data(),
                                40, &got)));
    std::vector<BYTE> info(128, 0);
    EXPECT_TRUE(FAILED(SetProperty(ks_.Get(), ENCPROP_DEVICE_INFO, info)));
    EXPECT_TRUE(FAILED(GetProperty(ks_.Get(), 9, &info)));
    const GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_TRUE(FAILED(ks_->Get(other, 1, info.data(), 128, info.data(), 128, &got)));
}

TEST_F(BoardProperties, DeviceInfoFollowsCompressionAndTvStandard)
{
    const Info mpeg2Pal = ReadInfo();
    EXPECT_EQ(mpeg2Pal.ref, 4200000u);
    EXPECT_TRUE(Offers(mpeg2Pal, 720, 576));
    EXPECT_TRUE(Offers(mpeg2Pal, 480, 576));  // Super Video CD
    EXPECT_FALSE(Offers(mpeg2Pal, 720, 480));
    // The Super Video CD and DVD rates, and the host's MPEG-2 default, are settable.
    for (std::uint32_t rate : {2375000u, 6000000u, 4200000u}) {
        EXPECT_GE(rate, mpeg2Pal.min);
        EXPECT_LE(rate, mpeg2Pal.max);
    }

    WriteSettings(1150000, 1150000, 0, 352, 288, 1);
    const Info mpeg1Pal = ReadInfo();
    EXPECT_EQ(mpeg1Pal.ref, 1150000u);
    EXPECT_TRUE(Offers(mpeg1Pal, 352, 288));  // Video CD
    EXPECT_LE(mpeg1Pal.min, 1150000u);
    EXPECT_GE(mpeg1Pal.max, 1150000u);
    EXPECT_NE(mpeg1Pal.sizes, mpeg2Pal.sizes);

    // NTSC: the offered sizes take NTSC heights and the frame size follows.
    ASSERT_EQ(decoder_->put_TVFormat(AnalogVideo_NTSC_M), S_OK);
    const Info mpeg1Ntsc = ReadInfo();
    EXPECT_TRUE(Offers(mpeg1Ntsc, 352, 240));
    EXPECT_TRUE(Offers(mpeg1Ntsc, 176, 128));
    EXPECT_TRUE(Offers(mpeg1Ntsc, 384, 288));
    std::vector<BYTE> s;
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_ENCODER_SETTINGS, &s), S_OK);
    EXPECT_EQ(U32(s, 36), 352u);
    EXPECT_EQ(U32(s, 40), 240u);

    WriteSettings(4200000, 4200000, 0, 720, 480, 0);
    EXPECT_TRUE(Offers(ReadInfo(), 720, 480));
    ASSERT_EQ(decoder_->put_TVFormat(AnalogVideo_PAL_B), S_OK);
    ASSERT_EQ(GetProperty(ks_.Get(), ENCPROP_ENCODER_SETTINGS, &s), S_OK);
    EXPECT_EQ(U32(s, 40), 576u);
}

TEST_F(BoardProperties, ProcAmpRangesAndValuesAgreeOnBothRoads)
{
    for (LONG p = 0; p < kProcAmpCount; ++p) {
        LONG min, max, step, def, caps;
        ASSERT_EQ(procAmp_->GetRange(p, &min, &max, &step, &def, &caps), S_OK);
        EXPECT_LT(min, max);
        EXPECT_GE(def, min);
        EXPECT_LE(def, max);
        EXPECT_EQ(step, 1);
        // Property-set road: 40-byte buffer, value at 24.
        std::vector<BYTE> b(kProcAmpPropertyLength, 0);
        PutU32(b, 24, static_cast<std::uint32_t>(max));
        ASSERT_EQ(ks_->Set(PROPSETID_VIDCAP_VIDEOPROCAMP, static_cast<DWORD>(p), b.data(), 40, b.data(), 40), S_OK);
        LONG value = 0, flags = 0;
        ASSERT_EQ(procAmp_->Get(p, &value, &flags), S_OK);
        EXPECT_EQ(value, max);
        ASSERT_EQ(procAmp_->Set(p, min, VideoProcAmp_Flags_Manual), S_OK);
        std::fill(b.begin(), b.end(), 0);
        DWORD got = 0;
        ASSERT_EQ(ks_->Get(PROPSETID_VIDCAP_VIDEOPROCAMP, static_cast<DWORD>(p), b.data(), 40, b.data(), 40, &got), S_OK);
        EXPECT_EQ(static_cast<LONG>(U32(b, 24)), min);
        EXPECT_TRUE(FAILED(procAmp_->Set(p, max + 1, VideoProcAmp_Flags_Manual)));
        procAmp_->Set(p, def, VideoProcAmp_Flags_Manual);
    }
    LONG min, max, step, def, caps;
    EXPECT_TRUE(FAILED(procAmp_->GetRange(5, &min, &max, &step, &def, &caps)));
}

TEST_F(BoardProperties, DecoderReportsLockAndLinesOfTheStandard)
{
    LONG v = 0;
    ASSERT_EQ(decoder_->get_TVFormat(&v), S_OK);
    EXPECT_EQ(v, AnalogVideo_PAL_B);
    ASSERT_EQ(decoder_->get_HorizontalLocked(&v), S_OK);
    EXPECT_EQ(v, 1);
    ASSERT_EQ(decoder_->get_NumberOfLines(&v), S_OK);
    EXPECT_EQ(v, 625);
    ASSERT_EQ(decoder_->put_TVFormat(AnalogVideo_NTSC_M), S_OK);
    ASSERT_EQ(decoder_->get_NumberOfLines(&v), S_OK);
    EXPECT_EQ(v, 525);
    EXPECT_EQ(decoder_->put_TVFormat(64), E_INVALIDARG);  // only the two standards
    ASSERT_EQ(decoder_->get_TVFormat(&v), S_OK);
    EXPECT_EQ(v, AnalogVideo_NTSC_M);
}

TEST_F(BoardProperties, SignalAndLineCountComeFromTheRegistryAtRunTime)
{
    ASSERT_TRUE(WriteDword(value::kLines, 525));
    ComPtr<IAMAnalogVideoDecoder> d = As<IAMAnalogVideoDecoder>(FreshFilter());
    LONG v = 0;
    ASSERT_EQ(d->get_NumberOfLines(&v), S_OK);
    EXPECT_EQ(v, 525) << "PAL selected, 525-line signal";

    // Changed from outside while the filter lives: seen within the re-read period.
    ASSERT_TRUE(WriteDword(value::kSignal, 0));
    LONG locked = 1;
    for (int i = 0; i < 200 && locked == 1; ++i) {
        d->get_HorizontalLocked(&locked);
        if (locked == 1) usleep(10000);
    }
    EXPECT_EQ(locked, 0);
}

TEST_F(BoardProperties, CrossbarIsFoundOnTheCapturePathAndHoldsItsRoute)
{
    ComPtr<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                               builder.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
    ASSERT_EQ(graph->AddFilter(filter_.Get(), nullptr), S_OK);
    ComPtr<IAMCrossbar> xbar;
    ASSERT_EQ(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Stream, filter_.Get(), IID_IAMCrossbar,
                                     xbar.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ASSERT_EQ(xbar->Route(0, 1), S_OK);
    LONG in = -1;
    ASSERT_EQ(xbar->get_IsRoutedTo(0, &in), S_OK);
    EXPECT_EQ(in, 1);
    EXPECT_TRUE(FAILED(xbar->Route(0, 2)));
    ASSERT_EQ(xbar->get_IsRoutedTo(0, &in), S_OK);
    EXPECT_EQ(in, 1);
    ASSERT_EQ(xbar->Route(0, 0), S_OK);

    // The output pin reports itself as the capture pin.
    ComPtr<IPin> capture;
    ASSERT_EQ(builder->FindPin(filter_.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, FALSE, 0, &capture), S_OK);
    PIN_INFO info{};
    ASSERT_EQ(capture->QueryPinInfo(&info), S_OK);
    if (info.pFilter) info.pFilter->Release();
    EXPECT_EQ(std::u16string(info.achName), u"Capture");
    ComPtr<IPin> preview;
    EXPECT_TRUE(FAILED(builder->FindPin(filter_.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_PREVIEW, nullptr, FALSE, 0, &preview)));
    graph->RemoveFilter(filter_.Get());
}

}  // namespace
}  // namespace quvo::board::test
