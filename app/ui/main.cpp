// encoderdesk: the desktop program of the encoder board.
#include <QApplication>

#include <csignal>

#include "forms/HelpWindow.h"
#include "ui/Program.h"

int main(int argc, char** argv)
{
    // A write past the process's file-size limit fails instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    encoderdesk::LoadRussianTranslations(app);
    encoderdesk::InstallHelpKey();
    return encoderdesk::RunEncoderDesk(app);
}
