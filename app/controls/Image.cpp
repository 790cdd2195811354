#include "app/controls/Image.h"

#include "app/controls/Click.h"

#include <QPainter>

const QImage& Image::Picture() {
    if (picture_.isNull()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
        picture_.fill(Qt::white);
    }
    return picture_;
}

void Image::LineTo(int x, int y) {
    Picture();
    QPainter painter(&picture_);
    painter.setPen(QPen(Qt::black, penWidth_));
    painter.drawLine(penPlace_, QPoint(x, y));
    penPlace_ = {x, y};
    update();
}

void Image::FillRect(int left, int top, int right, int bottom) {
    Picture();
    QPainter painter(&picture_);
    painter.fillRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)), Qt::white);
    update();
}

void Image::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, Picture());
}

void Image::mousePressEvent(QMouseEvent*) {} // taken, so that the release comes here

void Image::mouseReleaseEvent(QMouseEvent* event) {
    if (IsClick(*this, *event)) {
        emit Click();
    }
}
