// The capture settings dialog's rules on a board whose supported sizes and rates
// the test sets: presets grey the parameters, the peak follows the bit rate, the
// selection rule for a size the standard lacks, the USB 1.1 ceiling, OK and Cancel.
#include <gtest/gtest.h>

#include "core/CaptureSetupModel.h"

namespace encoderdesk {
namespace {

class CaptureSetupModelTest : public ::testing::Test {
protected:
    void SetUp() override { Board(1000); }

    void Board(std::uint32_t step)
    {
        BitrateCaps mpeg1{0, 4000000, 400000, 4000000, step, step};
        BitrateCaps mpeg2{1, 15000000, 1000000, 15000000, step, step};
        model.SetBoard({16u | 256u, 0x3FFFu}, {mpeg1, mpeg2});
    }

    static CaptureProfile User(std::uint8_t mpeg, std::int32_t size, bool vbr, std::int32_t rate, std::int32_t peak)
    {
        CaptureProfile p;
        p.ProfileCode = kProfileUser;
        p.MpegType = mpeg;
        p.FrameSizeCode = size;
        p.Vbr = vbr;
        p.Bitrate = rate;
        p.PeakBitrate = peak;
        return p;
    }

    CaptureSetupModel model;
};

TEST_F(CaptureSetupModelTest, VideoCdShowsItsPresetGreyedUnderBothStandards)
{
    CaptureProfile p;
    p.ProfileCode = kProfileVideoCd;
    model.Begin(p);
    const auto& v = model.GetView();
    EXPECT_EQ(v.videoMode, 0);
    EXPECT_EQ(v.mpeg, 0);
    ASSERT_EQ(v.frameSizes.size(), 2u);
    EXPECT_EQ(v.frameSizes[static_cast<std::size_t>(v.frameSizeIndex)].text, "352 x 288");
    EXPECT_EQ(v.bitrate.position, 1150);
    EXPECT_EQ(v.peak.position, 1150);
    EXPECT_FALSE(v.vbrChecked);
    EXPECT_FALSE(v.paramsEnabled);
    EXPECT_FALSE(v.bitrate.enabled);
    EXPECT_FALSE(v.peak.enabled);
    EXPECT_FALSE(v.vbrEnabled);
    // Only the standard may change under a preset.
    model.VideoStandardClicked(1);
    EXPECT_EQ(v.frameSizes[static_cast<std::size_t>(v.frameSizeIndex)].text, "352 x 240");
    EXPECT_EQ(model.Edited().VideoStandard, kVideoNtsc);
}

TEST_F(CaptureSetupModelTest, PresetValuesStayAsTheStartOfUserSettings)
{
    model.Begin(User(kMpeg1, 16, false, 2000000, 2000000));
    model.VideoModeClicked(kProfileDvd);
    model.VideoModeClicked(kProfileUser);
    const CaptureProfile& e = model.Edited();
    EXPECT_EQ(e.MpegType, kMpeg2);
    EXPECT_EQ(e.FrameSizeCode, 8192);
    EXPECT_TRUE(e.Vbr);
    EXPECT_EQ(e.Bitrate, 6000000);
    EXPECT_TRUE(model.GetView().paramsEnabled);
    EXPECT_TRUE(model.GetView().peak.enabled);
    EXPECT_TRUE(model.GetView().vbrEnabled);
}

TEST_F(CaptureSetupModelTest, PeakFollowsTheBitRateBothWays)
{
    model.Begin(User(kMpeg2, 8192, true, 4000000, 6000000));
    model.BitrateTrackChanged(8000);
    EXPECT_EQ(model.GetView().peak.position, 8000);
    EXPECT_EQ(model.Edited().PeakBitrate, 8000000);
    model.PeakTrackChanged(5000);  // below the bit rate: snaps back
    EXPECT_EQ(model.GetView().peak.position, 8000);
    model.PeakSpinChanged(9000);
    EXPECT_EQ(model.Edited().PeakBitrate, 9000000);
    model.BitrateSpinChanged(99999);  // the bar clamps the spin's value
    EXPECT_EQ(model.Edited().Bitrate, 15000000);
    // Changes made while the form writes its controls are ignored.
    {
        CaptureSetupModel::BusyScope busy(model);
        model.BitrateTrackChanged(2000);
    }
    EXPECT_EQ(model.Edited().Bitrate, 15000000);
}

TEST_F(CaptureSetupModelTest, SizeTheStandardLacksSelectsTheLastListedUntilClicked)
{
    model.Begin(User(kMpeg1, 8192, false, 1150000, 1150000));
    const auto& v = model.GetView();
    ASSERT_EQ(v.frameSizes.size(), 2u);
    EXPECT_EQ(v.frameSizeIndex, 1);
    EXPECT_EQ(v.frameSizes[1].text, "480 x 576");
    EXPECT_EQ(model.Edited().FrameSizeCode, 8192);
    model.FrameSizeClicked(0);
    EXPECT_EQ(model.Edited().FrameSizeCode, 16);

    // A size below every listed one falls back to item 0 and keeps its code.
    model.Begin(User(kMpeg1, 1, false, 1150000, 1150000));
    EXPECT_EQ(model.GetView().frameSizeIndex, 0);
    EXPECT_EQ(model.Edited().FrameSizeCode, 1);
}

TEST_F(CaptureSetupModelTest, Usb11CeilingAndItsUndoKeptBetweenOpenings)
{
    model.Begin(User(kMpeg2, 8192, true, 6000000, 8000000));
    model.Usb11Clicked(true);
    EXPECT_EQ(model.GetView().bitrate.maximum, 7000);
    EXPECT_EQ(model.GetView().peak.maximum, 7000);
    EXPECT_EQ(model.GetView().peak.position, 7000);
    EXPECT_EQ(model.Edited().PeakBitrate, 8000000);  // unclamped until a bar moves
    model.Begin(User(kMpeg2, 8192, true, 6000000, 8000000));
    EXPECT_TRUE(model.GetView().usb11);
    EXPECT_EQ(model.GetView().bitrate.maximum, 7000);
    model.Usb11Clicked(false);
    EXPECT_EQ(model.GetView().bitrate.maximum, 15000);

    // The virtual board's step of 25000 bit/s.
    Board(25000);
    model.Usb11Clicked(true);
    EXPECT_EQ(model.GetView().bitrate.step, 25000);
    EXPECT_EQ(model.GetView().bitrate.maximum, 280);
    EXPECT_EQ(model.GetView().bitrate.minimum, 40);
    EXPECT_EQ(model.GetView().bitrate.position, 240);
}

TEST_F(CaptureSetupModelTest, CancelKeepsTheCallersProfileOkCopiesEverything)
{
    CaptureProfile original = User(kMpeg1, 16, true, 2000000, 1000000);
    original.MaxFileSize = 650;
    original.AutoOffMaxSize = 7;
    model.Begin(original);
    // MPEG 1 with a stored VBR: checked but greyed; the peak stays usable.
    EXPECT_TRUE(model.GetView().vbrChecked);
    EXPECT_FALSE(model.GetView().vbrEnabled);
    EXPECT_TRUE(model.GetView().peak.enabled);
    model.MpegClicked(1);
    model.BitrateTrackChanged(5000);

    CaptureProfile caller = original;
    EXPECT_FALSE(model.Finish(false, caller));
    EXPECT_EQ(caller, original);

    model.Begin(original);
    model.MpegClicked(1);
    model.BitrateTrackChanged(5000);
    EXPECT_TRUE(model.Finish(true, caller));
    EXPECT_EQ(caller.MpegType, kMpeg2);
    EXPECT_EQ(caller.Bitrate, 5000000);
    EXPECT_EQ(caller.PeakBitrate, 5000000);
    EXPECT_EQ(caller.MaxFileSize, 650);
    EXPECT_EQ(caller.AutoOffMaxSize, 7);
}

}  // namespace
}  // namespace encoderdesk
