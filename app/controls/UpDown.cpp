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
    : QWidget(parent), up_(ArrowButton(this, Qt::UpArrow)),
      down_(ArrowButton(this, Qt::DownArrow)) {
    setFocusPolicy(Qt::NoFocus);
    connect(up_, &QToolButton::clicked, this, [this] { Press(+1); });
    connect(down_, &QToolButton::clicked, this, [this] { Press(-1); });
}

void UpDown::SetPosition(int value) {
    position_ = std::clamp(value, min_, max_);
}

void UpDown::SetMin(int value) {
    if (value <= max_) {
        min_ = value;
        SetPosition(position_);
    }
}

void UpDown::SetMax(int value) {
    if (value >= min_) {
        max_ = value;
        SetPosition(position_);
    }
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int upper = height() / 2;
    up_->setGeometry(0, 0, width(), upper);
    down_->setGeometry(0, upper, width(), height() - upper);
}

void UpDown::Press(int delta) {
    emit Changing();
    SetPosition(position_ + delta);
}
