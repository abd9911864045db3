// Saves a picture of each dialog and of the help window, as a user sees them, into
// the folder given (run under Xvfb by scripts/screenshots-dialogs.sh). The board's
// supported sizes and rates come from the SDK when a board is there.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QEventLoop>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "forms/HelpWindow.h"
#include "forms/TAboutDLG.h"
#include "forms/TCaptureSetupDLG.h"
#include "forms/TCodecSetup.h"
#include "forms/TSetupDLG.h"
#include "quvo/QuvoSDK.h"

namespace {

using namespace encoderdesk;

QString g_folder;

// The whole screen, so that window frames and the modal state show.
void Shoot(const QString& name)
{
    QApplication::processEvents();
    const QString path = g_folder + "/" + name + ".png";
    QGuiApplication::primaryScreen()->grabWindow(0).save(path);
    std::printf("%s\n", qPrintable(path));
}

// Runs `steps` inside the dialog's modal loop, after it has been drawn.
void Later(int ms, std::function<void()> steps) { QTimer::singleShot(ms, std::move(steps)); }

class MemoryKeys final : public StartupKeys {
public:
    int ReadProfile(int) override { return 3; }
    std::string ReadProfileName(const std::string&) override { return "/home/user/Видео/Profile/ночная запись.vcp"; }
    void WriteProfile(int) override {}
    void WriteProfileName(const std::string&) override {}
};

void BoardCaps(TCaptureSetupDLG& dialog)
{
    std::array<std::uint32_t, 2> sizes{16u | 256u, 0x3FFFu};
    std::array<BitrateCaps, 2> caps{BitrateCaps{0, 4000000, 400000, 4000000, 25000, 25000},
                                    BitrateCaps{1, 15000000, 1000000, 15000000, 25000, 25000}};
    uint32_t status = 0;
    if (QuvoInitialize(&status) == QUVO_SUCCESS) {
        for (std::uint32_t standard = 1; standard <= 2; ++standard) {
            SupportedVideoBitrates b{};
            QuvoSetVideoCompressionStandard(standard);
            QuvoGetSupportedVideoResolutions(&sizes[standard - 1]);
            QuvoGetSupportedVideoBitrates(&b);
            caps[standard - 1] = {b.vbrAllowed, b.bitrateMax, b.bitrateMin, b.peakMax, b.bitrateStep, b.peakStep};
        }
        // A short preview, so that the decoder dialog shows the colour space it used.
        QuvoSetPreviewMode(QUVO_PREVIEW_VIDEO);
        // The preview graph holds a writer too: its (empty) file goes to the pictures' folder.
        const QByteArray file = (g_folder + "/preview.mpg").toUtf8();
        QuvoSetCaptureFileName(file.constData(), static_cast<uint32_t>(file.size()));
        if (QuvoStartPreview() == QUVO_SUCCESS) {
            QEventLoop loop;
            QTimer::singleShot(1000, &loop, &QEventLoop::quit);
            loop.exec();
            QuvoStopPreview();
        }
        QuvoUninitialize();
        QFile::remove(g_folder + "/preview.mpg");
        QFile::remove(g_folder + "/preview.mzl");
    }
    dialog.SetBoard(sizes, caps);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(g_folder);
    InstallHelpKey();

    TCaptureSetupDLG capture;
    BoardCaps(capture);
    CaptureProfile profile;
    profile.ProfileCode = kProfileDvd;
    Later(600, [&] {
        Shoot("capture-setup-preset");
        capture.findChild<QRadioButton*>("rgVideoMode_3")->click();
        capture.findChild<QRadioButton*>("rgVideoStandart_1")->click();
        Later(300, [&] {
            Shoot("capture-setup-user");
            capture.findChild<QPushButton*>("BitBtn2")->click();
        });
    });
    capture.EditProfile(profile);

    TSetupDLG setup;
    MemoryKeys keys;
    Later(500, [&] {
        Shoot("startup-profile");
        setup.reject();
    });
    setup.EditStartupProfile(keys);

    TCodecSetup codec;
    Later(500, [&] {
        Shoot("decoder-settings");
        codec.reject();
    });
    codec.EditDecoderSettings();

    TAboutDLG about;
    Later(500, [&] {
        Shoot("about");
        // F1 inside the modal about box opens its help page.
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : &about;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(focus, &press);
        Later(600, [&] {
            Shoot("help-over-about");
            HelpWindow::Instance()->close();
            about.accept();
        });
    });
    about.exec();

    HelpWindow::Instance()->ShowContents();
    HelpWindow::Instance()->findChild<QTabWidget*>("HelpTabs")->setCurrentIndex(1);
    HelpWindow::Instance()->findChild<QLineEdit*>("edHelpSearch")->setText("запись диск");
    Later(600, [&] {
        Shoot("help-window");
        app.quit();
    });
    return app.exec();
}
