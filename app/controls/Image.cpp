#include "app/controls/Image.h"

#include "app/controls/Click.h"

#include <QPainter>

const QImage& Image::Picture() {
    if (picture.isNull()) {
        picture = QImage(size(), QImage::Format_RGB32);
        picture.fill(Qt::white);
    }
    return picture;
}

void Image::LineTo(int x, int y) {
    Picture();
    QPainter painter(&picture);
    painter.setPen(QPen(Qt::black, penWidth));
    painter.drawLine(penPlace, QPoint(x, y));
    penPlace = {x, y};
    update();
}

void Image::FillRect(int left, int top, int right, int bottom) {
    Picture();
    QPainter painter(&picture);
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
