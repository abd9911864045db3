#include "forms/TrayIcon.h"

#include <QEvent>
#include <QWidget>

#include "forms/Artwork.h"

namespace encoderdesk {

TrayIcon::TrayIcon(QWidget* window)
    : QObject(window), window_(window), frames_(RecordingFrames()), still_(ProgramIcon())
{
    setObjectName("RxTrayIcon");
    icon_.setIcon(still_);
    animation_.setInterval(kTrayFrameMs);
    connect(&animation_, &QTimer::timeout, this, &TrayIcon::NextFrame);
    // Any click (or a key on the icon) brings the window back.
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason) { Restore(); });
    window_->installEventFilter(this);
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == window_ && event->type() == QEvent::WindowStateChange && window_->isMinimized() &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        // Hidden once the state change is over: hiding inside it confuses window managers.
        QTimer::singleShot(0, this, [this] {
            if (window_->isMinimized()) HideToTray();
        });
    }
    return QObject::eventFilter(watched, event);
}

bool TrayIcon::HideToTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    window_->hide();
    icon_.show();
    return true;
}

void TrayIcon::Restore()
{
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
    icon_.setVisible(!window_->isVisible());
}

void TrayIcon::SetAnimated(bool on)
{
    if (on == animation_.isActive()) return;
    frame_ = 0;
    if (on) {
        animation_.start();
        icon_.setIcon(frames_.first());
    } else {
        animation_.stop();
        icon_.setIcon(still_);
    }
}

void TrayIcon::NextFrame()
{
    frame_ = (frame_ + 1) % static_cast<int>(frames_.size());
    icon_.setIcon(frames_[frame_]);
}

void TrayIcon::SetToolTip(const QString& text) { icon_.setToolTip(text); }

}  // namespace encoderdesk
