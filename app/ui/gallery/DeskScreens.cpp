// Pictures of the main window at work on the virtual board, taken on a virtual
// display (scripts/screenshots-main.sh): idle, preview with its picture, a
// capture, the three pages after more than 30 s of recording (forecasts filled),
// the missing-file error box and the box of a recording whose write failed.
// The program runs as main() runs it; its settings, profiles and recordings go
// to a folder of their own under the output folder, removed at the end.
//
//   encoderdesk_screens FOLDER
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>

#include "forms/HelpWindow.h"
#include "ui/Program.h"
#include "ui/TMain.h"

namespace {

using namespace encoderdesk;

QString g_folder;

void Save(const QPixmap& picture, const char* name)
{
    const QString path = g_folder + "/" + name + ".png";
    picture.save(path);
    std::printf("%s\n", qPrintable(path));
    std::fflush(stdout);
}

// The window as drawn; with `screen`, the screen under it, so that a box over it
// shows. No events are processed here: the next step's timer is already armed.
void Shoot(TMain& main, const char* name, bool screen = false)
{
    if (screen)
        Save(main.screen()->grabWindow(0, main.x(), main.y(), main.frameGeometry().width(),
                                       main.frameGeometry().height()),
             name);
    else
        Save(main.grab(), name);
}

// Steps run one after the other, each `delay` ms after the one before began. The
// next step is armed before a step runs, since a step may open a modal box.
class Script {
public:
    void Add(int delay, std::function<void()> step) { steps_.push_back({delay, std::move(step)}); }
    void Next()
    {
        if (steps_.empty()) return;
        Step step = std::move(steps_.front());
        steps_.pop_front();
        QTimer::singleShot(step.delay, [this, run = std::move(step.run)] {
            Next();
            run();
        });
    }

private:
    struct Step {
        int delay;
        std::function<void()> run;
    };
    std::deque<Step> steps_;
};

QMessageBox* OpenBox() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

void SetFileSizeLimit(rlim_t bytes)
{
    const rlimit limit{bytes, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
}

void Plan(Script& s, TMain& m, const QString& work)
{
    s.Add(0, [&m, work] {
        m.deDirectory->setText(work + "/video");
        m.cbAutoFileName->setChecked(false);
        m.edFileName->setText("запись.mpg");
        m.Profile.ProfileCode = kProfileDvd;
        m.ShowCaptureProfile(m.Profile);
    });
    s.Add(800, [&m] { Shoot(m, "main-idle"); });
    s.Add(0, [&m] { m.mbStartPreview->click(); });
    s.Add(2500, [&m] { Shoot(m, "main-preview"); });
    s.Add(0, [&m] {
        m.mbStop->click();
        m.edFileName->setText("запись 2.mpg");
        m.mbCapture->click();
    });
    s.Add(3000, [&m] { Shoot(m, "main-capture"); });
    // Past 30 s of recording and a forecast refresh: every forecast cell is filled.
    s.Add(33500, [&m] { m.PageControl1->setCurrentIndex(0); });
    s.Add(300, [&m] { Shoot(m, "recording-video"); });
    s.Add(0, [&m] { m.PageControl1->setCurrentIndex(1); });
    s.Add(300, [&m] { Shoot(m, "recording-file"); });
    s.Add(0, [&m] { m.PageControl1->setCurrentIndex(2); });
    s.Add(300, [&m] { Shoot(m, "recording-stats"); });
    s.Add(0, [&m] {
        m.mbStop->click();
        m.PageControl1->setCurrentIndex(0);
        m.edFileName->setText("нет такого.mpg");
        m.mbPlayback->click();  // "Файл не найден !"
    });
    s.Add(700, [&m] { Shoot(m, "error-file-missing", true); });
    s.Add(0, [] {
        if (QMessageBox* box = OpenBox()) box->accept();
    });
    // A write that fails (the process may write no larger file): the recording
    // stops and one box says why.
    s.Add(300, [&m] {
        m.edFileName->setText("запись 3.mpg");
        m.cbDisablePreview->setChecked(true);
        SetFileSizeLimit(3 * 1024 * 1024);
        m.mbCapture->click();
    });
    s.Add(6000, [&m] { Shoot(m, "error-recording-failed", true); });
    s.Add(0, [] {
        SetFileSizeLimit(RLIM_INFINITY);
        if (QMessageBox* box = OpenBox()) box->accept();
    });
    s.Add(500, [&m] {
        m.mbStop->click();
        m.close();
    });
}

}  // namespace

int main(int argc, char** argv)
{
    std::signal(SIGXFSZ, SIG_IGN);
    g_folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(g_folder);
    const QString work = g_folder + "/work";
    QDir(work).removeRecursively();
    qputenv("XDG_CONFIG_HOME", (work + "/config").toUtf8());
    qputenv("XDG_DATA_HOME", (work + "/data").toUtf8());
    QApplication app(argc, argv);
    LoadRussianTranslations(app);
    InstallHelpKey();
    Script script;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<TMain*>(w)) {
                Plan(script, *main, work);
                script.Next();
                return;
            }
        std::fprintf(stderr, "encoderdesk_screens: no main window\n");
        app.exit(1);
    });
    const int status = RunEncoderDesk(app);
    QDir(work).removeRecursively();
    return status;
}
