// What the main window's tests share: the program started in this process as
// main() starts it (the SDK initialized first, then the window, on the virtual
// board through the real SDK), the modal boxes read and answered, the SDK calls
// recorded, and the event loop run for a while.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "ui/TMain.h"

namespace encoderdesk::test {

// Reads every modal message box that opens and answers it with the next button
// of `answers` (OK, or Yes, when none is left).
class BoxWatch {
public:
    BoxWatch();
    QStringList texts;
    // Each box's standard buttons as shown, in the order Yes, No, Cancel, OK: "Да/Нет".
    QStringList buttons;
    std::vector<QMessageBox::StandardButton> answers;

private:
    QTimer timer_;
};

// The program: QuvoInitialize, then TMain; at the end the window's destruction
// and the second QuvoUninitialize that balances the connection's initialize.
class Desk {
public:
    Desk();
    ~Desk();
    TMain& main() { return *main_; }
    // The calls made since the last Clear, as "QuvoSetVideoResolution(16)".
    std::vector<std::string> calls;
    std::vector<QUVO_RESULT> results;
    QUVO_RESULT ResultOf(const std::string& callPrefix) const;

private:
    std::unique_ptr<TMain> main_;
};

// Runs the event loop for `ms` milliseconds.
void Wait(int ms);
// Runs it until `done` or `ms` passed; whether `done` came true.
bool WaitUntil(const std::function<bool()>& done, int ms);

// A folder of the test's own (emptied).
std::string Folder(const std::string& name);

// ffprobe's "codec_name,width,height" of a file's first video stream.
std::string ProbeVideo(const std::string& file);

}  // namespace encoderdesk::test
