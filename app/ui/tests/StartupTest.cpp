// The program's start as main() runs it: without a registered board it shows the
// start-up error and ends with status 1 before any window or settings file
// exists; with the virtual board it shows its window with the device read, and
// closing it ends the loop with status 0 after the settings were written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTimer>

#include <cstdlib>
#include <filesystem>

#include "DeskTestSupport.h"
#include "DeskWindow.h"
#include "ui/Program.h"
#include "ui/TMain.h"

namespace encoderdesk {
namespace {

namespace fs = std::filesystem;

TEST(Startup, WithoutABoardTheErrorEndsTheProgramAndWithOneTheWindowShows)
{
    const std::string home = (fs::temp_directory_path() / "home").string();
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    int argc = 1;
    char name[] = "encoderdesk";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    LoadRussianTranslations(app);
    {
        test::BoxWatch boxes;
        EXPECT_EQ(RunEncoderDesk(app), 1);
        EXPECT_EQ(boxes.texts, QStringList{"Ошибка при инициализации устройства. Убедитесь в том, что оно включено и "
                                           "для него установлены все драйвера (см. install.txt)"});
        EXPECT_FALSE(fs::exists(home));  // no settings, no profile folder
    }
    // The process would end here; the failed start still holds the component library.
    QuvoUninitialize();

    ASSERT_TRUE(test::RegisterModules());
    QString status, device;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<TMain*>(w); main && main->isVisible()) {
                status = main->StatusText();
                device = main->lbDeviceName->text();
                main->close();
            }
    });
    EXPECT_EQ(RunEncoderDesk(app), 0);
    EXPECT_EQ(status, "Устройство готово к работе");
    EXPECT_EQ(device, "Kestor Recorder A");
    EXPECT_TRUE(fs::exists(home + "/.config/encoderdesk/encoderdesk.ini"));
    EXPECT_TRUE(fs::is_directory(home + "/.local/share/encoderdesk/Profile"));
}

}  // namespace
}  // namespace encoderdesk
