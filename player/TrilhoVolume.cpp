#include "player/TrilhoVolume.h"

#include <QPainter>
#include <QStyleOptionSlider>

TrilhoVolume::TrilhoVolume(QWidget *pai) : QSlider(Qt::Vertical, pai)
{
    setInvertedAppearance(true);
    setInvertedControls(true);
}

void TrilhoVolume::paintEvent(QPaintEvent *)
{
    QPainter pintor(this);
    QStyleOptionSlider opcao;
    initStyleOption(&opcao);
    // Drawn as its mirror image: the handle lands at the same place, but the
    // style fills the groove from the other end, the bottom, up to it. Only the
    // drawing is mirrored; the mouse and the keys work on the real option.
    opcao.upsideDown = !opcao.upsideDown;
    opcao.sliderPosition = opcao.maximum + opcao.minimum - opcao.sliderPosition;
    opcao.sliderValue = opcao.maximum + opcao.minimum - opcao.sliderValue;
    opcao.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &opcao, &pintor, this);
}
