// The main window's rules without the window: file names at a fixed clock, the
// directory texts, the status table's texts, the profile group's captions, the
// bars' tick marks, the device name, the fragment-size units and the places of the
// program's files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/DeviceStatus.h"
#include "core/FileNaming.h"
#include "core/ProgramLocations.h"
#include "core/SignalControls.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;

TEST(FileNamingTest, AutomaticNamesAndTheExtensionRule)
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 6;
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_sec = 9;
    EXPECT_EQ(MakeFileName("clip.avi", true, t), "261206_23_05_09.mpg");
    EXPECT_EQ(MakeFileName("clip.avi", false, t), "clip.mpg");
    EXPECT_EQ(MakeFileName("clip", false, t), "clip.mpg");
    EXPECT_EQ(MakeFileName("my.dir/clip", false, t), "my.dir/clip.mpg");
    EXPECT_EQ(ChangeFileExt("a.b.c", ".txt"), "a.b.txt");
    EXPECT_EQ(ForceExtension("CLIP.VCP", ".vcp"), "CLIP.VCP");
    EXPECT_EQ(ForceExtension("clip.mpg", ".vcp"), "clip.vcp");
}

TEST(FileNamingTest, DirectoryTexts)
{
    EXPECT_EQ(CurrentFile("/video//new", "a.mpg"), "/video/new/a.mpg");
    EXPECT_EQ(CurrentFile("", "a.mpg"), "a.mpg");
    EXPECT_EQ(NormalizeDirectory("\\home\\u\\Видео"), "/home/u/Видео/");
    EXPECT_EQ(NormalizeDirectory("/a////b"), "/a//b/");  // one pass
    EXPECT_EQ(TrimDirectory("/"), "/");
    EXPECT_EQ(TrimDirectory("/home/u//"), "/home/u");
    EXPECT_EQ(ReplaceAll("abc", "abc", "x"), "abc");
    EXPECT_EQ(ReplaceAll("a-b-c", "-", "+"), "a+b+c");
    EXPECT_TRUE(HasDriveLetter("e:\\video"));
    EXPECT_TRUE(HasDriveLetter("E:"));
    EXPECT_FALSE(HasDriveLetter("e:video"));
    EXPECT_FALSE(HasDriveLetter("/e:/video"));
}

TEST(FileNamingTest, ExtensionsCompareWithoutCase)
{
    const fs::path dir = fs::temp_directory_path() / "naming";
    fs::create_directories(dir);
    std::ofstream(dir / "CLIP.VCP") << "x";
    EXPECT_EQ(FindIgnoringExtensionCase((dir / "CLIP.vcp").string()), (dir / "CLIP.VCP").string());
    EXPECT_EQ(FindIgnoringExtensionCase((dir / "clip.vcp").string()), (dir / "clip.vcp").string());
    EXPECT_TRUE(HasExtension("a/B.MZL", ".mzl"));
    EXPECT_FALSE(HasExtension("a.mzl/b", ".mzl"));
}

TEST(MainWindowRulesTest, StatusTextsAndTheCloseQuestion)
{
    EXPECT_EQ(ViewOf(dsIdle).buttons, 15);
    EXPECT_EQ(ViewOf(dsPreview).buttons, 10);
    EXPECT_STREQ(ViewOf(dsOnTheFlyCapture).text, "Идет запись видео (из режима просмотра)");
    EXPECT_TRUE(ViewOf(dsPlayback).autoOffEnabled);
    EXPECT_FALSE(ViewOf(dsCapture).autoOffEnabled);
    EXPECT_FALSE(CloseNeedsConfirmation(dsPreview));
    EXPECT_TRUE(CloseNeedsConfirmation(dsPlayback));
    EXPECT_EQ(CloseQuestion("Kestor Recorder A", "Идет запись видео"),
              "В настоящий момент устройство \"Kestor Recorder A\" выполняет операцию \"Идет запись видео\". "
              "Закрытие программы приведет к ее остановке. ");
}

TEST(MainWindowRulesTest, ProfileCaptions)
{
    CaptureProfile p;
    p.ProfileCode = kProfileVideoCd;
    p.Bitrate = 1;
    ProfileCaptions c = CaptionsOf(p, "");
    EXPECT_EQ(c.profile, "Video CD (VCD)");
    EXPECT_EQ(c.videoFormat, "MPEG1, 352 x 288, PAL");
    EXPECT_EQ(c.bitrate, "1150000");
    EXPECT_EQ(c.peakBitrate, "VBR отключен");
    EXPECT_FALSE(c.canSave);
    p.ProfileCode = kProfileUser;
    p.MpegType = kMpeg2;
    p.VideoStandard = kVideoNtsc;
    p.FrameSizeCode = 4;
    p.Vbr = true;
    p.Bitrate = 5000000;
    p.PeakBitrate = 4000000;
    c = CaptionsOf(p, "");
    EXPECT_EQ(c.videoFormat, "MPEG2, 176 x 128, NTSC");
    EXPECT_EQ(c.peakBitrate, "5000000");
    EXPECT_TRUE(c.canSave);
    p.ProfileCode = 7;
    p.MpegType = 5;
    c = CaptionsOf(p, "old");
    EXPECT_EQ(c.profile, "");
    EXPECT_EQ(c.videoFormat, "old, 176 x 128, NTSC");
}

TEST(MainWindowRulesTest, BarsDeviceNameAndFragmentUnits)
{
    EXPECT_EQ(TickFrequency(16, 32, 0), 1);
    EXPECT_EQ(TickFrequency(16, 255, 0), 15);
    EXPECT_EQ(TickFrequency(1, 255, 0), 17);
    EXPECT_EQ(TickFrequency(4, 180, -180), 24);
    EXPECT_EQ(ProcAmpCode(5), 16u);
    EXPECT_EQ(ProcAmpCode(101), 0u);
    EXPECT_EQ(ChannelOfItem(1), 4u);
    EXPECT_EQ(ItemOfChannel(4), 1);

    const char16_t buffer[500] = u" Kestor\0 Recorder A\t ";
    EXPECT_EQ(DeviceNameText(buffer, 500, 22), "Kestor Recorder A");
    EXPECT_EQ(DeviceNameText(buffer, 500, 3), "Ke");

    EXPECT_EQ(FileSizeLimitUnits(true, 2000), 7843u);
    EXPECT_EQ(FileSizeLimitUnits(true, 2000000), 7843137u);
    EXPECT_EQ(FileSizeLimitUnits(false, 2000), 0xFFFFFFFFu);
}

TEST(MainWindowRulesTest, SettingsAndProfilesBesideTheProgramOnlyWhenThere)
{
    const fs::path root = fs::temp_directory_path() / "locations";
    fs::create_directories(root / "bin");
    ProgramLocations where = FindProgramLocations((root / "bin").string(), "/cfg", "/data");
    EXPECT_EQ(where.settingsFile, "/cfg/encoderdesk/encoderdesk.ini");
    EXPECT_EQ(where.profileDirectory, "/data/encoderdesk/Profile");
    std::ofstream(root / "bin" / "encoderdesk.ini") << "";
    fs::create_directories(root / "bin" / "Profile");
    where = FindProgramLocations((root / "bin").string(), "/cfg", "/data");
    EXPECT_EQ(where.settingsFile, (root / "bin" / "encoderdesk.ini").string());
    EXPECT_EQ(where.profileDirectory, (root / "bin" / "Profile").string());
}

}  // namespace
}  // namespace encoderdesk
