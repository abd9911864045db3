#include "DeskWindow.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>

#include <algorithm>

#include <filesystem>

#include "DeskTestSupport.h"

namespace encoderdesk::test {

BoxWatch::BoxWatch()
{
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        texts.push_back(box->text());
        QStringList shown;
        for (auto b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok})
            if (QAbstractButton* button = box->button(b)) shown << button->text().remove('&');
        buttons.push_back(shown.join('/'));
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (!answers.empty()) {
            answer = answers.front();
            answers.erase(answers.begin());
        } else if (box->button(QMessageBox::Yes)) {
            answer = QMessageBox::Yes;
        }
        if (QAbstractButton* button = box->button(answer)) button->click();
        else box->done(answer);
    });
    timer_.start(20);
}

Desk::Desk()
{
    uint32_t status = 0;
    QuvoInitialize(&status);
    main_ = std::make_unique<TMain>();
    main_->sdk.observer = [this](const std::string& call, QUVO_RESULT result) {
        calls.push_back(call);
        results.push_back(result);
    };
    main_->show();
}

Desk::~Desk()
{
    main_.reset();
    QuvoUninitialize();
}

QUVO_RESULT Desk::ResultOf(const std::string& callPrefix) const
{
    for (std::size_t i = calls.size(); i-- > 0;)
        if (calls[i].rfind(callPrefix, 0) == 0) return results[i];
    return QUVO_ERR_FAILED;
}

// The event loop idles between events: no polling on a shared machine.
void Wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(std::max(ms, 0), &loop, &QEventLoop::quit);
    loop.exec();
}

bool WaitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms) Wait(10);
    return done();
}

std::string Folder(const std::string& name)
{
    const auto path = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path.string();
}

std::string ProbeVideo(const std::string& file)
{
    std::string out = Run("ffprobe -v error -select_streams v:0 -show_entries stream=codec_name,width,height "
                          "-of csv=p=0 '" + file + "'");
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace encoderdesk::test
