// The dialogs and the help with Qt's offscreen platform: the capture settings
// dialog driven through its controls (clicks and bars), the decoder dialog over
// the test's registry, the help pages and their links, F1 inside a modal dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "Controls.h"
#include "forms/FilePage.h"
#include "forms/HelpWindow.h"
#include "forms/TAboutDLG.h"
#include "forms/TCaptureSetupDLG.h"
#include "forms/TCodecSetup.h"
#include "forms/TSetupDLG.h"
#include "forms/TrayIcon.h"

namespace encoderdesk {
namespace {

// One application object for the whole run.
class QtEnvironment final : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "encoderdesk_forms_test";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    QApplication* app_ = nullptr;
};
[[maybe_unused]] const auto* const kQt = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

template <typename T>
T* Find(QWidget* root, const char* name)
{
    T* w = root->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// Runs `steps` once the dialog's modal loop is running.
void WhileModal(std::function<void()> steps) { QTimer::singleShot(0, std::move(steps)); }

TEST(CaptureSetupDialog, ControlsFollowTheRulesAndCancelKeepsTheProfile)
{
    TCaptureSetupDLG dialog;
    dialog.SetBoard({16u | 256u, 0x3FFFu}, {BitrateCaps{0, 4000000, 400000, 4000000, 25000, 25000},
                                            BitrateCaps{1, 15000000, 1000000, 15000000, 25000, 25000}});
    CaptureProfile profile;
    profile.ProfileCode = kProfileVideoCd;
    const CaptureProfile before = profile;
    WhileModal([&] {
        EXPECT_FALSE(Find<QGroupBox>(&dialog, "gbVideoParams")->isEnabled());
        EXPECT_TRUE(Find<QRadioButton>(&dialog, "rgVideoMode_0")->isChecked());
        EXPECT_EQ(Find<QSlider>(&dialog, "tbBitrate")->value(), 1150000 / 25000);
        Find<QRadioButton>(&dialog, "rgVideoMode_2")->click();
        Find<QRadioButton>(&dialog, "rgVideoMode_3")->click();
        EXPECT_TRUE(Find<QGroupBox>(&dialog, "gbVideoParams")->isEnabled());
        EXPECT_TRUE(Find<QRadioButton>(&dialog, "rgMPEG_1")->isChecked());
        // The bit-rate bar above the peak raises the peak; the spin edits follow.
        Find<QSlider>(&dialog, "tbBitrate")->setValue(400);
        EXPECT_EQ(Find<QSlider>(&dialog, "tbPeakBitrate")->value(), 400);
        EXPECT_EQ(Find<QSpinBox>(&dialog, "sePeakBitrate")->value(), 400);
        Find<QSpinBox>(&dialog, "seBitrate")->setValue(300);
        EXPECT_EQ(Find<QSlider>(&dialog, "tbBitrate")->value(), 300);
        Find<QCheckBox>(&dialog, "cbUSB11Mode")->click();
        EXPECT_EQ(Find<QSlider>(&dialog, "tbBitrate")->maximum(), 280);
        Find<QPushButton>(&dialog, "BitBtn2")->click();
    });
    EXPECT_FALSE(dialog.EditProfile(profile));
    EXPECT_EQ(profile, before);

    // Reopened: the USB 1.1 box kept its state; OK takes the user settings.
    WhileModal([&] {
        EXPECT_TRUE(Find<QCheckBox>(&dialog, "cbUSB11Mode")->isChecked());
        Find<QRadioButton>(&dialog, "rgVideoMode_3")->click();
        Find<QRadioButton>(&dialog, "rgMPEG_1")->click();
        const auto sizes = Find<QGroupBox>(&dialog, "rgFrameSize")->findChildren<QRadioButton*>();
        EXPECT_EQ(sizes.size(), 14);
        Find<QPushButton>(&dialog, "BitBtn1")->click();
    });
    EXPECT_TRUE(dialog.EditProfile(profile));
    EXPECT_EQ(profile.ProfileCode, kProfileUser);
    EXPECT_EQ(profile.MpegType, kMpeg2);
    EXPECT_EQ(profile.Bitrate, 1150000);
}

TEST(DecoderDialog, PagesShowTheRegistryAndOkWritesOnlyInstalledDecoders)
{
    TCodecSetup dialog;
    WhileModal([&] {
        EXPECT_TRUE(Find<QCheckBox>(&dialog, "cbYV12")->isChecked());
        EXPECT_FALSE(Find<QCheckBox>(&dialog, "cbDeinterlacing")->isChecked());
        EXPECT_EQ(Find<QLabel>(&dialog, "lbLastUsedColorSpace")->text(), "?");
        EXPECT_EQ(dialog.findChild<QCheckBox*>("cbOstrelMPEG2Only"), nullptr);
        Find<QCheckBox>(&dialog, "cbDeinterlacing")->setChecked(true);
        Find<QPushButton>(&dialog, "BitBtn1")->click();
    });
    EXPECT_TRUE(dialog.EditDecoderSettings());
    RegistryOptionStore store;
    EXPECT_FALSE(store.KeyExists(kDecoderPages[0].key));  // not installed: nothing written
}

TEST(Help, EveryPageLoadsItsLinksResolveAndSearchFinds)
{
    QStringList names;
    for (const HelpPage& page : HelpPages()) names << page.name;
    const QRegularExpression link("href=\"([a-z-]+)\\.html\"");
    for (const HelpPage& page : HelpPages()) {
        QFile file(QString(":/help/") + page.name + ".html");
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.name;
        const QString html = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(html.contains(QString("<h1>") + page.title)) << page.name;
        for (auto m = link.globalMatch(html); m.hasNext();) {
            const QString target = m.next().captured(1);
            EXPECT_TRUE(names.contains(target)) << page.name << " links to " << target.toStdString();
        }
    }
    HelpWindow* help = HelpWindow::Instance();
    EXPECT_EQ(help->Search("деинтерлейсинг"), QStringList{"Окно «Настройка кодеков MPEG2»"});
    EXPECT_TRUE(help->Search("USB 1.1").contains("Окно «Параметры видеозахвата»"));
    EXPECT_TRUE(help->Search("").isEmpty());
}

TEST(Help, F1InsideAModalDialogOpensItsPage)
{
    InstallHelpKey();
    TAboutDLG about;
    EXPECT_EQ(Find<QLabel>(&about, "Label3")->text(), "версия 1.2 от 17.07.2003");
    EXPECT_EQ(Find<QLabel>(&about, "Image1")->pixmap().size(), QSize(150, 141));
    WhileModal([&] {
        QTest::keyClick(&about, Qt::Key_F1);
        HelpWindow* help = HelpWindow::Instance();
        EXPECT_TRUE(help->isVisible());
        EXPECT_EQ(help->CurrentPage(), "about");
        EXPECT_EQ(help->windowModality(), Qt::ApplicationModal);
        help->close();
        about.accept();
    });
    about.exec();
    // Without a modal dialog the window is an ordinary one.
    HelpWindow::Instance()->ShowContents();
    EXPECT_EQ(HelpWindow::Instance()->windowModality(), Qt::NonModal);
    EXPECT_EQ(HelpWindow::Instance()->CurrentPage(), "index");
}

TEST(FilePageMenus, StandardSizesGoIntoTheirSpinEdits)
{
    QWidget page;
    auto* split = new QSpinBox(&page);
    split->setRange(10, 2000000);
    auto* stop = new QSpinBox(&page);
    stop->setRange(10, 100000);
    QMenu* splitMenu = AttachSplitSizeMenu(new QToolButton(&page), split);
    QMenu* stopMenu = AttachStopSizeMenu(new QToolButton(&page), stop);
    splitMenu->findChild<QAction*>("mmSplitSize5")->trigger();
    EXPECT_EQ(split->value(), 4480);
    EXPECT_EQ(splitMenu->actions().size(), 6);  // five sizes and the separator
    stopMenu->findChild<QAction*>("MenuItem2")->trigger();
    EXPECT_EQ(stop->value(), 700);
}

// Screen readers and desktop automation find every control of every dialog and
// of the help window by its caption or hint.
TEST(Accessibility, EveryControlOfEveryDialogIsNamed)
{
    TCaptureSetupDLG capture;
    capture.SetBoard({16u | 256u, 0x3FFFu}, {BitrateCaps{0, 4000000, 400000, 4000000, 25000, 25000},
                                             BitrateCaps{1, 15000000, 1000000, 15000000, 25000, 25000}});
    TSetupDLG setup;
    TCodecSetup codec;
    TAboutDLG about;
    for (QWidget* form : std::initializer_list<QWidget*>{&capture, &setup, &codec, &about, HelpWindow::Instance()})
        EXPECT_EQ(test::UnnamedControls(form), "") << form->objectName().toStdString();
}

// Qt's offscreen platform has no tray: minimising stays ordinary minimising.
TEST(Tray, WithoutATrayTheWindowIsNeverHidden)
{
    QWidget window;
    TrayIcon tray(&window);
    window.show();
    window.showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(tray.HideToTray());
    EXPECT_FALSE(window.isHidden());
    EXPECT_FALSE(tray.IconShown());
}

}  // namespace
}  // namespace encoderdesk

