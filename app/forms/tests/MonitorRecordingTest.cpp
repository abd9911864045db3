// Real recordings from the virtual board through the SDK, watched by the
// monitoring controller as the main window uses it: each automatic stop ends the
// recording with its message (the signal switched off by boardctl, another
// process), the low-disk stop fires on a small file system before it is full and
// a recording is refused with too little room, and a write that fails (the
// process's file-size limit) ends in one error box, keeps the file, which ffmpeg
// plays, and a new preview starts afterwards.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>

#include <csignal>
#include <filesystem>

#include "DeskTestSupport.h"
#include "forms/MonitorController.h"
#include "forms/PieGauge.h"
#include "quvo/QuvoSDK.h"
#include "quvo/QuvoWindow.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;

// What the main window does around the controller, reduced to a capture from idle.
class RecordingHost final : public MonitorHost {
public:
    MonitorPhase phase = MonitorPhase::Idle;
    AutoStopLimits limits;
    std::string directory;
    MonitorController* controller = nullptr;
    int reconnects = 0;

    MonitorPhase Phase() const override { return phase; }
    AutoStopLimits AutoStopSettings() const override { return limits; }
    bool HoursAndMinutes() const override { return true; }
    std::string CaptureDirectory() const override { return directory; }
    std::string CurrentFile() const override { return directory + "/clip.mpg"; }
    QString StatusText() const override { return "Идет запись видео"; }

    void Enter(MonitorPhase p)
    {
        phase = p;
        controller->StatusChanged(p);
    }
    void StopAll() override
    {
        Enter(MonitorPhase::Idle);
        QuvoStopPreview();
        QuvoStopCapture();
        QuvoStopRecording();
        QuvoStopPlayback();
    }
    bool ReconnectDevice() override
    {
        ++reconnects;
        QuvoUninitialize();  // the start-up's and the connection's initializations
        QuvoUninitialize();
        uint32_t status = 0;
        if (QuvoInitialize(&status) != QUVO_SUCCESS) return false;
        QuvoInitialize(&status);  // as the connection does (answers bit 7, the device is there)
        return true;
    }
};

class MonitorRecordingTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::signal(SIGXFSZ, SIG_IGN);  // as the program: a write past the limit fails
        // A mount namespace of our own for the small file systems (needs root).
        privateMounts_ = unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        static int argc = 1;
        static char name[] = "monitor_recording_test";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
        ASSERT_TRUE(test::RegisterModules());
        uint32_t status = 0;
        ASSERT_EQ(QuvoInitialize(&status), QUVO_SUCCESS);
        QuvoInitialize(&status);
    }
    static void TearDownTestSuite()
    {
        QuvoUninitialize();
        QuvoUninitialize();
        delete app_;
    }

    void SetUp() override
    {
        ASSERT_EQ(test::BoardCtl("signal on"), 0);
        host_.directory = (fs::temp_directory_path() / ::testing::UnitTest::GetInstance()->current_test_info()->name()).string();
        fs::create_directories(host_.directory);
        for (const char* name : {"lbCaptureLength", "lbCapturedSize", "lbAvgBitrate", "lbDiskSize", "lbDiskZan", "lbDiskFree"})
            (new QLabel(&window_))->setObjectName(name);
        (new PieGauge(&window_))->setObjectName("gaDiskInfo");
        (new QTableWidget(8, 3, &window_))->setObjectName("sgSizePrognoz");
        (new QTableWidget(5, 3, &window_))->setObjectName("sgDiskPrognoz");
        controller_ = new MonitorController(&window_, host_, &signalPanel_, &timePanel_, nullptr);
        host_.controller = controller_;
        controller_->FillFixedForecastCells();
        events_ = QuvoWindowCreate(&OnMessage, nullptr, controller_);
        // The boxes are the real modal boxes; the test reads and closes them.
        QObject::connect(&boxWatch_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes_.push_back(box->text());
                box->accept();
            }
        });
        boxWatch_.start(50);
    }
    void TearDown() override
    {
        host_.StopAll();
        QuvoWindowDestroy(events_);
        const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
    }

    // The SDK posts from its threads; the window answers on its own thread.
    static void OnMessage(QUVO_WINDOW, uint32_t message, uintptr_t, intptr_t, void* context)
    {
        auto* controller = static_cast<MonitorController*>(context);
        if (message == 1224) QMetaObject::invokeMethod(controller, [controller] { controller->GraphEvent(); });
    }

    // A capture from idle at 15 Mbit/s without preview, registered for events.
    void StartCapture()
    {
        ASSERT_EQ(QuvoSetEventNotificationWindow(events_, 1224), QUVO_SUCCESS);
        QuvoSetVideoCompressionStandard(2);
        QuvoSetVideoResolution(8192);
        QuvoSetVideoBitrate(0, 15000000, 15000000);
        QuvoSetFileSizeLimit(0xFFFFFFFFu);
        QuvoSetCaptureLimit(0xFFFFFFFFu);
        QuvoSetPreviewMode(QUVO_PREVIEW_NONE);
        const std::string file = host_.CurrentFile();
        QuvoSetCaptureFileName(file.c_str(), static_cast<uint32_t>(file.size()));
        host_.Enter(MonitorPhase::Transient);
        ASSERT_EQ(QuvoStartCapture(), QUVO_SUCCESS);
        host_.Enter(MonitorPhase::Recording);
    }

    // Runs the event loop until a box was shown or `ms` passed.
    bool WaitForBox(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (boxes_.isEmpty() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 50);
        return !boxes_.isEmpty();
    }

    static QApplication* app_;
    static bool privateMounts_;
    QWidget window_;
    QLabel signalPanel_, timePanel_;
    RecordingHost host_;
    MonitorController* controller_ = nullptr;
    QUVO_WINDOW events_ = nullptr;
    QTimer boxWatch_;
    QStringList boxes_;
};

QApplication* MonitorRecordingTest::app_ = nullptr;
bool MonitorRecordingTest::privateMounts_ = false;

TEST_F(MonitorRecordingTest, SizeStopEndsTheRecordingAboveItsLimit)
{
    host_.limits.afterMaxSize = true;
    host_.limits.stopSizeMB = 10;
    StartCapture();
    ASSERT_TRUE(WaitForBox(20000));
    EXPECT_EQ(boxes_, QStringList{"Автостоп - достигнут заданный размер файла 10 Мб"});
    EXPECT_EQ(host_.phase, MonitorPhase::Idle);
    EXPECT_GT(fs::file_size(host_.CurrentFile()), 10u * 1048576);
    EXPECT_EQ(window_.findChild<QLabel*>("lbCapturedSize")->text(), "?");  // cleared by the stop
}

TEST_F(MonitorRecordingTest, DurationStopAndTheForecastsOnTheWay)
{
    host_.limits.afterTime = true;
    host_.limits.stopTimeSeconds = 3;
    StartCapture();
    QElapsedTimer t;
    t.start();
    ASSERT_TRUE(WaitForBox(10000));
    EXPECT_EQ(boxes_, QStringList{"Автостоп - достигнута заданная длительность 0:00:03"});
    EXPECT_GE(t.elapsed(), 2000);
    EXPECT_EQ(timePanel_.text(), "0:00:03");
    const qint64 stopped = t.elapsed();
    while (t.elapsed() < stopped + 1200) QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(timePanel_.text(), "");  // the next tick outside a recording
    EXPECT_EQ(window_.findChild<QTableWidget*>("sgDiskPrognoz")->item(4, 0)->text(), "Текущий HDD");
}

TEST_F(MonitorRecordingTest, NoSignalStopAfterTheBoardLosesItsSignal)
{
    host_.limits.afterNoSignal = true;
    host_.limits.noSignalSeconds = 1;
    StartCapture();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1500) QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_TRUE(boxes_.isEmpty());
    EXPECT_TRUE(signalPanel_.text().startsWith("Вход: PAL, 25 fps, ")) << signalPanel_.text().toStdString();
    ASSERT_EQ(test::BoardCtl("signal off"), 0);
    ASSERT_TRUE(WaitForBox(8000));
    EXPECT_EQ(boxes_, QStringList{"Автостоп - нет сигнала 1 сек"});
    EXPECT_EQ(signalPanel_.text(), "Вход: нет сигнала");
}

TEST_F(MonitorRecordingTest, LowDiskStopsBeforeTheDiskIsFullAndRefusesTooLittleRoom)
{
    if (!privateMounts_) GTEST_SKIP() << "no mount namespace of our own (needs root)";
    ASSERT_EQ(mount("tmpfs", host_.directory.c_str(), "tmpfs", 0, "size=72m"), 0);
    StartCapture();
    ASSERT_TRUE(WaitForBox(30000));
    EXPECT_TRUE(boxes_.front().startsWith("Автостоп - на диске осталось мало свободного места (")) << boxes_.front().toStdString();
    const DiskSpace disk = MeasureDisk(host_.directory);
    EXPECT_GT(disk.FreeMB(), 50);  // stopped well before full
    EXPECT_GT(fs::file_size(host_.CurrentFile()), 4u * 1048576);

    // 40 MiB free: not enough for a start.
    umount(host_.directory.c_str());
    ASSERT_EQ(mount("tmpfs", host_.directory.c_str(), "tmpfs", 0, "size=40m"), 0);
    boxes_.clear();
    CaptureProfile dvd;
    dvd.ProfileCode = kProfileDvd;
    EXPECT_FALSE(controller_->RoomToRecord(dvd));
    ASSERT_TRUE(WaitForBox(2000));
    EXPECT_TRUE(boxes_.front().startsWith("Недостаточно свободного места на диске для записи: свободно 40 Мб"));
    umount(host_.directory.c_str());
}

TEST_F(MonitorRecordingTest, FailedWriteEndsInOneErrorBoxKeepsThePlayableFileAndPreviewWorksAgain)
{
    const rlimit limit{6 * 1048576, RLIM_INFINITY};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    StartCapture();
    ASSERT_TRUE(WaitForBox(20000));
    QElapsedTimer settle;  // further error events must not bring more boxes
    settle.start();
    while (settle.elapsed() < 700) QApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_EQ(boxes_.size(), 1);
    EXPECT_TRUE(boxes_.front().startsWith("Запись прервана: файл достиг наибольшего размера")) << boxes_.front().toStdString();
    EXPECT_EQ(host_.phase, MonitorPhase::Idle);
    EXPECT_EQ(host_.reconnects, 1);
    const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &unlimited);

    const auto size = fs::file_size(host_.CurrentFile());
    EXPECT_GT(size, 4u * 1048576);
    EXPECT_LE(size, 6u * 1048576);
    int status = 0;
    const std::string frames = test::Run("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                         "stream=nb_read_frames -of csv=p=0 '" + host_.CurrentFile() + "'", &status);
    EXPECT_EQ(status, 0) << frames;
    EXPECT_GT(std::atoi(frames.c_str()), 40) << frames;

    // The device was connected again: a new preview runs.
    ASSERT_EQ(QuvoSetEventNotificationWindow(events_, 1224), QUVO_SUCCESS);
    QuvoSetPreviewMode(QUVO_PREVIEW_NONE);
    EXPECT_EQ(QuvoStartPreview(), QUVO_SUCCESS);
    QuvoStopPreview();
}

}  // namespace
}  // namespace encoderdesk
