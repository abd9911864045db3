// The program's start: the SDK first, then the five forms, then the message loop.
#pragma once

class QApplication;

namespace encoderdesk {

// Russian texts for Qt's own dialogs and buttons.
void LoadRussianTranslations(QApplication& app);

// Runs the program on `app`; the process's exit status. When the board cannot be
// initialized it shows the start-up error and returns 1 before any window or
// settings file exists.
int RunEncoderDesk(QApplication& app);

}  // namespace encoderdesk
