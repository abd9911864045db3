// The demultiplexer's "Video Out" and "Audio Out" types, byte by byte: the 288-byte
// MPEG-2 video block with its 12-byte sequence header, and the 18-byte LPCM block.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "platform/graph/Guids.h"
#include "sdk/graphs/DemuxOutputTypes.h"

namespace quvo::sdk {
namespace {

// Reads `bits` bits at bit position `pos`, most significant first.
std::uint32_t Bits(const std::array<std::uint8_t, 12>& h, int pos, int bits)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bits; ++i, ++pos) v = (v << 1) | ((h[pos / 8] >> (7 - pos % 8)) & 1u);
    return v;
}

TEST(SequenceHeader, PalDvdBytes)
{
    const std::array<std::uint8_t, 12> expected{0x00, 0x00, 0x01, 0xB3, 0x2D, 0x02,
                                                0x40, 0x23, 0x0E, 0xA6, 0x23, 0x80};
    EXPECT_EQ(MakeSequenceHeader(720, 576, TimePerFrameOf(16), 6000000), expected);
}

TEST(SequenceHeader, NtscFieldsReadBack)
{
    // 352 x 240 at 1150000 bit/s, 30000/1001 frames per second.
    const auto h = MakeSequenceHeader(352, 240, TimePerFrameOf(1), 1150000);
    EXPECT_EQ(Bits(h, 0, 32), 0x000001B3u);
    EXPECT_EQ(Bits(h, 32, 12), 352u);
    EXPECT_EQ(Bits(h, 44, 12), 240u);
    EXPECT_EQ(Bits(h, 56, 4), 2u);   // 4:3
    EXPECT_EQ(Bits(h, 60, 4), 4u);   // 29.97
    EXPECT_EQ(Bits(h, 64, 18), 2875u);  // 1150000 / 400
    EXPECT_EQ(Bits(h, 82, 1), 1u);   // marker
    EXPECT_EQ(Bits(h, 83, 10), 112u);
    EXPECT_EQ(Bits(h, 93, 3), 0u);   // constrained flag, two matrix flags
}

TEST(SequenceHeader, BitRateRoundsDown)
{
    const auto h = MakeSequenceHeader(480, 576, 400000, 2375399);
    EXPECT_EQ(Bits(h, 64, 18), 5938u);
    EXPECT_EQ(Bits(h, 60, 4), 3u);
}

TEST(TimePerFrame, TvStandards)
{
    EXPECT_EQ(TimePerFrameOf(1), 333667);
    EXPECT_EQ(TimePerFrameOf(16), 400000);
    EXPECT_EQ(TimePerFrameOf(64), 400000);
    EXPECT_EQ(TimePerFrameOf(0), 0);
    EXPECT_EQ(TimePerFrameOf(2), 0);
    EXPECT_EQ(TimePerFrameOf(32), 0);
}

TEST(VideoOutFormat, BlockLayout)
{
    VideoOutFormat f;
    f.block.fill(0xCC);  // every byte not set must come back zero
    ASSERT_EQ(BuildVideoOutFormat(720, 576, 6000000, 16, &f), S_OK);
    const AM_MEDIA_TYPE& mt = f.type;
    EXPECT_TRUE(mt.majortype == MEDIATYPE_Video);
    EXPECT_TRUE(mt.subtype == MEDIASUBTYPE_MPEG2_VIDEO);
    EXPECT_TRUE(mt.formattype == FORMAT_MPEG2Video);
    EXPECT_EQ(mt.bFixedSizeSamples, TRUE);
    EXPECT_EQ(mt.bTemporalCompression, FALSE);
    EXPECT_EQ(mt.lSampleSize, 1u);
    EXPECT_EQ(mt.pUnk, nullptr);
    ASSERT_EQ(mt.cbFormat, 288u);
    ASSERT_EQ(mt.pbFormat, f.block.data());

    MPEG2VIDEOINFO info;
    std::memcpy(&info, f.block.data(), offsetof(MPEG2VIDEOINFO, dwSequenceHeader));
    EXPECT_EQ(info.hdr.rcSource.left, 0);
    EXPECT_EQ(info.hdr.rcSource.top, 0);
    EXPECT_EQ(info.hdr.rcSource.right, 720);
    EXPECT_EQ(info.hdr.rcSource.bottom, 576);
    EXPECT_EQ(info.hdr.rcTarget.right, 0);
    EXPECT_EQ(info.hdr.dwBitRate, 6000000u);
    EXPECT_EQ(info.hdr.AvgTimePerFrame, 400000);
    EXPECT_EQ(info.hdr.dwPictAspectRatioX, 4u);
    EXPECT_EQ(info.hdr.dwPictAspectRatioY, 3u);
    EXPECT_EQ(info.hdr.dwInterlaceFlags, 0u);
    EXPECT_EQ(info.hdr.bmiHeader.biSize, 0u);
    EXPECT_EQ(info.hdr.bmiHeader.biWidth, 720);
    EXPECT_EQ(info.hdr.bmiHeader.biHeight, 576);
    EXPECT_EQ(info.hdr.bmiHeader.biBitCount, 0);
    EXPECT_EQ(info.dwStartTimeCode, 0u);
    EXPECT_EQ(info.cbSequenceHeader, 12u);
    EXPECT_EQ(info.dwProfile, 2u);
    EXPECT_EQ(info.dwLevel, 2u);
    EXPECT_EQ(info.dwFlags, 0u);

    const std::size_t seqAt = offsetof(MPEG2VIDEOINFO, dwSequenceHeader);
    const auto header = MakeSequenceHeader(720, 576, 400000, 6000000);
    EXPECT_EQ(std::memcmp(f.block.data() + seqAt, header.data(), 12), 0);
    for (std::size_t i = seqAt + 12; i < f.block.size(); ++i) ASSERT_EQ(f.block[i], 0) << "byte " << i;
}

TEST(VideoOutFormat, UnknownTvStandardFails)
{
    VideoOutFormat f;
    EXPECT_EQ(BuildVideoOutFormat(720, 576, 6000000, 2, &f), E_FAIL);
    EXPECT_EQ(BuildVideoOutFormat(720, 576, 6000000, 0, &f), E_FAIL);
    ASSERT_EQ(BuildVideoOutFormat(352, 240, 1150000, 1, &f), S_OK);
    MPEG2VIDEOINFO info;
    std::memcpy(&info, f.block.data(), offsetof(MPEG2VIDEOINFO, dwSequenceHeader));
    EXPECT_EQ(info.hdr.AvgTimePerFrame, 333667);
}

TEST(AudioOutFormat, LpcmStereo48k)
{
    AudioOutFormat f;
    BuildAudioOutFormat(48000, &f);
    const AM_MEDIA_TYPE& mt = f.type;
    EXPECT_TRUE(mt.majortype == MEDIATYPE_Audio);
    EXPECT_TRUE(mt.subtype == MEDIASUBTYPE_DVD_LPCM_AUDIO);
    EXPECT_TRUE(mt.formattype == FORMAT_WaveFormatEx);
    EXPECT_EQ(mt.bFixedSizeSamples, TRUE);
    EXPECT_EQ(mt.bTemporalCompression, FALSE);
    EXPECT_EQ(mt.lSampleSize, 2u);
    ASSERT_EQ(mt.cbFormat, 18u);
    WAVEFORMATEX wfx;
    std::memcpy(&wfx, mt.pbFormat, sizeof wfx);
    EXPECT_EQ(wfx.wFormatTag, 0);
    EXPECT_EQ(wfx.nChannels, 2);
    EXPECT_EQ(wfx.nSamplesPerSec, 48000u);
    EXPECT_EQ(wfx.nAvgBytesPerSec, 192000u);
    EXPECT_EQ(wfx.nBlockAlign, 4);
    EXPECT_EQ(wfx.wBitsPerSample, 16);
    EXPECT_EQ(wfx.cbSize, 0);
}

}  // namespace
}  // namespace quvo::sdk
