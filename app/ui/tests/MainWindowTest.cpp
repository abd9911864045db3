// The main window on the virtual board through the real SDK, with Qt's offscreen
// platform, driven by its own buttons: preview pictures in the panel and the
// exact SDK calls, a capture that ffprobe reads with the profile's codec and
// size, recording from a running preview, the clean-up of an empty recording,
// the overwrite question, the close confirmation, playback's answers, the
// directory error, the profile and signal files through their buttons, and the
// settings file restoring every control.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTimeEdit>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Controls.h"
#include "DeskTestSupport.h"
#include "DeskWindow.h"
#include "core/DeviceStatus.h"
#include "core/FileNaming.h"
#include "core/IniFile.h"
#include "ui/Program.h"
#include "ui/VideoPanel.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;
using test::BoxWatch;
using test::Desk;
using test::Folder;
using test::Wait;
using test::WaitUntil;

std::string Home() { return (fs::temp_directory_path() / "home").string(); }

class DeskEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        // The user's folders inside the test's own.
        fs::create_directories(Home());
        setenv("HOME", Home().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (Home() + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (Home() + "/.local/share").c_str(), 1);
        static int argc = 1;
        static char name[] = "encoderdesk_main_test";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        LoadRussianTranslations(*app_);
        ASSERT_TRUE(test::RegisterModules());
        ASSERT_EQ(test::BoardCtl("signal on"), 0);
    }
    void TearDown() override { delete app_; }

private:
    QApplication* app_ = nullptr;
};
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new DeskEnvironment);

std::tm FixedClock()
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 6;
    t.tm_hour = 23;
    t.tm_min = 5;
    t.tm_sec = 9;
    return t;
}

std::string SettingsPath() { return Home() + "/.config/encoderdesk/encoderdesk.ini"; }

void Put(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

bool Contains(const std::vector<std::string>& calls, const std::string& call)
{
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// Share of pixels that are not near black.
double Lit(const QImage& picture)
{
    if (picture.isNull()) return 0;
    int lit = 0, all = 0;
    for (int y = 0; y < picture.height(); y += 8)
        for (int x = 0; x < picture.width(); x += 8, ++all)
            if (qGray(picture.pixel(x, y)) > 40) ++lit;
    return static_cast<double>(lit) / all;
}

TEST(MainWindow, PreviewShowsThePicturesInThePanelAfterTheDescribedCalls)
{
    fs::remove(SettingsPath());
    Desk desk;
    TMain& m = desk.main();
    m.clock = &FixedClock;
    const std::string dir = Folder("preview");
    m.deDirectory->setText(QString::fromStdString(dir) + "//new");
    EXPECT_EQ(m.StatusText(), "Устройство готово к работе");
    EXPECT_EQ(m.lbDeviceName->text(), "Kestor Recorder A");
    EXPECT_EQ(m.lbProfile->text(), "Video CD (VCD)");
    desk.calls.clear();
    m.mbStartPreview->click();
    const std::string file = dir + "/new/261206_23_05_09.mpg";
    EXPECT_EQ(m.CurrentFile(), file);
    ASSERT_EQ(m.DeviceStatus(), dsPreview);
    EXPECT_EQ(m.StatusText(), "Режим предварительного просмотра");
    const std::vector<std::string> expected = {
        "QuvoStopPreview()", "QuvoStopCapture()", "QuvoStopRecording()", "QuvoStopPlayback()",
        "QuvoSetPreviewWindow(&, 1, 1, 320, 240)", "QuvoSetVideoCompressionStandard(1)", "QuvoSetVideoResolution(16)",
        "QuvoSetVideoBitrate(0, 1150000, 1150000)", "QuvoSetFileSizeLimit(4294967295)",
        "QuvoSetCaptureLimit(4294967295)", "QuvoSetAudioFormat(16)",
        "QuvoSetCaptureFileName(\"" + file + "\", " + std::to_string(file.size()) + ")", "QuvoSetPlaybackMode(8)",
        "QuvoSetPreviewMode(8)", "QuvoSetEventNotificationWindow(&, 1224)", "QuvoStartPreview()"};
    EXPECT_EQ(desk.calls, expected);
    EXPECT_TRUE(m.mbCapture->isEnabled() && m.mbStop->isEnabled());
    EXPECT_FALSE(m.mbStartPreview->isEnabled() || m.mbPlayback->isEnabled() || m.deDirectory->isEnabled());
    EXPECT_TRUE(m.gbAutoOff->isEnabled());

    // Five seconds at 25 pictures per second. The board may skip a picture when
    // the machine is loaded, so the stream is only held to most of them; the
    // panel is held to painting at least 95% of what it received.
    ASSERT_TRUE(WaitUntil([&] { return m.PreviewPanel->FramesPainted() > 0; }, 5000));
    const int firstReceived = m.PreviewPanel->FramesReceived();
    const int firstPainted = m.PreviewPanel->FramesPainted();
    Wait(5000);
    const int received = m.PreviewPanel->FramesReceived() - firstReceived;
    EXPECT_GE(received, 100);
    EXPECT_GE(m.PreviewPanel->FramesPainted() - firstPainted, received * 95 / 100);
    EXPECT_GT(Lit(m.PreviewPanel->LastPicture()), 0.5);
    EXPECT_EQ(m.PreviewPanel->LastPicture().size(), QSize(352, 288));

    m.mbStop->click();
    EXPECT_EQ(m.DeviceStatus(), dsIdle);
    EXPECT_TRUE(m.PreviewPanel->LastPicture().isNull());
    EXPECT_FALSE(fs::exists(file));  // nothing recorded: no empty file is left
}

TEST(MainWindow, CaptureWritesTheProfilesCodecAndSizeWithItsDescription)
{
    Desk desk;
    TMain& m = desk.main();
    m.deDirectory->setText(QString::fromStdString(Folder("capture")));
    m.cbAutoFileName->setChecked(false);
    m.edFileName->setText("clip.avi");
    m.cbTextDescr->setChecked(true);
    m.cbSplitFile->setChecked(true);
    m.seFileSplitSize->setValue(650);
    desk.calls.clear();
    m.mbCapture->click();
    ASSERT_EQ(m.DeviceStatus(), dsCapture);
    EXPECT_EQ(m.StatusText(), "Идет запись видео");
    EXPECT_EQ(m.edFileName->text(), "clip.mpg");
    EXPECT_TRUE(Contains(desk.calls, "QuvoSetFileSizeLimit(2549)"));
    EXPECT_EQ(desk.calls.back(), "QuvoStartCapture()");
    EXPECT_FALSE(m.gbAutoOff->isEnabled());
    Wait(3000);
    m.mbStop->click();
    const std::string file = m.CurrentFile();
    EXPECT_EQ(test::ProbeVideo(file), "mpeg1video,352,288");
    const std::string text = ReadFileBytes(ChangeFileExt(file, ".txt"), 4096);
    EXPECT_NE(text.find("\r\n\xCF\xF0\xEE\xF4\xE8\xEB\xFC: Video CD (VCD)\r\n"), std::string::npos);  // "Профиль: "
    EXPECT_NE(text.find("MPEG1, 352 x 288, PAL\r\n"), std::string::npos);
    EXPECT_NE(text.find(":  VBR \xEE\xF2\xEA\xEB\xFE\xF7\xE5\xED\r\n"), std::string::npos);  // "VBR отключен"
}

TEST(MainWindow, CaptureFromPreviewRecordsToThePreviewsFileWhileThePreviewRuns)
{
    Desk desk;
    TMain& m = desk.main();
    m.deDirectory->setText(QString::fromStdString(Folder("fly")));
    m.mbStartPreview->click();
    ASSERT_EQ(m.DeviceStatus(), dsPreview);
    const std::string file = m.CurrentFile();
    ASSERT_TRUE(WaitUntil([&] { return m.PreviewPanel->FramesPainted() > 0; }, 5000));
    desk.calls.clear();
    m.mbCapture->click();
    ASSERT_EQ(m.DeviceStatus(), dsOnTheFlyCapture);
    EXPECT_EQ(m.StatusText(), "Идет запись видео (из режима просмотра)");
    EXPECT_EQ(desk.calls, std::vector<std::string>{"QuvoStartRecording()"});
    const int painted = m.PreviewPanel->FramesPainted();
    Wait(3000);
    EXPECT_GT(m.PreviewPanel->FramesPainted() - painted, 60);
    m.mbStop->click();
    EXPECT_EQ(m.CurrentFile(), file);
    EXPECT_EQ(test::ProbeVideo(file), "mpeg1video,352,288");
}

TEST(MainWindow, StopDeletesAnEmptyRecordingWithItsCompanionsAndNothingElse)
{
    Desk desk;
    TMain& m = desk.main();
    const std::string dir = Folder("empty");
    m.deDirectory->setText(QString::fromStdString(dir));
    m.cbAutoFileName->setChecked(false);
    m.edFileName->setText("empty.mpg");
    for (const char* name : {"empty.mpg", "empty.MZL", "empty.txt"}) Put(dir + "/" + name, "");
    m.mbStop->click();
    for (const char* name : {"empty.mpg", "empty.MZL", "empty.txt"}) EXPECT_FALSE(fs::exists(dir + "/" + name)) << name;

    m.edFileName->setText("kept.mpg");
    Put(dir + "/kept.mpg", "x");
    Put(dir + "/kept.mzl", "");
    m.mbStop->click();
    EXPECT_TRUE(fs::exists(dir + "/kept.mpg") && fs::exists(dir + "/kept.mzl"));
}

TEST(MainWindow, AnExistingFileIsAskedAboutBeforePreviewAndNoLeavesItAlone)
{
    Desk desk;
    TMain& m = desk.main();
    const std::string dir = Folder("exists");
    m.deDirectory->setText(QString::fromStdString(dir));
    m.cbAutoFileName->setChecked(false);
    m.edFileName->setText("old.avi");
    Put(dir + "/old.mpg", "recorded");
    BoxWatch boxes;
    boxes.answers = {QMessageBox::No};
    desk.calls.clear();
    m.mbStartPreview->click();
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts.front().toStdString(), OverwriteQuestion(dir + "/old.mpg"));
    EXPECT_EQ(m.DeviceStatus(), dsIdle);
    EXPECT_FALSE(Contains(desk.calls, "QuvoStartPreview()"));
    EXPECT_EQ(ReadFileBytes(dir + "/old.mpg", 100), "recorded");
}

TEST(MainWindow, ClosingAsksOnlyWhileBusyAndNoKeepsTheRecording)
{
    Desk desk;
    TMain& m = desk.main();
    m.deDirectory->setText(QString::fromStdString(Folder("close")));
    BoxWatch boxes;
    m.mbStartPreview->click();
    ASSERT_EQ(m.DeviceStatus(), dsPreview);
    EXPECT_TRUE(m.close());
    EXPECT_TRUE(boxes.texts.isEmpty());
    m.show();
    m.mbStop->click();

    m.mbCapture->click();
    ASSERT_EQ(m.DeviceStatus(), dsCapture);
    boxes.answers = {QMessageBox::No};
    EXPECT_FALSE(m.close());
    ASSERT_EQ(boxes.texts.size(), 1);
    EXPECT_EQ(boxes.texts.front().toStdString(), CloseQuestion("Kestor Recorder A", "Идет запись видео"));
    EXPECT_EQ(boxes.buttons.front(), "Да/Нет");  // Qt's own Russian texts
    EXPECT_EQ(m.DeviceStatus(), dsCapture);
    fs::remove(SettingsPath());
    boxes.answers = {QMessageBox::Yes};
    EXPECT_TRUE(m.close());
    EXPECT_TRUE(fs::exists(SettingsPath()));  // saved when the window closed
}

TEST(MainWindow, PlaybackNeedsTheFileAndPlaysARecordingInThePanelUntilStop)
{
    Desk desk;
    TMain& m = desk.main();
    const std::string dir = Folder("playback");
    m.deDirectory->setText(QString::fromStdString(dir));
    m.cbAutoFileName->setChecked(false);
    m.edFileName->setText("play.mpg");
    BoxWatch boxes;
    desk.calls.clear();
    m.mbPlayback->click();
    EXPECT_EQ(boxes.texts, QStringList{"Файл не найден !"});
    EXPECT_TRUE(desk.calls.empty());
    EXPECT_EQ(m.DeviceStatus(), dsIdle);

    m.mbCapture->click();
    Wait(2500);
    m.mbStop->click();
    desk.calls.clear();
    m.mbPlayback->click();
    ASSERT_EQ(m.DeviceStatus(), dsPlayback) << boxes.texts.join("; ").toStdString();
    EXPECT_EQ(m.StatusText(), "Идет воспроизведение видео");
    EXPECT_EQ(desk.calls.back(), "QuvoStartPlayback()");
    EXPECT_FALSE(Contains(desk.calls, "QuvoStopPreview()"));  // no StopAll before playback
    EXPECT_TRUE(WaitUntil([&] { return m.PreviewPanel->FramesPainted() > 10; }, 5000));
    // The end of the file changes nothing: the status stays until Stop.
    Wait(2500);
    EXPECT_EQ(m.DeviceStatus(), dsPlayback);
    EXPECT_EQ(m.StatusBar1[2]->text().left(5), "0:00:");  // the elapsed time runs
    m.mbStop->click();
    EXPECT_EQ(m.DeviceStatus(), dsIdle);
    EXPECT_EQ(boxes.texts.size(), 1);
}

TEST(MainWindow, AnEmptyDirectoryEndsTheStartAtTheDirectoryError)
{
    Desk desk;
    TMain& m = desk.main();
    m.deDirectory->clear();
    BoxWatch boxes;
    desk.calls.clear();
    m.mbStartPreview->click();
    EXPECT_EQ(boxes.texts, QStringList{"Unable to create directory"});
    EXPECT_EQ(m.DeviceStatus(), dsInitMode);
    EXPECT_TRUE(m.mbStop->isEnabled() && !m.mbCapture->isEnabled());
    EXPECT_FALSE(Contains(desk.calls, "QuvoStartPreview()"));
    m.mbStop->click();
    m.mbCapture->click();
    EXPECT_EQ(boxes.texts.size(), 2);
    EXPECT_EQ(m.DeviceStatus(), dsIdle);
}

TEST(MainWindow, ProfileAndSignalFilesThroughTheirButtons)
{
    Desk desk;
    TMain& m = desk.main();
    const std::string dir = Folder("files");
    std::string chosen;
    m.chooseProfileFile = [&](ProfileDialog, const QString& directory) {
        EXPECT_EQ(directory, m.ProfileDirectory);
        return QString::fromStdString(chosen);
    };
    EXPECT_FALSE(m.mbSaveCapturePr->isEnabled());  // a preset
    Put(dir + "/NIGHT.VCP", "[Video]\r\nProfileCode=3\r\nMPEG=2\r\nVideoStandart=1\r\nFrameSizeCode=8192\r\n"
                            "[Bitrate]\r\nVBR=1\r\nBitRate=5000000\r\nPeakBitRate=4000000\r\n");
    chosen = dir + "/NIGHT.VCP";
    m.mbLoadCapturePr->click();
    EXPECT_EQ(m.lbProfile->text(), "Настройки пользователя");
    EXPECT_EQ(m.lbVideoFormat->text(), "MPEG2, 720 x 480, NTSC");
    EXPECT_EQ(m.lbPeakBitrate->text(), "5000000");
    ASSERT_TRUE(m.mbSaveCapturePr->isEnabled());
    chosen = dir + "/copy";
    m.mbSaveCapturePr->click();
    EXPECT_EQ(IniFile(dir + "/copy.vcp").ReadInteger("Bitrate", "PeakBitRate", 0), 5000000);

    // A signal file: a brightness above the range is sent as the maximum, the
    // mute state through its handler; the board holds both afterwards.
    Put(dir + "/bright.vsp", "[SignalSettings]\r\nBrightness=900\r\nContrast=10\r\n[Audio]\r\nAudioMute=1\r\n");
    chosen = dir + "/bright.vsp";
    desk.calls.clear();
    m.BitBtn5->click();
    EXPECT_TRUE(Contains(desk.calls, "QuvoSetProcAmpValue(1, 255)"));
    EXPECT_TRUE(Contains(desk.calls, "QuvoSetProcAmpValue(2, 10)"));
    EXPECT_TRUE(Contains(desk.calls, "QuvoSetAudioMute(64, 4294967295)"));
    EXPECT_EQ(m.lbBrightness->text(), "255");
    int32_t brightness = 0;
    uint32_t mute = 0;
    QuvoGetCurrentProcAmpValue(1, &brightness);
    QuvoGetAudioMute(64, &mute);
    EXPECT_EQ(brightness, 255);
    EXPECT_NE(mute, 0u);
    chosen = dir + "/saved";
    m.BitBtn4->click();
    EXPECT_EQ(IniFile(dir + "/saved.vsp").ReadInteger("SignalSettings", "Brightness", 0), 255);
    // The selectors' items set from code send nothing; the user's choice does.
    desk.calls.clear();
    m.cbVideoIn->setCurrentIndex(1);
    EXPECT_TRUE(desk.calls.empty());
    m.tbBrightness->setValue(128);
    m.cbMute->setChecked(false);
}

TEST(MainWindow, TheSettingsFileRestoresEveryControlAndChoosesTheStartProfile)
{
    // Written by the Windows program: Windows-1251, a drive letter, the DVD preset at start.
    fs::create_directories(fs::path(SettingsPath()).parent_path());
    Put(SettingsPath(), "[File]\r\nAutoFileName=0\r\nDirectory=e:\\video\r\nFileName=\xE7\xE0\xEF\xE8\xF1\xFC.mpg\r\n"
                        "[AutoOff]\r\nSplitFileSize=5\r\n[Startup]\r\nProfile=2\r\n");
    const std::string videos = Home() + "/Videos";
    {
        Desk desk;
        TMain& m = desk.main();
        EXPECT_EQ(m.deDirectory->text().toStdString(), videos);
        EXPECT_EQ(m.edFileName->text(), "запись.mpg");
        EXPECT_TRUE(m.edFileName->isEnabled());
        EXPECT_EQ(m.seStopSize->value(), 10);
        EXPECT_EQ(m.lbProfile->text(), "DVD");
        // Every stored control away from its default, then closed.
        m.cbVideoOut->setCurrentIndex(1);
        m.cbDisablePreview->setChecked(true);
        m.cbAutoFileName->setChecked(true);
        m.deDirectory->setText(QString::fromStdString(videos) + "/Vidéos/архив");
        m.cbSplitFile->setChecked(true);
        m.seFileSplitSize->setValue(4480);
        m.cbTextDescr->setChecked(true);
        m.cbStopAfterMaxSize->setChecked(true);
        m.seStopSize->setValue(700);
        m.cbStopAfterNoSignal->setChecked(true);
        m.seStopNoSignal->setValue(7);
        m.cbStopAfterTime->setChecked(true);
        m.teStopTime->setTime(QTime(2, 15, 30));
        m.cbShowHHMM->setChecked(true);
        EXPECT_EQ(m.lbAutoOff->text(), "по размеру,н.с.,по длит.");
        EXPECT_TRUE(m.close());
    }
    {
        Desk desk;
        TMain& m = desk.main();
        EXPECT_EQ(m.cbVideoOut->currentIndex(), 1);
        EXPECT_TRUE(m.cbDisablePreview->isChecked() && m.cbAutoFileName->isChecked() && m.cbSplitFile->isChecked());
        EXPECT_FALSE(m.edFileName->isEnabled());
        EXPECT_EQ(m.deDirectory->text().toStdString(), videos + "/Vidéos/архив");
        EXPECT_EQ(m.seFileSplitSize->value(), 4480);
        EXPECT_TRUE(m.cbTextDescr->isChecked() && m.cbShowHHMM->isChecked());
        EXPECT_TRUE(m.cbStopAfterMaxSize->isChecked() && m.cbStopAfterNoSignal->isChecked() &&
                    m.cbStopAfterTime->isChecked());
        EXPECT_EQ(m.seStopSize->value(), 700);
        EXPECT_EQ(m.seStopNoSignal->value(), 7);
        EXPECT_EQ(m.teStopTime->time(), QTime(2, 15, 30));
        EXPECT_EQ(m.lbAutoOff->text(), "по размеру,н.с.,по длит.");
        EXPECT_EQ(m.lbProfile->text(), "DVD");  // the Startup section was kept
    }
    // A user profile file that is not there leaves the connection's VCD profile.
    IniFile(SettingsPath()).WriteInteger("Startup", "Profile", 3);
    IniFile(SettingsPath()).WriteString("Startup", "ProfileName", Home() + "/none.vcp");
    Desk desk;
    EXPECT_EQ(desk.main().lbProfile->text(), "Video CD (VCD)");
    fs::remove(SettingsPath());
}

TEST(MainWindow, EveryControlHasAnAccessibleName)
{
    Desk desk;
    EXPECT_EQ(test::UnnamedControls(&desk.main()), "");
}

}  // namespace
}  // namespace encoderdesk
