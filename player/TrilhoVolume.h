#pragma once

#include <QSlider>

// The vertical master-volume slider: 0 at the top, as its position counts (the
// volume is the maximum minus the position), yet drawn filled from the bottom up
// to its handle, so that the loudest setting shows a full bar.
class TrilhoVolume : public QSlider {
    Q_OBJECT

public:
    explicit TrilhoVolume(QWidget *pai);

protected:
    void paintEvent(QPaintEvent *evento) override;
};
