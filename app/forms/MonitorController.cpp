#include "forms/MonitorController.h"

#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTableWidget>
#include <QWidget>

#include "core/Forecast.h"
#include "core/RecordingFailure.h"
#include "forms/PieGauge.h"
#include "forms/TrayIcon.h"
#include "quvo/QuvoSDK.h"

namespace encoderdesk {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

void SetCell(QTableWidget* grid, int row, int column, const QString& text)
{
    if (!grid || row >= grid->rowCount() || column >= grid->columnCount()) return;
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) grid->setItem(row, column, item = new QTableWidgetItem);
    item->setText(text);
}

}  // namespace

MonitorController::MonitorController(QWidget* window, MonitorHost& host, QLabel* signalPanel, QLabel* timePanel,
                                     TrayIcon* tray)
    : QObject(window), window_(window), host_(host), signalPanel_(signalPanel), timePanel_(timePanel), tray_(tray)
{
    Timer1.setObjectName("Timer1");
    Timer2.setObjectName("Timer2");
    Timer3.setObjectName("Timer3");
    Timer1.setInterval(500);
    Timer2.setInterval(1000);
    Timer3.setInterval(5000);
    connect(&Timer1, &QTimer::timeout, this, &MonitorController::Timer1Timer);
    connect(&Timer2, &QTimer::timeout, this, &MonitorController::Timer2Timer);
    connect(&Timer3, &QTimer::timeout, this, &MonitorController::Timer3Timer);
    Timer1.start();
    Timer2.start();
    Timer3.start();
    showMessage = [this](bool error, const QString& text) {
        if (error) QMessageBox::critical(window_, window_->windowTitle(), text);
        else QMessageBox::information(window_, window_->windowTitle(), text);
    };
}

template <typename T>
T* MonitorController::Control(const char* name) const
{
    return window_->findChild<T*>(name);
}

void MonitorController::SetText(const char* name, const QString& text) const
{
    if (auto* label = Control<QLabel>(name)) label->setText(text);
}

void MonitorController::StatusChanged(MonitorPhase phase)
{
    ClearStatistics();
    const bool recording = phase == MonitorPhase::Recording;
    monitor_.StatusChanged(phase == MonitorPhase::Preview || recording || phase == MonitorPhase::Playback, recording);
    if (tray_) tray_->SetAnimated(recording);
    UpdateStatistics();
}

void MonitorController::FillFixedForecastCells()
{
    auto fill = [](QTableWidget* grid, const auto& header, const auto& titles) {
        if (!grid) return;
        for (int c = 0; c < 3; ++c) SetCell(grid, 0, c, header[static_cast<std::size_t>(c)]);
        for (std::size_t r = 0; r < titles.size(); ++r) SetCell(grid, static_cast<int>(r) + 1, 0, titles[r]);
    };
    fill(Control<QTableWidget>("sgSizePrognoz"), kSizeForecastHeader, kSizeForecastTitles);
    fill(Control<QTableWidget>("sgDiskPrognoz"), kDiskForecastHeader, kDiskForecastTitles);
}

void MonitorController::ClearStatistics()
{
    for (const char* name : {"lbCaptureLength", "lbCapturedSize", "lbAvgBitrate"}) SetText(name, "?");
    for (const char* name : {"sgSizePrognoz", "sgDiskPrognoz"}) {
        auto* grid = Control<QTableWidget>(name);
        if (!grid) continue;
        for (int r = 1; r < grid->rowCount(); ++r)
            for (int c = 1; c < 3; ++c) SetCell(grid, r, c, {});
    }
}

void MonitorController::UpdateStatistics()
{
    if (host_.Phase() != MonitorPhase::Recording) return;
    SetText("lbCaptureLength", Q(monitor_.ElapsedText()));
    SetText("lbAvgBitrate", Q(monitor_.AverageRateText()));
    const auto sizes = SizeForecast(monitor_.AverageRate(), monitor_.AverageRateMpeg());
    auto* sizeGrid = Control<QTableWidget>("sgSizePrognoz");
    for (int r = 0; r < kSizeForecastRows; ++r) {
        SetCell(sizeGrid, r + 1, 1, Q(sizes[static_cast<std::size_t>(r)].lpcm));
        SetCell(sizeGrid, r + 1, 2, Q(sizes[static_cast<std::size_t>(r)].mpeg));
    }
    const auto disk = DiskForecast(monitor_.AverageRate(), monitor_.AverageRateMpeg(), monitor_.CaptureSeconds(),
                                   disk_.FreeMB(), host_.HoursAndMinutes());
    if (!disk) return;
    auto* diskGrid = Control<QTableWidget>("sgDiskPrognoz");
    for (int r = 0; r < kDiskForecastRows; ++r) {
        SetCell(diskGrid, r + 1, 1, Q((*disk)[static_cast<std::size_t>(r)].lpcm));
        SetCell(diskGrid, r + 1, 2, Q((*disk)[static_cast<std::size_t>(r)].mpeg));
    }
}

void MonitorController::UpdateDiskInfo()
{
    disk_ = MeasureDisk(host_.CaptureDirectory());
    const DiskLabels labels = MakeDiskLabels(disk_.SizeMB(), disk_.FreeMB());
    SetText("lbDiskSize", Q(labels.size));
    SetText("lbDiskZan", Q(labels.used));
    SetText("lbDiskFree", Q(labels.free));
    if (auto* gauge = Control<PieGauge>("gaDiskInfo")) gauge->SetProgress(labels.gaugePercent);
    else if (auto* bar = Control<QProgressBar>("gaDiskInfo")) bar->setValue(labels.gaugePercent);
}

void MonitorController::Timer1Timer()
{
    if (host_.Phase() == MonitorPhase::Transient) return;
    // Zero before each call: a failing call reads as no signal, rate 0, count 0.
    uint32_t detected = 0, lines = 0;
    double rate = 0;
    QuvoIsSignalDetected(&detected);
    if (detected) {
        QuvoGetCurrentFrameRate(&rate);
        QuvoGetNumberOfLinesDetected(&lines);
    }
    if (const auto text = monitor_.SignalTick(detected != 0, rate, lines); text && signalPanel_)
        signalPanel_->setText(Q(*text));
}

void MonitorController::Timer2Timer()
{
    const MonitorPhase phase = host_.Phase();
    if (phase == MonitorPhase::Transient) return;
    const bool recording = phase == MonitorPhase::Recording;
    uint64_t bytes = 0;
    const bool bytesRead = recording && QuvoGetBytesStreamed(&bytes) == QUVO_SUCCESS;
    std::int64_t freeBytes = -1;
    if (recording) {
        const DiskSpace now = MeasureDisk(host_.CaptureDirectory());
        if (now.measured) freeBytes = now.freeBytes;
    }
    const CaptureMonitor::Tick tick = monitor_.SecondTick(recording, host_.AutoStopSettings(), bytesRead, bytes,
                                                          freeBytes);
    if (recording || phase == MonitorPhase::Playback) {
        const QString t = Q(monitor_.ElapsedText());
        SetText("lbCaptureLength", t);
        if (timePanel_) timePanel_->setText(t);
        if (tray_) tray_->SetToolTip(host_.StatusText() + " " + t);
    } else {
        if (timePanel_) timePanel_->clear();
        if (tray_) tray_->SetToolTip(host_.StatusText());
    }
    if (tick.sizeUpdated) SetText("lbCapturedSize", Q(tick.capturedSize));
    if (tick.stop == AutoStop::None) return;
    // The stop first, then the box: the recording is complete whatever the user does.
    host_.StopAll();
    showMessage(false, Q(tick.stopMessage));
}

void MonitorController::Timer3Timer()
{
    if (host_.Phase() == MonitorPhase::Transient) return;
    UpdateDiskInfo();
    UpdateStatistics();
}

void MonitorController::GraphEvent()
{
    uint32_t state = 0;
    QuvoGetCurrentGraphStatus(&state, 100);
    const MonitorPhase phase = host_.Phase();
    if (state != QUVO_GRAPH_STATE_FAILED || phase == MonitorPhase::Idle || phase == MonitorPhase::Transient) return;
    // The cause is looked for before anything changes in the folder.
    QString text;
    if (phase == MonitorPhase::Recording) {
        const std::string folder = host_.CaptureDirectory();
        text = Q(RecordingFailureText(DiagnoseRecordingFailure(folder, host_.CurrentFile()), folder));
    } else {
        text = Q(phase == MonitorPhase::Preview ? PreviewFailureText() : PlaybackFailureText());
    }
    host_.StopAll();
    if (!host_.ReconnectDevice())
        text += "\nУстройство не удалось подключить снова: перезапустите программу.";
    showMessage(true, text);
}

bool MonitorController::RoomToRecord(const CaptureProfile& profile)
{
    CaptureProfile p = profile;
    ApplyPresetDefaults(p);
    const DiskSpace disk = MeasureDisk(host_.CaptureDirectory());
    const std::int64_t needed = LowDiskThreshold(EstimatedRecordingRate(p.Bitrate, p.PeakBitrate, p.Vbr));
    if (!disk.measured || disk.freeBytes >= needed) return true;
    showMessage(true, Q(NotEnoughSpaceText(disk.freeBytes, needed)));
    return false;
}

}  // namespace encoderdesk
