// Real recordings from the virtual board, started with the main window's Capture
// button and watched by its timers: each automatic stop ends the recording with
// its message (the signal switched off by boardctl, another process), the
// low-disk stop fires on a small file system before it is full and a capture is
// refused with too little room, and a write that fails (the process's file-size
// limit) ends in one error box, keeps the file, which ffmpeg plays, and the next
// preview starts without restarting the program.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimeEdit>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "DeskTestSupport.h"
#include "DeskWindow.h"
#include "core/DiskSpace.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;
using test::BoxWatch;
using test::Desk;

bool privateMounts = false;

class RecordingEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        std::signal(SIGXFSZ, SIG_IGN);  // as the program: a write past the limit fails
        // A mount namespace of our own for the small file systems (needs root).
        privateMounts = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        const std::string home = (fs::temp_directory_path() / "home").string();
        setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        static int argc = 1;
        static char name[] = "encoderdesk_recording_test";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        ASSERT_TRUE(test::RegisterModules());
    }
    void TearDown() override { delete app_; }

private:
    QApplication* app_ = nullptr;
};
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new RecordingEnvironment);

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(test::BoardCtl("signal on"), 0);
        dir_ = test::Folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        desk_ = std::make_unique<Desk>();
        TMain& m = main();
        m.deDirectory->setText(QString::fromStdString(dir_));
        m.cbAutoFileName->setChecked(false);
        m.edFileName->setText("clip.mpg");
        m.cbDisablePreview->setChecked(true);
        // 15 Mbit/s MPEG 2 (or the board's most), so that the files grow fast.
        const std::int32_t rate = std::min<std::int32_t>(15000000, static_cast<std::int32_t>(m.SupportedBitrates[1].bitrateMax));
        m.Profile = CaptureProfile{kProfileUser, kMpeg2, kVideoPal, 8192, false, rate, rate, 0, 0};
    }
    void TearDown() override
    {
        if (desk_) main().mbStop->click();
        desk_.reset();
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
    }
    TMain& main() { return desk_->main(); }
    std::string File() { return main().CurrentFile(); }

    void Capture()
    {
        main().mbCapture->click();
        ASSERT_EQ(main().DeviceStatus(), dsCapture);
    }
    // Runs the event loop until a box was shown or `ms` passed.
    bool WaitForBox(int ms)
    {
        return test::WaitUntil([&] { return !boxes_.texts.isEmpty(); }, ms);
    }

    std::string dir_;
    std::unique_ptr<Desk> desk_;
    BoxWatch boxes_;
};

TEST_F(RecordingTest, SizeStopEndsTheRecordingAboveItsLimit)
{
    main().cbStopAfterMaxSize->setChecked(true);
    main().seStopSize->setValue(10);
    Capture();
    ASSERT_TRUE(WaitForBox(20000));
    EXPECT_EQ(boxes_.texts, QStringList{"Автостоп - достигнут заданный размер файла 10 Мб"});
    EXPECT_EQ(main().DeviceStatus(), dsIdle);
    EXPECT_GT(fs::file_size(File()), 10u * 1048576);
    EXPECT_EQ(main().lbCapturedSize->text(), "?");  // cleared by the stop
}

TEST_F(RecordingTest, DurationStopAndTheForecastsOnTheWay)
{
    main().cbStopAfterTime->setChecked(true);
    main().teStopTime->setTime(QTime(0, 0, 3));
    Capture();
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(WaitForBox(10000));
    EXPECT_EQ(boxes_.texts, QStringList{"Автостоп - достигнута заданная длительность 0:00:03"});
    EXPECT_GE(t.elapsed(), 2000);
    EXPECT_EQ(main().StatusBar1[2]->text(), "0:00:03");
    const qint64 stopped = t.elapsed();
    test::Wait(static_cast<int>(stopped + 1200 - t.elapsed()));
    EXPECT_EQ(main().StatusBar1[2]->text(), "");  // the next tick outside a recording
    EXPECT_EQ(main().sgDiskPrognoz->item(4, 0)->text(), "Текущий HDD");
}

TEST_F(RecordingTest, NoSignalStopAfterTheBoardLosesItsSignal)
{
    main().cbStopAfterNoSignal->setChecked(true);
    main().seStopNoSignal->setValue(1);
    Capture();
    test::Wait(1500);
    EXPECT_TRUE(boxes_.texts.isEmpty());
    const QString panel = main().StatusBar1[1]->text();
    EXPECT_TRUE(panel.startsWith("Вход: PAL, 25 fps, ")) << panel.toStdString();
    ASSERT_EQ(test::BoardCtl("signal off"), 0);
    ASSERT_TRUE(WaitForBox(8000));
    EXPECT_EQ(boxes_.texts, QStringList{"Автостоп - нет сигнала 1 сек"});
    EXPECT_EQ(main().StatusBar1[1]->text(), "Вход: нет сигнала");
}

TEST_F(RecordingTest, LowDiskStopsBeforeTheDiskIsFullAndRefusesTooLittleRoom)
{
    if (!privateMounts) GTEST_SKIP() << "no mount namespace of our own (needs root)";
    ASSERT_EQ(mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=72m"), 0);
    Capture();
    ASSERT_TRUE(WaitForBox(30000));
    EXPECT_TRUE(boxes_.texts.front().startsWith("Автостоп - на диске осталось мало свободного места ("))
        << boxes_.texts.front().toStdString();
    EXPECT_EQ(main().DeviceStatus(), dsIdle);
    EXPECT_GT(MeasureDisk(dir_).FreeMB(), 50);  // stopped well before full
    EXPECT_GT(fs::file_size(File()), 4u * 1048576);

    // 40 MiB free: not enough for a start; the window says why and stays idle.
    umount(dir_.c_str());
    ASSERT_EQ(mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=40m"), 0);
    boxes_.texts.clear();
    desk_->calls.clear();
    main().mbCapture->click();
    ASSERT_TRUE(WaitForBox(2000));
    EXPECT_TRUE(boxes_.texts.front().startsWith("Недостаточно свободного места на диске для записи: свободно 40 Мб"))
        << boxes_.texts.front().toStdString();
    EXPECT_EQ(main().DeviceStatus(), dsIdle);
    EXPECT_EQ(std::count(desk_->calls.begin(), desk_->calls.end(), "QuvoStartCapture()"), 0);
    EXPECT_FALSE(fs::exists(File()));
    umount(dir_.c_str());
}

TEST_F(RecordingTest, FailedWriteEndsInOneErrorBoxKeepsThePlayableFileAndPreviewWorksAgain)
{
    const rlimit limit{6 * 1048576, RLIM_INFINITY};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    Capture();
    desk_->calls.clear();
    ASSERT_TRUE(WaitForBox(20000));
    test::Wait(700);  // further error events must not bring more boxes
    ASSERT_EQ(boxes_.texts.size(), 1);
    EXPECT_TRUE(boxes_.texts.front().startsWith("Запись прервана: файл достиг наибольшего размера"))
        << boxes_.texts.front().toStdString();
    EXPECT_EQ(main().DeviceStatus(), dsIdle);
    // Connected again: both initializations undone, then the start's and the connection's.
    EXPECT_EQ(std::count(desk_->calls.begin(), desk_->calls.end(), "QuvoUninitialize()"), 2);
    EXPECT_EQ(std::count(desk_->calls.begin(), desk_->calls.end(), "QuvoInitialize(&)"), 2);
    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &unlimited);

    const auto size = fs::file_size(File());
    EXPECT_GT(size, 4u * 1048576);
    EXPECT_LE(size, 6u * 1048576);
    int status = 0;
    const std::string frames = test::Run("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                         "stream=nb_read_frames -of csv=p=0 '" + File() + "'", &status);
    EXPECT_EQ(status, 0) << frames;
    EXPECT_GT(std::atoi(frames.c_str()), 40) << frames;

    // The next button works: a preview under a new name.
    main().edFileName->setText("after.mpg");
    main().mbStartPreview->click();
    EXPECT_EQ(main().DeviceStatus(), dsPreview);
    EXPECT_EQ(boxes_.texts.size(), 1);
}

}  // namespace
}  // namespace encoderdesk
