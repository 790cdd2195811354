#include "app/controls/UpDown.h"

#include <QToolButton>
#include <algorithm>

namespace {

QToolButton* ArrowButton(QWidget* parent, Qt::ArrowType arrow) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true); // held down, it steps on like a spin box
    return button;
}

} // namespace

UpDown::UpDown(QWidget* parent)
    : QWidget(parent), up(ArrowButton(this, Qt::UpArrow)), down(ArrowButton(this, Qt::DownArrow)) {
    setFocusPolicy(Qt::NoFocus);
    connect(up, &QToolButton::clicked, this, [this] { Press(+1); });
    connect(down, &QToolButton::clicked, this, [this] { Press(-1); });
}

void UpDown::SetPosition(int value) {
    position = std::clamp(value, min, max);
}

void UpDown::SetMin(int value) {
    if (value <= max) {
        min = value;
        SetPosition(position);
    }
}

void UpDown::SetMax(int value) {
    if (value >= min) {
        max = value;
        SetPosition(position);
    }
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int upper = height() / 2;
    up->setGeometry(0, 0, width(), upper);
    down->setGeometry(0, upper, width(), height() - upper);
}

void UpDown::Press(int delta) {
    emit Changing();
    SetPosition(position + delta);
}
