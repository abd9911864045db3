// The main window's notification-area icon: minimising hides the window to the
// icon (only where the desktop has a tray: a window that cannot come back is
// never hidden), a click on the icon brings the window back, the icon animates
// while a recording runs and its tooltip carries status and elapsed time.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QVector>

class QWidget;

namespace encoderdesk {

// One frame every 300 ms while animated.
inline constexpr int kTrayFrameMs = 300;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // Watches `window` for minimising; the icon starts hidden.
    explicit TrayIcon(QWidget* window);

    // Hides the window and shows the icon; false (and nothing done) without a tray.
    bool HideToTray();
    // The icon's click: the window comes back and the icon goes.
    void Restore();

    void SetAnimated(bool on);
    void SetToolTip(const QString& text);

    bool IconShown() const { return icon_.isVisible(); }
    bool Animated() const { return animation_.isActive(); }
    int Frame() const { return frame_; }
    QString ToolTip() const { return icon_.toolTip(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NextFrame();

    QWidget* window_;
    QSystemTrayIcon icon_;
    QTimer animation_;
    QVector<QIcon> frames_;
    QIcon still_;
    int frame_ = 0;
};

}  // namespace encoderdesk
