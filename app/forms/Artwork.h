// The program's pictures, drawn in code so that they scale and need no files: the
// about box's board, the window and tray icon, and the tray's recording animation.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <QVector>

namespace encoderdesk {

// The encoder board, 150 x 141 pixels.
QPixmap BoardPicture();

// The program's icon: the board's chip with an input jack.
QIcon ProgramIcon();

// The tray's frames while recording, shown in turn: a red mark that grows and
// fades like a recording lamp.
QVector<QIcon> RecordingFrames();

}  // namespace encoderdesk
