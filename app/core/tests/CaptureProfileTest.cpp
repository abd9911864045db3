#include "core/CaptureProfile.h"

#include <gtest/gtest.h>

namespace encoderdesk {
namespace {

TEST(CaptureProfileTest, PresetsForceTheirSettingsAndKeepTheRest)
{
    CaptureProfile p;
    p.ProfileCode = kProfileSuperVideoCd;
    p.MpegType = kMpeg1;
    p.Vbr = false;
    p.Bitrate = 1;
    p.PeakBitrate = 2;
    p.FrameSizeCode = 4;
    p.VideoStandard = kVideoNtsc;
    p.MaxFileSize = 650;
    p.AutoOffMaxSize = 9;
    ApplyPresetDefaults(p);
    EXPECT_EQ(p.MpegType, kMpeg2);
    EXPECT_TRUE(p.Vbr);
    EXPECT_EQ(p.Bitrate, 2375000);
    EXPECT_EQ(p.PeakBitrate, 2375000);
    EXPECT_EQ(p.FrameSizeCode, 256);
    EXPECT_EQ(p.VideoStandard, kVideoNtsc);
    EXPECT_EQ(p.MaxFileSize, 650);
    EXPECT_EQ(p.AutoOffMaxSize, 9);

    p.ProfileCode = kProfileVideoCd;
    ApplyPresetDefaults(p);
    EXPECT_EQ(p.MpegType, kMpeg1);
    EXPECT_FALSE(p.Vbr);
    EXPECT_EQ(p.PeakBitrate, 1150000);
    EXPECT_EQ(p.FrameSizeCode, 16);

    p.ProfileCode = kProfileDvd;
    ApplyPresetDefaults(p);
    EXPECT_EQ(p.Bitrate, 6000000);
    EXPECT_EQ(p.FrameSizeCode, 8192);
}

TEST(CaptureProfileTest, UserSettingsOnlyRaiseThePeakAndUnknownCodesStay)
{
    CaptureProfile p;
    p.ProfileCode = kProfileUser;
    p.MpegType = kMpeg1;
    p.Vbr = false;
    p.Bitrate = 5000000;
    p.PeakBitrate = 4000000;
    p.FrameSizeCode = 2;
    ApplyPresetDefaults(p);
    EXPECT_EQ(p.PeakBitrate, 5000000);
    EXPECT_EQ(p.Bitrate, 5000000);
    EXPECT_EQ(p.MpegType, kMpeg1);
    EXPECT_EQ(p.FrameSizeCode, 2);

    p.PeakBitrate = 7000000;
    ApplyPresetDefaults(p);
    EXPECT_EQ(p.PeakBitrate, 7000000);

    CaptureProfile odd = p;
    odd.ProfileCode = 7;
    odd.Bitrate = 9000000;
    CaptureProfile before = odd;
    ApplyPresetDefaults(odd);
    EXPECT_EQ(odd, before);
}

TEST(CaptureProfileTest, FrameSizeTextReadsThePalOrNtscColumn)
{
    EXPECT_EQ(FrameSizeText(100, true), "?");
    EXPECT_EQ(FrameSizeText(0, false), "?");
    EXPECT_EQ(FrameSizeText(4, false), "176 x 128");
    EXPECT_EQ(FrameSizeText(16, true), "352 x 288");
    EXPECT_EQ(FrameSizeText(8192, false), "720 x 480");
    EXPECT_EQ(std::size(kFrameSizes), 14u);
    for (const FrameSize& row : kFrameSizes) EXPECT_EQ(row.code & (row.code - 1), 0) << row.code;  // single bits
}

}  // namespace
}  // namespace encoderdesk
