// Faults injected through the board's registry values: each makes exactly the
// named call fail, on filters bound after the value was written.
#include "outside/board/tests/BoardFixture.h"
#include "platform/com/Runtime.h"
#include "platform/graph/Guids.h"

namespace quvo::board::test {
namespace {

using BoardFaults = BoardTest;

TEST_F(BoardFaults, PropertyIdFailsToReadOrWriteAlone)
{
    ASSERT_TRUE(WriteDword(value::kFailGetProperty, ENCPROP_DEVICE_INFO));
    ASSERT_TRUE(WriteDword(value::kFailSetProperty, ENCPROP_AUDIO_MUTE));
    ComPtr<IKsPropertySet> ks = As<IKsPropertySet>(FreshFilter());
    ASSERT_TRUE(ks);
    std::vector<BYTE> b;
    EXPECT_TRUE(FAILED(GetProperty(ks.Get(), ENCPROP_DEVICE_INFO, &b)));
    EXPECT_EQ(GetProperty(ks.Get(), ENCPROP_ENCODER_SETTINGS, &b), S_OK);
    EXPECT_EQ(GetProperty(ks.Get(), ENCPROP_AUDIO_MUTE, &b), S_OK);
    EXPECT_TRUE(FAILED(SetProperty(ks.Get(), ENCPROP_AUDIO_MUTE, b)));
    ASSERT_EQ(GetProperty(ks.Get(), ENCPROP_AUDIO_LEVEL, &b), S_OK);
    EXPECT_EQ(SetProperty(ks.Get(), ENCPROP_AUDIO_LEVEL, b), S_OK);
}

TEST_F(BoardFaults, MissingInterfacesAreRefusedOneByOne)
{
    ASSERT_TRUE(WriteDword(value::kNoPropertySet, 1));
    ComPtr<IBaseFilter> f = FreshFilter();
    ASSERT_TRUE(f);
    EXPECT_FALSE(As<IKsPropertySet>(f));
    EXPECT_TRUE(As<IAMAnalogVideoDecoder>(f));
    EXPECT_TRUE(As<IAMVideoProcAmp>(f));

    ClearValues();
    ASSERT_TRUE(WriteDword(value::kNoDecoder, 1));
    ASSERT_TRUE(WriteDword(value::kNoProcAmp, 1));
    f = FreshFilter();
    EXPECT_FALSE(As<IAMAnalogVideoDecoder>(f));
    EXPECT_FALSE(As<IAMVideoProcAmp>(f));
    EXPECT_TRUE(As<IKsPropertySet>(f));

    ClearValues();
    ASSERT_TRUE(WriteDword(value::kNoCrossbar, 1));
    f = FreshFilter();
    ComPtr<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                               builder.ReleaseAndGetVoidAddressOf()),
              S_OK);
    ComPtr<IAMCrossbar> xbar;
    EXPECT_TRUE(FAILED(builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Stream, f.Get(), IID_IAMCrossbar,
                                              xbar.ReleaseAndGetVoidAddressOf())));
}

TEST_F(BoardFaults, OneProcAmpRangeFails)
{
    ASSERT_TRUE(WriteDword(value::kFailProcAmpRange, 2));  // hue
    ComPtr<IAMVideoProcAmp> p = As<IAMVideoProcAmp>(FreshFilter());
    ASSERT_TRUE(p);
    LONG min, max, step, def, caps;
    EXPECT_EQ(p->GetRange(0, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_EQ(p->GetRange(1, &min, &max, &step, &def, &caps), S_OK);
    EXPECT_TRUE(FAILED(p->GetRange(2, &min, &max, &step, &def, &caps)));
    EXPECT_EQ(p->GetRange(3, &min, &max, &step, &def, &caps), S_OK);
}

TEST_F(BoardFaults, DecoderRefusesTheNamedTvFormat)
{
    ASSERT_TRUE(WriteDword(value::kRefuseTvFormat, AnalogVideo_NTSC_M));
    ComPtr<IAMAnalogVideoDecoder> d = As<IAMAnalogVideoDecoder>(FreshFilter());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->put_TVFormat(AnalogVideo_PAL_B), S_OK);
    EXPECT_TRUE(FAILED(d->put_TVFormat(AnalogVideo_NTSC_M)));
    LONG v = 0;
    ASSERT_EQ(d->get_TVFormat(&v), S_OK);
    EXPECT_EQ(v, AnalogVideo_PAL_B);
}

TEST_F(BoardFaults, SerialNumberLengthComesFromTheSerialGiven)
{
    ASSERT_TRUE(WriteString(value::kSerialNumber, "0123456789ABCDEF"));  // 16: longer than fits
    ComPtr<IKsPropertySet> ks = As<IKsPropertySet>(FreshFilter());
    std::vector<BYTE> b;
    ASSERT_EQ(GetProperty(ks.Get(), ENCPROP_SERIAL_NUMBER, &b), S_OK);
    EXPECT_EQ(b[33], 16);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(&b[34]), 14), "0123456789ABCD");
    EXPECT_EQ(b[48], 0);
}

}  // namespace
}  // namespace quvo::board::test
