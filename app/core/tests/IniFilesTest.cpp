// The program's INI files against hand-made files: tolerant reading as the Windows
// INI functions read, in-place writing, Windows-1251 on disk (UTF-8 behind a mark
// only for what that code page cannot hold), the 13-line profile file byte for
// byte, the profile and signal loading rules, and the settings file's keys,
// defaults, ranges and round trip.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/AppSettings.h"
#include "core/IniFile.h"
#include "core/IniText.h"
#include "core/ProfileFiles.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;

class IniFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void Put(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    std::string Get(const std::string& name) const { return ReadFileBytes(Path(name), 1 << 20); }

    fs::path dir_;
};

TEST_F(IniFilesTest, HandMadeFileReadsAsTheWindowsFunctionsReadIt)
{
    Put("hand.ini",
        "stray=1\r\n"
        "; a comment\r\n"
        "  [ video ]  \r\n"
        "  Bitrate =  0x10 \r\n"
        "bitrate=99\r\n"
        "Name = \"  quoted  \"\r\n"
        "Single='x'\r\n"
        "Garbage=12abc\r\n"
        ";Hidden=1\r\n"
        "Big=2147483648\r\n"
        "Hex=0xFFFFFFFF\n"
        "Dollar=$1F\r"
        "Neg=-5\n"
        "[VIDEO]\r\n"
        "Second=1\r\n"
        "[Other]\n"
        "Empty=\n");
    IniFile f(Path("hand.ini"));
    EXPECT_EQ(f.ReadInteger(" Video", "BITRATE ", 0), 16);  // first key of the name, hex; names trimmed
    EXPECT_EQ(f.ReadString("VIDEO", "name", ""), "  quoted  ");
    EXPECT_EQ(f.ReadString("Video", "Single", ""), "x");
    EXPECT_EQ(f.ReadInteger("Video", "Garbage", 7), 7);
    EXPECT_EQ(f.ReadInteger("Video", "Hidden", 7), 7);
    EXPECT_EQ(f.ReadInteger("Video", "Big", 7), 7);
    EXPECT_EQ(f.ReadInteger("Video", "Hex", 7), -1);
    EXPECT_EQ(f.ReadInteger("Video", "Dollar", 7), 31);
    EXPECT_EQ(f.ReadInteger("Video", "Neg", 7), -5);
    EXPECT_EQ(f.ReadInteger("Video", "Second", 7), 7);  // the first section of a name wins
    EXPECT_EQ(f.ReadInteger("Video", "stray", 7), 7);   // before any section
    EXPECT_EQ(f.ReadString("Other", "Empty", "d"), "");
    EXPECT_EQ(f.ReadString("Missing", "Empty", "d"), "d");
    EXPECT_TRUE(f.ReadBool("Video", "Neg", false));
    EXPECT_EQ(IniFile(Path("absent.ini")).ReadInteger("Video", "Bitrate", 3), 3);
}

TEST_F(IniFilesTest, WritesReplaceInPlaceAppendToTheSectionAndCreateItAtTheEnd)
{
    Put("w.ini", "; kept\n[File]\nsplitfile = 0\nOther=x\n\n[Video]\nIN=1\n");
    IniFile f(Path("w.ini"));
    ASSERT_TRUE(f.WriteBool("FILE", "SplitFile", true));
    ASSERT_TRUE(f.WriteInteger("File", "SplitFileSize", 650));
    ASSERT_TRUE(f.WriteString("Stat", "ShowHHMM", "1"));
    ASSERT_TRUE(f.WriteString("Stat", "Padded", " a "));
    EXPECT_EQ(Get("w.ini"), "; kept\r\n[File]\r\nsplitfile=1\r\nOther=x\r\nSplitFileSize=650\r\n\r\n[Video]\r\nIN=1\r\n"
                            "[Stat]\r\nShowHHMM=1\r\nPadded=\" a \"\r\n");
    EXPECT_EQ(f.ReadString("Stat", "Padded", ""), " a ");
    EXPECT_FALSE(f.WriteString("Stat", "Broken", "two\nlines"));
    EXPECT_FALSE(f.LastError().empty());
}

TEST_F(IniFilesTest, WhatWindows1251CannotHoldIsKeptInUtf8AndTheFileReturnsTo1251)
{
    IniFile f(Path("enc.ini"));
    ASSERT_TRUE(f.WriteString("File", "Directory", "/home/анна/Видео"));
    EXPECT_EQ(Get("enc.ini"), "[File]\r\nDirectory=/home/\xE0\xED\xED\xE0/\xC2\xE8\xE4\xE5\xEE\r\n");
    ASSERT_TRUE(f.WriteString("File", "Other", "/home/anna/Vidéos"));
    EXPECT_EQ(Get("enc.ini").substr(0, 5), "\xEF\xBB\xBF\r\n");
    EXPECT_EQ(f.ReadString("File", "Other", ""), "/home/anna/Vidéos");
    EXPECT_EQ(f.ReadString("File", "Directory", ""), "/home/анна/Видео");
    ASSERT_TRUE(f.WriteString("File", "Other", "x"));
    EXPECT_EQ(Get("enc.ini"), "[File]\r\nDirectory=/home/\xE0\xED\xED\xE0/\xC2\xE8\xE4\xE5\xEE\r\nOther=x\r\n");
    // Without the mark a file is Windows-1251, also when its bytes happen to be
    // valid UTF-8, as the Windows program reads it.
    Put("nomark.ini", "[File]\nDirectory=/home/\xD0\xB0\n");
    EXPECT_EQ(IniFile(Path("nomark.ini")).ReadString("File", "Directory", ""), "/home/Р°");
}

TEST_F(IniFilesTest, AFailedWriteLeavesTheFileAsItWas)
{
    IniFile missingFolder(Path("no/such/folder.ini"));
    EXPECT_FALSE(missingFolder.WriteInteger("A", "B", 1));
    EXPECT_NE(missingFolder.LastError().find("folder.ini"), std::string::npos);

    Put("big.ini", "[A]\r\nB=1\r\n" + std::string(kMaxIniBytes, ';'));
    IniFile big(Path("big.ini"));
    EXPECT_EQ(big.ReadInteger("A", "B", 0), 1);
    EXPECT_FALSE(big.WriteInteger("A", "B", 2));
    EXPECT_EQ(big.ReadInteger("A", "B", 0), 1);

    // A link stays a link; the file it names gets the text, with its permissions.
    Put("target.ini", "[A]\r\nB=1\r\n");
    fs::permissions(Path("target.ini"), fs::perms(0640));
    fs::create_symlink(Path("target.ini"), Path("link.ini"));
    ASSERT_TRUE(IniFile(Path("link.ini")).WriteInteger("A", "B", 5));
    EXPECT_TRUE(fs::is_symlink(Path("link.ini")));
    EXPECT_EQ(IniFile(Path("target.ini")).ReadInteger("A", "B", 0), 5);
    EXPECT_EQ(fs::status(Path("target.ini")).permissions() & fs::perms::all, fs::perms(0640));
}

TEST_F(IniFilesTest, UserProfileFileComesOutByteForByte)
{
    CaptureProfile p;
    p.ProfileCode = kProfileUser;
    p.MpegType = kMpeg2;
    p.VideoStandard = kVideoPal;
    p.FrameSizeCode = 8192;
    p.Vbr = true;
    p.Bitrate = 6000000;
    p.PeakBitrate = 8000000;
    std::string error;
    ASSERT_TRUE(SaveCaptureProfile(Path("mine.avi"), p, error)) << error;
    EXPECT_EQ(Get("mine.vcp"), "[Video]\r\nProfileCode=3\r\nMPEG=2\r\nVideoStandart=0\r\nFrameSizeCode=8192\r\n"
                               "[Bitrate]\r\nVBR=1\r\nBitRate=6000000\r\nPeakBitRate=8000000\r\n"
                               "[File]\r\nMaxFileSize=0\r\n[AutoOFF]\r\nMaxSize=0\r\n");
    CaptureProfile loaded;
    ASSERT_TRUE(LoadCaptureProfile(Path("mine"), loaded));
    EXPECT_EQ(loaded, p);
}

TEST_F(IniFilesTest, ProfileLoadingRules)
{
    CaptureProfile p;
    p.ProfileCode = kProfileUser;
    p.VideoStandard = kVideoNtsc;
    p.MaxFileSize = 5;
    Put("svcd.vcp", "[Video]\r\nProfileCode=1\r\nMPEG=1\r\nFrameSizeCode=1\r\n[File]\r\nMaxFileSize=9\r\n");
    ASSERT_TRUE(LoadCaptureProfile(Path("svcd.vcp"), p));
    EXPECT_EQ(p.MpegType, kMpeg2);
    EXPECT_EQ(p.FrameSizeCode, 256);
    EXPECT_EQ(p.Bitrate, 2375000);
    EXPECT_TRUE(p.Vbr);
    EXPECT_EQ(p.VideoStandard, kVideoNtsc);  // a preset reads nothing else
    EXPECT_EQ(p.MaxFileSize, 5);

    // Made on Windows: upper-case extension, a peak below the rate, no MPEG key.
    Put("CLIP.VCP", "[VIDEO]\r\nPROFILECODE=3\r\n[Bitrate]\r\nBitRate=5000000\r\nPeakBitRate=4000000\r\n");
    ASSERT_TRUE(LoadCaptureProfile(Path("CLIP.vcp"), p));
    EXPECT_EQ(p.MpegType, kMpeg1);
    EXPECT_EQ(p.PeakBitrate, 5000000);
    EXPECT_EQ(p.VideoStandard, kVideoPal);
    Put("seven.vcp", "[Video]\r\nProfileCode=3\r\nMPEG=7\r\n");
    ASSERT_TRUE(LoadCaptureProfile(Path("seven"), p));
    EXPECT_EQ(p.MpegType, kMpeg2);

    const CaptureProfile before = p;
    Put("bad.vcp", "[Video]\r\nProfileCode=4\r\nMPEG=1\r\n");
    EXPECT_FALSE(LoadCaptureProfile(Path("bad"), p));
    Put("nocode.vcp", "[Video]\r\nMPEG=1\r\n");
    EXPECT_FALSE(LoadCaptureProfile(Path("nocode"), p));
    EXPECT_FALSE(LoadCaptureProfile(Path("missing"), p));
    EXPECT_EQ(p, before);
}

TEST_F(IniFilesTest, SignalFileKeepsWhatItLacksAndMuteOnlyWhenTheBoardMutes)
{
    SignalSettings s{{1, 2, 3, 4, 5}, -10, true};
    std::string error;
    ASSERT_TRUE(SaveSignalSettings(Path("sig.txt"), s, error));
    EXPECT_EQ(Get("sig.vsp"), "[SignalSettings]\r\nBrightness=1\r\nContrast=2\r\nHue=3\r\nSaturation=4\r\nSharpness=5\r\n"
                              "[Audio]\r\nAudioVol=-10\r\nAudioMute=1\r\n");
    Put("hand.vsp", "[SignalSettings]\r\nBrightness=900\r\nHue=abc\r\n[Audio]\r\nAudioMute=0\r\n");
    const SignalSettings current{{10, 20, 30, 40, 50}, -5, true};
    const SignalSettings loaded = LoadSignalSettings(Path("hand.vsp"), current);
    EXPECT_EQ(loaded.procAmp, (std::array<int, 5>{900, 20, 30, 40, 50}));  // the bar clamps it
    EXPECT_EQ(loaded.audioVolume, -5);
    EXPECT_EQ(loaded.mute, false);
    EXPECT_EQ(LoadSignalSettings(Path("hand.vsp"), SignalSettings{}).mute, std::nullopt);
    ASSERT_TRUE(SaveSignalSettings(Path("nomute"), SignalSettings{}, error));
    EXPECT_EQ(Get("nomute.vsp").find("AudioMute"), std::string::npos);
}

TEST_F(IniFilesTest, SettingsDefaultsRangesAndAWindowsFileWithCyrillicNames)
{
    const AppSettings none = LoadAppSettings(Path("none.ini"), "/home/u/Videos");
    EXPECT_TRUE(none.autoFileName);
    EXPECT_EQ(none.directory, "/home/u/Videos");
    EXPECT_EQ(none.fileName, "test.mpg");
    EXPECT_EQ(none.splitFileSize, 2000);
    EXPECT_EQ(none.stopSize, 2000);
    EXPECT_EQ(none.stopNoSignal, 2);
    EXPECT_EQ(none.stopTimeSeconds, 1800);
    EXPECT_FALSE(none.stopAfterMaxSize || none.stopAfterNoSignal || none.stopAfterTime);

    // Written by the Windows program: Windows-1251, a drive letter, out-of-range sizes.
    Put("win.ini", "[Video]\r\nIN=1\r\n[File]\r\nDirectory=e:\\video\r\nFileName=\xE7\xE0\xEF\xE8\xF1\xFC.mpg\r\n"
                   "SplitFileSize=3000000\r\n[AutoOff]\r\nSplitFileSize=5\r\nTime=1:30:00\r\nNoSignalTime=0x3\r\n"
                   "[Startup]\r\nProfile=3\r\nProfileName=C:\\\xCF\xF0\xEE\xF4\xE8\xEB\xFC\\night.vcp\r\n");
    AppSettings s = LoadAppSettings(Path("win.ini"), "/home/u/Videos");
    EXPECT_EQ(s.videoIn, 1);
    EXPECT_EQ(s.directory, "/home/u/Videos");
    EXPECT_EQ(s.fileName, "запись.mpg");
    EXPECT_EQ(s.splitFileSize, 2000000);
    EXPECT_EQ(s.stopSize, 10);
    EXPECT_EQ(s.stopTimeSeconds, 5400);
    EXPECT_EQ(s.stopNoSignal, 3);
    EXPECT_EQ(ReadStartupProfile(Path("win.ini")).profileName, "C:\\Профиль\\night.vcp");

    // Every control round-trips; the Startup section stays as it was, in 1251.
    s.videoOut = 1;
    s.disablePreview = s.splitFile = s.textDescr = s.showHHMM = true;
    s.autoFileName = false;
    s.directory = "/home/u/Видео/архив";
    s.stopAfterMaxSize = s.stopAfterNoSignal = s.stopAfterTime = true;
    s.stopTimeSeconds = 41;
    std::string error;
    ASSERT_TRUE(SaveAppSettings(Path("win.ini"), s, error)) << error;
    const AppSettings back = LoadAppSettings(Path("win.ini"), "/x");
    EXPECT_EQ(back.directory, s.directory);
    EXPECT_EQ(back.fileName, s.fileName);
    EXPECT_EQ(back.stopTimeSeconds, 41);
    EXPECT_TRUE(back.disablePreview && back.splitFile && back.textDescr && back.showHHMM && !back.autoFileName);
    EXPECT_TRUE(back.stopAfterMaxSize && back.stopAfterNoSignal && back.stopAfterTime);
    EXPECT_EQ(back.videoOut, 1);
    const std::string bytes = Get("win.ini");
    EXPECT_NE(bytes.find("Time=0:00:41\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("ProfileName=C:\\\xCF\xF0\xEE\xF4\xE8\xEB\xFC\\night.vcp\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("Directory=/home/u/\xC2\xE8\xE4\xE5\xEE/\xE0\xF0\xF5\xE8\xE2\r\n"), std::string::npos);
}

TEST_F(IniFilesTest, NewSettingsFileHoldsTheKeysInOrder)
{
    AppSettings s;
    s.directory = "/v";
    std::string error;
    ASSERT_TRUE(SaveAppSettings(Path("new.ini"), s, error));
    EXPECT_EQ(Get("new.ini"), "[Video]\r\nIN=0\r\nOUT=0\r\nDisablePreview=0\r\n"
                              "[File]\r\nAutoFileName=1\r\nDirectory=/v\r\nFileName=test.mpg\r\nSplitFile=0\r\n"
                              "SplitFileSize=2000\r\nTextDescr=0\r\n"
                              "[AutoOff]\r\nAfterMaxSize=0\r\nSplitFileSize=2000\r\nAfterNoSignal=0\r\nNoSignalTime=2\r\n"
                              "AfterTime=0\r\nTime=0:30:00\r\n[Stat]\r\nShowHHMM=0\r\n");
    EXPECT_EQ(ParseLongTime("01:30"), 5400);
    EXPECT_EQ(ParseLongTime("25:00:00"), std::nullopt);
    EXPECT_EQ(ParseLongTime("1:3x:00"), std::nullopt);
}

}  // namespace
}  // namespace encoderdesk
