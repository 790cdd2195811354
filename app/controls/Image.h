#pragma once

// An image control: a picture of the control's size with a drawing canvas, shown as it stands.
// The canvas has a pen (black, width 1 until set), a brush (white) and a pen place: MoveTo places
// the pen, LineTo draws a line from it to a point and leaves it there. x grows to the right and y
// downwards from the picture's top-left corner. The picture is made, white, at the control's size
// when first drawn on or read. Raises Click() when clicked with the left button.

#include <QImage>
#include <QPoint>
#include <QWidget>

class Image : public QWidget {
    Q_OBJECT

public:
    explicit Image(QWidget* parent) : QWidget(parent) {}

    const QImage& Picture();

    void SetPenWidth(int width) { penWidth_ = width; }
    void MoveTo(int x, int y) { penPlace_ = {x, y}; }
    void LineTo(int x, int y);
    // Fills the rectangle from (left, top) up to, not including, (right, bottom) with the brush.
    void FillRect(int left, int top, int right, int bottom);

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QPoint penPlace_;
    int penWidth_ = 1;
};
