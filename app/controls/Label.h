#pragma once

// A label that raises Click() when clicked with the left button.

#include <QLabel>

class Label : public QLabel {
    Q_OBJECT

public:
    Label(const QString& text, QWidget* parent) : QLabel(text, parent) {}

signals:
    void Click();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};
