// What the main window's three timers, its statistics and disk panels, its tray
// icon's animation and tooltip, and its answer to a failed graph do, kept apart
// from the window: the window implements MonitorHost (its status, its controls'
// values, its Stop button) and tells the controller of every status change. The
// statistics and disk controls are found in the window by their names.
// GUI thread only; every SDK call is made from here on that thread.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <string>

#include "core/CaptureMonitor.h"
#include "core/CaptureProfile.h"
#include "core/DiskSpace.h"

class QLabel;
class QWidget;

namespace encoderdesk {

class TrayIcon;

// The window's status as the timers see it.
enum class MonitorPhase { Transient, Idle, Preview, Recording, Playback };

class MonitorHost {
public:
    virtual MonitorPhase Phase() const = 0;
    virtual AutoStopLimits AutoStopSettings() const = 0;  // the automatic-stop group
    virtual bool HoursAndMinutes() const = 0;            // cbShowHHMM
    virtual std::string CaptureDirectory() const = 0;    // the directory text, normalised
    virtual std::string CurrentFile() const = 0;
    virtual QString StatusText() const = 0;              // the caption of pnState
    virtual void StopAll() = 0;                          // the Stop button's action
    // After a failed graph: initializes the SDK afresh and connects the device
    // again; false when the board is gone.
    virtual bool ReconnectDevice() = 0;

protected:
    ~MonitorHost() = default;
};

class MonitorController : public QObject {
    Q_OBJECT
public:
    // `signalPanel` and `timePanel`: panels 1 and 2 of the status bar; `tray` may be null.
    MonitorController(QWidget* window, MonitorHost& host, QLabel* signalPanel, QLabel* timePanel, TrayIcon* tray);

    // The window's status changed (after it stored the new one).
    void StatusChanged(MonitorPhase phase);

    void FillFixedForecastCells();
    void ClearStatistics();
    void UpdateStatistics();
    void UpdateDiskInfo();

    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

    // The graph-event message: one QuvoGetCurrentGraphStatus with 100 ms. A failed
    // graph stops everything, keeps the files, says why and reconnects the device.
    void GraphEvent();

    // Before a recording starts: false, after an error box saying why, when the
    // capture drive lacks the room for 30 seconds of it.
    bool RoomToRecord(const CaptureProfile& profile);

    const CaptureMonitor& Monitor() const { return monitor_; }
    const DiskSpace& Disk() const { return disk_; }

    // How message boxes are shown (modal boxes by default): information after an
    // automatic stop, error otherwise.
    std::function<void(bool error, const QString& text)> showMessage;

    QTimer Timer1, Timer2, Timer3;

private:
    template <typename T>
    T* Control(const char* name) const;
    void SetText(const char* name, const QString& text) const;

    QWidget* window_;
    MonitorHost& host_;
    QLabel* signalPanel_;
    QLabel* timePanel_;
    TrayIcon* tray_;
    CaptureMonitor monitor_;
    DiskSpace disk_;
};

}  // namespace encoderdesk
