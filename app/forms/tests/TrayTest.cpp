// The tray icon on an X display with a notification-area host: minimising hides
// the window to the icon, the icon animates in 300 ms frames while asked to, the
// tooltip follows, and the icon's click brings the window back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <QWidget>

#include "forms/TrayIcon.h"

namespace encoderdesk {
namespace {

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

TEST(TrayOnADesktop, MinimiseHidesAnimatesAndClickBringsBack)
{
    int argc = 1;
    char name[] = "tray_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    if (!WaitFor([] { return QSystemTrayIcon::isSystemTrayAvailable(); }, 5000))
        GTEST_SKIP() << "no notification area on this display";

    QWidget window;
    window.resize(300, 200);
    TrayIcon tray(&window);
    window.show();
    ASSERT_TRUE(WaitFor([&] { return window.isVisible(); }, 2000));
    window.setWindowState(Qt::WindowMinimized);
    ASSERT_TRUE(WaitFor([&] { return window.isHidden(); }, 3000));
    EXPECT_TRUE(tray.IconShown());

    tray.SetAnimated(true);
    tray.SetToolTip("Идет запись видео 0:00:41");
    QElapsedTimer t;
    t.start();
    int frames = 0, last = tray.Frame();
    WaitFor([&] {
        if (tray.Frame() != last) ++frames, last = tray.Frame();
        return t.elapsed() > 1300;
    }, 2000);
    EXPECT_GE(frames, 3);  // 300 ms frames
    EXPECT_LE(frames, 5);
    EXPECT_EQ(tray.ToolTip(), "Идет запись видео 0:00:41");

    tray.Restore();
    EXPECT_TRUE(WaitFor([&] { return window.isVisible(); }, 2000));
    EXPECT_FALSE(tray.IconShown());
    EXPECT_FALSE(window.isMinimized());
}

}  // namespace
}  // namespace encoderdesk
