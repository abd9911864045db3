#include "forms/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace encoderdesk {
namespace {

void DrawChip(QPainter& p, const QRectF& r, bool label)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 48));
    p.drawRoundedRect(r, r.width() * 0.06, r.width() * 0.06);
    // Pins along both long sides.
    p.setBrush(QColor(200, 200, 190));
    const int pins = 6;
    for (int i = 0; i < pins; ++i) {
        const qreal x = r.left() + r.width() * (i + 0.5) / pins - r.width() * 0.03;
        p.drawRect(QRectF(x, r.top() - r.height() * 0.12, r.width() * 0.06, r.height() * 0.12));
        p.drawRect(QRectF(x, r.bottom(), r.width() * 0.06, r.height() * 0.12));
    }
    if (label) {
        p.setPen(QColor(230, 230, 230));
        QFont f = p.font();
        f.setPixelSize(static_cast<int>(r.height() * 0.34));
        f.setBold(true);
        p.setFont(f);
        p.drawText(r, Qt::AlignCenter, "MPEG");
    }
}

QPixmap IconPixmap(int size, qreal lamp, int lampAlpha)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 110, 60));
    p.drawRoundedRect(QRectF(s * 0.06, s * 0.18, s * 0.88, s * 0.64), s * 0.08, s * 0.08);
    DrawChip(p, QRectF(s * 0.18, s * 0.34, s * 0.4, s * 0.32), false);
    p.setBrush(QColor(235, 190, 40));  // the composite jack
    p.drawEllipse(QPointF(s * 0.76, s * 0.5), s * 0.1, s * 0.1);
    if (lamp > 0) {
        p.setBrush(QColor(220, 30, 30, lampAlpha));
        p.drawEllipse(QPointF(s * 0.78, s * 0.22), s * lamp, s * lamp);
    }
    return pm;
}

QIcon IconOf(qreal lamp, int lampAlpha)
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64}) icon.addPixmap(IconPixmap(size, lamp, lampAlpha));
    return icon;
}

}  // namespace

QPixmap BoardPicture()
{
    QPixmap pm(150, 141);
    pm.fill(QColor(236, 236, 232));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    // The board with its edge connector.
    QLinearGradient green(0, 20, 0, 120);
    green.setColorAt(0, QColor(30, 130, 72));
    green.setColorAt(1, QColor(16, 88, 48));
    p.setPen(QPen(QColor(10, 60, 30), 1.5));
    p.setBrush(green);
    p.drawRoundedRect(QRectF(8, 22, 134, 92), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 170, 60));
    for (int i = 0; i < 14; ++i) p.drawRect(QRectF(22 + i * 7.5, 114, 4.5, 10));
    // Traces.
    p.setPen(QPen(QColor(120, 190, 120, 150), 1.2));
    for (int i = 0; i < 5; ++i) p.drawLine(QPointF(64, 48 + i * 7), QPointF(98, 48 + i * 7));
    for (int i = 0; i < 4; ++i) p.drawLine(QPointF(30 + i * 6, 84), QPointF(30 + i * 6, 112));
    // The encoder chip, a memory chip, the input jacks and a lamp.
    DrawChip(p, QRectF(22, 40, 42, 34), true);
    DrawChip(p, QRectF(100, 80, 26, 18), false);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(QColor(235, 190, 40));
    p.drawEllipse(QPointF(118, 44), 9, 9);
    p.setBrush(QColor(70, 70, 78));
    p.drawEllipse(QPointF(118, 64), 8, 8);
    p.setBrush(QColor(20, 20, 20));
    p.drawEllipse(QPointF(118, 44), 3, 3);
    p.drawEllipse(QPointF(118, 64), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 40, 40));
    p.drawEllipse(QPointF(84, 96), 4, 4);
    // The title under the board.
    p.setPen(QColor(40, 40, 40));
    QFont f = p.font();
    f.setPixelSize(11);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(0, 2, 150, 18), Qt::AlignCenter, "MPEG-1 / MPEG-2");
    return pm;
}

QIcon ProgramIcon() { return IconOf(0, 0); }

QVector<QIcon> RecordingFrames()
{
    QVector<QIcon> frames;
    const qreal sizes[] = {0.08, 0.12, 0.16, 0.19, 0.16, 0.12};
    const int alphas[] = {120, 170, 230, 255, 230, 170};
    for (int i = 0; i < 6; ++i) frames.push_back(IconOf(sizes[i], alphas[i]));
    return frames;
}

}  // namespace encoderdesk
