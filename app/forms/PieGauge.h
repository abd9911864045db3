// A round gauge: the share `Progress()` percent of the circle in the fore colour,
// the rest in the back colour, the percentage written across it.
#pragma once

#include <QColor>
#include <QWidget>

namespace encoderdesk {

class PieGauge : public QWidget {
    Q_OBJECT
public:
    explicit PieGauge(QWidget* parent = nullptr);

    int Progress() const { return progress_; }
    void SetProgress(int percent);

    QSize sizeHint() const override { return {91, 91}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int progress_ = 0;
    QColor fore_ = Qt::blue;
    QColor back_ = Qt::red;
};

}  // namespace encoderdesk
