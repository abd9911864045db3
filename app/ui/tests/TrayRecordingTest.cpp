// The main window on an X display with a notification-area host, during a real
// capture from the virtual board: minimising hides the window to the icon, the
// icon animates in 300 ms frames while the recording runs, its tooltip carries
// the status and the elapsed time second by second, and the icon's click brings
// the window back; Stop ends the animation.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>

#include <cstdlib>
#include <filesystem>

#include "DeskTestSupport.h"
#include "DeskWindow.h"
#include "forms/TrayIcon.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;

TEST(TrayDuringARecording, MinimiseHidesAnimatesAndClickBringsBack)
{
    const std::string home = (fs::temp_directory_path() / "home").string();
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    int argc = 1;
    char name[] = "tray_recording_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (!test::WaitUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000))
        GTEST_SKIP() << "no notification area on this display";
    ASSERT_TRUE(test::RegisterModules());
    ASSERT_EQ(test::BoardCtl("signal on"), 0);

    test::Desk desk;
    TMain& m = desk.main();
    TrayIcon& tray = *m.Tray();
    m.deDirectory->setText(QString::fromStdString(test::Folder("tray")));
    m.cbDisablePreview->setChecked(true);
    ASSERT_TRUE(test::WaitUntil([&] { return m.isVisible(); }, 2000));
    m.mbCapture->click();
    ASSERT_EQ(m.DeviceStatus(), dsCapture);
    EXPECT_TRUE(tray.Animated());

    m.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(test::WaitUntil([&] { return m.isHidden(); }, 3000));
    EXPECT_TRUE(tray.IconShown());
    QElapsedTimer t;
    t.start();
    int frames = 0, last = tray.Frame();
    QStringList tips;
    test::WaitUntil([&] {
        if (tray.Frame() != last) ++frames, last = tray.Frame();
        const QString tip = tray.ToolTip();  // the tooltip of the idle status came before
        if (tip.startsWith("Идет запись видео") && (tips.isEmpty() || tips.back() != tip)) tips.push_back(tip);
        return t.elapsed() > 2100;
    }, 3000);
    EXPECT_GE(frames, 6);  // 300 ms frames
    EXPECT_LE(frames, 8);
    // "Идет запись видео 0:00:01", then 0:00:02, ...: one more second each time.
    ASSERT_GE(tips.size(), 2);
    for (qsizetype i = 0; i < tips.size(); ++i) {
        ASSERT_TRUE(tips[i].startsWith("Идет запись видео 0:00:0")) << tips[i].toStdString();
        if (i == 0) continue;
        EXPECT_EQ(tips[i].back().digitValue(), tips[i - 1].back().digitValue() + 1) << tips[i].toStdString();
    }

    tray.Restore();
    EXPECT_TRUE(test::WaitUntil([&] { return m.isVisible(); }, 2000));
    EXPECT_FALSE(tray.IconShown());
    EXPECT_FALSE(m.isMinimized());
    EXPECT_EQ(m.DeviceStatus(), dsCapture);  // the recording went on meanwhile
    m.mbStop->click();
    EXPECT_FALSE(tray.Animated());
}

}  // namespace
}  // namespace encoderdesk
