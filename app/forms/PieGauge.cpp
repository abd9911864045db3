#include "forms/PieGauge.h"

#include <QPainter>

#include <algorithm>

namespace encoderdesk {

PieGauge::PieGauge(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(91, 91);
    setAccessibleName("Свободное место, %");
}

void PieGauge::SetProgress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == progress_) return;
    progress_ = percent;
    setAccessibleDescription(QString::number(percent) + " %");
    update();
}

void PieGauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF r((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(back_);
    p.drawEllipse(r);
    if (progress_ > 0) {
        p.setBrush(fore_);
        // From twelve o'clock, clockwise; Qt counts sixteenths of a degree anticlockwise.
        p.drawPie(r, 90 * 16, -progress_ * 360 * 16 / 100);
    }
    p.setPen(Qt::white);
    QFont f = font();
    f.setBold(true);
    p.setFont(f);
    p.drawText(r, Qt::AlignCenter, QString::number(progress_) + " %");
}

}  // namespace encoderdesk
